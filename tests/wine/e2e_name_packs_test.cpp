// Name packs through quillmark.exe's File menu under Wine: Export Names...
// writes a pack through the real Save dialog, the pack is edited as UTF-8
// text, Import Names... takes it back through the real Open dialog, and
// Save puts the names into live.iff; names saved come back after a file check.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "tests/wine/E2eSupport.h"

namespace qm {
namespace {

using namespace e2e;

// The file name box of the common Open and Save dialogs (cmb13 in the
// Explorer-style template, edt1 in the older one).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

// Picks `path` in the program's Open or Save dialog once it shows.
void ChooseFileInDialog(const Quillmark& app, const fs::path& path) {
  HWND dialog = app.WaitForWindow("#32770");
  ASSERT_NE(dialog, nullptr) << "no file dialog";
  HWND name = GetDlgItem(dialog, kFileNameCombo);
  if (name == nullptr) name = GetDlgItem(dialog, kFileNameEdit);
  ASSERT_NE(name, nullptr) << "no file name box in " << WindowTitle(dialog);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.wstring().c_str()));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); })) << "the file dialog stayed open";
}

// The table of list 0 in the game's live.iff as it is on disk.
StringTable SavedList0(const GameFolder& game) {
  IffFile saved;
  gsReadIFFImage(saved, ReadFileBytes(game.Live()));
  StringTable table;
  gsReadSTRSegment(saved, table, Bytes("\x00\x96\x00\x10", 4), false);
  return table;
}

MessageBoxSeen AcknowledgeBox(const Quillmark& app) {
  const MessageBoxSeen seen = app.WaitForMessageBox();
  if (seen.box != nullptr) Quillmark::PressOk(seen.box);
  return seen;
}

TEST(NamePacksE2e, ExportEditImportAndSaveThroughTheFileMenu) {
  GameFolder game;
  Quillmark app;
  app.Start();
  HWND main = app.WaitForMain();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitFor([&] { return app.ListCount() == 51; }));
  const fs::path pack = game.Root() / "names.txt";

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_EXPORT, 0), 0);
  ChooseFileInDialog(app, pack);
  EXPECT_EQ(Narrow(AcknowledgeBox(app).title), "Export Names");

  // The first male townie becomes "Zoë" in a text editor that writes UTF-8.
  std::string text = ReadFileBytes(pack);
  const std::string heading = "[Male Townie First Names]\r\n";
  const size_t at = text.find(heading);
  ASSERT_NE(at, std::string::npos) << text.substr(0, 200);
  const size_t nameAt = at + heading.size();
  text.replace(nameAt, text.find("\r\n", nameAt) - nameAt, "Zo\xC3\xAB");
  WriteFileBytes(pack, text);

  PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_IMPORT, 0), 0);
  ChooseFileInDialog(app, pack);
  const MessageBoxSeen imported = AcknowledgeBox(app);
  EXPECT_EQ(Narrow(imported.title), "Import Names");
  EXPECT_NE(imported.text.find(L"351 names taken, 0 rejected."), std::wstring::npos)
      << Narrow(imported.text);
  EXPECT_EQ(app.ListItem(0), L"Zo\u00EB");

  app.ClickSave();
  EXPECT_EQ(Narrow(AcknowledgeBox(app).title), "Operation Complete");
  const StringTable table = SavedList0(game);
  EXPECT_EQ(table.Entries.at(0).Value, "Zo\xEB");
  EXPECT_EQ(table.Entries.at(1).Value, demo::DemoNames(0).at(1));
}

// A file check puts the shipped live.iff back after the player saved an
// edited name: at the next start the program offers the name back.
// Starts Quillmark on `game` and waits for the question that offers the kept
// names back; null when none came.
HWND KeptNamesQuestion(Quillmark& app) {
  app.Start();
  if (app.WaitForMain() == nullptr) return nullptr;
  const MessageBoxSeen question = app.WaitForMessageBox();
  EXPECT_EQ(question.text,
            L"The game's own names are back in live.iff (a game update or a file check replaced "
            L"it). Put your names back?");
  return question.box;
}

// Yes, then Save, puts the saved names back; after the next file check, No
// keeps the game's names and the next start asks nothing.
TEST(KeptNamesE2e, AfterAFileCheckYesPutsTheSavedNamesBackAndNoIsNotAskedAgain) {
  GameFolder game;
  const std::string shipped = ReadFileBytes(game.Live());
  {
    Quillmark app;
    app.Start();
    ASSERT_NE(app.WaitForMain(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return app.ListCount() == 51; }));
    app.ChooseName(0);
    app.Type(L"Ada");
    app.ClickSave();
    EXPECT_EQ(Narrow(AcknowledgeBox(app).title), "Operation Complete");
    app.Close();
    ASSERT_TRUE(app.WaitForExit());
  }
  WriteFileBytes(game.Live(), shipped);

  {
    Quillmark app;
    HWND question = KeptNamesQuestion(app);
    ASSERT_NE(question, nullptr) << "no question";
    SendMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return app.ListItem(0) == L"Ada"; })) << Narrow(app.ListItem(0));
    EXPECT_TRUE(ReadFileBytes(game.Live()) == shipped) << "written before Save";

    app.ClickSave();
    EXPECT_EQ(Narrow(AcknowledgeBox(app).title), "Operation Complete");
    EXPECT_EQ(SavedList0(game).Entries.at(0).Value, "Ada");
    app.Close();
    ASSERT_TRUE(app.WaitForExit());
  }
  WriteFileBytes(game.Live(), shipped);
  const std::wstring shippedFirst = [&] {
    Quillmark app;
    HWND question = KeptNamesQuestion(app);
    EXPECT_NE(question, nullptr) << "no question after the second file check";
    if (question) SendMessageW(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return app.ListCount() == 51; }));
    const std::wstring first = app.ListItem(0);
    app.Close();
    EXPECT_TRUE(app.WaitForExit());
    return first;
  }();
  EXPECT_NE(shippedFirst, L"Ada");
  EXPECT_TRUE(ReadFileBytes(game.Live()) == shipped) << "No wrote live.iff";

  Quillmark app;
  app.Start();
  ASSERT_NE(app.WaitForMain(), nullptr);
  ASSERT_TRUE(WaitFor([&] { return app.ListItem(0) == shippedFirst; }));
  EXPECT_EQ(app.WaitForWindow("#32770", 2000), nullptr) << "asked again after No";
}

}  // namespace
}  // namespace qm
