#pragma once
// The languages of the game's string tables: each entry's language-code byte
// names one, and each language's names are bytes in its own code page.

#include <array>
#include <string>
#include <string_view>

namespace qm {

struct Language {
  int code;                  // the entries' language-code byte
  std::string_view name;     // in English, as Quillmark shows it
  std::string_view setting;  // the game's SIMS_LANGUAGE value
  unsigned codePage;         // the Windows code page of its names
};

inline constexpr int kUsEnglish = 1;

inline constexpr std::array<Language, 20> kLanguages = {{
    {1, "English (US)", "USEnglish", 1252},
    {2, "English (UK)", "UKEnglish", 1252},
    {3, "French", "French", 1252},
    {4, "German", "German", 1252},
    {5, "Italian", "Italian", 1252},
    {6, "Spanish", "Spanish", 1252},
    {7, "Dutch", "Dutch", 1252},
    {8, "Danish", "Danish", 1252},
    {9, "Swedish", "Swedish", 1252},
    {10, "Norwegian", "Norwegian", 1252},
    {11, "Finnish", "Finnish", 1252},
    {12, "Hebrew", "Hebrew", 1255},
    {13, "Russian", "Russian", 1251},
    {14, "Portuguese", "Portuguese", 1252},
    {15, "Japanese", "Japanese", 932},
    {16, "Polish", "Polish", 1250},
    {17, "Simplified Chinese", "SimplifiedChinese", 936},
    {18, "Traditional Chinese", "TraditionalChinese", 950},
    {19, "Thai", "Thai", 874},
    {20, "Korean", "Korean", 949},
}};

// The language-code byte as the game reads it: 0 counts as US English.
constexpr int NormalLanguageCode(int code) { return code == 0 ? kUsEnglish : code; }

// The language of a language-code byte; null for a code the game does not use.
const Language* LanguageOfCode(int code);

// The language's English name ("English (US)"); "language N" for a code the
// game does not use.
std::string LanguageName(int code);

// The language whose setting string or English name is `text`, letter case
// and spaces aside ("japanese", "Simplified Chinese", "US English"); null
// when none is.
const Language* FindLanguage(std::string_view text);

// Whether `c` is a letter of a script that the game's names are written in:
// Latin, Greek, Cyrillic, Hebrew, Thai, Hangul, kana and CJK ideographs
// (full-width Latin letters included). Punctuation, symbols and digits are not.
bool IsNameLetter(char32_t c);

}  // namespace qm
