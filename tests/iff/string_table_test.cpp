#include "2-iff/StringTable.h"

#include <gtest/gtest.h>

#include "ExpectIffError.h"
#include "testkit/IffBuilder.h"

namespace qm {
namespace {

using test::B;
using StringTables = ::testing::Test;
using test::ExpectIffError;

const Bytes kId = B({0x00, 0x96, 0x00, 0x10});
const Bytes kTwoNames = B({0xFD, 0xFF, 0x02, 0x00, 0x00, 0x41, 0x6E, 0x6E, 0x00, 0x00, 0x00, 0x42,
                           0x6F, 0x00, 0x78, 0x00});

IffChunk Chunk(const Bytes& type, const Bytes& idFlags, const Bytes& data) {
  IffChunk c;
  c.Offset = 65;
  c.Type = type;
  c.Size = LongToBEBytes(static_cast<int32_t>(76 + data.size()));
  c.IdFlags = idFlags;
  c.Label = Bytes(64, '\0');
  c.Data = data;
  return c;
}

IffFile FileWith(std::vector<IffChunk> chunks) {
  IffFile f;
  f.Chunks = std::move(chunks);
  return f;
}

TEST_F(StringTables, DecodesTwoEntriesAndEncodesThemBack) {
  IffFile file = FileWith({Chunk("STR#", kId, kTwoNames)});
  StringTable table;
  gsReadSTRSegment(file, table, kId, false);
  EXPECT_EQ(table.FormatCode, B({0xFD, 0xFF}));
  EXPECT_EQ(table.CountBytes, B({0x02, 0x00}));
  ASSERT_EQ(table.Entries.size(), 2u);
  EXPECT_EQ(table.Entries[0].LanguageCode, B({0}));
  EXPECT_EQ(table.Entries[0].Value, "Ann");
  EXPECT_EQ(table.Entries[0].Comment, "");
  EXPECT_EQ(table.Entries[1].LanguageCode, B({0}));
  EXPECT_EQ(table.Entries[1].Value, "Bo");
  EXPECT_EQ(table.Entries[1].Comment, "x");
  EXPECT_EQ(table.Trailer, "");

  file.Chunks[0].Size = B({0, 0, 0, 0});
  gsWriteSTRSegment(file, table, kId, false);
  EXPECT_EQ(file.Chunks[0].Data, kTwoNames);
  EXPECT_EQ(file.Chunks[0].Size, B({0x00, 0x00, 0x00, 0x5C}));
}

TEST_F(StringTables, LongerValueGrowsDataAndSizeButNotTheCount) {
  IffFile file = FileWith({Chunk("STR#", kId, kTwoNames)});
  StringTable table;
  gsReadSTRSegment(file, table, kId, false);
  table.Entries[0].Value = "Anna";
  gsWriteSTRSegment(file, table, kId, false);
  Bytes expected = kTwoNames;
  expected.insert(8, "a");
  EXPECT_EQ(file.Chunks[0].Data, expected);
  EXPECT_EQ(file.Chunks[0].Size, B({0x00, 0x00, 0x00, 0x5D}));
  EXPECT_EQ(file.Chunks[0].Data.substr(2, 2), B({0x02, 0x00}));
}

TEST_F(StringTables, BytesAfterTheLastEntryAreTheTrailer) {
  IffFile file = FileWith({Chunk("STR#", kId, kTwoNames + B({1, 2, 3}))});
  StringTable table;
  gsReadSTRSegment(file, table, kId, false);
  EXPECT_EQ(table.Trailer, B({1, 2, 3}));
  gsWriteSTRSegment(file, table, kId, false);
  EXPECT_EQ(file.Chunks[0].Data, kTwoNames + B({1, 2, 3}));
}

TEST_F(StringTables, CountOfZeroKeepsTheEarlierTrailerAndDropsTheRest) {
  IffFile file = FileWith({Chunk("STR#", kId, B({0xFD, 0xFF, 0x00, 0x00, 9, 9, 9}))});
  StringTable table;
  table.Trailer = "old";
  table.Entries.resize(4);
  gsReadSTRSegment(file, table, kId, false);
  EXPECT_TRUE(table.Entries.empty());
  EXPECT_EQ(table.Trailer, "old");
  table.Trailer.clear();
  gsWriteSTRSegment(file, table, kId, false);
  EXPECT_EQ(file.Chunks[0].Data, B({0xFD, 0xFF, 0x00, 0x00}));
  EXPECT_EQ(file.Chunks[0].Size, B({0, 0, 0, 80}));
}

TEST_F(StringTables, DataShorterThanItsHeadIsPaddedWithSpaces) {
  IffFile file = FileWith({Chunk("STR#", kId, B({0xFD, 0xFF, 0x00}))});
  StringTable table;
  ExpectIffError([&] { gsReadSTRSegment(file, table, kId, false); }, "gsReadSTRSegment", 6000,
                 Fault::InvalidArgument);
  EXPECT_EQ(table.FormatCode, B({0xFD, 0xFF}));
  EXPECT_EQ(table.CountBytes, B({0x00, 0x20}));
  // Count 0x2000 = 8192 entries, and the data holds none of them.
  EXPECT_FALSE(table.Entries.empty());
}

TEST_F(StringTables, CountBeyondTheEntriesPresentFailsAtTheFirstMissingOne) {
  Bytes data = kTwoNames;
  data[2] = 3;
  IffFile file = FileWith({Chunk("STR#", kId, data)});
  StringTable table;
  table.Trailer = "kept";
  ExpectIffError([&] { gsReadSTRSegment(file, table, kId, false); }, "gsReadSTRSegment", 6000,
                 Fault::InvalidArgument);
  ASSERT_EQ(table.Entries.size(), 3u);
  EXPECT_EQ(table.Entries[0].Value, "Ann");
  EXPECT_EQ(table.Entries[1].Comment, "x");
  EXPECT_EQ(table.Entries[2].LanguageCode, " ");  // past the end of the data
  EXPECT_EQ(table.Trailer, "kept");
}

TEST_F(StringTables, CommentWithoutTerminatorFailsAt7000) {
  IffFile file = FileWith({Chunk("STR#", kId, B({0xFD, 0xFF, 0x01, 0x00, 0x00, 'A', 0x00, 'c'}))});
  StringTable table;
  ExpectIffError([&] { gsReadSTRSegment(file, table, kId, false); }, "gsReadSTRSegment", 7000,
                 Fault::InvalidArgument);
  EXPECT_EQ(table.Entries.at(0).Value, "A");
}

TEST_F(StringTables, CountAbove32767FailsAt4000) {
  IffFile file = FileWith({Chunk("STR#", kId, B({0xFD, 0xFF, 0x40, 0x9C}))});
  StringTable table;
  ExpectIffError([&] { gsReadSTRSegment(file, table, kId, false); }, "gsReadSTRSegment", 4000,
                 Fault::Overflow);
  EXPECT_TRUE(table.Entries.empty());
}

TEST_F(StringTables, AnyFormatCodeDecodesByTheSameLayout) {
  Bytes data = kTwoNames;
  data[0] = 0;
  data[1] = 0;
  IffFile file = FileWith({Chunk("STR#", kId, data)});
  StringTable table;
  gsReadSTRSegment(file, table, kId, false);
  EXPECT_EQ(table.FormatCode, B({0, 0}));
  EXPECT_EQ(table.Entries.size(), 2u);
}

TEST_F(StringTables, MatchesTypeAndAllFourIdFlagsBytes) {
  const Bytes otherFlags = B({0x00, 0x96, 0x00, 0x11});
  IffFile file = FileWith({Chunk("str#", kId, kTwoNames), Chunk("STR#", otherFlags, kTwoNames),
                           Chunk("CTSS", kId, kTwoNames)});
  StringTable table;
  table.FormatCode = "ab";
  gsReadSTRSegment(file, table, kId, false);
  EXPECT_TRUE(table.Entries.empty());
  EXPECT_EQ(table.FormatCode, "ab");

  gsReadSTRSegment(file, table, kId, true);
  EXPECT_EQ(table.Entries.size(), 2u);
  table.Entries[0].Value = "Zed";
  gsWriteSTRSegment(file, table, kId, true);
  EXPECT_EQ(file.Chunks[0].Data, kTwoNames);
  EXPECT_EQ(file.Chunks[1].Data, kTwoNames);
  EXPECT_EQ(file.Chunks[2].Data.substr(5, 3), "Zed");
}

TEST_F(StringTables, EncoderTreatsEveryMatchAndNothingElse) {
  IffFile file = FileWith(
      {Chunk("STR#", kId, kTwoNames), Chunk("BHAV", kId, "x"), Chunk("STR#", kId, B({1, 2}))});
  StringTable table;
  gsReadSTRSegment(file, table, kId, false);
  table.Entries[1].Value = "Bob";
  gsWriteSTRSegment(file, table, kId, false);
  EXPECT_EQ(file.Chunks[0].Data, file.Chunks[2].Data);
  EXPECT_EQ(file.Chunks[2].Size, B({0, 0, 0, 76 + 17}));
  EXPECT_EQ(file.Chunks[1].Data, "x");

  const IffFile before = file;
  gsWriteSTRSegment(file, table, B({9, 9, 9, 9}), false);
  EXPECT_EQ(file.Chunks[0].Data, before.Chunks[0].Data);
  EXPECT_EQ(file.Chunks[2].Size, before.Chunks[2].Size);
}

TEST_F(StringTables, EncoderFailureHasLocationZero) {
  IffFile file = FileWith({Chunk("STR#", kId, kTwoNames)});
  StringTable table;
  table.Entries.resize(32768);
  ExpectIffError([&] { gsWriteSTRSegment(file, table, kId, false); }, "gsWriteSTRSegment", 0,
                 Fault::Overflow);
  EXPECT_EQ(file.Chunks[0].Data, kTwoNames);
}

}  // namespace
}  // namespace qm
