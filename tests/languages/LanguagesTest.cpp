// Names of every language: converted in their own code page, and found in
// their block of a multilingual string table.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "1-platform/CodePage.h"
#include "2-iff/StringTable.h"
#include "4-behaviour/LanguageBlocks.h"
#include "4-behaviour/Languages.h"
#include "testkit/IffParts.h"
#include "testkit/LanguageNames.h"

namespace qm::test {
namespace {

TEST(CodePages, TextInEachLanguagesScriptRoundTrips) {
  struct Sample {
    unsigned codePage;
    std::string utf8;
    std::string bytes;
  };
  const std::vector<Sample> samples = {
      {1252, "Mar\xC2\x8Dy J\xC3\xBCrgen", "Mar\x8Dy J\xFCrgen"},  // 0x8D: undefined in 1252
      {1250, "Łucja Woźniak", "\xA3ucja Wo\x9Fniak"},
      {1251, "Ёлка Иванова", "\xA8\xEB\xEA\xE0 \xC8\xE2\xE0\xED\xEE\xE2\xE0"},
      {1255, "שלום", "\xF9\xEC\xE5\xED"},
      {874, "สมชาย", "\xCA\xC1\xAA\xD2\xC2"},
      {932, "美子 さくら", "\x94\xFC\x8Eq \x82\xB3\x82\xAD\x82\xE7"},
      {936, "张伟", "\xD5\xC5\xCE\xB0"},
      {950, "張偉", "\xB1i\xB0\xB6"},
      {949, "김민준", "\xB1\xE8\xB9\xCE\xC1\xD8"},
  };
  for (const Sample& sample : samples) {
    const std::unique_ptr<CodePage> codePage = SystemCodePage(sample.codePage);
    ASSERT_NE(codePage, nullptr) << sample.codePage;
    std::string bytes, utf8;
    EXPECT_TRUE(codePage->FromUtf8(sample.utf8, bytes)) << sample.codePage;
    EXPECT_EQ(bytes, sample.bytes) << sample.codePage;
    EXPECT_TRUE(codePage->ToUtf8(sample.bytes, utf8)) << sample.codePage;
    EXPECT_EQ(utf8, sample.utf8) << sample.codePage;
  }
}

TEST(CodePages, DoubleByteSequenceThatDoesNotConvertFails) {
  std::string utf8;
  // In Shift-JIS 0x81 leads a pair: with a space after it or alone at the
  // end it is no character, not U+0081 as in Windows-1252.
  EXPECT_FALSE(SystemCodePage(932)->ToUtf8("A\x81 B", utf8)) << utf8;
  EXPECT_FALSE(SystemCodePage(936)->ToUtf8("A\x81", utf8)) << utf8;
  EXPECT_TRUE(SystemCodePage(1252)->ToUtf8("A\x81", utf8));
  EXPECT_EQ(utf8, "A\xC2\x81");
}

TEST(Languages, SettingMatchedWithoutLetterCaseOrSpaces) {
  EXPECT_EQ(FindLanguage("simplified CHINESE")->code, 17);
  EXPECT_EQ(FindLanguage(" US English ")->name, "English (US)");
  EXPECT_EQ(FindLanguage("English"), nullptr);
  EXPECT_EQ(LanguageOfCode(0)->setting, "USEnglish");
  EXPECT_EQ(LanguageOfCode(21), nullptr);
}

StringTable DecodedTable(const std::vector<TableEntry>& entries) {
  IffFile file;
  file.Chunks.push_back(ModelChunk("STR#", 0x96, 0x10, "Names", StringTableData(entries)));
  StringTable table;
  gsReadSTRSegment(file, table, Be16(0x96) + Be16(0x10), false);
  return table;
}

TEST(LanguageBlocks, SeventeenBlocksOfTheGamesTableEachInItsScript) {
  const StringTable table = DecodedTable(MultilingualEntries(0, 60));
  const LanguageBlocks blocks = FindLanguageBlocks(table, 51);
  EXPECT_EQ(blocks.codes, std::vector<int>(kGameLanguageCodes.begin(), kGameLanguageCodes.end()));
  EXPECT_EQ(blocks.length, 60u);

  const BlockStart japanese = blocks.Locate(15);
  ASSERT_TRUE(japanese.held);
  EXPECT_EQ(japanese.first, 11u * 60);
  std::string shown;
  ASSERT_TRUE(SystemCodePage(932)->ToUtf8(table.Entries.at(japanese.first + 1).Value, shown));
  EXPECT_EQ(shown, LanguageNameUtf8(15, 0, 1));
  // Code 0 reads as US English; Hebrew is not in the table: its first block.
  EXPECT_TRUE(blocks.Locate(0).held);
  EXPECT_EQ(blocks.Locate(12).first, 0u);
  EXPECT_FALSE(blocks.Locate(12).held);
}

TEST(LanguageBlocks, AnythingButEqualRunsOfDistinctCodesIsOneBlock) {
  const auto table = [](std::vector<std::pair<int, int>> runs) {
    std::vector<TableEntry> entries;
    for (auto [code, length] : runs) {
      for (int i = 0; i < length; ++i) entries.push_back({.value = "N", .language = char(code)});
    }
    return DecodedTable(entries);
  };
  std::vector<std::pair<int, int>> interleaved;
  for (int i = 0; i < 60; ++i) interleaved.insert(interleaved.end(), {{1, 1}, {3, 1}});
  std::vector<std::pair<int, int>> shortBlocks;  // 17 x 11 entries, as in other tables
  for (int code : kGameLanguageCodes) shortBlocks.push_back({code, 11});

  // Interleaved codes; US English in two runs (0 counts as 1); unequal runs;
  // runs shorter than the list.
  for (const auto& runs :
       {interleaved, {{0, 60}, {3, 60}, {1, 60}}, {{1, 60}, {3, 61}}, shortBlocks}) {
    const LanguageBlocks blocks = FindLanguageBlocks(table(runs), 50);
    EXPECT_EQ(blocks.codes, std::vector<int>{kMixedLanguages}) << runs.size() << " runs";
  }
  // A table in one language: its own, the first block for any other.
  const LanguageBlocks french = FindLanguageBlocks(table({{3, 60}}), 51);
  EXPECT_EQ(french.length, 60u);
  EXPECT_TRUE(french.Locate(3).held);
  EXPECT_FALSE(french.Locate(1).held);
}

}  // namespace
}  // namespace qm::test
