// Name packs through the main window: export, import and restore change the
// lists in the window; Save writes them into live.iff.

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "4-behaviour/NamePack.h"
#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

const std::string kPackPath = "C:\\Packs\\names.txt";

class NamePacks : public EditorHarness {
 protected:
  void SetUp() override {
    StartOnGame();
    fs.AddFolder("C:\\Packs");
    dialogs.chosenPath = kPackPath;
  }
  std::string Pack() { return fs.Contents(kPackPath).value_or("<missing>"); }
};

TEST_F(NamePacks, ExportThenImportWithoutEditsLeavesLiveIffByteIdentical) {
  const std::string original = Live();
  editor.OnExportNames();
  ASSERT_EQ(messages.shown.back().title, "Export Names");
  ASSERT_EQ(Pack().substr(0, 3), "\xEF\xBB\xBF");

  editor.OnImportNames();
  EXPECT_NE(messages.shown.back().text.find("351 names taken, 0 rejected."), std::string::npos)
      << messages.shown.back().text;
  editor.SaveNameLists();
  ASSERT_EQ(messages.shown.back().title, "Operation Complete");
  EXPECT_TRUE(Live() == original) << "live.iff changed";
}

TEST_F(NamePacks, Utf8NamesLandInTheCodePageAndBadLinesAreReported) {
  fs.AddFile(kPackPath,
             "# edited by hand\n"
             "[male townie first names]\n"  // line 2
             "Ren\xC3\xA9"
             "e\r\n"
             "\n"  // an empty name between names
             "Jos\xC3\xA9\n"
             "[3]\n"  // line 6
             "Bad!Name\n"
             "A-Name-Far-Longer-Than-25-Letters\n"
             "\xC3\x85sa \"Ace\"\n"
             "[Nobody's List]\n"  // line 10
             "Zed\n");
  editor.OnImportNames();

  EXPECT_EQ(gNameLists.Cell(0, 0),
            "Ren\xE9"
            "e");
  EXPECT_EQ(gNameLists.Cell(0, 1), "");
  EXPECT_EQ(gNameLists.Cell(0, 2), "Jos\xE9");
  EXPECT_EQ(gNameLists.Cell(0, 3), FixtureName(0, 3));  // rows after the section stay
  EXPECT_EQ(gNameLists.Cell(3, 0), FixtureName(3, 0));  // rejected: kept as it was
  EXPECT_EQ(gNameLists.Cell(3, 2), "\xC5sa \"Ace\"");
  EXPECT_EQ(view.items.at(0),
            "Ren\xC3\xA9"
            "e");  // list 0 is shown again
  const ShownMessage& box = messages.shown.back();
  EXPECT_EQ(box.title, "Import Names");
  EXPECT_EQ(box.icon, MessageIcon::Warning);
  EXPECT_NE(box.text.find("4 names taken, 4 rejected."), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("Line 7: '!' cannot be part of a name"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("Line 8: longer than 25 characters"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("Line 10: not the name of a list"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("Line 11: "), std::string::npos) << box.text;

  editor.SaveNameLists();
  const StringTable saved = NameTable(ReadBack(Live()), 0);
  EXPECT_EQ(saved.Entries.at(0).Value,
            "Ren\xE9"
            "e");
  EXPECT_EQ(saved.Entries.at(2).Value, "Jos\xE9");
}

TEST_F(NamePacks, RestoreGivesBackTheBackupsNamesAndAMissingBackupIsSaid) {
  const std::string original = Live();
  Edit(3, "Zed");
  editor.SaveNameLists();
  ASSERT_FALSE(Live() == original);

  messages.answer = false;
  editor.OnRestoreNames();
  EXPECT_EQ(gNameLists.Cell(0, 3), "Zed");  // "No" changes nothing

  messages.answer = true;
  editor.OnRestoreNames();
  ASSERT_EQ(messages.asked.back().title, "Restore Original Names");
  EXPECT_EQ(view.items.at(3), Shown(FixtureName(0, 3)));
  editor.SaveNameLists();
  EXPECT_TRUE(Live() == original) << "live.iff does not hold the original names";

  fs.Erase(kBackupPath);
  Edit(3, "Zed");
  editor.OnRestoreNames();
  EXPECT_EQ(messages.shown.back().title, "Restore Original Names");
  EXPECT_NE(messages.shown.back().text.find("was not found"), std::string::npos);
  EXPECT_EQ(view.items.at(3), "Zed");

  // A damaged backup is said in the box, not in the error window that halts.
  fs.AddFile(kBackupPath, original.substr(0, 100));
  editor.OnRestoreNames();
  EXPECT_NE(messages.shown.back().text.find("could not be read.\r\nError 38: "), std::string::npos)
      << messages.shown.back().text;
  EXPECT_TRUE(traps.empty());
  EXPECT_EQ(view.items.at(3), "Zed");
}

// Every name a game file can hold comes back from a pack byte for byte:
// random names of random bytes, every byte at every position, empty names
// and outer spaces included, in the code pages of the Western and the
// Japanese versions.
TEST(NamePackFormat, ExportThenImportGivesBackEveryNameByteForByte) {
  std::mt19937 random(19);
  for (unsigned number : {1252u, 932u}) {
    const std::unique_ptr<CodePage> codePage = SystemCodePage(number);
    ASSERT_NE(codePage, nullptr) << number;
    for (int pair = 0; pair < 25 * 256;) {  // byte pair % 256 at position pair / 256
      NameLists lists;
      for (int k = 0; k < kListCount; ++k) {
        for (int r = 0; r < kNameListInfo[k].namesUsed; ++r, ++pair) {
          const int at = pair / 256 % 25;
          std::string name(random() % 8 == 0 ? 0 : at + 1 + random() % (25 - at), ' ');
          for (char& c : name) c = random() % 4 == 0 ? ' ' : static_cast<char>(random());
          if (!name.empty()) name[at] = static_cast<char>(pair % 256);
          lists.Cell(k, r) = name;
        }
      }
      const PackReading back = ReadNamePack(WriteNamePack(lists, *codePage), lists, *codePage);
      ASSERT_TRUE(back.rejected.empty())
          << back.rejected[0].line << ": " << back.rejected[0].reason;
      ASSERT_EQ(back.taken, 351);
      for (int k = 0; k < kListCount; ++k) {
        for (int r = 0; r < kNameListInfo[k].namesUsed; ++r) {
          ASSERT_EQ(back.lists.Cell(k, r), lists.Cell(k, r))
              << number << " list " << k << " row " << r;
        }
      }
    }
  }
}

}  // namespace
}  // namespace qm::test
