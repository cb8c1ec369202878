// quillmark.exe end to end: a generated game folder, the game's install
// folder in the registry's 32-bit view, the program started as a user would,
// and its controls driven through window messages from this process. Saved
// files are checked with the IFF library.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "testkit/LanguageNames.h"
#include "tests/wine/E2eSupport.h"

namespace qm {
namespace {

using namespace e2e;

Bytes IdFlags(uint16_t id) {
  return Bytes{static_cast<char>(id >> 8), static_cast<char>(id), 0, 0x10};
}

StringTable NameTable(const IffFile& file, int list) {
  StringTable table;
  gsReadSTRSegment(file, table, IdFlags(demo::kNameChunkIds[list]), false);
  return table;
}

class MainWindowE2e : public ::testing::Test {
 protected:
  void TearDown() override { app_.Kill(); }

  // Starts the program and waits until list 0 is shown.
  void StartOnGame() {
    app_.Start();
    ASSERT_NE(app_.WaitForMain(), nullptr) << "no window captioned " << kMainCaption;
    ASSERT_TRUE(WaitFor([&] { return app_.ListCount() == 51; })) << app_.ListCount();
  }

  void ExpectList(int list) {
    const std::vector<std::string> names = demo::DemoNames(list);
    const int shown = list == 0 ? 51 : 50;
    ASSERT_EQ(app_.ListCount(), shown);
    for (int row = 0; row < shown; ++row) {
      EXPECT_EQ(app_.ListItem(row), Widen(names[row])) << "list " << list << " row " << row;
    }
  }

  void SaveAndExpect(const std::wstring& title, const std::wstring& text) {
    app_.ClickSave();
    const MessageBoxSeen seen = app_.WaitForMessageBox();
    ASSERT_NE(seen.box, nullptr) << "no message box after Save";
    EXPECT_EQ(seen.title, title);
    if (!text.empty()) {
      EXPECT_EQ(seen.text, text);
    }
    last_ = seen;
    Quillmark::PressOk(seen.box);
  }

  void CloseAndWait() {
    app_.Close();
    EXPECT_TRUE(app_.WaitForExit()) << "the program did not end on WM_CLOSE";
  }

  GameFolder game_;
  Quillmark app_;
  MessageBoxSeen last_;
};

TEST_F(MainWindowE2e, EditedNameIsSavedAndEverythingElseKept) {
  const Bytes original = ReadFileBytes(game_.Live());
  StartOnGame();
  ExpectList(0);
  EXPECT_EQ(Setting(), game_.Folder().string()) << "registry seeds the setting";
  EXPECT_EQ(ReadFileBytes(game_.Backup()), original) << "one-time backup";

  app_.ClickOption(3);
  ExpectList(3);
  app_.ChooseName(7);
  EXPECT_TRUE(IsWindowEnabled(app_.Control(IDC_MAIN_TXTNAME)));
  EXPECT_EQ(app_.NameText(), Widen(demo::DemoNames(3)[7]));
  // The selected name is replaced by what passes the filter: "!", "é" and
  // "_" are dropped.
  app_.Type(L"Quill-Mark 7!\u00e9_");
  EXPECT_EQ(app_.NameText(), L"Quill-Mark 7");
  EXPECT_EQ(app_.ListItem(7), L"Quill-Mark 7");

  // Switching lists keeps the edit.
  app_.ClickOption(5);
  ExpectList(5);
  EXPECT_FALSE(IsWindowEnabled(app_.Control(IDC_MAIN_TXTNAME)));
  app_.ClickOption(3);
  EXPECT_EQ(app_.ListItem(7), L"Quill-Mark 7");

  SaveAndExpect(L"Operation Complete", L"Names saved.");
  CloseAndWait();

  IffFile before, after;
  gsReadIFFImage(before, original);
  const Bytes saved = ReadFileBytes(game_.Live());
  gsReadIFFImage(after, saved);
  ASSERT_EQ(after.Chunks.size(), before.Chunks.size());
  const Bytes editedId = IdFlags(demo::kNameChunkIds[3]);
  for (size_t k = 0; k < before.Chunks.size(); ++k) {
    const IffChunk& b = before.Chunks[k];
    const IffChunk& a = after.Chunks[k];
    EXPECT_EQ(a.Type, b.Type);
    EXPECT_EQ(a.IdFlags, b.IdFlags);
    EXPECT_EQ(a.Label, b.Label);
    if (b.Type == "STR#" && b.IdFlags == editedId) continue;
    EXPECT_EQ(a.Size, b.Size) << "chunk " << k;
    EXPECT_EQ(a.Data, b.Data) << "chunk " << k << " " << b.Type;
  }
  for (int list = 0; list < 7; ++list) {
    const StringTable b = NameTable(before, list);
    const StringTable a = NameTable(after, list);
    ASSERT_EQ(a.Entries.size(), b.Entries.size()) << "list " << list;
    for (size_t i = 0; i < b.Entries.size(); ++i) {
      const Bytes expected = list == 3 && i == 7 ? Bytes("Quill-Mark 7") : b.Entries[i].Value;
      EXPECT_EQ(a.Entries[i].Value, expected) << "list " << list << " entry " << i + 1;
      EXPECT_EQ(a.Entries[i].Comment, b.Entries[i].Comment);
      EXPECT_EQ(a.Entries[i].LanguageCode, b.Entries[i].LanguageCode);
    }
  }
  // The map points at every chunk's new place: writing the image back
  // reproduces the saved file.
  Bytes rewritten;
  gsWriteIFFImage(after, rewritten);
  EXPECT_EQ(rewritten, saved);
  EXPECT_EQ(ReadFileBytes(game_.Backup()), original) << "the backup is never replaced";
}

// A name pasted into the name box, with no key pressed, is in the list and
// in live.iff; choosing another name afterwards leaves it as it is.
TEST_F(MainWindowE2e, PastedNameIsSaved) {
  StartOnGame();
  app_.ChooseName(2);
  const char pasted[] = "Pasted Name";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
  memcpy(GlobalLock(memory), pasted, sizeof pasted);
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
  SendMessageW(app_.Control(IDC_MAIN_TXTNAME), WM_PASTE, 0, 0);
  EXPECT_EQ(app_.ListItem(2), L"Pasted Name");
  app_.ChooseName(3);
  SaveAndExpect(L"Operation Complete", L"Names saved.");

  IffFile after;
  gsReadIFFImage(after, ReadFileBytes(game_.Live()));
  const StringTable table = NameTable(after, 0);
  EXPECT_EQ(table.Entries.at(2).Value, "Pasted Name");
  EXPECT_EQ(table.Entries.at(3).Value, demo::DemoNames(0)[3]);
}

// On an English prefix, Japanese chosen from Options > Language: the
// Japanese block is shown through Shift-JIS, and a name typed in kana is
// saved as Shift-JIS bytes. Items: US English, French to Finnish,
// Portuguese, then Japanese.
TEST_F(MainWindowE2e, JapaneseFromTheMenuIsShownTypedAndSavedInShiftJis) {
  StartOnGame();
  const HWND label = app_.Control(IDC_MAIN_LANGUAGE);
  EXPECT_EQ(ControlTextW(label), L"Names in English (US)");
  SendMessageW(app_.WaitForMain(), WM_COMMAND, IDM_LANGUAGE0 + 11, 0);
  EXPECT_EQ(ControlTextW(label), L"Names in Japanese");
  EXPECT_EQ(app_.ListItem(0), Utf16(test::LanguageNameUtf8(15, 0, 0)));
  app_.ChooseName(5);
  app_.Type(L"\u30A2\u30AD\u30E9!");  // "!" is dropped
  EXPECT_EQ(app_.ListItem(5), L"\u30A2\u30AD\u30E9");
  SaveAndExpect(L"Operation Complete", L"Names saved.");

  IffFile after;
  gsReadIFFImage(after, ReadFileBytes(game_.Live()));
  const StringTable table = NameTable(after, 0);
  EXPECT_EQ(table.Entries.at(11 * demo::kNamesPerBlock + 5).Value, "\x83\x41\x83\x4C\x83\x89");
  EXPECT_EQ(table.Entries.at(5).Value, demo::DemoNames(0)[5]);
}

TEST_F(MainWindowE2e, SaveWhileLiveIffIsHeldKeepsEditsAndWorksOnceReleased) {
  const Bytes original = ReadFileBytes(game_.Live());
  StartOnGame();
  app_.ChooseName(0);
  app_.Type(L"Ada");
  ASSERT_EQ(app_.ListItem(0), L"Ada");

  // The game holds live.iff open: it may be read, not replaced.
  HANDLE held = CreateFileA(game_.Live().string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SaveAndExpect(L"Names Not Saved", L"");
  EXPECT_NE(last_.text.find(L"live.iff"), std::wstring::npos) << "names the file";
  EXPECT_EQ(ReadFileBytes(game_.Live()), original);
  CloseHandle(held);

  EXPECT_EQ(app_.ListItem(0), L"Ada") << "the edit is kept";
  SaveAndExpect(L"Operation Complete", L"Names saved.");
  CloseAndWait();

  IffFile after;
  gsReadIFFImage(after, ReadFileBytes(game_.Live()));
  const StringTable table = NameTable(after, 0);
  ASSERT_GE(table.Entries.size(), 51u);
  EXPECT_EQ(table.Entries[0].Value, "Ada");
  EXPECT_EQ(table.Entries[1].Value, demo::DemoNames(0)[1]);
}

TEST_F(MainWindowE2e, TabTakesTheOptionsAsOneStopAtTheSelectedOne) {
  StartOnGame();
  ASSERT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(IDC_MAIN_OPTLIST0); }))
      << "option 0 has the focus after the first activation";
  // The name box is disabled until a name is chosen, so Tab passes it by.
  const int order[] = {IDC_MAIN_LSTNAMES, IDC_MAIN_CMDSAVE, IDC_MAIN_CMDEXIT, IDC_MAIN_OPTLIST0};
  for (int id : order) {
    app_.PressKey(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(id); }, 5000))
        << "Tab to control " << id;
  }
  // Arrow keys move through the options and select each list.
  app_.PressKey(VK_DOWN);
  ASSERT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(IDC_MAIN_OPTLIST0 + 1); }, 5000));
  ASSERT_TRUE(WaitFor([&] { return app_.ListCount() == 50; }, 5000));
  ExpectList(1);
  app_.PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(IDC_MAIN_LSTNAMES); }, 5000));
  app_.PressKey(VK_TAB);
  app_.PressKey(VK_TAB);
  app_.PressKey(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(IDC_MAIN_OPTLIST0 + 1); }, 5000))
      << "Tab enters the options at the selected one";
  ExpectList(1);
}

TEST_F(MainWindowE2e, FolderWithoutSimsExeSaysSoAndLoadsNothing) {
  fs::remove(game_.Folder() / "Sims.exe");
  app_.Start();
  const MessageBoxSeen seen = app_.WaitForMessageBox();
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.title, L"SIMS.EXE Not Found!");
  EXPECT_EQ(seen.text,
            L"The file SIMS.EXE was not found in the path specified in the registry.\r\n"
            L"Please use the Set Path menu option to locate The Sims.");
  Quillmark::PressOk(seen.box);
  ASSERT_NE(app_.WaitForMain(), nullptr) << "the window stays open";
  EXPECT_FALSE(fs::exists(game_.Backup()));
  // List 0 shown with blank names.
  ASSERT_TRUE(WaitFor([&] { return app_.ListCount() == 51; })) << app_.ListCount();
  EXPECT_EQ(app_.ListItem(0), L"");
  CloseAndWait();
}

TEST_F(MainWindowE2e, MissingRegistryValueStoresErrorAndGivesBothMessages) {
  RemoveInstallPath();
  app_.Start();
  MessageBoxSeen seen = app_.WaitForMessageBox();
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.title, L"Path to The Sims not found!");
  EXPECT_EQ(seen.text,
            L"GetRegistryString failed on error.\r\nThe path to The Sims can not be found.\r\n"
            L"Please use the Set Path option on the Options menu to locate The Sims.");
  Quillmark::PressOk(seen.box);
  seen = app_.WaitForMessageBox();
  ASSERT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.title, L"SIMS.EXE Not Found!");
  Quillmark::PressOk(seen.box);
  ASSERT_NE(app_.WaitForMain(), nullptr);
  EXPECT_EQ(Setting(), "ERROR");
  CloseAndWait();
}

// Steam's folder in HKEY_CURRENT_USER as Steam writes it (forward slashes),
// removed again when the object goes.
class SteamPathValue {
 public:
  explicit SteamPathValue(std::string folder) {
    for (char& c : folder) c = c == '\\' ? '/' : c;
    RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "SteamPath", REG_SZ, folder.c_str(),
                    static_cast<DWORD>(folder.size() + 1));
  }
  ~SteamPathValue() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, "SteamPath"); }
  SteamPathValue(const SteamPathValue&) = delete;
  SteamPathValue& operator=(const SteamPathValue&) = delete;

 private:
  static constexpr const char* kKey = "Software\\Valve\\Steam";
};

// A demo game in the Steam library `library`, listed (in UTF-8, backslashes
// escaped, as Steam writes it) by a Steam in game.Root()'s Steam folder;
// the registry names no game. Returns the game's folder.
fs::path SteamLibraryGame(const GameFolder& game, const fs::path& library) {
  RemoveInstallPath();
  const fs::path steam = game.Root() / "Steam";
  const fs::path folder = library / "steamapps" / "common" / "The Sims Legacy Collection";
  EXPECT_EQ(demo::WriteDemoGame(folder.string()), "");
  fs::create_directories(steam / "steamapps");
  std::string list = "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"";
  for (char c : library.string()) list += c == '\\' ? std::string("\\\\") : std::string(1, c);
  list += "\"\n\t}\n}\n";
  WriteFileBytes(steam / "steamapps" / "libraryfolders.vdf", list);
  return folder;
}

TEST_F(MainWindowE2e, GameInASteamLibraryLoadsWithoutTheRegistryValueOrAnyMessage) {
  const fs::path folder = SteamLibraryGame(game_, game_.Root() / "Steam Library");
  const SteamPathValue steamPath((game_.Root() / "Steam").string());

  StartOnGame();  // a message box would hold the lists back
  ExpectList(0);
  EXPECT_EQ(Setting(), folder.string());
  CloseAndWait();
}

// A library whose name the PC's code page cannot spell: the game is found,
// an edit is saved into it, and the next start takes it from the setting.
TEST_F(MainWindowE2e, GameInALibraryNamedBeyondTheCodePageIsFoundSavedAndKept) {
  const fs::path folder =
      SteamLibraryGame(game_, game_.Root() / u8"Biblioteka \u0141\u00f3d\u017a \u65e5\u672c");
  const SteamPathValue steamPath((game_.Root() / "Steam").string());
  StartOnGame();
  ExpectList(0);
  app_.ChooseName(0);
  app_.Type(L"Ada");
  SaveAndExpect(L"Operation Complete", L"Names saved.");
  CloseAndWait();
  IffFile saved;
  gsReadIFFImage(saved, ReadFileBytes(folder / "GameData" / "live.iff"));
  EXPECT_EQ(NameTable(saved, 0).Entries.at(0).Value, "Ada");

  EXPECT_EQ(Setting(), folder.string());
  StartOnGame();
  EXPECT_EQ(app_.ListItem(0), L"Ada");
  CloseAndWait();
}

}  // namespace
}  // namespace qm
