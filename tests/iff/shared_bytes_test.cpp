#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "2-iff/IffFile.h"
#include "IffBuilder.h"

namespace qm {
namespace {

using test::IffBuilder;

TEST(SharedBytes, ChunkCopiedOutOfAFileKeepsReadingAfterTheFileIsGone) {
  const Bytes data = Bytes("payload\0with a zero", 19) + Bytes(300, 'x');
  std::optional<IffChunk> kept;
  {
    auto file = std::make_unique<IffFile>();
    ASSERT_TRUE(gsReadIFFImage(*file, IffBuilder().Chunk("BHAV", 7, 0, "Kept", data).Build()));
    ASSERT_EQ(file->Chunks.size(), 1u);
    kept = file->Chunks[0];
    IffChunk moved = std::move(file->Chunks[0]);
    EXPECT_TRUE(file->Chunks[0].Data.empty());  // a moved-from value is empty, not dangling
    EXPECT_EQ(moved.Data, data);
  }
  // The file and every other copy are destroyed; ASan reports any read of
  // freed bytes here.
  EXPECT_EQ(kept->Data, data);
  EXPECT_EQ(kept->Data.size(), data.size());
  EXPECT_EQ(kept->Label.substr(0, 5), Bytes("Kept\0", 5));
  EXPECT_EQ(kept->Label.size(), 64u);
}

TEST(SharedBytes, CopiesMovesAndSelfAssignmentsKeepOneBufferAliveToTheLast) {
  SharedBuffer buffer(Bytes(100, 'b'));
  SharedBytes a(buffer, std::string_view(*buffer).substr(10, 20));
  buffer = SharedBuffer();  // the view alone holds the buffer now
  SharedBytes b = a;
  SharedBytes& alias = b;
  b = alias;  // self-assignment must not release the last holder
  b = std::move(alias);
  EXPECT_EQ(b, Bytes(20, 'b'));
  a = b;  // the same buffer assigned over itself
  EXPECT_EQ(a, Bytes(20, 'b'));
  SharedBytes c = std::move(a);
  EXPECT_TRUE(a.empty());  // NOLINT(bugprone-use-after-move): moved-from is empty
  b = SharedBytes();
  // Only c holds the buffer; ASan reports a read of freed bytes here, and
  // LeakSanitizer a buffer that was never freed.
  EXPECT_EQ(c, Bytes(20, 'b'));
}

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
