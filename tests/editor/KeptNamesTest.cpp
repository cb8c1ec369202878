// A player's saved names outlive a game update or a file check that puts
// the game's own live.iff back: the window offers them again at start.

#include <gtest/gtest.h>

#include <string>

#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

const std::string kQuestion =
    "The game's own names are back in live.iff (a game update or a file check replaced it). Put "
    "your names back?";

class KeptNamesJourney : public EditorHarness {
 protected:
  void SetUp() override {
    environment.variables["APPDATA"] = "C:\\Users\\Ann\\AppData\\Roaming";
    StartOnGame();
    original_ = Live();
    Edit(3, "Zed");
    editor.SaveNameLists();
    ASSERT_EQ(messages.shown.back().title, "Operation Complete");
  }
  std::string SavedName(int row) { return NameTable(ReadBack(Live()), 0).Entries.at(row).Value; }

  std::string original_;
};

TEST_F(KeptNamesJourney, AfterAFileCheckYesAndSavePutTheNamesBack) {
  fs.AddFile(kLivePath, original_);  // the file check puts the shipped file back
  editor.OnActivate();
  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_EQ(messages.asked.back().text, kQuestion);
  EXPECT_EQ(view.items.at(3), "Zed");
  EXPECT_TRUE(Live() == original_) << "written before Save";

  editor.SaveNameLists();
  EXPECT_EQ(SavedName(3), "Zed");
  editor.OnActivate();
  EXPECT_EQ(messages.asked.size(), 1u) << "asked with the kept names in live.iff";
}

TEST_F(KeptNamesJourney, NoKeepsTheGameNamesAndIsNotAskedAgainUntilTheNextSave) {
  // An update: the game's own names, another chunk changed.
  IffFile updated = ReadBack(original_);
  for (IffChunk& chunk : updated.Chunks) {
    if (chunk.Type == "OBJD") chunk.Data = std::string(400, 'u');
  }
  Bytes updatedImage;
  gsWriteIFFImage(updated, updatedImage);
  fs.AddFile(kLivePath, updatedImage);
  messages.answer = false;
  editor.OnActivate();
  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_EQ(view.items.at(3), Shown(FixtureName(0, 3)));
  editor.OnActivate();
  EXPECT_EQ(messages.asked.size(), 1u) << "asked again after No";
  EXPECT_TRUE(Live() == updatedImage);

  // Restore takes only the backup's names: the update's chunk stays.
  messages.answer = true;
  Edit(5, "Ivy");
  editor.OnRestoreNames();
  editor.SaveNameLists();
  EXPECT_TRUE(Live() == updatedImage) << "restore brought back more than names";

  // A save of edited names keeps them again, and the question comes back.
  Edit(4, "Ada");
  editor.SaveNameLists();
  fs.AddFile(kLivePath, updatedImage);
  editor.OnActivate();
  EXPECT_EQ(messages.asked.size(), 3u);  // the restore's question, then this one
  EXPECT_EQ(view.items.at(4), "Ada");
}

}  // namespace
}  // namespace qm::test
