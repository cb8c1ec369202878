// Malformed input: cut-off files, wild sizes and counts, random damage. Every
// case must end in one IffError with the right context, never in a crash.

#include <gtest/gtest.h>

#include <random>

#include "2-iff/IffFile.h"
#include "ExpectIffError.h"
#include "testkit/IffBuilder.h"

namespace qm {
namespace {

using test::IffBuilder;
using test::MapSpec;
using Malformed = ::testing::Test;
using test::CatchIffError;
using test::ExpectIffError;

// Chunk A (64..145), the map (145..271), chunk B (271..351). In the map the
// first label "ab" + 00 + pad fills bytes 112..115, the second entry 116..123
// and its label "x" + A3 bytes 124..125.
struct SmallFile {
  Bytes image;
  size_t aEnd, mapStart, mapEnd, bEnd;
};

SmallFile MakeSmallFile() {
  IffBuilder b;
  b.Chunk("STR#", 1, 0, "A", "alpha")
      .Map(MapSpec{.groups = {{.type = "STR#",
                               .entries = {{.id = 1, .label = "ab"},
                                           {.id = 2, .label = "x", .terminator = '\xA3'}}}}})
      .Chunk("STR#", 2, 0, "B", "beta");
  const Bytes image = b.Build();
  return {image, b.OffsetOf(1), b.OffsetOf(1), b.OffsetOf(2), image.size()};
}

// The map reader's stage while it reads byte `i` of the map chunk above.
int32_t MapStage(size_t i) {
  if (i < 96) return 1000;
  if (i < 104) return 2000;
  if (i < 112) return 3000;
  if (i < 116) return 4000;
  if (i < 124) return 3000;
  return 4000;
}

TEST_F(Malformed, SmallFileLayoutIsAsDescribed) {
  const SmallFile f = MakeSmallFile();
  EXPECT_EQ(f.aEnd, 145u);
  EXPECT_EQ(f.mapEnd - f.mapStart, 126u);
  EXPECT_EQ(f.bEnd, 351u);
  IffFile file;
  gsReadIFFImage(file, f.image);
  EXPECT_EQ(file.Chunks.size(), 2u);
}

TEST_F(Malformed, FileCutAtEveryLengthFailsWithTheStageReached) {
  const SmallFile f = MakeSmallFile();
  for (size_t length = 0; length < f.image.size(); ++length) {
    SCOPED_TRACE("length " + std::to_string(length));
    IffFile file;
    const auto read = [&] { gsReadIFFImage(file, std::string_view(f.image).substr(0, length)); };

    // A cut at a chunk boundary, or one byte after it, leaves a whole file.
    const bool whole = length == 64 || length == 65 || length == f.aEnd || length == f.aEnd + 1 ||
                       length == f.mapEnd || length == f.mapEnd + 1;
    if (whole) {
      read();
      continue;
    }
    const Fault eof = Fault::UnexpectedEndOfFile;
    if (length < 64) {
      ExpectIffError(read, "gsReadIFF", 1000, eof);
    } else if (length < f.mapStart + 4) {
      ExpectIffError(read, "gsReadIFF", 2000, eof);
    } else if (length < f.mapEnd) {
      ExpectIffError(read, "gsReadRSMP", MapStage(length - f.mapStart), eof);
      EXPECT_EQ(file.Chunks.size(), 1u);
    } else {
      // After the map, the reader's own stage.
      ExpectIffError(read, "gsReadIFF", 2000, eof);
    }

    // Whatever was read can be handed to the writer without harm.
    Bytes out;
    if (const auto error = CatchIffError([&] { gsWriteIFFImage(file, out); })) {
      EXPECT_TRUE(error->procedure() == "gsWriteIFF" || error->procedure() == "gsUpdateRsmp")
          << error->procedure();
    }
  }
}

TEST_F(Malformed, WildChunkSizesNeverAllocateOrReadPastTheEnd) {
  const int32_t sizes[] = {INT32_MAX, INT32_MAX - 75, 0x40000000, 1 << 20, 77, -1, INT32_MIN, 0};
  for (int32_t size : sizes) {
    SCOPED_TRACE(size);
    IffFile file;
    const auto error = CatchIffError(
        [&] { gsReadIFFImage(file, IffBuilder().Chunk("DATA", 1, 0, "", "", size).Build()); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->procedure(), "gsReadIFF");
    EXPECT_EQ(error->location(), 2000);
  }
}

TEST_F(Malformed, WildMapCountsEndTheMapReadCleanly) {
  const int32_t counts[] = {0, -1, INT32_MIN, 32767, 32768, 65535, INT32_MAX};
  for (int32_t typeCount : counts) {
    for (int32_t entryCount : counts) {
      SCOPED_TRACE(std::to_string(typeCount) + "/" + std::to_string(entryCount));
      const Bytes image = IffBuilder()
                              .Map(MapSpec{.groups = {{.type = "STR#",
                                                       .entries = {{.id = 1, .offset = 0}},
                                                       .count = entryCount}},
                                           .typeCount = typeCount})
                              .Build();
      IffFile file;
      const auto error = CatchIffError([&] { gsReadIFFImage(file, image); });
      ASSERT_TRUE(error.has_value());
      EXPECT_EQ(error->procedure(), "gsReadRSMP");
      EXPECT_LE(file.RsmpTypes.size(), 2u);
    }
  }
}

TEST_F(Malformed, RandomDamageNeverCrashesReaderOrWriter) {
  const SmallFile f = MakeSmallFile();
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    Bytes image = f.image;
    const int hits = 1 + static_cast<int>(rng() % 4);
    for (int h = 0; h < hits; ++h) {
      const size_t at = rng() % image.size();
      switch (rng() % 3) {
        case 0:  // a random byte
          image[at] = static_cast<char>(rng());
          break;
        case 1:  // a size or count field's high byte
          image[at] = static_cast<char>((rng() % 2) ? 0xFF : 0x7F);
          break;
        default:  // cut the file
          image.resize(at);
          break;
      }
      if (image.empty()) break;
    }
    IffFile file;
    Bytes out;
    for (const auto& error : {CatchIffError([&] { gsReadIFFImage(file, image); }),
                              CatchIffError([&] { gsWriteIFFImage(file, out); })}) {
      if (!error) continue;
      EXPECT_EQ(error->module(), "modIFFsupport");
      EXPECT_NE(error->number(), 0) << error->procedure();
      EXPECT_FALSE(error->description().empty());
    }
    ASSERT_FALSE(HasFailure()) << "round " << round;
  }
}

}  // namespace
}  // namespace qm
