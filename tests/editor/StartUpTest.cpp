// Start-up: the stored setting and the registry, the activation step's
// caption and messages, the one-time backup, loading the seven lists.

#include <gtest/gtest.h>

#include "1-platform/Failure.h"
#include "Version.h"
#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

using StartUp = EditorHarness;
using Backup = EditorHarness;
using Loading = EditorHarness;

const char* const kSimsKey = "Software\\Maxis\\The Sims";

const std::string kEmptyPathText =
    "The path to The Sims was not found in the registry.\r\n"
    "Please use the Set Path option on the Options menu to locate The Sims.";
const std::string kErrorPathText =
    "GetRegistryString failed on error.\r\n"
    "The path to The Sims can not be found.\r\n"
    "Please use the Set Path option on the Options menu to locate The Sims.";
const std::string kNoSimsExeText =
    "The file SIMS.EXE was not found in the path specified in the registry.\r\n"
    "Please use the Set Path menu option to locate The Sims.";

// A registry folder that holds the game seeds the setting, and then nothing
// else is looked at: no other folder, no Steam, no environment.
TEST_F(StartUp, RegistrySeedsTheSettingOnlyWhileItIsEmpty) {
  fs.AddFile("D:\\Maxis\\Sims\\Sims.exe", "MZ");
  registry.SetString(RegistryHive::LocalMachine, kSimsKey, "InstallPath", "D:\\Maxis\\Sims");
  editor.OnLoad();
  EXPECT_EQ(Setting(), "D:\\Maxis\\Sims");
  EXPECT_EQ(gSimsPath, "D:\\Maxis\\Sims");
  EXPECT_EQ(fs.Log(), std::vector<std::string>{"IsNormalFile D:\\Maxis\\Sims\\sims.exe"});
  EXPECT_TRUE(environment.asked.empty());
  EXPECT_EQ(registry.reads, std::vector<std::string>{std::string(kSimsKey) + "\\InstallPath"});

  // Later starts: the setting decides, whatever the registry holds now.
  registry.SetString(RegistryHive::LocalMachine, kSimsKey, "InstallPath", "E:\\Other");
  editor.OnLoad();
  EXPECT_EQ(gSimsPath, "D:\\Maxis\\Sims");
  EXPECT_EQ(Setting(), "D:\\Maxis\\Sims");
  EXPECT_EQ(settings.saves, 1);
  EXPECT_EQ(fs.Log().size(), 1u);
}

TEST_F(StartUp, SettingThatCannotBeStoredIsReportedAndUsedForThisRun) {
  fs.AddFile("D:\\Maxis\\Sims\\Sims.exe", "MZ");
  registry.SetString(RegistryHive::LocalMachine, kSimsKey, "InstallPath", "D:\\Maxis\\Sims");
  settings.failWith = syserr::kAccessDenied;
  editor.OnLoad();
  EXPECT_EQ(gSimsPath, "D:\\Maxis\\Sims");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Setting Not Stored");
  EXPECT_NE(messages.shown[0].text.find("Error 5: " + SystemErrorText(5)), std::string::npos);
}

// A start before the game was installed stores the registry's "ERROR"; that
// is no folder, so the next start looks for the game again and finds it.
TEST_F(StartUp, StoredERRORIsNoSettingAndTheGameIsLookedForAgain) {
  editor.OnLoad();  // the registry holds no key
  EXPECT_EQ(Setting(), "ERROR");
  editor.OnActivate();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, kErrorPathText);
  EXPECT_EQ(messages.shown[0].title, "Path to The Sims not found!");
  EXPECT_EQ(messages.shown[1].text, kNoSimsExeText);

  fs.AddFile("D:\\Maxis\\Sims\\Sims.exe", "MZ");
  registry.SetString(RegistryHive::LocalMachine, kSimsKey, "InstallPath", "D:\\Maxis\\Sims");
  editor.OnLoad();
  EXPECT_EQ(gSimsPath, "D:\\Maxis\\Sims");
  EXPECT_EQ(Setting(), "D:\\Maxis\\Sims");
}

TEST_F(StartUp, EmptyFolderGivesBothMessagesAndLoadsNothing) {
  registry.SetString(RegistryHive::LocalMachine, kSimsKey, "InstallPath", "");
  editor.OnLoad();
  EXPECT_EQ(gSimsPath, "");
  editor.OnActivate();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, kEmptyPathText);
  EXPECT_EQ(messages.shown[0].title, "Path to The Sims not found!");
  EXPECT_EQ(messages.shown[1].text, kNoSimsExeText);
  EXPECT_EQ(fs.Log(), std::vector<std::string>{"IsNormalFile \\sims.exe"});
}

TEST_F(StartUp, FolderWithoutSimsExeGivesTheSecondMessageAndShowsBlankList0) {
  InstallGame(fs, {}, /*withSimsExe=*/false);
  UseSetting(kGameRoot);
  editor.OnLoad();
  editor.OnActivate();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kNoSimsExeText);
  EXPECT_EQ(fs.Log(), std::vector<std::string>{"IsNormalFile " + kSimsExePath});
  EXPECT_FALSE(fs.Exists(kBackupPath));
  // List 0 is shown all the same: 51 blank names, nothing to edit.
  EXPECT_EQ(view.checkedOption, 0);
  EXPECT_EQ(view.items, std::vector<std::string>(51, ""));
  EXPECT_FALSE(view.nameEnabled);
}

TEST_F(StartUp, CaptionAndRepaintComeBeforeTheMessages) {
  editor.OnActivate();  // gSimsPath empty
  ASSERT_GE(journal.size(), 4u);
  EXPECT_EQ(journal[0], "view: SetCaption Quillmark - Version " QM_VERSION_STRING);
  EXPECT_EQ(journal[1], "view: Repaint");
  EXPECT_EQ(journal[2], "message: Path to The Sims not found!");
  EXPECT_EQ(journal[3], "message: SIMS.EXE Not Found!");
  EXPECT_EQ(view.caption, "Quillmark - Version " QM_VERSION_STRING);
}

TEST_F(StartUp, ActivationLoadsTheListsAndShowsList0) {
  StartOnGame();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(fatal.calls.empty());
  EXPECT_TRUE(traps.empty());
  EXPECT_EQ(view.checkedOption, 0);
  ASSERT_EQ(view.items.size(), 51u);
  for (int r = 0; r < 51; ++r) EXPECT_EQ(view.items[r], Shown(FixtureName(0, r)));
  EXPECT_EQ(view.nameText, "");
  EXPECT_FALSE(view.nameEnabled);
  EXPECT_EQ(editor.ShownList(), 0);
  for (int k = 0; k < 7; ++k) {
    for (int r = 0; r < kNameListInfo[k].namesUsed; ++r) {
      ASSERT_EQ(gNameLists.Cell(k, r), FixtureName(k, r)) << "list " << k << " row " << r;
    }
  }
  EXPECT_EQ(gNameLists.Cell(1, 50), "");  // row 50 of lists 1 to 6 stays empty
}

TEST_F(StartUp, EveryActivationShowsList0Again) {
  StartOnGame();
  editor.OnSelectList(4);
  view.checkedOption = 4;
  editor.OnActivate();  // the Set Path dialog closed
  EXPECT_EQ(view.checkedOption, 0);
  EXPECT_EQ(editor.ShownList(), 0);
  EXPECT_EQ(view.items.at(7), FixtureName(0, 7));
}

TEST_F(StartUp, FolderThatLostSimsExeCannotBeSavedInto) {
  StartOnGame();
  fs.Erase(kGameRoot + "\\Sims.exe");
  editor.OnActivate();  // the Set Path dialog closed on a folder without the game
  editor.SaveNameLists();
  EXPECT_EQ(fs.Contents(kTempPath), std::nullopt);
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_EQ(messages.shown.back().title, "Names Not Saved");
}

TEST_F(Backup, MadeOnceAndNeverReplaced) {
  StartOnGame();
  const std::string original = Live();
  EXPECT_EQ(fs.Contents(kBackupPath), original);

  Edit(2, "Zed");
  editor.SaveNameLists();
  ASSERT_NE(Live(), original);
  const size_t mark = fs.Log().size();
  editor.OnActivate();
  EXPECT_EQ(fs.Contents(kBackupPath), original);
  for (const std::string& entry : LogFrom(mark)) {
    EXPECT_EQ(entry.find("CopyNoOverwrite"), std::string::npos) << entry;
  }
}

TEST_F(Backup, HiddenBackupCountsAsOneAndIsKept) {
  InstallGame(fs);
  fs.AddFile(kBackupPath, "older backup");
  fs.SetHidden(kBackupPath);
  UseSetting(kGameRoot);
  editor.OnLoad();
  editor.OnActivate();
  EXPECT_EQ(fs.Contents(kBackupPath), "older backup");
  EXPECT_TRUE(fatal.calls.empty());
  EXPECT_EQ(view.items.at(0), FixtureName(0, 0));  // the lists loaded all the same
}

TEST_F(Backup, FailedCopyEndsTheProgramBeforeAnythingIsLoaded) {
  fs.AddFile(kSimsExePath, "MZ");  // no live.iff
  UseSetting(kGameRoot);
  editor.OnLoad();
  EXPECT_THROW(editor.OnActivate(), ProgramEnded);
  ASSERT_EQ(fatal.calls.size(), 1u);
  EXPECT_EQ(fatal.calls[0].number, 2);
  EXPECT_NE(fatal.calls[0].description.find(kLivePath), std::string::npos);
  EXPECT_EQ(fs.Log().back(), "CopyNoOverwrite " + kLivePath + " -> " + kBackupPath);
  EXPECT_EQ(view.checkedOption, -1);
  EXPECT_TRUE(view.items.empty());
}

TEST_F(Loading, MissingNameChunkEndsTheProgramAndWritesNothing) {
  EXPECT_THROW(StartOnGame({.omitList = 4}), ProgramEnded);
  ASSERT_EQ(fatal.calls.size(), 1u);
  EXPECT_EQ(fatal.calls[0].number, 1413);
  EXPECT_NE(fatal.calls[0].description.find("00 A3 00 10"), std::string::npos);
  EXPECT_NE(fatal.calls[0].description.find("missing"), std::string::npos);
  EXPECT_TRUE(view.items.empty());
  for (const std::string& entry : fs.Log()) {
    EXPECT_TRUE(entry.rfind("IsNormalFile", 0) == 0 || entry.rfind("ReadAll", 0) == 0 ||
                entry.rfind("Stamp", 0) == 0 || entry.rfind("CopyNoOverwrite", 0) == 0 ||
                entry.find("\\gamedata\\Dorvane_probe_") != std::string::npos)
        << entry;
  }
}

TEST_F(Loading, TableWithTooFewNamesEndsTheProgram) {
  EXPECT_THROW(StartOnGame({.shortList = 0}), ProgramEnded);
  ASSERT_EQ(fatal.calls.size(), 1u);
  EXPECT_EQ(fatal.calls[0].number, 1413);
  EXPECT_NE(fatal.calls[0].description.find("00 96 00 10"), std::string::npos);
  EXPECT_NE(fatal.calls[0].description.find("holds 50 names, needs 51"), std::string::npos);
}

TEST_F(Loading, UnreadableFileIsReportedByTheErrorWindowOnly) {
  fs.AddFile(kSimsExePath, "MZ");
  fs.AddFile(kLivePath, "not an IFF file");
  gSimsPath = kGameRoot;
  EXPECT_FALSE(editor.LoadNameLists());
  EXPECT_EQ(traps, std::vector<std::string>{"gsReadIFF"});
  EXPECT_TRUE(fatal.calls.empty());
}

TEST_F(Loading, EntriesBeyondTheListStayInTheTableUnshown) {
  StartOnGame();
  editor.OnSelectList(6);
  EXPECT_EQ(view.items.size(), 50u);
  EXPECT_EQ(view.items.back(), Shown(FixtureName(6, 49)));
  const StringTable& table = editor.ListTable(6);
  ASSERT_EQ(table.Entries.size(), static_cast<size_t>(FixtureEntryCount(6)));
  EXPECT_EQ(table.Entries.back().Value, FixtureName(6, FixtureEntryCount(6) - 1));
}

}  // namespace
}  // namespace qm::test
