#include "4-behaviour/GameFolder.h"

#include "1-platform/Failure.h"
#include "3-state/AppState.h"

namespace qm {

std::string RegistryInstallPath(Registry& registry) {
  return registry.ReadString(RegistryHive::LocalMachine, "Software\\Maxis\\The Sims",
                             "InstallPath");
}

void StoreGameFolderSetting(Settings& settings, MessageBoxes& messages, const std::string& folder) {
  const SysCode code = settings.Save(kSettingsApp, kSettingsSection, kSettingsKey, folder);
  if (code == syserr::kOk) return;
  messages.Show(
      "The game's folder could not be stored in Quillmark's settings; it is used until "
      "Quillmark is closed.\r\nError " +
          std::to_string(code) + ": " + SystemErrorText(code),
      "Setting Not Stored", MessageIcon::Warning);
}

}  // namespace qm
