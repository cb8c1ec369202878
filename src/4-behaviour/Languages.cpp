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

std::string LanguageName(int code) {
  const Language* language = LanguageOfCode(code);
  return language ? std::string(language->name) : "language " + std::to_string(code);
}

const Language* FindLanguage(std::string_view text) {
  const std::string wanted = Folded(text);
  for (const Language& language : kLanguages) {
    if (wanted == Folded(language.setting) || wanted == Folded(language.name)) return &language;
  }
  return nullptr;
}

bool IsNameLetter(char32_t c) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kLetters[] = {
      {'A', 'Z'},       {'a', 'z'},       {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0x24F},
      {0x386, 0x3FF},   {0x400, 0x52F},   {0x5D0, 0x5EA},   {0x5F0, 0x5F2},   {0xE01, 0xE3A},
      {0xE40, 0xE4E},   {0x1100, 0x11FF}, {0x1E00, 0x1EFF}, {0x3005, 0x3006}, {0x3041, 0x309F},
      {0x30A1, 0x30FF}, {0x3131, 0x318E}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3},
      {0xF900, 0xFAFF}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}, {0xFF66, 0xFF9F},
  };
  for (const Range& range : kLetters) {
    if (c >= range.first && c <= range.last) return c != 0x30FB;  // the katakana middle dot
  }
  return false;
}

}  // namespace qm
