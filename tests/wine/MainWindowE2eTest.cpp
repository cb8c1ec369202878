// quillmark.exe end to end: a generated game folder, the game's install
// folder in the registry's 32-bit view, the program started as a user would,
// and its controls driven through window messages from this process. Saved
// files are checked with the IFF library.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "editor/MainControls.h"
#include "iff/IffFile.h"
#include "iff/StringTable.h"
#include "tools/demogame/DemoGame.h"

namespace qm {
namespace {

using namespace mainctl;
namespace fs = std::filesystem;

constexpr const char* kCaption = "Quillmark - Version 1.0.0";
constexpr int kWaitMs = 20000;

bool WaitFor(const std::function<bool()>& condition, int milliseconds = kWaitMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

// The build's path of quillmark.exe as Wine sees it (the Unix root is Z:).
std::string QuillmarkExe() {
  std::string path = QM_QUILLMARK_EXE;
  if (!path.empty() && path[0] == '/') {
    std::string onDrive = "Z:";
    onDrive += path;
    path = onDrive;
  }
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::wstring Widen(const std::string& bytes) {
  if (bytes.empty()) return L"";
  const int n =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

Bytes IdFlags(uint16_t id) {
  return Bytes{static_cast<char>(id >> 8), static_cast<char>(id), 0, 0x10};
}

StringTable NameTable(const IffFile& file, int list) {
  StringTable table;
  EXPECT_TRUE(gsReadSTRSegment(file, table, IdFlags(demo::kNameChunkIds[list]), false));
  return table;
}

// A demo game in a fresh temporary folder, named as the game's install
// folder in HKLM (32-bit view), with the program's stored setting cleared.
class GameFolder {
 public:
  GameFolder() {
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() /
            ("qm-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    fs::remove_all(root_);
    folder_ = root_ / "The Sims";
    const std::string error = demo::WriteDemoGame(folder_.string());
    EXPECT_EQ(error, "");
    SetInstallPath(folder_.string());
    ClearSetting();
  }
  ~GameFolder() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  fs::path Folder() const { return folder_; }
  fs::path Live() const { return folder_ / "GameData" / "live.iff"; }
  fs::path Backup() const { return folder_ / "GameData" / "original_live.iff"; }

  static void SetInstallPath(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Maxis\\The Sims", 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
  }
  static void RemoveInstallPath() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Maxis\\The Sims", 0,
                      KEY_SET_VALUE | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, "InstallPath");
      RegCloseKey(key);
    }
  }
  static void ClearSetting() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Dorvane\\Settings"); }
  static std::string Setting() {
    char value[1024] = {};
    DWORD size = sizeof(value);
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Dorvane\\Settings", "Sims Location",
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
      return "<absent>";
    }
    return value;
  }

 private:
  fs::path root_;
  fs::path folder_;
};

struct MessageBoxSeen {
  HWND box = nullptr;
  std::wstring title;
  std::wstring text;
};

// A running quillmark.exe; ended in any case when the test ends.
class Quillmark {
 public:
  Quillmark() = default;
  Quillmark(const Quillmark&) = delete;
  Quillmark& operator=(const Quillmark&) = delete;
  ~Quillmark() { Kill(); }

  void Start() {
    std::string command = "\"";
    command += QuillmarkExe();
    command += '"';
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process_))
        << "cannot start " << command << ": error " << GetLastError();
    started_ = true;
  }

  void Kill() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    started_ = false;
  }

  // The main window once its caption is the activated one.
  HWND WaitForMain() {
    HWND found = nullptr;
    WaitFor([&] {
      found = FindTopLevel([](HWND w) {
        char cls[64] = {}, caption[128] = {};
        GetClassNameA(w, cls, sizeof(cls));
        GetWindowTextA(w, caption, sizeof(caption));
        return std::string(cls) == kMainClass && std::string(caption) == kCaption;
      });
      return found != nullptr;
    });
    main_ = found;
    return found;
  }

  HWND Control(int id) const { return GetDlgItem(main_, id); }

  // The next message box of the program: title, text, and the window.
  MessageBoxSeen WaitForMessageBox() {
    MessageBoxSeen seen;
    WaitFor([&] {
      seen.box = FindTopLevel([](HWND w) {
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof(cls));
        return std::string(cls) == "#32770" && IsWindowVisible(w);
      });
      return seen.box != nullptr;
    });
    if (!seen.box) return seen;
    wchar_t buffer[2048] = {};
    GetWindowTextW(seen.box, buffer, 2048);
    seen.title = buffer;
    buffer[0] = 0;
    GetDlgItemTextW(seen.box, 0xFFFF, buffer, 2048);
    seen.text = buffer;
    return seen;
  }

  static void PressOk(HWND box) {
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(box); });
  }

  bool WaitForExit(int milliseconds = kWaitMs) {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) ==
           WAIT_OBJECT_0;
  }

  int ListCount() const {
    return static_cast<int>(SendMessageW(Control(kLstNames), LB_GETCOUNT, 0, 0));
  }

  // LB_GETTEXT through the W entry point: across processes Wine hands back
  // UTF-16 text.
  std::wstring ListItem(int row) const {
    HWND list = Control(kLstNames);
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) return L"<no item>";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
  }

  // WM_GETTEXT: GetWindowText does not ask a control of another process.
  std::wstring NameText() const {
    wchar_t buffer[256] = {};
    SendMessageW(Control(kTxtName), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
    return buffer;
  }

  void ClickOption(int index) const { SendMessageW(Control(kOptList0 + index), BM_CLICK, 0, 0); }

  // A click on a list item: the selection moves and the window hears of it.
  void ChooseName(int row) const {
    HWND list = Control(kLstNames);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(main_, WM_COMMAND, MAKEWPARAM(kLstNames, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }

  // Typing into the name box: a character and the key's release for each.
  void Type(const std::wstring& text) const {
    HWND box = Control(kTxtName);
    for (wchar_t c : text) {
      SendMessageW(box, WM_CHAR, c, 1);
      SendMessageW(box, WM_KEYUP, 'A', static_cast<LPARAM>(0xC0000001));
    }
  }

  // The control that has the keyboard focus in the program's window thread.
  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
  }

  // A key pressed and released on the focused control, through the
  // program's message loop.
  void PressKey(WPARAM key) const {
    HWND target = Focus();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
  }

  // Posted: the save ends in a modal message box.
  void ClickSave() const { PostMessageW(Control(kCmdSave), BM_CLICK, 0, 0); }

  void Close() const { PostMessageW(main_, WM_CLOSE, 0, 0); }

 private:
  HWND FindTopLevel(bool (*match)(HWND)) const {
    struct Search {
      DWORD pid;
      bool (*match)(HWND);
      HWND found;
    } search{process_.dwProcessId, match, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          if (pid == s->pid && s->match(w)) {
            s->found = w;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  PROCESS_INFORMATION process_{};
  bool started_ = false;
  HWND main_ = nullptr;
};

class MainWindowE2e : public ::testing::Test {
 protected:
  void TearDown() override { app_.Kill(); }

  // Starts the program and waits until list 0 is shown.
  void StartOnGame() {
    app_.Start();
    ASSERT_NE(app_.WaitForMain(), nullptr) << "no window captioned " << kCaption;
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
  EXPECT_EQ(GameFolder::Setting(), game_.Folder().string()) << "registry seeds the setting";
  EXPECT_EQ(ReadFileBytes(game_.Backup()), original) << "one-time backup";

  app_.ClickOption(3);
  ExpectList(3);
  app_.ChooseName(7);
  EXPECT_TRUE(IsWindowEnabled(app_.Control(kTxtName)));
  EXPECT_EQ(app_.NameText(), Widen(demo::DemoNames(3)[7]));
  // The selected name is replaced by what passes the filter: "!", "é" and
  // "_" are dropped.
  app_.Type(L"Quill-Mark 7!\u00e9_");
  EXPECT_EQ(app_.NameText(), L"Quill-Mark 7");
  EXPECT_EQ(app_.ListItem(7), L"Quill-Mark 7");

  // Switching lists keeps the edit.
  app_.ClickOption(5);
  ExpectList(5);
  EXPECT_FALSE(IsWindowEnabled(app_.Control(kTxtName)));
  app_.ClickOption(3);
  EXPECT_EQ(app_.ListItem(7), L"Quill-Mark 7");

  SaveAndExpect(L"Operation Complete", L"Names saved.");
  CloseAndWait();

  IffFile before, after;
  ASSERT_TRUE(gsReadIFFImage(before, original));
  const Bytes saved = ReadFileBytes(game_.Live());
  ASSERT_TRUE(gsReadIFFImage(after, saved));
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
  ASSERT_TRUE(gsWriteIFFImage(after, rewritten));
  EXPECT_EQ(rewritten, saved);
  EXPECT_EQ(ReadFileBytes(game_.Backup()), original) << "the backup is never replaced";
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
  ASSERT_TRUE(gsReadIFFImage(after, ReadFileBytes(game_.Live())));
  const StringTable table = NameTable(after, 0);
  ASSERT_GE(table.Entries.size(), 51u);
  EXPECT_EQ(table.Entries[0].Value, "Ada");
  EXPECT_EQ(table.Entries[1].Value, demo::DemoNames(0)[1]);
}

TEST_F(MainWindowE2e, TabTakesTheOptionsAsOneStopAtTheSelectedOne) {
  StartOnGame();
  ASSERT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(kOptList0); }))
      << "option 0 has the focus after the first activation";
  // The name box is disabled until a name is chosen, so Tab passes it by.
  const int order[] = {kLstNames, kCmdSave, kCmdExit, kOptList0};
  for (int id : order) {
    app_.PressKey(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(id); }, 5000))
        << "Tab to control " << id;
  }
  // Arrow keys move through the options and select each list.
  app_.PressKey(VK_DOWN);
  ASSERT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(kOptList0 + 1); }, 5000));
  ASSERT_TRUE(WaitFor([&] { return app_.ListCount() == 50; }, 5000));
  ExpectList(1);
  app_.PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(kLstNames); }, 5000));
  app_.PressKey(VK_TAB);
  app_.PressKey(VK_TAB);
  app_.PressKey(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return app_.Focus() == app_.Control(kOptList0 + 1); }, 5000))
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
  GameFolder::RemoveInstallPath();
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
  EXPECT_EQ(GameFolder::Setting(), "ERROR");
  CloseAndWait();
}

}  // namespace
}  // namespace qm
