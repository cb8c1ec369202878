// Changing the game folder through the Set Path dialog, then saving: the
// folder now in use keeps every one of its names, and nothing shown from
// another folder reaches it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "4-behaviour/SetPath.h"
#include "editor/EditorHarness.h"
#include "support/DialogFakes.h"

namespace qm::test {
namespace {

const std::string kOtherRoot = "D:\\Copy of The Sims";

class SetPathJourney : public EditorHarness {
 protected:
  // Options > Set Path..., Use, OK; closing the dialog activates the main
  // window again.
  void SetPathToRegistryFolder() {
    FakeSetPathView dialogView{journal};
    FakeFolderBrowser browser;
    SetPathDialog dialog(
        dialogView, SetPathServices{fs, messages, settings, registry, browser, fatal, environment});
    dialog.OnLoad();
    dialog.OnUse();
    dialog.OnOK();
    ASSERT_TRUE(dialogView.closed);
    editor.OnActivate();
  }

  void RegistryNames(const std::string& folder) {
    registry.SetString(RegistryHive::LocalMachine, "Software\\Maxis\\The Sims", "InstallPath",
                       folder);
  }

  std::vector<std::string> NamesIn(const std::string& liveIff, int list) {
    const StringTable table = NameTable(ReadBack(fs.Contents(liveIff).value()), list);
    std::vector<std::string> names;
    for (int r = 0; r < kNameListInfo[list].namesUsed; ++r) names.push_back(table.Entries[r].Value);
    return names;
  }
};

TEST_F(SetPathJourney, MendingABadFolderKeepsEveryNameOfTheGame) {
  InstallGame(fs);
  const std::string original = Live();
  UseSetting("C:\\Games\\Nothing Here");
  RegistryNames(kGameRoot);
  editor.OnLoad();
  editor.OnActivate();
  ASSERT_EQ(messages.shown.back().title, "SIMS.EXE Not Found!");
  ASSERT_EQ(view.items, std::vector<std::string>(51, ""));

  SetPathToRegistryFolder();
  EXPECT_EQ(view.items.at(0), FixtureName(0, 0));
  editor.SaveNameLists();
  EXPECT_EQ(messages.shown.back().title, "Operation Complete");
  EXPECT_EQ(NamesIn(kLivePath, 0), NamesIn(kBackupPath, 0));  // all 51 are still there
  EXPECT_TRUE(Live() == original) << "live.iff changed";
}

TEST_F(SetPathJourney, SwitchingGamesNeverCarriesNamesAcross) {
  // Game B is a copy of A whose names all differ.
  InstallGame(fs);
  IffFile other = ReadBack(Live());
  for (int k = 0; k < 7; ++k) {
    StringTable table = NameTable(other, k);
    for (StringEntry& entry : table.Entries) entry.Value[0] = 'B';
    gsWriteSTRSegment(other, table, HexTextToBytes(kNameListInfo[k].idText), false);
  }
  Bytes otherImage;
  gsWriteIFFImage(other, otherImage);
  fs.AddFile(kOtherRoot + "\\Sims.exe", "MZ");
  fs.AddFile(kOtherRoot + "\\GameData\\live.iff", otherImage);
  const std::string liveA = Live();
  const std::string liveB = kOtherRoot + "\\GameData\\live.iff";
  const std::vector<std::string> namesB3 = NamesIn(liveB, 3);

  UseSetting(kGameRoot);
  editor.OnLoad();
  editor.OnActivate();
  editor.OnSelectList(3);
  Edit(4, "Zed");

  RegistryNames(kOtherRoot);
  SetPathToRegistryFolder();
  EXPECT_EQ(view.items.at(0), NamesIn(liveB, 0).at(0));
  editor.OnSelectList(3);
  EXPECT_EQ(editor.Items(), namesB3);
  editor.SaveNameLists();
  EXPECT_EQ(messages.shown.back().title, "Operation Complete");
  EXPECT_EQ(NamesIn(liveB, 3), namesB3);
  EXPECT_TRUE(fs.Contents(liveB) == otherImage) << "B's live.iff changed";
  EXPECT_TRUE(Live() == liveA) << "A's live.iff changed";
}

}  // namespace
}  // namespace qm::test
