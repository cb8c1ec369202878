#include <gtest/gtest.h>

#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "ExpectIffError.h"
#include "support/MemoryFileSystem.h"
#include "testkit/IffBuilder.h"

namespace qm {
namespace {

using test::B;
using test::Be32;
using test::IffBuilder;
using test::Le32;
using test::MapGroupSpec;
using test::MapSpec;
using IffWriter = ::testing::Test;
using test::ExpectIffError;

const Bytes kNames =
    B({0xFD, 0xFF, 0x02, 0x00, 0x00, 'A', 'n', 'n', 0x00, 0x00, 0x00, 'B', 'o', 0x00, 'x', 0x00});

MapSpec FullMap() {
  return MapSpec{
      .groups = {
          {.type = "STR#",
           .entries = {{.id = 0x0096, .flags = 0x10, .label = "Names"},
                       {.id = 0x0097, .label = "More"}}},
          {.type = "BHAV", .entries = {{.id = 0x1000, .label = "main", .terminator = '\xA3'}}},
      }};
}

// Header, three chunks, and a map, in the order the caller adds the map.
IffBuilder& AddChunks(IffBuilder& b, const Bytes& names = kNames) {
  b.Chunk("STR#", 0x0096, 0x0010, "Names", names);
  b.Chunk("STR#", 0x0097, 0x0010, "More", "FD FF 00 00");
  b.Chunk("BHAV", 0x1000, 0x0010, "main", Bytes(33, 'b'));
  return b;
}

Bytes WellFormed(const Bytes& names = kNames) {
  IffBuilder b;
  AddChunks(b, names).Map(FullMap());
  return b.Build();
}

Bytes Rewrite(const Bytes& input, IffFile& file) {
  gsReadIFFImage(file, input);
  Bytes output;
  gsWriteIFFImage(file, output);
  return output;
}

TEST_F(IffWriter, WellFormedFileComesBackByteForByte) {
  const Bytes input = WellFormed();
  IffFile file;
  EXPECT_EQ(Rewrite(input, file), input);
}

TEST_F(IffWriter, FirstChunkLandsAt65AndEveryOffsetIsSet) {
  const Bytes input = WellFormed();
  IffFile file;
  gsReadIFFImage(file, input);
  for (IffChunk& c : file.Chunks) c.Offset = 0;
  Bytes output;
  gsWriteIFFImage(file, output);
  EXPECT_EQ(file.Chunks[0].Offset, 65);
  EXPECT_EQ(file.Chunks[1].Offset, 65 + 76 + 16);
  EXPECT_EQ(file.Chunks[2].Offset, 65 + 76 + 16 + 76 + 11);
}

TEST_F(IffWriter, MapInTheMiddleMovesToTheEnd) {
  IffBuilder middle;
  middle.Chunk("STR#", 0x0096, 0x0010, "Names", kNames).Map(FullMap());
  middle.Chunk("STR#", 0x0097, 0x0010, "More", "FD FF 00 00");
  middle.Chunk("BHAV", 0x1000, 0x0010, "main", Bytes(33, 'b'));
  IffFile file;
  const Bytes output = Rewrite(middle.Build(), file);
  EXPECT_EQ(output, WellFormed());
}

TEST_F(IffWriter, GrownStringTableShiftsLaterChunksAndTheirEntries) {
  IffFile file;
  gsReadIFFImage(file, WellFormed());
  StringTable table;
  const Bytes id = HexTextToBytes("00 96 00 10");
  gsReadSTRSegment(file, table, id, false);
  table.Entries[0].Value = "Anna";
  gsWriteSTRSegment(file, table, id, false);
  Bytes output;
  gsWriteIFFImage(file, output);

  Bytes grown = kNames;
  grown.insert(8, "a");
  EXPECT_EQ(output, WellFormed(grown));
  EXPECT_EQ(file.Chunks[2].Offset, 65 + 76 + 17 + 76 + 11);
  EXPECT_EQ(file.RsmpTypes.at(1).Entries.at(0).Offset, Le32(64 + 76 + 17 + 76 + 11));
}

TEST_F(IffWriter, WithoutHasRsmpTheMapIsDroppedAndTheHeaderFieldZeroed) {
  for (const Bytes& field : {B({0, 0, 0, 0}), Bytes("0000")}) {
    IffBuilder in;
    AddChunks(in).Map(FullMap()).MapOffsetField(field);
    IffBuilder expected;
    AddChunks(expected).MapOffsetField(B({0, 0, 0, 0}));
    IffFile file;
    EXPECT_EQ(Rewrite(in.Build(), file), expected.Build());
    // The image itself keeps what was read.
    EXPECT_EQ(file.RsmpOffset, field);
    EXPECT_FALSE(file.RsmpTypes.empty());
  }
}

TEST_F(IffWriter, HeaderNamingAMapThatWasNeverReadWritesNoMap) {
  IffBuilder in;
  AddChunks(in).MapOffsetField(Be32(500));
  IffBuilder expected;
  AddChunks(expected).MapOffsetField(B({0, 0, 0, 0}));
  IffFile file;
  EXPECT_EQ(Rewrite(in.Build(), file), expected.Build());
  EXPECT_TRUE(file.HasRsmp);
}

TEST_F(IffWriter, MapSizeFieldBecomesTheMapChunksLength) {
  MapSpec zeroSize = FullMap();
  zeroSize.sizeField = 0;
  IffBuilder in;
  AddChunks(in).Map(zeroSize);
  IffFile file;
  EXPECT_EQ(Rewrite(in.Build(), file), WellFormed());
  EXPECT_EQ(file.RsmpSize, 0);  // the image keeps the value read
}

TEST_F(IffWriter, EntryMatchingNoChunkKeepsItsOffset) {
  MapSpec map = FullMap();
  map.groups.push_back(MapGroupSpec{.type = "OBJD", .entries = {{.id = 5, .offset = 0xABCDEF}}});
  IffBuilder in;
  AddChunks(in).Map(map);
  const Bytes input = in.Build();
  IffFile file;
  EXPECT_EQ(Rewrite(input, file), input);
  EXPECT_EQ(file.RsmpTypes.at(2).Entries.at(0).Offset, Le32(0xABCDEF));
}

TEST_F(IffWriter, CountsBeyondTheListsFailAt3000) {
  struct Case {
    const char* name;
    void (*spoil)(IffFile&);
    Fault fault;
    bool updateFails;  // the map update's scan fails too, for a chunk it cannot match
  };
  const Case cases[] = {
      {"type count past groups", [](IffFile& f) { f.RsmpTypeCount = 3; },
       Fault::SubscriptOutOfRange, false},
      {"entry count past entries", [](IffFile& f) { f.RsmpTypes[1].Count = 2; },
       Fault::SubscriptOutOfRange, false},
      {"entry count over 32767", [](IffFile& f) { f.RsmpTypes[1].Count = 40000; }, Fault::Overflow,
       true},
      {"type count over 32767", [](IffFile& f) { f.RsmpTypeCount = 32768; }, Fault::Overflow, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IffFile file;
    gsReadIFFImage(file, WellFormed());
    c.spoil(file);
    Bytes output;
    // The update fails first where it can; it sets no stage.
    ExpectIffError([&] { gsWriteIFFImage(file, output); },
                   c.updateFails ? "gsUpdateRsmp" : "gsWriteIFF", c.updateFails ? 0 : 3000,
                   c.fault);
  }
}

TEST_F(IffWriter, UpdateFailureEndsTheWriteAsTheUpdatesOwn) {
  IffFile file;
  gsReadIFFImage(file, WellFormed());
  file.Chunks.push_back(file.Chunks[0]);
  file.Chunks.back().IdFlags = B({0x77, 0x77, 0, 0});  // matches no entry
  file.RsmpTypeCount = 3;                              // and the scan runs off the list
  Bytes output;
  ExpectIffError([&] { gsWriteIFFImage(file, output); }, "gsUpdateRsmp", 0,
                 Fault::SubscriptOutOfRange);
}

TEST_F(IffWriter, MoreThan32767ChunksOverflowAt2000) {
  IffFile file;
  gsReadIFFImage(file, WellFormed());
  file.Chunks.resize(32768, file.Chunks[0]);
  Bytes output;
  ExpectIffError([&] { gsWriteIFFImage(file, output); }, "gsWriteIFF", 2000, Fault::Overflow);
}

TEST_F(IffWriter, LargestFileShiftsEveryOneOf32767Entries) {
  IffBuilder b;
  MapGroupSpec group{.type = "GLOB"};
  for (int i = 0; i < 32767; ++i) {
    b.Chunk("GLOB", static_cast<uint16_t>(i), 0, "", "");
    group.entries.push_back({.id = static_cast<uint16_t>(i), .rawLabel = Bytes(1, '\xA3')});
  }
  b.Map(MapSpec{.groups = {group}});
  IffFile file;
  gsReadIFFImage(file, b.Build());
  file.Chunks[0].Data = "grown";
  file.Chunks[0].Size = LongToBEBytes(76 + 5);
  Bytes output;
  gsWriteIFFImage(file, output);
  const std::vector<RsmpEntry>& entries = file.RsmpTypes.at(0).Entries;
  ASSERT_EQ(entries.size(), 32767u);
  EXPECT_EQ(entries[0].Offset, Le32(64));
  for (size_t i = 1; i < entries.size(); ++i) {
    ASSERT_EQ(entries[i].Offset, Le32(static_cast<uint32_t>(64 + 5 + 76 * i))) << i;
  }
  EXPECT_EQ(output.substr(60, 4), Be32(static_cast<uint32_t>(64 + 5 + 76 * 32767)));
}

// --- Path form, through the in-memory file system ---

constexpr const char* kOut = "C:\\Sims\\GameData\\Dorvane_live.iff";

TEST_F(IffWriter, PathFormCreatesTheFileAfreshAndClosesIt) {
  MemoryFileSystem fs;
  fs.AddFile(kOut, Bytes(100000, 'o'));  // an older, longer file
  IffFile file;
  gsReadIFFImage(file, WellFormed());
  gsWriteIFF(file, kOut, fs);
  EXPECT_EQ(fs.Contents(kOut), WellFormed());
  EXPECT_FALSE(fs.IsOpenForWriting(kOut));
}

TEST_F(IffWriter, PathFormFailuresAreThrownAndTheFileIsClosed) {
  struct Case {
    const char* name;
    int call;  // 1 Create, 2 Write, 3 Commit
    SysCode code;
    int32_t location;
  };
  const Case cases[] = {
      {"create", 1, syserr::kAccessDenied, 1000},
      {"write", 2, syserr::kDiskFull, 4000},
      {"commit", 3, syserr::kWriteFault, 4000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileSystem fs;
    fs.AddFolder("C:\\Sims\\GameData");
    if (c.call == 2) {
      fs.ShortWrite(2);
    } else {
      fs.FailCall(c.call, c.code);
    }
    IffFile file;
    gsReadIFFImage(file, WellFormed());
    ExpectIffError([&] { gsWriteIFF(file, kOut, fs); }, "gsWriteIFF", c.location,
                   static_cast<int32_t>(c.code));
    EXPECT_FALSE(fs.IsOpenForWriting(kOut));
  }
}

TEST_F(IffWriter, PathFormClosesTheFileWhenTheImageCannotBeBuilt) {
  MemoryFileSystem fs;
  fs.AddFolder("C:\\Sims\\GameData");
  IffFile file;
  gsReadIFFImage(file, WellFormed());
  file.Chunks[0].Label = "short";
  ExpectIffError([&] { gsWriteIFF(file, kOut, fs); }, "gsWriteIFF", 2000, Fault::InvalidArgument);
  EXPECT_FALSE(fs.IsOpenForWriting(kOut));
  EXPECT_EQ(fs.Contents(kOut), Bytes());
}

}  // namespace
}  // namespace qm
