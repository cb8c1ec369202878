#include "4-behaviour/GameLanguage.h"

#include <algorithm>

#include "3-state/AppState.h"
#include "4-behaviour/Languages.h"

namespace qm {

namespace {

// The choices live beside the folder setting, one value per game folder.
std::string ChoiceKey(const std::string& folder) { return "Language " + folder; }

}  // namespace

int LanguageCodeOf(const std::string& text) {
  const Language* language = FindLanguage(text);
  if (!language && !text.empty() && text.find_first_not_of("0123456789") == std::string::npos &&
      text.size() <= 3) {
    language = LanguageOfCode(std::stoi(text));
  }
  return language ? language->code : 0;
}

int GameSettingLanguage(Registry& registry) {
  const int current = LanguageCodeOf(registry.ReadString(
      RegistryHive::CurrentUser, "Software\\Electronic Arts\\The Sims 25", "SIMS_LANGUAGE"));
  if (current != 0) return current;
  return LanguageCodeOf(registry.ReadString(RegistryHive::LocalMachine, "Software\\Maxis\\The Sims",
                                            "SIMS_LANGUAGE"));
}

int StartLanguage(Settings& settings, Registry& registry, const std::string& folder,
                  const std::vector<int>& held) {
  if (held.empty()) return kUsEnglish;  // one language: nothing to choose
  auto isHeld = [&](int code) {
    return code != 0 && std::find(held.begin(), held.end(), code) != held.end();
  };
  const int chosen =
      LanguageCodeOf(settings.Get(kSettingsApp, kSettingsSection, ChoiceKey(folder)));
  return isHeld(chosen) ? chosen : DefaultLanguage(registry, held);
}

int DefaultLanguage(Registry& registry, const std::vector<int>& held) {
  const int game = GameSettingLanguage(registry);
  return std::find(held.begin(), held.end(), game) != held.end() ? game : kUsEnglish;
}

SysCode StoreLanguageChoice(Settings& settings, const std::string& folder, int code) {
  const Language* language = LanguageOfCode(code);
  return settings.Save(kSettingsApp, kSettingsSection, ChoiceKey(folder),
                       language ? std::string(language->setting) : std::to_string(code));
}

}  // namespace qm
