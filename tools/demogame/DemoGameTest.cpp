// The demo game's live.iff: a well-formed file that the IFF library reads and
// writes back byte for byte, with seven name tables in 17 languages, each
// language's block larger than the lists.

#include <gtest/gtest.h>

#include <string>

#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "4-behaviour/LanguageBlocks.h"
#include "tools/demogame/DemoGame.h"

namespace qm::demo {
namespace {

Bytes IdFlags(uint16_t id, uint16_t flags) {
  return Bytes{static_cast<char>(id >> 8), static_cast<char>(id), static_cast<char>(flags >> 8),
               static_cast<char>(flags)};
}

TEST(DemoGame, LiveIffRoundTripsByteIdentically) {
  const Bytes image = DemoLiveImage();
  IffFile file;
  gsReadIFFImage(file, image);
  Bytes again;
  gsWriteIFFImage(file, again);
  EXPECT_EQ(again, image);
}

TEST(DemoGame, MapIsLastWithItsSizeAndAnEntryPerChunk) {
  const Bytes image = DemoLiveImage();
  IffFile file;
  gsReadIFFImage(file, image);
  const int32_t mapOffset = BEBytesToLong(image.substr(60, 4));
  ASSERT_GT(mapOffset, 64);
  EXPECT_EQ(image.substr(static_cast<size_t>(mapOffset), 4), "rsmp");
  const int32_t mapLength = static_cast<int32_t>(image.size()) - mapOffset;
  // The chunk header's size field (big-endian) and the map's own size field
  // (little-endian, after the 88-byte header) both hold the whole length.
  EXPECT_EQ(BEBytesToLong(image.substr(static_cast<size_t>(mapOffset) + 4, 4)), mapLength);
  EXPECT_EQ(LEBytesToLong(image.substr(static_cast<size_t>(mapOffset) + 88, 4)), mapLength);

  size_t entries = 0;
  for (const RsmpType& group : file.RsmpTypes) {
    for (const RsmpEntry& entry : group.Entries) {
      ++entries;
      const size_t at = static_cast<size_t>(LEBytesToLong(entry.Offset));
      EXPECT_EQ(image.substr(at, 4), ReverseBytes4(group.Code)) << "entry at " << at;
      EXPECT_EQ(image[at + 8], entry.IdFlags[1]);
      EXPECT_EQ(image[at + 9], entry.IdFlags[0]);
    }
  }
  EXPECT_EQ(entries, file.Chunks.size());
  EXPECT_GE(file.RsmpTypes.size(), 6u);
}

TEST(DemoGame, NameTablesHoldSeventeenLanguagesUsEnglishFirst) {
  IffFile file;
  gsReadIFFImage(file, DemoLiveImage());
  int highNamesShown = 0;
  for (int list = 0; list < 7; ++list) {
    StringTable table;
    gsReadSTRSegment(file, table, IdFlags(kNameChunkIds[list], 0x0010), false);
    const LanguageBlocks blocks = FindLanguageBlocks(table, 51);
    EXPECT_EQ(blocks.codes.size(), 17u) << "list " << list;
    ASSERT_EQ(blocks.length, static_cast<size_t>(kNamesPerBlock)) << "list " << list;
    const std::vector<std::string> names = DemoNames(list);
    for (int i = 0; i < kNamesPerBlock; ++i) {
      EXPECT_EQ(table.Entries[i].Value, names[i]) << "list " << list << " entry " << i + 1;
      EXPECT_FALSE(names[i].empty());
      if (i < 50) {
        for (char c : names[i]) highNamesShown += static_cast<unsigned char>(c) > 127 ? 1 : 0;
      }
    }
  }
  EXPECT_GE(highNamesShown, 7);
  EXPECT_EQ(DemoNames(3)[20], "Mar\x8Dy");
}

}  // namespace
}  // namespace qm::demo
