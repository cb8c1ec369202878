// A malformed live.iff at start-up: cut short anywhere, a chunk size past the
// end, a map with no end, a name chunk missing, a name table too short or
// undecodable, random damage. Activation must report through the error window
// or the fatal-error exit, never crash (the native suite runs under ASan and
// UBSan), and write nothing: the only file it may make is the one-time backup,
// a byte copy of live.iff as found.

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "3-state/AppState.h"
#include "4-behaviour/NameEditor.h"
#include "editor/EditorHarness.h"
#include "editor/GameFixture.h"
#include "support/MemoryFileSystem.h"
#include "support/UiFakes.h"

namespace qm::test {
namespace {

// One program start on a game folder whose live.iff holds `live`.
class Start : public EditorRig {
 public:
  explicit Start(const Bytes& live, bool backupExists = false) {
    fs.AddFile(kSimsExePath, "MZ placeholder");
    fs.AddFile(kLivePath, live);
    if (backupExists) fs.AddFile(kBackupPath, "an earlier backup");
    UseSetting(kGameRoot);
    editor.OnLoad();
    try {
      editor.OnActivate();
    } catch (const ProgramEnded&) {
      // the program would have ended here; the checks look at what it left
    }
  }

  int Reports() const { return static_cast<int>(traps.size() + fatal.calls.size()); }
};

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Activation only looked, read, tried whether gamedata may be written and
// made the backup; live.iff is as it was.
void ExpectNothingWritten(const Start& s, const Bytes& live, bool backupExisted) {
  for (const std::string& entry : s.fs.Log()) {
    EXPECT_TRUE(StartsWith(entry, "IsNormalFile ") || StartsWith(entry, "ReadAll") ||
                StartsWith(entry, "Stamp ") || StartsWith(entry, "CopyNoOverwrite ") ||
                entry.find("\\gamedata\\Dorvane_probe_") != std::string::npos)
        << entry;
  }
  EXPECT_EQ(s.fs.Contents(kLivePath), live);
  EXPECT_EQ(s.fs.Contents(kBackupPath), backupExisted ? "an earlier backup" : live);
  EXPECT_EQ(s.fs.Paths().size(), 3u);
  EXPECT_FALSE(s.fs.Exists(kTempPath));
}

// The load failed and said so once; the window shows no list; a save asked
// for afterwards has nothing to save and touches no file.
void ExpectReportedFailure(Start& s, const Bytes& live, bool backupExisted = false) {
  EXPECT_GE(s.Reports(), 1);
  EXPECT_TRUE(s.messages.shown.empty());
  EXPECT_EQ(s.view.checkedOption, -1);
  EXPECT_TRUE(s.view.items.empty());
  EXPECT_TRUE(s.editor.Items().empty());
  ExpectNothingWritten(s, live, backupExisted);
  const size_t calls = s.fs.Log().size();
  s.editor.SaveNameLists();
  EXPECT_EQ(s.fs.Log().size(), calls);
  EXPECT_TRUE(s.messages.shown.empty());
}

// Where things are in the fixture's live.iff.
struct Layout {
  Bytes image;
  IffFile file;
  size_t mapAt = 0;
};

Layout GameLayoutOf(const GameLayout& layout = {}) {
  Layout l;
  l.image = BuildLiveIff(layout);
  l.file = ReadBack(l.image);
  l.mapAt = static_cast<size_t>(BEBytesToLong(l.image.substr(60, 4)));
  return l;
}

// 0-based offset of list `list`'s name chunk.
size_t NameChunkAt(const Layout& l, int list) {
  const Bytes idFlags = HexTextToBytes(kNameListInfo[list].idText);
  for (const IffChunk& chunk : l.file.Chunks) {
    if (chunk.Type == "STR#" && chunk.IdFlags == idFlags)
      return static_cast<size_t>(chunk.Offset - 1);
  }
  throw std::logic_error("no name chunk");
}

Bytes Patched(Bytes image, size_t at, const Bytes& bytes) {
  image.replace(at, bytes.size(), bytes);
  return image;
}

TEST(MalformedStartup, FixtureLoadsCleanly) {
  const Layout l = GameLayoutOf();
  Start s(l.image);
  EXPECT_EQ(s.Reports(), 0);
  EXPECT_EQ(s.view.checkedOption, 0);
  EXPECT_EQ(s.view.items.size(), 51u);
  ExpectNothingWritten(s, l.image, false);
  // The map is the last chunk, after the last name chunk.
  EXPECT_EQ(l.image.substr(l.mapAt, 4), "rsmp");
  EXPECT_GT(l.mapAt, NameChunkAt(l, 5));
}

TEST(MalformedStartup, FileCutAtEveryLengthIsReportedUnlessOnlyTheMapIsLost) {
  const Layout l = GameLayoutOf();
  int loaded = 0;
  for (size_t length = 0; length < l.image.size(); ++length) {
    SCOPED_TRACE("cut to " + std::to_string(length) + " of " + std::to_string(l.image.size()));
    const Bytes cut = l.image.substr(0, length);
    Start s(cut);
    if (s.Reports() == 0) {
      // Every chunk is whole and only the map (the last chunk) is gone, or a
      // single byte of it is left, which the reader ignores.
      EXPECT_TRUE(length == l.mapAt || length == l.mapAt + 1);
      EXPECT_EQ(s.view.items.size(), 51u);
      ExpectNothingWritten(s, cut, false);
      ++loaded;
      continue;
    }
    ExpectReportedFailure(s, cut);
    if (HasFailure()) break;  // one cut's failures are enough to read
  }
  EXPECT_EQ(loaded, 2);
}

TEST(MalformedStartup, ChunkSizePastTheEndIsReportedByTheReader) {
  const Layout l = GameLayoutOf();
  for (int list = 0; list < 7; ++list) {
    SCOPED_TRACE("list " + std::to_string(list));
    const Bytes bad = Patched(l.image, NameChunkAt(l, list) + 4, LongToBEBytes(0x7FFFFFF0));
    Start s(bad);
    EXPECT_EQ(s.traps, std::vector<std::string>{"gsReadIFF"});
    const std::string& description = s.errorWindow.lastDescription;
    EXPECT_NE(description.find("chunk data"), std::string::npos) << description;
    ExpectReportedFailure(s, bad);
  }
}

TEST(MalformedStartup, ChunkSizeBelowItsHeaderIsReportedByTheReader) {
  const Layout l = GameLayoutOf();
  const Bytes bad = Patched(l.image, NameChunkAt(l, 3) + 4, LongToBEBytes(75));
  Start s(bad);
  EXPECT_EQ(s.traps, std::vector<std::string>{"gsReadIFF"});
  ExpectReportedFailure(s, bad);
}

TEST(MalformedStartup, MapWithNoEndIsReportedByTheMapReader) {
  const Layout l = GameLayoutOf();
  // The type count promises far more groups than the file holds.
  const Bytes manyGroups =
      Patched(l.image, l.mapAt + kRsmpHeaderSize + 4, Bytes("\x30\x75\0\0", 4));
  // The last label never ends: its terminator and pad became text.
  Bytes endless = l.image;
  for (size_t i = endless.size() - 1; endless[i] == '\0' || endless[i] == '\xA3'; --i) {
    endless[i] = 'z';
  }
  const std::pair<const char*, Bytes> cases[] = {{"type count 30000", manyGroups},
                                                 {"last label unended", endless}};
  for (const auto& [what, bad] : cases) {
    SCOPED_TRACE(what);
    Start s(bad);
    ASSERT_FALSE(s.traps.empty());
    EXPECT_EQ(s.traps[0], "gsReadRSMP");
    EXPECT_TRUE(s.fatal.calls.empty());
    ExpectReportedFailure(s, bad);
  }
}

TEST(MalformedStartup, MapWithZeroTypesIsReportedAndTheWalkOnIsSurvived) {
  const Layout l = GameLayoutOf();
  const Bytes bad = Patched(l.image, l.mapAt + kRsmpHeaderSize + 4, Bytes(4, '\0'));
  Start s(bad);
  ASSERT_FALSE(s.traps.empty());
  EXPECT_EQ(s.traps[0], "gsReadRSMP");
  ExpectReportedFailure(s, bad);
}

TEST(MalformedStartup, MissingNameChunkEndsTheProgramForEachList) {
  for (int list = 0; list < 7; ++list) {
    SCOPED_TRACE("list " + std::to_string(list));
    const Bytes image = BuildLiveIff({.omitList = list});
    Start s(image);
    ASSERT_EQ(s.fatal.calls.size(), 1u);
    EXPECT_EQ(s.fatal.calls[0].number, 1413);
    EXPECT_NE(s.fatal.calls[0].description.find(kNameListInfo[list].idText), std::string::npos);
    EXPECT_TRUE(s.traps.empty());
    ExpectReportedFailure(s, image);
  }
}

TEST(MalformedStartup, ShortNameTableEndsTheProgramForEachList) {
  for (int list = 0; list < 7; ++list) {
    SCOPED_TRACE("list " + std::to_string(list));
    const Bytes image = BuildLiveIff({.shortList = list});
    Start s(image, /*backupExists=*/true);
    ASSERT_EQ(s.fatal.calls.size(), 1u);
    EXPECT_NE(s.fatal.calls[0].description.find("needs"), std::string::npos);
    ExpectReportedFailure(s, image, /*backupExisted=*/true);
  }
}

TEST(MalformedStartup, NameTableCountPastItsEntriesIsReportedByTheDecoder) {
  const Layout l = GameLayoutOf();
  const size_t countAt = NameChunkAt(l, 2) + kChunkHeaderSize + 2;
  // 0x7FFF entries promised: the decoder runs out of terminators. 0x8000: too many.
  for (const Bytes& count : {Bytes("\xFF\x7F", 2), Bytes("\x00\x80", 2)}) {
    const Bytes bad = Patched(l.image, countAt, count);
    Start s(bad);
    EXPECT_EQ(s.traps, std::vector<std::string>{"gsReadSTRSegment"});
    EXPECT_TRUE(s.fatal.calls.empty());
    ExpectReportedFailure(s, bad);
  }
}

TEST(MalformedStartup, EmptyAndHeaderOnlyFilesAreReported) {
  const Bytes empty;
  const Bytes headerOnly = BuildLiveIff().substr(0, 64);
  {
    Start s(empty);
    EXPECT_EQ(s.traps, std::vector<std::string>{"gsReadIFF"});
    ExpectReportedFailure(s, empty);
  }
  {
    // Reads as a file with no chunks: the first name chunk is missing.
    Start s(headerOnly);
    EXPECT_TRUE(s.traps.empty());
    ASSERT_EQ(s.fatal.calls.size(), 1u);
    EXPECT_NE(s.fatal.calls[0].description.find("is missing"), std::string::npos);
    ExpectReportedFailure(s, headerOnly);
  }
}

TEST(MalformedStartup, RandomDamageIsReportedOrLoadedAndNeverWritten) {
  const Layout l = GameLayoutOf();
  std::mt19937 random(20240611);
  int reported = 0;
  for (int trial = 0; trial < 300; ++trial) {
    Bytes bad = l.image;
    const int changes = 1 + trial % 4;
    for (int c = 0; c < changes; ++c) {
      bad[random() % bad.size()] = static_cast<char>(random() & 0xFF);
    }
    SCOPED_TRACE("trial " + std::to_string(trial));
    Start s(bad);
    if (s.Reports() == 0) {
      EXPECT_EQ(s.view.checkedOption, 0);
      ExpectNothingWritten(s, bad, false);
    } else {
      ++reported;
      ExpectReportedFailure(s, bad);
    }
    if (HasFailure()) break;
  }
  // Most single bytes fall in names and filler, which load as they are; the
  // damage that hits structure is reported.
  EXPECT_GT(reported, 0);
}

}  // namespace
}  // namespace qm::test
