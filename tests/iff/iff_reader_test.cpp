#include <gtest/gtest.h>

#include "2-iff/IffFile.h"
#include "ExpectIffError.h"
#include "support/MemoryFileSystem.h"
#include "testkit/IffBuilder.h"

namespace qm {
namespace {

using test::B;
using test::Be32;
using test::IffBuilder;
using test::MapSpec;
using IffReader = ::testing::Test;
using test::ExpectIffError;

MapSpec OneEntryMap(const Bytes& type, uint16_t id) {
  return MapSpec{.groups = {{.type = type, .entries = {{.id = id, .label = "x"}}}}};
}

TEST_F(IffReader, TakesHeaderAndChunkFieldsApartAsRawBytes) {
  const Bytes image = IffBuilder()
                          .MapOffsetField(B({0, 0, 0, 0}))
                          .Chunk("STR#", 0x0096, 0x0010, "Names", "abc")
                          .Build();
  IffFile file;
  gsReadIFFImage(file, image);
  EXPECT_EQ(file.Signature, image.substr(0, 60));
  EXPECT_EQ(file.RsmpOffset, B({0, 0, 0, 0}));
  ASSERT_EQ(file.Chunks.size(), 1u);
  const IffChunk& c = file.Chunks[0];
  EXPECT_EQ(c.Offset, 65);  // 0-based offset 64, counted from 1
  EXPECT_EQ(c.Type, "STR#");
  EXPECT_EQ(c.Size, B({0, 0, 0, 79}));
  EXPECT_EQ(c.IdFlags, B({0x00, 0x96, 0x00, 0x10}));
  EXPECT_EQ(c.Label, image.substr(64 + 12, 64));
  EXPECT_EQ(c.Data, "abc");
}

TEST_F(IffReader, HeaderMapOffsetOfZeroOrTextZerosMeansNoMap) {
  for (const Bytes& field : {B({0, 0, 0, 0}), Bytes("0000")}) {
    const Bytes image = IffBuilder()
                            .MapOffsetField(field)
                            .Chunk("STR#", 1, 0, "", "")
                            .Map(OneEntryMap("STR#", 1))
                            .Build();
    IffFile file;
    gsReadIFFImage(file, image);
    EXPECT_FALSE(file.HasRsmp);
    EXPECT_EQ(file.RsmpOffset, field);
    // The map chunk is still read into the map fields.
    EXPECT_EQ(file.RsmpTypeCount, 1);
    ASSERT_EQ(file.RsmpTypes.size(), 1u);
    EXPECT_EQ(file.RsmpTypes[0].Code, "#RTS");
    EXPECT_EQ(file.Chunks.size(), 1u);
  }
}

TEST_F(IffReader, NonZeroMapOffsetWithoutMapChunkLeavesMapFieldsEmpty) {
  const Bytes image = IffBuilder().MapOffsetField(Be32(1234)).Chunk("STR#", 1, 0, "", "").Build();
  IffFile file;
  gsReadIFFImage(file, image);
  EXPECT_TRUE(file.HasRsmp);
  EXPECT_TRUE(file.RsmpHeader.empty());
  EXPECT_TRUE(file.RsmpTypes.empty());
}

TEST_F(IffReader, MapChunkInTheMiddleIsLeftOutOfChunks) {
  IffBuilder b;
  b.Chunk("STR#", 1, 0, "", "one")
      .Map(OneEntryMap("STR#", 1))
      .Chunk("BHAV", 2, 0, "", "two")
      .Chunk("BHAV", 3, 0, "", "three");
  const Bytes image = b.Build();
  IffFile file;
  gsReadIFFImage(file, image);
  ASSERT_EQ(file.Chunks.size(), 3u);
  EXPECT_EQ(file.Chunks[0].Offset, 65);
  EXPECT_EQ(file.Chunks[1].Offset, static_cast<int32_t>(b.OffsetOf(2)) + 1);
  EXPECT_EQ(file.Chunks[1].Data, "two");
  EXPECT_EQ(file.Chunks[2].Offset, static_cast<int32_t>(b.OffsetOf(3)) + 1);
  EXPECT_EQ(file.Chunks[2].Data, "three");
  EXPECT_EQ(file.RsmpHeader, image.substr(b.OffsetOf(1), 88));
  EXPECT_TRUE(file.HasRsmp);
}

TEST_F(IffReader, MapTypeIsCaseSensitive) {
  const Bytes image =
      IffBuilder().Chunk("RSMP", 1, 0, "", "a").Chunk("Rsmp", 2, 0, "", "b").Build();
  IffFile file;
  gsReadIFFImage(file, image);
  ASSERT_EQ(file.Chunks.size(), 2u);
  EXPECT_EQ(file.Chunks[0].Type, "RSMP");
  EXPECT_EQ(file.Chunks[1].Type, "Rsmp");
  EXPECT_TRUE(file.RsmpHeader.empty());
}

TEST_F(IffReader, LaterMapChunkReplacesEarlierOne) {
  const Bytes image = IffBuilder()
                          .Chunk("STR#", 1, 0, "", "")
                          .Map(OneEntryMap("STR#", 1))
                          .Chunk("BHAV", 7, 0, "", "")
                          .Map(MapSpec{.groups = {{.type = "BHAV", .entries = {{.id = 7}}},
                                                  {.type = "STR#", .entries = {{.id = 1}}}}})
                          .Build();
  IffFile file;
  gsReadIFFImage(file, image);
  ASSERT_EQ(file.Chunks.size(), 2u);
  EXPECT_EQ(file.Chunks[1].Type, "BHAV");
  EXPECT_EQ(file.RsmpTypeCount, 2);
  ASSERT_EQ(file.RsmpTypes.size(), 2u);
  EXPECT_EQ(file.RsmpTypes[0].Code, "VAHB");
}

TEST_F(IffReader, MapChunkRightAfterAnotherIsAnOrdinaryChunk) {
  IffBuilder b;
  b.Chunk("STR#", 1, 0, "", "").Map(OneEntryMap("STR#", 1)).Map(OneEntryMap("STR#", 1));
  const Bytes image = b.Build();
  IffFile file;
  gsReadIFFImage(file, image);
  ASSERT_EQ(file.Chunks.size(), 2u);
  EXPECT_EQ(file.Chunks[1].Type, "rsmp");
  EXPECT_EQ(file.Chunks[1].Offset, static_cast<int32_t>(b.OffsetOf(2)) + 1);
  EXPECT_EQ(file.Chunks[1].Data, image.substr(b.OffsetOf(2) + 76));
}

TEST_F(IffReader, ChunkOfExactly76BytesHasEmptyData) {
  const Bytes image = IffBuilder().Chunk("GLOB", 1, 0, "", "").Chunk("GLOB", 2, 0, "", "").Build();
  IffFile file;
  gsReadIFFImage(file, image);
  ASSERT_EQ(file.Chunks.size(), 2u);
  EXPECT_TRUE(file.Chunks[0].Data.empty());
  EXPECT_EQ(file.Chunks[1].Offset, 65 + 76);
}

TEST_F(IffReader, SizeFieldBelow76EndsTheRead) {
  for (int32_t size : {75, 0, -1}) {
    const Bytes image = IffBuilder()
                            .Chunk("GLOB", 1, 0, "", "")
                            .Chunk("GLOB", 2, 0, "", "", size)
                            .Raw(Bytes(100, 'z'))
                            .Build();
    IffFile file;
    ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadIFF", 2000, Fault::InvalidArgument);
    // The chunks read before the failure stay in the image.
    EXPECT_EQ(file.Chunks.size(), 2u);
    EXPECT_EQ(file.Chunks[0].IdFlags, B({0, 1, 0, 0}));
  }
}

TEST_F(IffReader, SizeOfMostNegativeValueOverflows) {
  const Bytes image =
      IffBuilder().Chunk("GLOB", 1, 0, "", "", INT32_MIN).Raw(Bytes(10, 'z')).Build();
  IffFile file;
  ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadIFF", 2000, Fault::Overflow);
}

TEST_F(IffReader, SizeLargerThanTheBytesLeftEndsTheRead) {
  for (int32_t size : {77, 1000, INT32_MAX}) {
    const Bytes image = IffBuilder().Chunk("GLOB", 1, 0, "", "", size).Build();
    IffFile file;
    ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadIFF", 2000,
                   Fault::UnexpectedEndOfFile);
  }
}

TEST_F(IffReader, SingleByteAfterLastChunkIsIgnoredButTwoAreNot) {
  const Bytes one = IffBuilder().Chunk("GLOB", 1, 0, "", "d").Raw("x").Build();
  IffFile file;
  gsReadIFFImage(file, one);
  EXPECT_EQ(file.Chunks.size(), 1u);

  const Bytes two = IffBuilder().Chunk("GLOB", 1, 0, "", "d").Raw("xy").Build();
  ExpectIffError([&] { gsReadIFFImage(file, two); }, "gsReadIFF", 2000, Fault::UnexpectedEndOfFile);
}

TEST_F(IffReader, HeaderOnlyFileHasNoChunks) {
  IffFile file;
  file.Chunks.resize(3);
  gsReadIFFImage(file, IffBuilder().MapOffsetField(B({0, 0, 0, 0})).Build());
  EXPECT_TRUE(file.Chunks.empty());
  EXPECT_FALSE(file.HasRsmp);
}

TEST_F(IffReader, FileShorterThanItsHeaderFailsAt1000) {
  const Bytes image = IffBuilder().Build().substr(0, 63);
  IffFile file;
  ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadIFF", 1000,
                 Fault::UnexpectedEndOfFile);
}

TEST_F(IffReader, ReadsAtMost32767Chunks) {
  IffBuilder b;
  for (int i = 0; i < 32767; ++i) b.Chunk("GLOB", static_cast<uint16_t>(i), 0, "", "");
  const Bytes full = b.Build();
  IffFile file;
  gsReadIFFImage(file, full);
  ASSERT_EQ(file.Chunks.size(), 32767u);
  EXPECT_EQ(file.Chunks.back().Offset, 65 + 32766 * 76);

  b.Chunk("GLOB", 0xFFFF, 0, "", "");
  ExpectIffError([&] { gsReadIFFImage(file, b.Build()); }, "gsReadIFF", 2000, Fault::Overflow);
  EXPECT_EQ(file.Chunks.size(), 32767u);
}

TEST_F(IffReader, ReadingAgainDropsEarlierChunksAndGroupsOnly) {
  const Bytes withMap =
      IffBuilder().Chunk("STR#", 1, 0, "", "").Map(OneEntryMap("STR#", 1)).Build();
  const Bytes withoutMap = IffBuilder().Chunk("BHAV", 2, 0, "", "").Build();
  IffFile file;
  gsReadIFFImage(file, withMap);
  const Bytes mapHeader = file.RsmpHeader;
  gsReadIFFImage(file, withoutMap);
  ASSERT_EQ(file.Chunks.size(), 1u);
  EXPECT_EQ(file.Chunks[0].Type, "BHAV");
  EXPECT_TRUE(file.RsmpTypes.empty());
  // Header, size and type count stay until a map is read.
  EXPECT_EQ(file.RsmpHeader, mapHeader);
  EXPECT_EQ(file.RsmpTypeCount, 1);
}

TEST_F(IffReader, FailureAfterTheMapReportsTheReadersOwnStage) {
  const Bytes image = IffBuilder()
                          .Chunk("STR#", 1, 0, "", "")
                          .Map(OneEntryMap("STR#", 1))
                          .Chunk("BHAV", 2, 0, "", "", 12)
                          .Build();
  IffFile file;
  ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadIFF", 2000, Fault::InvalidArgument);
}

TEST_F(IffReader, MapReaderFailureEndsTheWholeRead) {
  // A map whose type count is 0 fails after its count field, in the map
  // reader, and nothing after it is read.
  const Bytes image =
      IffBuilder().Map(MapSpec{.groups = {}}).Chunk("BHAV", 2, 0, "", "after").Build();
  IffFile file;
  ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadRSMP", 1000,
                 Fault::SubscriptOutOfRange);
  EXPECT_TRUE(file.Chunks.empty());
}

TEST_F(IffReader, PathFormReadsTheFileThroughTheFileSystem) {
  MemoryFileSystem fs;
  const Bytes image = IffBuilder().Chunk("STR#", 1, 0, "", "abc").Build();
  fs.AddFile("C:\\Sims\\GameData\\live.iff", image);
  IffFile file;
  gsReadIFF(file, "C:\\Sims\\GameData\\live.iff", fs);
  ASSERT_EQ(file.Chunks.size(), 1u);
  EXPECT_EQ(file.Chunks[0].Data, "abc");
}

TEST_F(IffReader, PathFormReportsAMissingFileAt1000) {
  MemoryFileSystem fs;
  IffFile file;
  file.Chunks.resize(2);
  const IffError error =
      ExpectIffError([&] { gsReadIFF(file, "C:\\nowhere\\live.iff", fs); }, "gsReadIFF", 1000,
                     static_cast<int32_t>(syserr::kFileNotFound));
  EXPECT_NE(error.description().find("C:\\nowhere\\live.iff"), std::string::npos);
  EXPECT_TRUE(file.Chunks.empty());
}

}  // namespace
}  // namespace qm
