#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>

#include "2-iff/IffFile.h"
#include "ExpectIffError.h"
#include "testkit/IffBuilder.h"

namespace qm {
namespace {

using test::B;
using test::IffBuilder;
using test::Le32;
using test::MapEntrySpec;
using test::MapSpec;
using ResourceMap = ::testing::Test;
using test::ExpectIffError;

// A file whose map is its only chunk, with one STR# group of these entries.
Bytes MapOnly(std::vector<MapEntrySpec> entries) {
  for (MapEntrySpec& e : entries) e.offset = e.offset.value_or(0);
  return IffBuilder().Map(MapSpec{.groups = {{.type = "STR#", .entries = entries}}}).Build();
}

constexpr size_t kMapAt = 64;
constexpr size_t kFirstLabel = 112;  // from the map chunk's first byte

TEST_F(ResourceMap, ReadsFieldsLittleEndianAndTypeCodesReversed) {
  const Bytes image =
      IffBuilder()
          .Chunk("STR#", 0x0096, 0x0010, "", "")
          .Map(MapSpec{.groups = {{.type = "STR#",
                                   .entries = {{.id = 0x0096, .flags = 0x0010, .label = "abc"}}}},
                       .sizeField = 0x1234})
          .Build();
  IffFile file;
  gsReadIFFImage(file, image);
  EXPECT_EQ(file.RsmpSize, 0x1234);
  EXPECT_EQ(file.RsmpTypeCount, 1);
  ASSERT_EQ(file.RsmpTypes.size(), 1u);
  const RsmpType& g = file.RsmpTypes[0];
  EXPECT_EQ(g.Code, "#RTS");
  EXPECT_EQ(g.Count, 1);
  ASSERT_EQ(g.Entries.size(), 1u);
  EXPECT_EQ(g.Entries[0].Offset, Le32(64));
  EXPECT_EQ(g.Entries[0].IdFlags, B({0x96, 0x00, 0x10, 0x00}));
  EXPECT_EQ(g.Entries[0].Label, Bytes("abc", 4));
}

TEST_F(ResourceMap, LabelEndingAtEvenCountHasNoPadByte) {
  // "abc" + 00 ends after byte 116 of the map chunk: even, so the next entry
  // starts at once.
  const Bytes image =
      MapOnly({{.id = 1, .rawLabel = Bytes("abc\0", 4)}, {.id = 2, .rawLabel = B({'q', 0xA3})}});
  IffFile file;
  gsReadIFFImage(file, image);
  ASSERT_EQ(file.RsmpTypes.at(0).Entries.size(), 2u);
  EXPECT_EQ(file.RsmpTypes[0].Entries[0].Label, Bytes("abc\0", 4));
  EXPECT_EQ(file.RsmpTypes[0].Entries[1].IdFlags, B({2, 0, 0, 0}));
  EXPECT_EQ(file.RsmpTypes[0].Entries[1].Label, B({'q', 0xA3}));
}

TEST_F(ResourceMap, LabelEndingAtOddCountTakesOnePadByte) {
  // "ab" + 00 ends after byte 115: odd, so one more byte belongs to the label.
  const Bytes image = MapOnly(
      {{.id = 1, .rawLabel = B({'a', 'b', 0, 0x5A})}, {.id = 2, .rawLabel = B({'q', 0xA3})}});
  ASSERT_EQ(image.substr(kMapAt + kFirstLabel, 4), B({'a', 'b', 0, 0x5A}));
  IffFile file;
  gsReadIFFImage(file, image);
  EXPECT_EQ(file.RsmpTypes.at(0).Entries.at(0).Label, B({'a', 'b', 0, 0x5A}));
  EXPECT_EQ(file.RsmpTypes[0].Entries.at(1).IdFlags, B({2, 0, 0, 0}));
}

TEST_F(ResourceMap, LabelEndedBy0xA3TakesNoPadByte) {
  // 'a' + A3 ends after byte 114, 'ab' + A3 after 115 (odd): neither pads.
  const Bytes image = MapOnly({{.id = 1, .rawLabel = B({'a', 'b', 0xA3})},
                               {.id = 2, .rawLabel = B({0xA3})},
                               {.id = 3, .rawLabel = B({0x00, 0x77})}});
  IffFile file;
  gsReadIFFImage(file, image);
  const auto& entries = file.RsmpTypes.at(0).Entries;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Label, B({'a', 'b', 0xA3}));
  EXPECT_EQ(entries[1].IdFlags, B({2, 0, 0, 0}));
  EXPECT_EQ(entries[1].Label, B({0xA3}));
  // Third label's 00 is byte 115 + 8 + 1 + 8 + 1 = 133: odd, so it pads.
  EXPECT_EQ(entries[2].Label, B({0x00, 0x77}));
}

TEST_F(ResourceMap, EmptyLabelIsOneZeroByteAndItsPadWhenOdd) {
  // 00 at byte 113: odd, pad. A3 at byte 123. 00 at byte 132: even, no pad.
  const Bytes image = MapOnly({{.id = 1, .rawLabel = B({0x00, 0xA3})},
                               {.id = 2, .rawLabel = B({0xA3})},
                               {.id = 3, .rawLabel = B({0x00})}});
  IffFile file;
  gsReadIFFImage(file, image);
  const auto& entries = file.RsmpTypes.at(0).Entries;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Label, B({0x00, 0xA3}));
  EXPECT_EQ(entries[1].Label, B({0xA3}));
  EXPECT_EQ(entries[2].Label, B({0x00}));
}

TEST_F(ResourceMap, MapEndsAfterTheLastLabelWhateverItsSizeFieldSays) {
  for (int32_t sizeField : {0, 5, 1000000}) {
    const Bytes image = IffBuilder()
                            .Chunk("STR#", 1, 0, "", "")
                            .Map(MapSpec{.groups = {{.type = "STR#", .entries = {{.id = 1}}}},
                                         .sizeField = sizeField})
                            .Chunk("BHAV", 9, 0, "", "after")
                            .Build();
    IffFile file;
    gsReadIFFImage(file, image);
    EXPECT_EQ(file.RsmpSize, sizeField);
    ASSERT_EQ(file.Chunks.size(), 2u);
    EXPECT_EQ(file.Chunks[1].Data, "after");
  }
}

struct CountCase {
  int32_t typeCount;
  int32_t entryCount;
  int32_t location;
  Fault fault;
};

TEST_F(ResourceMap, CountsBelowOneOrAbove32767EndTheMapRead) {
  const CountCase cases[] = {
      {0, 1, 1000, Fault::SubscriptOutOfRange}, {-1, 1, 1000, Fault::SubscriptOutOfRange},
      {32768, 1, 1000, Fault::Overflow},        {INT32_MAX, 1, 1000, Fault::Overflow},
      {1, 0, 2000, Fault::SubscriptOutOfRange}, {1, INT32_MIN, 2000, Fault::SubscriptOutOfRange},
      {1, 40000, 2000, Fault::Overflow},        {1, INT32_MAX, 2000, Fault::Overflow},
  };
  for (const CountCase& c : cases) {
    const Bytes image =
        IffBuilder()
            .Chunk("STR#", 1, 0, "", "")
            .Map(
                MapSpec{.groups = {{.type = "STR#", .entries = {{.id = 1}}, .count = c.entryCount}},
                        .typeCount = c.typeCount})
            .Build();
    IffFile file;
    SCOPED_TRACE(std::to_string(c.typeCount) + "/" + std::to_string(c.entryCount));
    ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadRSMP", c.location, c.fault);
    EXPECT_EQ(file.RsmpTypeCount, c.typeCount);
  }
}

TEST_F(ResourceMap, CountsLargerThanTheEntriesPresentRunIntoTheEnd) {
  const Bytes image =
      IffBuilder()
          .Chunk("STR#", 1, 0, "", "")
          .Map(MapSpec{.groups = {{.type = "STR#", .entries = {{.id = 1}}, .count = 30000}}})
          .Build();
  IffFile file;
  ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadRSMP", 3000,
                 Fault::UnexpectedEndOfFile);
  ASSERT_EQ(file.RsmpTypes.size(), 1u);
  EXPECT_EQ(file.RsmpTypes[0].Entries.size(), 2u);  // the one read, the one cut short
  EXPECT_EQ(file.Chunks.size(), 1u);
}

TEST_F(ResourceMap, LabelRunningIntoTheEndFailsAt4000) {
  const Bytes image = MapOnly({{.id = 1, .label = "ok"}, {.id = 2, .rawLabel = "no end"}});
  IffFile file;
  ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadRSMP", 4000,
                 Fault::UnexpectedEndOfFile);
  ASSERT_EQ(file.RsmpTypes.at(0).Entries.size(), 2u);
  EXPECT_EQ(file.RsmpTypes[0].Entries[0].Label, B({'o', 'k', 0, 0xA3}));
}

TEST_F(ResourceMap, PadByteMissingAtTheEndFailsAt4000) {
  const Bytes image = MapOnly({{.id = 1, .rawLabel = B({'a', 'b', 0})}});
  IffFile file;
  ExpectIffError([&] { gsReadIFFImage(file, image); }, "gsReadRSMP", 4000,
                 Fault::UnexpectedEndOfFile);
}

// --- gsUpdateRsmp ---

IffChunk MakeChunk(const Bytes& type, uint16_t id, uint16_t flags, int32_t offset) {
  IffChunk c;
  c.Offset = offset;
  c.Type = type;
  c.Size = B({0, 0, 0, 76});
  c.IdFlags = test::Be16(id) + test::Be16(flags);
  c.Label = Bytes(64, '\0');
  return c;
}

RsmpEntry MakeEntry(uint16_t id, uint16_t flags, uint32_t offset) {
  return RsmpEntry{Le32(offset), test::Le16(id) + test::Le16(flags), B({0, 0xA3})};
}

RsmpType MakeGroup(const Bytes& type, std::vector<RsmpEntry> entries) {
  RsmpType g;
  g.Code = ReverseBytes4(type);
  g.Count = static_cast<int32_t>(entries.size());
  g.Entries = std::move(entries);
  return g;
}

IffFile MakeFile(std::vector<IffChunk> chunks, std::vector<RsmpType> groups) {
  IffFile f;
  f.Chunks = std::move(chunks);
  f.RsmpTypeCount = static_cast<int32_t>(groups.size());
  f.RsmpTypes = std::move(groups);
  return f;
}

TEST_F(ResourceMap, UpdateMatchesTypeAndByteSwappedIdIgnoringFlags) {
  IffFile f =
      MakeFile({MakeChunk("STR#", 0x0096, 0x0010, 1001), MakeChunk("BHAV", 0x0096, 0, 2001),
                MakeChunk("STR#", 0x9600, 0, 3001)},
               {MakeGroup("BHAV", {MakeEntry(0x0097, 0, 7)}),
                MakeGroup("STR#", {MakeEntry(0x0096, 0x0001, 7), MakeEntry(0x0095, 0, 7)})});
  gsUpdateRsmp(f);
  EXPECT_EQ(f.RsmpTypes[1].Entries[0].Offset, Le32(1000));  // flags differ: still matches
  EXPECT_EQ(f.RsmpTypes[1].Entries[0].IdFlags, B({0x96, 0x00, 0x01, 0x00}));
  EXPECT_EQ(f.RsmpTypes[1].Entries[1].Offset, Le32(7));  // no chunk with this ID
  EXPECT_EQ(f.RsmpTypes[0].Entries[0].Offset, Le32(7));  // BHAV 0x0096 has no entry
}

TEST_F(ResourceMap, UpdateGivesLaterChunkToTheFirstEntryOnly) {
  IffFile f = MakeFile(
      {MakeChunk("STR#", 5, 0, 101), MakeChunk("STR#", 5, 1, 201), MakeChunk("CTSS", 5, 0, 301)},
      {MakeGroup("STR#", {MakeEntry(5, 0, 7), MakeEntry(5, 1, 7)}),
       MakeGroup("STR#", {MakeEntry(5, 0, 7)})});
  gsUpdateRsmp(f);
  EXPECT_EQ(f.RsmpTypes[0].Entries[0].Offset, Le32(200));
  EXPECT_EQ(f.RsmpTypes[0].Entries[1].Offset, Le32(7));
  EXPECT_EQ(f.RsmpTypes[1].Entries[0].Offset, Le32(7));
}

TEST_F(ResourceMap, UpdateLooksOnlyAsFarAsTheCountsSay) {
  IffFile f = MakeFile({MakeChunk("STR#", 1, 0, 101), MakeChunk("STR#", 2, 0, 201)},
                       {MakeGroup("STR#", {MakeEntry(1, 0, 7), MakeEntry(2, 0, 7)})});
  f.RsmpTypes[0].Count = 1;
  gsUpdateRsmp(f);
  EXPECT_EQ(f.RsmpTypes[0].Entries[0].Offset, Le32(100));
  EXPECT_EQ(f.RsmpTypes[0].Entries[1].Offset, Le32(7));
}

TEST_F(ResourceMap, UpdatePastTheListsFailsAtTheFirstChunkWithoutAnEarlierMatch) {
  // Type count 2 with one group: chunk 1 matches before the scan runs off the
  // list, chunk 2 does not, and the scan for it fails.
  IffFile f = MakeFile(
      {MakeChunk("STR#", 1, 0, 101), MakeChunk("STR#", 9, 0, 201), MakeChunk("STR#", 1, 0, 301)},
      {MakeGroup("STR#", {MakeEntry(1, 0, 7)})});
  f.RsmpTypeCount = 2;
  ExpectIffError([&] { gsUpdateRsmp(f); }, "gsUpdateRsmp", 0, Fault::SubscriptOutOfRange);
  EXPECT_EQ(f.RsmpTypes[0].Entries[0].Offset, Le32(100));  // chunk 3 never reached

  IffFile g = MakeFile({MakeChunk("STR#", 9, 0, 101)}, {MakeGroup("STR#", {MakeEntry(1, 0, 7)})});
  g.RsmpTypes[0].Count = 40000;
  ExpectIffError([&] { gsUpdateRsmp(g); }, "gsUpdateRsmp", 0, Fault::Overflow);
}

// The plain nested scan, chunks by groups by entries, as the reference.
void NestedScan(IffFile& f) {
  for (const IffChunk& c : f.Chunks) {
    bool matched = false;
    for (int32_t g = 0; g < f.RsmpTypeCount && !matched; ++g) {
      RsmpType& group = f.RsmpTypes[g];
      for (int32_t e = 0; e < group.Count && !matched; ++e) {
        RsmpEntry& entry = group.Entries[e];
        if (c.Type == ReverseBytes4(group.Code) && c.IdFlags[0] == entry.IdFlags[1] &&
            c.IdFlags[1] == entry.IdFlags[0]) {
          entry.Offset = LongToLEBytes(c.Offset - 1);
          matched = true;
        }
      }
    }
  }
}

TEST_F(ResourceMap, UpdateAgreesWithTheNestedScanOnRandomMaps) {
  std::mt19937 rng(20240607);
  const Bytes types[] = {"STR#", "BHAV", "CTSS", "OBJD"};
  for (int round = 0; round < 200; ++round) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::vector<IffChunk> chunks;
    const int chunkCount = pick(30);
    for (int i = 0; i < chunkCount; ++i) {
      chunks.push_back(MakeChunk(types[pick(4)], static_cast<uint16_t>(pick(8) | pick(2) << 8),
                                 static_cast<uint16_t>(pick(3)), 65 + i * 100));
    }
    std::vector<RsmpType> groups;
    const int groupCount = 1 + pick(5);
    for (int g = 0; g < groupCount; ++g) {
      std::vector<RsmpEntry> entries;
      const int entryCount = 1 + pick(8);
      for (int e = 0; e < entryCount; ++e) {
        entries.push_back(
            MakeEntry(static_cast<uint16_t>(pick(8) | pick(2) << 8), 0, 1 + g * 10 + e));
      }
      groups.push_back(MakeGroup(types[pick(4)], std::move(entries)));
    }
    IffFile indexed = MakeFile(chunks, groups);
    IffFile scanned = indexed;
    gsUpdateRsmp(indexed);
    NestedScan(scanned);
    for (size_t g = 0; g < groups.size(); ++g) {
      for (size_t e = 0; e < indexed.RsmpTypes[g].Entries.size(); ++e) {
        ASSERT_EQ(indexed.RsmpTypes[g].Entries[e].Offset, scanned.RsmpTypes[g].Entries[e].Offset)
            << "round " << round << " group " << g << " entry " << e;
      }
    }
  }
}

// For each chunk in order, the first entry of its type and ID in scan order,
// found through an ordered map: a second reference, fast enough for maps
// too large for the nested scan.
void MapScan(IffFile& f) {
  std::map<std::pair<Bytes, Bytes>, RsmpEntry*> first;
  for (RsmpType& group : f.RsmpTypes) {
    for (RsmpEntry& entry : group.Entries) {
      first.emplace(std::pair(ReverseBytes4(group.Code), Bytes{entry.IdFlags[1], entry.IdFlags[0]}),
                    &entry);
    }
  }
  for (const IffChunk& c : f.Chunks) {
    const auto found = first.find({c.Type.str(), Bytes(c.IdFlags.substr(0, 2))});
    if (found != first.end()) found->second->Offset = LongToLEBytes(c.Offset - 1);
  }
}

TEST_F(ResourceMap, UpdateOfALargeMapAgreesWithTheReference) {
  // Enough entries for the update to split them into parts; repeated IDs
  // within and across groups, and chunks with and without an entry.
  std::mt19937 rng(99);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const Bytes types[] = {"STR#", "BHAV", "CTSS", "OBJD", "SPR2"};
  std::vector<IffChunk> chunks;
  for (int i = 0; i < 12000; ++i) {
    chunks.push_back(MakeChunk(types[pick(5)], static_cast<uint16_t>(pick(4000)),
                               static_cast<uint16_t>(pick(3)), 65 + i * 80));
  }
  std::vector<RsmpType> groups;
  for (int g = 0; g < 6; ++g) {
    std::vector<RsmpEntry> entries;
    for (int e = 0; e < 1500 + pick(500); ++e) {
      entries.push_back(MakeEntry(static_cast<uint16_t>(pick(4000)), 0, 7));
    }
    groups.push_back(MakeGroup(types[g % 5], std::move(entries)));  // "STR#" twice
  }
  IffFile indexed = MakeFile(chunks, groups);
  IffFile reference = indexed;
  gsUpdateRsmp(indexed);
  MapScan(reference);
  size_t updated = 0;
  for (size_t g = 0; g < groups.size(); ++g) {
    for (size_t e = 0; e < indexed.RsmpTypes[g].Entries.size(); ++e) {
      ASSERT_EQ(indexed.RsmpTypes[g].Entries[e].Offset, reference.RsmpTypes[g].Entries[e].Offset)
          << "group " << g << " entry " << e;
      updated += indexed.RsmpTypes[g].Entries[e].Offset != Le32(7);
    }
  }
  EXPECT_GT(updated, 1000u);  // the comparison covered real updates
}

}  // namespace
}  // namespace qm
