// A player who may not write the game's folder (a standard user and a game
// under Program Files), and the copy of live.iff that Windows keeps in the
// user's VirtualStore.

#include <gtest/gtest.h>

#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

using ProtectedFolder = EditorHarness;
using VirtualStore = EditorHarness;

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(ProtectedFolder, NamesAreShownForReadingAndNothingIsWritten) {
  InstallGame(fs);
  fs.ProtectFolder(kGameRoot + "\\GameData");
  const std::vector<std::string> paths = fs.Paths();
  messages.answer = false;  // no restart: keep the window for reading
  StartOnGame();
  EXPECT_EQ(view.items.at(7), Shown(FixtureName(0, 7)));
  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_EQ(messages.asked[0].title, "Game Folder Protected");
  EXPECT_TRUE(Holds(messages.asked[0].text, kGameRoot + "\\gamedata"));

  Edit(2, "Zed");
  editor.SaveNameLists();
  editor.OnRestoreNames();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].title, "Names Not Saved");
  for (const ShownMessage& shown : messages.shown) EXPECT_TRUE(Holds(shown.text, "protects"));
  EXPECT_EQ(view.items.at(2), "Zed");
  editor.OnActivate();  // Set Path's reload on the same folder: no second offer
  EXPECT_EQ(messages.asked.size(), 1u);
  EXPECT_TRUE(fatal.calls.empty());
  EXPECT_EQ(fs.Paths(), paths);

  // Yes: a copy on the same folder starts as administrator; this one ends.
  EditorRig yes;
  InstallGame(yes.fs);
  yes.fs.ProtectFolder(kGameRoot + "\\GameData");
  yes.UseSetting(kGameRoot);
  yes.editor.OnLoad();
  yes.editor.OnActivate();
  EXPECT_EQ(yes.elevation.restarts, std::vector<std::string>{"--game \"" + kGameRoot + "\""});
  EXPECT_TRUE(yes.editor.Ending());
  yes.UseSetting("D:\\Elsewhere");
  yes.editor.OnLoad(kGameRoot);  // the new copy: the folder for this run, not the setting
  EXPECT_EQ(gSimsPath, kGameRoot);
}

TEST_F(VirtualStore, TheCopyTheGameReadsIsEditedWithItsOwnBackup) {
  InstallGame(fs);
  fs.ProtectFolder(kGameRoot + "\\GameData");
  const std::string store = "C:\\Users\\Ann\\AppData\\Local\\VirtualStore\\Games\\The Sims";
  environment.variables["LOCALAPPDATA"] = "C:\\Users\\Ann\\AppData\\Local";
  fs.AddFile(store + "\\GameData\\LIVE.IFF", Live());
  const std::string live = Live();
  StartOnGame();  // Yes: the copy
  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_TRUE(Holds(messages.asked[0].text, store + "\\gamedata\\live.iff"));
  EXPECT_TRUE(Holds(messages.asked[0].text, kLivePath));

  Edit(2, "Zed");
  editor.SaveNameLists();
  EXPECT_EQ(messages.shown.back().title, "Operation Complete");
  EXPECT_NE(fs.Contents(store + "\\GameData\\live.iff"), live);
  EXPECT_EQ(fs.Contents(store + "\\gamedata\\original_live.iff"), live);
  EXPECT_EQ(Live(), live);
}

}  // namespace
}  // namespace qm::test
