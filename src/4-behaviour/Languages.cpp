#include "4-behaviour/Languages.h"

#include <string>

namespace qm {

namespace {

// `text` without spaces, in lower case (ASCII: settings and names are).
std::string Folded(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == ' ') continue;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return out;
}

}  // namespace

const Language* LanguageOfCode(int code) {
  const int normal = NormalLanguageCode(code);
  for (const Language& language : kLanguages) {
    if (language.code == normal) return &language;
  }
  return nullptr;
}

const Language* FindLanguage(std::string_view text) {
  const std::string wanted = Folded(text);
  for (const Language& language : kLanguages) {
    if (wanted == Folded(language.setting) || wanted == Folded(language.name)) return &language;
  }
  return nullptr;
}

}  // namespace qm
