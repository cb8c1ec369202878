#pragma once
// Names in each of the game's languages, in its own script and as bytes in
// its code page, for multilingual name tables: the game's tables hold one
// block of entries per language, every block the same length, US English
// first. Names are made of a language's name stems and endings, so every
// block, and every list within a language, differs from the others.

#include <array>
#include <string>
#include <vector>

#include "testkit/IffParts.h"

namespace qm::test {

// The languages of the game's multilingual name tables in table order (17
// blocks): US English, French to Finnish (3-11), Portuguese to Korean (14-20).
inline constexpr std::array<int, 17> kGameLanguageCodes = {1,  3,  4,  5,  6,  7,  8,  9, 10,
                                                           11, 14, 15, 16, 17, 18, 19, 20};

// The Windows code page of language `code`'s names (1..20).
unsigned NamesCodePage(int code);

// Name `row` of list `list` (0..6) in language `code` (1..20), as UTF-8 text.
std::string LanguageNameUtf8(int code, int list, int row);

// `count` entries of list `list` with language byte `code`, their names
// LanguageNameUtf8 as bytes in the language's code page and no comments.
// Throws std::runtime_error when the platform cannot convert them.
std::vector<TableEntry> LanguageBlock(int code, int list, int count);

// A name table of list `list` in the 17 languages of kGameLanguageCodes,
// `perBlock` entries each; `usEnglish`, when given, is the first block.
std::vector<TableEntry> MultilingualEntries(int list, int perBlock,
                                            std::vector<TableEntry> usEnglish = {});

}  // namespace qm::test
