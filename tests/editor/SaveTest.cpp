// Saving: what reaches live.iff, the order of the disk steps, and what a
// failed step leaves behind (live.iff untouched, every edit kept).

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

using Saving = EditorHarness;
using SaveFailure = EditorHarness;

bool IsNameChunk(const IffChunk& chunk) {
  if (chunk.Type != "STR#") return false;
  return std::any_of(kNameListInfo.begin(), kNameListInfo.end(), [&](const NameListInfo& info) {
    return HexTextToBytes(info.idText) == chunk.IdFlags;
  });
}

Bytes RawChunk(const Bytes& image, const IffChunk& chunk) {
  return image.substr(static_cast<size_t>(chunk.Offset - 1), kChunkHeaderSize + chunk.Data.size());
}

std::string FailedText(SysCode code, const std::string& path) {
  return "The names could not be saved.\r\nError " + std::to_string(code) + ": " +
         SystemErrorText(code) + "\r\nFile: " + path;
}

int Count(const std::vector<std::string>& log, const std::string& entry) {
  return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

TEST_F(Saving, WritesTheSevenNameChunksAndEveryOtherChunkByteForByte) {
  StartOnGame();
  const Bytes original = Live();
  Edit(0, "Abe");
  editor.OnSelectList(6);
  Edit(10, "Cole");
  editor.OnSelectList(3);
  Edit(49, "Bea Q");  // shown when saving: the save writes the list box back first
  editor.SaveNameLists();

  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kSavedText);
  EXPECT_EQ(messages.shown[0].title, "Operation Complete");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);

  const Bytes saved = Live();
  const IffFile before = ReadBack(original);
  const IffFile after = ReadBack(saved);
  ASSERT_EQ(after.Chunks.size(), before.Chunks.size());
  int nameChunks = 0;
  for (size_t i = 0; i < before.Chunks.size(); ++i) {
    const IffChunk& was = before.Chunks[i];
    const IffChunk& now = after.Chunks[i];
    EXPECT_EQ(now.Type, was.Type);
    EXPECT_EQ(now.IdFlags, was.IdFlags);
    EXPECT_EQ(now.Label, was.Label);
    if (!IsNameChunk(was)) {
      EXPECT_EQ(RawChunk(saved, now), RawChunk(original, was)) << "chunk " << i;
      continue;
    }
    ++nameChunks;
    EXPECT_EQ(BEBytesToLong(now.Size), static_cast<int32_t>(now.Data.size()) + kChunkHeaderSize);
  }
  EXPECT_EQ(nameChunks, 7);

  const std::map<std::pair<int, int>, std::string> edits = {
      {{0, 0}, "Abe"}, {{6, 10}, "Cole"}, {{3, 49}, "Bea Q"}};
  for (int k = 0; k < 7; ++k) {
    const StringTable was = NameTable(before, k);
    const StringTable now = NameTable(after, k);
    ASSERT_EQ(now.Entries.size(), was.Entries.size());
    EXPECT_EQ(now.FormatCode, was.FormatCode);
    EXPECT_EQ(now.CountBytes, was.CountBytes);
    EXPECT_EQ(now.Trailer, was.Trailer);
    for (size_t e = 0; e < was.Entries.size(); ++e) {
      auto edit = edits.find({k, static_cast<int>(e)});
      EXPECT_EQ(now.Entries[e].Value, edit == edits.end() ? was.Entries[e].Value : edit->second)
          << "list " << k << " entry " << e;
      EXPECT_EQ(now.Entries[e].Comment, was.Entries[e].Comment);
      EXPECT_EQ(now.Entries[e].LanguageCode, was.Entries[e].LanguageCode);
    }
  }

  // The map: every entry at its chunk, the header pointing at the map, which
  // comes last and whose size field counts to the end.
  const int32_t mapAt = BEBytesToLong(saved.substr(60, 4));
  EXPECT_EQ(saved.substr(static_cast<size_t>(mapAt), 4), "rsmp");
  EXPECT_EQ(LEBytesToLong(saved.substr(static_cast<size_t>(mapAt) + kRsmpHeaderSize, 4)),
            static_cast<int32_t>(saved.size()) - mapAt);
  int entries = 0;
  for (const RsmpType& group : after.RsmpTypes) {
    const Bytes type = ReverseBytes4(group.Code);
    for (const RsmpEntry& entry : group.Entries) {
      const Bytes id{entry.IdFlags[1], entry.IdFlags[0]};
      const auto chunk = std::find_if(after.Chunks.begin(), after.Chunks.end(), [&](auto& c) {
        return c.Type == type && c.IdFlags.substr(0, 2) == id;
      });
      ASSERT_NE(chunk, after.Chunks.end());
      EXPECT_EQ(LEBytesToLong(entry.Offset), chunk->Offset - 1);
      ++entries;
    }
  }
  EXPECT_EQ(entries, static_cast<int>(after.Chunks.size()));

  EXPECT_EQ(fs.Contents(kBackupPath), original);
  EXPECT_FALSE(fs.Exists(kTempPath));
}

TEST_F(Saving, WithoutEditsReproducesTheFileAndTwiceGivesIdenticalFiles) {
  StartOnGame();
  const Bytes original = Live();
  editor.SaveNameLists();
  EXPECT_EQ(Live(), original);

  Edit(5, "Rowan");
  editor.SaveNameLists();
  const Bytes first = Live();
  ASSERT_NE(first, original);
  editor.SaveNameLists();
  EXPECT_EQ(Live(), first);
  EXPECT_EQ(fs.Contents(kBackupPath), original);
  ASSERT_EQ(messages.shown.size(), 3u);
}

TEST_F(Saving, DiskStepsRemoveOldTempThenWriteTempThenReplaceInOneStep) {
  StartOnGame();
  fs.AddFile(kTempPath, "left over");
  fs.SetReadOnly(kTempPath);
  fs.SetHidden(kTempPath);
  const size_t mark = fs.Log().size();
  editor.SaveNameLists();
  const std::string size = std::to_string(Live().size());
  EXPECT_EQ(LogFrom(mark), (std::vector<std::string>{
                               "Lock " + kLockPath,
                               "SetNormal " + kTempPath,
                               "Remove " + kTempPath,
                               "Create " + kTempPath,
                               "Write " + kTempPath + " " + size,
                               "Commit " + kTempPath,
                               "Stamp " + kLivePath,
                               "ReadAllUpTo " + kLivePath + " 33554432",
                               "SetNormal " + kLivePath,
                               "Replace " + kTempPath + " -> " + kLivePath,
                               "Stamp " + kLivePath,
                           }));
  EXPECT_FALSE(fs.Exists(kTempPath));
  EXPECT_EQ(messages.shown.back().text, kSavedText);
}

TEST_F(Saving, ReadOnlyLiveIsReplaced) {
  StartOnGame();
  fs.SetReadOnly(kLivePath);
  Edit(0, "Ash");
  editor.SaveNameLists();
  EXPECT_EQ(messages.shown.back().text, kSavedText);
  EXPECT_EQ(NameTable(ReadBack(Live()), 0).Entries[0].Value, "Ash");
}

TEST_F(Saving, LeavesTheWindowAsItWas) {
  StartOnGame();
  Edit(7, "Ivy");
  const size_t viewCalls = view.calls.size();
  const std::vector<std::string> items = editor.Items();
  editor.SaveNameLists();
  EXPECT_EQ(view.calls.size(), viewCalls);
  EXPECT_EQ(editor.Items(), items);
  EXPECT_EQ(editor.ShownList(), 0);
  EXPECT_EQ(editor.EditRow(), 7);
  EXPECT_EQ(view.nameText, "Ivy");
}

TEST_F(Saving, NamesWithBytesAbove127SurviveUneditedThroughALossyView) {
  view.lossyCodePage = true;
  StartOnGame();
  const Bytes original = Live();
  editor.OnChooseName(1);  // "Ren\xE9e-a1", shown as "Ren?e-a1"
  editor.OnNameChanged();
  editor.OnSelectList(4);
  editor.OnChooseName(3);
  editor.OnNameChanged();
  editor.SaveNameLists();
  EXPECT_EQ(Live(), original);
  EXPECT_EQ(NameTable(ReadBack(Live()), 0).Entries[1].Value,
            "Ren\xE9"
            "e-a1");
}

// Another program wrote live.iff after it was loaded: Save asks first.
// Cancel changes nothing, No reads live.iff again, Yes saves over it.
TEST_F(Saving, LiveChangedByAnotherProgramIsOverwrittenOnlyWhenTheUserSaysSo) {
  StartOnGame();
  std::string theirs = Live();
  theirs.replace(theirs.find("Alder-a0"), 8, "Older-a0");
  fs.AddFile(kLivePath, theirs);
  Edit(3, "Abe");
  messages.choice = Choice::Cancel;
  editor.SaveNameLists();
  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_EQ(messages.asked[0].title, "live.iff Has Changed");
  EXPECT_EQ(Live(), theirs);
  EXPECT_EQ(editor.Items().at(3), "Abe");

  messages.choice = Choice::No;
  editor.SaveNameLists();
  EXPECT_EQ(Live(), theirs);
  EXPECT_EQ(editor.Items().at(3), FixtureName(0, 3));
  Edit(3, "Abe");
  editor.SaveNameLists();  // over the file read again: no question
  EXPECT_EQ(messages.asked.size(), 2u);
  EXPECT_EQ(NameTable(ReadBack(Live()), 0).Entries[0].Value, "Older-a0");

  fs.AddFile(kLivePath, theirs);
  messages.choice = Choice::Yes;
  editor.SaveNameLists();
  EXPECT_EQ(messages.asked.size(), 3u);
  EXPECT_EQ(NameTable(ReadBack(Live()), 0).Entries[3].Value, "Abe");
  EXPECT_EQ(messages.shown.back().text, kSavedText);
}

TEST_F(Saving, NothingShownMeansNothingSaved) {
  editor.SaveNameLists();
  EXPECT_TRUE(fs.Log().empty());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SaveFailure, ListsNeverLoadedAreReportedAndNothingIsTouched) {
  InstallGame(fs, {}, /*withSimsExe=*/false);
  UseSetting(kGameRoot);
  editor.OnLoad();
  editor.OnActivate();
  messages.shown.clear();
  const size_t mark = fs.Log().size();
  editor.SaveNameLists();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Names Not Saved");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(messages.shown[0].text.rfind("The names could not be saved.\r\nError 1413: ", 0), 0u)
      << messages.shown[0].text;
  EXPECT_TRUE(LogFrom(mark).empty());
  EXPECT_TRUE(traps.empty());
}

TEST_F(SaveFailure, SharingViolationOnReplaceIsRetriedThenReportedAndSaveCanBeRepeated) {
  StartOnGame();
  const Bytes original = Live();
  Edit(2, "Juniper");
  editor.OnSelectList(1);
  Edit(0, "Wren");
  const std::vector<std::string> items = editor.Items();

  // Calls of the save: Lock, SetNormal T, Create, Write, Commit, Stamp L, ReadAllUpTo L,
  // SetNormal L, then Replace.
  const int replace = fs.CallCount() + 9;
  for (int attempt = 0; attempt < 8; ++attempt) fs.FailCall(replace + attempt, 32);
  const size_t mark = fs.Log().size();
  editor.SaveNameLists();

  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, FailedText(32, kLivePath));
  EXPECT_EQ(messages.shown[0].title, "Names Not Saved");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(Count(LogFrom(mark), "Replace " + kTempPath + " -> " + kLivePath), 8);
  EXPECT_EQ(sleeper.pauses, std::vector<int>(7, 200));
  EXPECT_EQ(Live(), original);
  EXPECT_FALSE(fs.Exists(kTempPath));
  EXPECT_EQ(editor.Items(), items);
  EXPECT_EQ(gNameLists.Cell(0, 2), "Juniper");
  EXPECT_EQ(editor.ListTable(0).Entries[2].Value, "Juniper");

  editor.SaveNameLists();
  EXPECT_EQ(messages.shown.back().text, kSavedText);
  EXPECT_FALSE(fs.Exists(kTempPath));
  const IffFile saved = ReadBack(Live());
  EXPECT_EQ(NameTable(saved, 0).Entries[2].Value, "Juniper");
  EXPECT_EQ(NameTable(saved, 1).Entries[0].Value, "Wren");
}

TEST_F(SaveFailure, LockThatClearsWithinTheRetriesStillSaves) {
  StartOnGame();
  Edit(3, "Tam");
  const int replace = fs.CallCount() + 9;
  for (int attempt = 0; attempt < 3; ++attempt) fs.FailCall(replace + attempt, 33);
  editor.SaveNameLists();
  EXPECT_EQ(sleeper.pauses.size(), 3u);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kSavedText);
  EXPECT_EQ(NameTable(ReadBack(Live()), 0).Entries[3].Value, "Tam");
}

TEST_F(SaveFailure, LiveHeldOpenBrieflyIsReplacedOnceReleased) {
  StartOnGame();
  Edit(1, "Ash");
  fs.SetHeldOpen(kLivePath);  // a scanner holding the file for a moment
  sleeper.onSleep = [&](int count) {
    if (count == 2) fs.SetHeldOpen(kLivePath, false);
  };
  editor.SaveNameLists();
  EXPECT_EQ(sleeper.pauses.size(), 2u);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kSavedText);
  EXPECT_EQ(NameTable(ReadBack(Live()), 0).Entries[1].Value, "Ash");
}

TEST_F(SaveFailure, LiveHeldOpenByTheGameIsReportedAndLeftAlone) {
  StartOnGame();
  const Bytes original = Live();
  Edit(0, "Oak");
  fs.SetHeldOpen(kLivePath);
  editor.SaveNameLists();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, FailedText(5, kLivePath));
  EXPECT_EQ(Live(), original);
  EXPECT_FALSE(fs.Exists(kTempPath));

  fs.SetHeldOpen(kLivePath, false);  // the game was closed
  editor.SaveNameLists();
  EXPECT_EQ(messages.shown.back().text, kSavedText);
  EXPECT_EQ(NameTable(ReadBack(Live()), 0).Entries[0].Value, "Oak");
}

TEST_F(SaveFailure, OldTempThatCannotBeRemovedStopsTheSaveBeforeWriting) {
  StartOnGame();
  const Bytes original = Live();
  fs.AddFile(kTempPath, "someone else's");
  fs.SetHeldOpen(kTempPath);
  const size_t mark = fs.Log().size();
  editor.SaveNameLists();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, FailedText(32, kTempPath));
  EXPECT_EQ(sleeper.TotalMs(), 1400);
  EXPECT_EQ(Count(LogFrom(mark), "Remove " + kTempPath), 8);
  EXPECT_EQ(Count(LogFrom(mark), "Create " + kTempPath), 0);
  EXPECT_EQ(fs.Contents(kTempPath), "someone else's");
  EXPECT_EQ(Live(), original);
}

TEST_F(SaveFailure, LiveThatCannotBeMadeNormalIsReported) {
  StartOnGame();
  const Bytes original = Live();
  fs.FailCall(fs.CallCount() + 8, 5);  // SetNormal of live.iff
  editor.SaveNameLists();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, FailedText(5, kLivePath));
  EXPECT_EQ(Live(), original);
  EXPECT_FALSE(fs.Exists(kTempPath));
}

TEST_F(SaveFailure, FullDiskIsReportedKeepsTheEditsAndStopsBeforeTheReplace) {
  StartOnGame();
  const Bytes original = Live();
  Edit(1, "Fay");
  fs.ShortWrite(fs.CallCount() + 4);  // Lock, SetNormal T, Create, Write
  const size_t mark = fs.Log().size();
  editor.SaveNameLists();
  EXPECT_TRUE(traps.empty());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, FailedText(112, kTempPath));
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
  EXPECT_EQ(Count(LogFrom(mark), "Replace " + kTempPath + " -> " + kLivePath), 0);
  EXPECT_EQ(Live(), original);
  EXPECT_FALSE(fs.Exists(kTempPath));
  EXPECT_EQ(editor.Items().at(1), "Fay");

  editor.SaveNameLists();
  EXPECT_EQ(messages.shown.back().text, kSavedText);
  EXPECT_EQ(NameTable(ReadBack(Live()), 0).Entries[1].Value, "Fay");
}

}  // namespace
}  // namespace qm::test
