// Names of every language converted in their own code page.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "1-platform/CodePage.h"

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

}  // namespace
}  // namespace qm::test
