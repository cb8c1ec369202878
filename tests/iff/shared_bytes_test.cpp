#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "2-iff/IffFile.h"

namespace qm {
namespace {

TEST(SharedBytes, AssigningAStringOwnsItsBytes) {
  SharedBytes bytes;
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(bytes, "");
  {
    std::string source(40, 'a');
    bytes = source;
    source.assign(40, 'b');  // the source changing does not reach the copy
  }
  EXPECT_EQ(bytes, Bytes(40, 'a'));

  SharedBytes copy = bytes;
  bytes = "zz";
  EXPECT_EQ(copy, Bytes(40, 'a'));
  EXPECT_EQ(bytes, "zz");
  EXPECT_NE(bytes, copy);
  EXPECT_EQ(bytes.str(), std::string("zz"));
}

TEST(SharedBytes, ReadsLikeAConstString) {
  const SharedBytes bytes(Bytes("\xFD\xFF\x00 ab", 6));
  EXPECT_EQ(bytes.size(), 6u);
  EXPECT_EQ(bytes[1], '\xFF');
  EXPECT_EQ(bytes.find('\0'), 2u);
  EXPECT_EQ(bytes.find("ab"), 4u);
  EXPECT_EQ(bytes.find('q'), SharedBytes::npos);
  EXPECT_EQ(bytes.compare(0, 2, "\xFD\xFF"), 0);
  EXPECT_EQ(bytes.substr(3), " ab");
  EXPECT_THROW(static_cast<void>(bytes.substr(7)), std::out_of_range);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Bytes("\xFD\xFF\x00 ab", 6));
  const std::string_view view = bytes;
  EXPECT_EQ(view.data(), bytes.data());
  // Comparisons go by every byte, the zero included.
  EXPECT_NE(bytes, Bytes("\xFD\xFF", 2));
  EXPECT_EQ(Bytes("\xFD\xFF\x00 ab", 6), bytes);
}

}  // namespace
}  // namespace qm
