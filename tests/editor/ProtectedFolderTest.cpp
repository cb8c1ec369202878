// A player who may not write the game's folder (a standard user and a game
// under Program Files), and the copy of live.iff that Windows keeps in the
// user's VirtualStore.

#include <gtest/gtest.h>

#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

using ProtectedFolder = EditorHarness;
using VirtualStore = EditorHarness;

const std::string kGameData = kGameRoot + "\\GameData";

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(ProtectedFolder, NamesAreShownForReadingAndNothingIsWritten) {
  InstallGame(fs);
  fs.ProtectFolder(kGameData);
  const std::vector<std::string> paths = fs.Paths();
  const std::string live = Live();
  messages.answer = false;  // no restart: keep the window for reading
  UseSetting(kGameRoot);
  editor.OnLoad();
  editor.OnActivate();

  EXPECT_EQ(view.items.at(7), Shown(FixtureName(0, 7)));
  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_EQ(messages.asked[0].title, "Game Folder Protected");
  EXPECT_TRUE(Holds(messages.asked[0].text, kGameRoot + "\\gamedata"));
  EXPECT_TRUE(Holds(messages.asked[0].text, "Windows protects"));

  Edit(2, "Zed");
  editor.SaveNameLists();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Names Not Saved");
  EXPECT_TRUE(Holds(messages.shown[0].text, "Windows protects"));
  EXPECT_EQ(view.items.at(2), "Zed");
  editor.OnRestoreNames();
  EXPECT_EQ(messages.shown.back().title, "Restore Original Names");
  EXPECT_EQ(messages.asked.size(), 1u);

  editor.OnActivate();  // Set Path's reload on the same folder: no second offer
  EXPECT_EQ(messages.asked.size(), 1u);
  EXPECT_EQ(view.items.at(7), Shown(FixtureName(0, 7)));
  EXPECT_TRUE(fatal.calls.empty());
  EXPECT_TRUE(elevation.restarts.empty());
  EXPECT_FALSE(editor.Ending());
  EXPECT_EQ(fs.Paths(), paths);
  EXPECT_EQ(Live(), live);
}

TEST_F(ProtectedFolder, YesRestartsAsAdministratorOnTheSameFolder) {
  InstallGame(fs);
  fs.ProtectFolder(kGameData);
  elevation.result = 1223;  // the user declined Windows' consent prompt
  StartOnGame();
  EXPECT_EQ(elevation.restarts, std::vector<std::string>{"--game \"" + kGameRoot + "\""});
  EXPECT_FALSE(editor.Ending());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(Holds(messages.shown[0].text, "Error 1223"));

  // A fresh start: the elevated copy starts, this one ends.
  EditorRig again;
  InstallGame(again.fs);
  again.fs.ProtectFolder(kGameData);
  again.UseSetting(kGameRoot);
  again.editor.OnLoad();
  again.editor.OnActivate();
  EXPECT_TRUE(again.editor.Ending());

  // The elevated copy takes the folder from its command line, not the setting.
  again.UseSetting("D:\\Elsewhere");
  again.editor.OnLoad(kGameRoot);
  EXPECT_EQ(gSimsPath, kGameRoot);
}

TEST_F(VirtualStore, TheCopyTheGameReadsIsEditedWithItsOwnBackup) {
  InstallGame(fs);
  fs.ProtectFolder(kGameData);
  const std::string store = "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Games\\The Sims";
  environment.variables["LOCALAPPDATA"] = "C:\\Users\\Ann\\AppData\\Local";
  fs.AddFile(store + "\\GameData\\LIVE.IFF", Live());
  const std::string live = Live();
  StartOnGame();  // Yes: the copy

  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_TRUE(Holds(messages.asked[0].text, store + "\\gamedata\\live.iff"));
  EXPECT_TRUE(Holds(messages.asked[0].text, kLivePath));
  EXPECT_EQ(fs.Contents(store + "\\gamedata\\original_live.iff"), live);
  Edit(2, "Zed");
  editor.SaveNameLists();
  EXPECT_EQ(messages.shown.back().title, "Operation Complete");
  EXPECT_NE(fs.Contents(store + "\\GameData\\live.iff"), live);
  EXPECT_EQ(Live(), live);
  EXPECT_FALSE(fs.Exists(kBackupPath));
}

}  // namespace
}  // namespace qm::test
