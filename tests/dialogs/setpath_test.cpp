// The Set Path dialog's behaviour: load, Use, Find, OK and Cancel.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "3-state/AppState.h"
#include "4-behaviour/SetPath.h"
#include "support/DialogFakes.h"
#include "support/FakeEnvironment.h"
#include "support/MemoryFileSystem.h"
#include "support/UiFakes.h"

namespace qm {
namespace {

using test::FakeFatal;
using test::FakeFolderBrowser;
using test::FakeMessageBoxes;
using test::FakeRegistry;
using test::FakeSetPathView;
using test::FakeSettings;
using test::Journal;
using ::testing::ElementsAre;

constexpr const char* kSimsKey = "Software\\Maxis\\The Sims";

class SetPathTest : public ::testing::Test {
 protected:
  void SetUp() override { gSimsPath = "C:\\Old\\The Sims"; }
  void TearDown() override { gSimsPath.clear(); }

  std::string StoredSetting() { return settings.Get("Dorvane", "Settings", "Sims Location"); }
  void StoreSetting(const std::string& value) {
    settings.values[{"Dorvane", "Settings", "Sims Location"}] = value;
  }
  // Opens the dialog as the menu item does, and forgets the load's records.
  void Load() {
    dialog.OnLoad();
    journal.clear();
    settings.saves = 0;
  }

  Journal journal;
  FakeSetPathView view{journal};
  MemoryFileSystem files;
  FakeMessageBoxes messages{&journal};
  FakeSettings settings;
  FakeRegistry registry;
  FakeFolderBrowser browser;
  FakeFatal fatal;
  test::FakeEnvironment environment;
  SetPathDialog dialog{view, {files, messages, settings, registry, browser, fatal, environment}};
};

TEST_F(SetPathTest, LoadShowsRegistryFolderAndStoredSetting) {
  registry.SetString(RegistryHive::LocalMachine, kSimsKey, "InstallPath", "C:\\Games\\The Sims");
  StoreSetting("D:\\Copy of The Sims");
  dialog.OnLoad();
  EXPECT_EQ(view.registryText, "C:\\Games\\The Sims");
  EXPECT_EQ(view.locationText, "D:\\Copy of The Sims");
  EXPECT_TRUE(files.Log().empty());
}

TEST_F(SetPathTest, LoadWithoutRegistryKeyOrSettingShowsErrorAndEmpty) {
  dialog.OnLoad();
  EXPECT_EQ(view.registryText, "ERROR");
  EXPECT_EQ(view.locationText, "");
}

TEST_F(SetPathTest, UseRefusesErrorAndEmptyRegistryText) {
  for (const char* refused : {"ERROR", ""}) {
    SCOPED_TRACE(refused);
    journal.clear();
    messages.shown.clear();
    view.registryText = refused;
    view.locationText = "D:\\Mine";
    dialog.OnUse();
    EXPECT_THAT(journal, ElementsAre("focus", "message: Path Invalid"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Registry value invalid. Please find the path manually.");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(view.locationText, "D:\\Mine");
  }
}

TEST_F(SetPathTest, UseCopiesRegistryFolderUntested) {
  view.registryText = "C:\\No Game Here";
  dialog.OnUse();
  EXPECT_THAT(journal, ElementsAre("focus", "location C:\\No Game Here"));
  EXPECT_TRUE(files.Log().empty());
  EXPECT_EQ(gSimsPath, "C:\\Old\\The Sims");
  EXPECT_EQ(settings.saves, 0);
}

TEST_F(SetPathTest, FindShowsBrowserOwnedByDialogWithTitleAndFlags3) {
  browser.chosenPath = "E:\\Games\\Sims";
  dialog.OnFind();
  ASSERT_EQ(browser.calls.size(), 1u);
  EXPECT_EQ(browser.calls[0].owner, test::kSetPathHandle);
  EXPECT_EQ(browser.calls[0].title, "Select the location of The Sims.");
  EXPECT_EQ(browser.calls[0].flags, 3u);
  EXPECT_THAT(journal, ElementsAre("focus", "location E:\\Games\\Sims"));
}

// The browser opens where the game is: at the folder in use when it holds
// the game, else at the one the search finds, else at the top.
TEST_F(SetPathTest, FindStartsAtTheFolderInUseOrTheOneFound) {
  const std::string steamGame = "D:\\Steam\\steamapps\\common\\The Sims Legacy Collection";
  files.AddFile("D:\\Mine\\Sims.exe", "MZ");
  files.AddFile(steamGame + "\\Sims.exe", "MZ");
  files.AddFile(steamGame + "\\GameData\\live.iff", "IFF");
  registry.SetString(RegistryHive::CurrentUser, "Software\\Valve\\Steam", "SteamPath", "D:/Steam");
  view.registryText = "ERROR";
  browser.choose = false;

  view.locationText = "D:\\Mine";
  dialog.OnFind();
  view.locationText = "D:\\Moved Away";
  dialog.OnFind();
  registry = FakeRegistry();  // Steam uninstalled
  view.locationText = "ERROR";
  dialog.OnFind();
  ASSERT_EQ(browser.calls.size(), 3u);
  EXPECT_EQ(browser.calls[0].startFolder, "D:\\Mine");
  EXPECT_EQ(browser.calls[1].startFolder, steamGame);
  EXPECT_EQ(browser.calls[2].startFolder, "");
}

TEST_F(SetPathTest, FindCancelledKeepsLocation) {
  view.locationText = "D:\\Mine";
  browser.choose = false;
  browser.chosenPath = "E:\\Ignored";
  dialog.OnFind();
  EXPECT_THAT(journal, ElementsAre("focus"));
  EXPECT_EQ(view.locationText, "D:\\Mine");
}

TEST_F(SetPathTest, OkRefusesFolderWithoutSimsExeAndStaysOpen) {
  files.AddFile("D:\\Games\\Other\\Other.exe", "MZ");
  files.AddFile("D:\\Games\\Other\\Sub\\Sims.exe", "MZ");  // only the folder itself counts
  StoreSetting("C:\\Old\\The Sims");
  view.locationText = "D:\\Games\\Other";
  dialog.OnOK();
  EXPECT_THAT(journal, ElementsAre("focus", "message: Selected Location Invalid"));
  EXPECT_THAT(files.Log(), ElementsAre("IsNormalFile D:\\Games\\Other\\sims.exe"));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "The Sims was not found in:\r\nD:\\Games\\Other\r\nThe selected location was invalid");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Warning);
  EXPECT_FALSE(view.closed);
  EXPECT_EQ(gSimsPath, "C:\\Old\\The Sims");
  EXPECT_EQ(settings.saves, 0);
}

TEST_F(SetPathTest, OkRefusesHiddenOrSystemSimsExe) {
  files.AddFile("D:\\Hidden\\Sims.exe", "MZ");
  files.SetHidden("D:\\Hidden\\Sims.exe");
  files.AddFile("D:\\System\\Sims.exe", "MZ");
  files.SetSystem("D:\\System\\Sims.exe");
  for (const char* folder : {"D:\\Hidden", "D:\\System"}) {
    view.locationText = folder;
    dialog.OnOK();
  }
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_FALSE(view.closed);
}

TEST_F(SetPathTest, OkWithSimsExeStoresSettingSetsSimsPathAndCloses) {
  files.AddFile("E:\\Games\\Sims\\SIMS.EXE", "MZ");  // letter case does not matter
  browser.chosenPath = "E:\\Games\\Sims";
  dialog.OnFind();
  journal.clear();
  dialog.OnOK();
  EXPECT_THAT(journal, ElementsAre("focus", "close"));
  EXPECT_EQ(gSimsPath, "E:\\Games\\Sims");
  EXPECT_EQ(StoredSetting(), "E:\\Games\\Sims");
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SetPathTest, OkWithUnchangedValidLocationStoresItAgain) {
  files.AddFile("C:\\Old\\The Sims\\Sims.exe", "MZ");
  StoreSetting("C:\\Old\\The Sims");
  Load();
  dialog.OnOK();
  EXPECT_EQ(settings.saves, 1);
  EXPECT_TRUE(view.closed);
}

TEST_F(SetPathTest, DriveRootKeepsItsBackslashTwoInTheTestPath) {
  // Windows reads the doubled backslash as one; the fake compares paths as
  // they are given, so the file is stored under the path the dialog asks for.
  files.AddFile("F:\\\\Sims.exe", "MZ");
  browser.chosenPath = "F:\\";
  dialog.OnFind();
  dialog.OnOK();
  EXPECT_THAT(files.Log(), ElementsAre("IsNormalFile F:\\\\sims.exe"));
  EXPECT_EQ(gSimsPath, "F:\\");
  EXPECT_EQ(StoredSetting(), "F:\\");
}

TEST_F(SetPathTest, OkTestsRelativePathsForEmptyAndErrorLocations) {
  view.locationText = "";
  dialog.OnOK();
  view.locationText = "ERROR";
  dialog.OnOK();
  EXPECT_THAT(files.Log(), ElementsAre("IsNormalFile \\sims.exe", "IsNormalFile ERROR\\sims.exe"));
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_FALSE(view.closed);
}

TEST_F(SetPathTest, ErrorSettingShowsInBothBoxesAndUseRefusesIt) {
  StoreSetting("ERROR");
  Load();
  EXPECT_EQ(view.registryText, "ERROR");
  EXPECT_EQ(view.locationText, "ERROR");
  dialog.OnUse();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Path Invalid");
}

TEST_F(SetPathTest, CancelAfterUseChangesNothing) {
  registry.SetString(RegistryHive::LocalMachine, kSimsKey, "InstallPath", "C:\\Games\\The Sims");
  StoreSetting("C:\\Old\\The Sims");
  Load();
  dialog.OnUse();
  dialog.OnCancel();
  EXPECT_THAT(journal, ElementsAre("focus", "location C:\\Games\\The Sims", "focus", "close"));
  EXPECT_EQ(gSimsPath, "C:\\Old\\The Sims");
  EXPECT_EQ(StoredSetting(), "C:\\Old\\The Sims");
  EXPECT_EQ(settings.saves, 0);
  EXPECT_TRUE(files.Log().empty());
}

TEST_F(SetPathTest, EachOpeningStartsFromRegistryAndSettingAgain) {
  StoreSetting("C:\\Old\\The Sims");
  Load();
  browser.chosenPath = "E:\\Elsewhere";
  dialog.OnFind();
  dialog.OnCancel();
  Load();
  EXPECT_EQ(view.locationText, "C:\\Old\\The Sims");
}

}  // namespace
}  // namespace qm
