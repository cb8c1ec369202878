#pragma once
// Helpers for the end-to-end tests that start the real quillmark.exe under
// Wine on a generated game folder and drive its windows from the test
// process through window messages.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "1-platform/Utf16_win.h"
#include "5-windows/resource.h"
#include "Version.h"
#include "tools/demogame/DemoGame.h"

namespace qm::e2e {

namespace fs = std::filesystem;

inline constexpr const char* kMainCaption = "Quillmark - Version " QM_VERSION_STRING;
inline constexpr int kWaitMs = 20000;

inline bool WaitFor(const std::function<bool()>& condition, int milliseconds = kWaitMs,
                    int pollMs = 50) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    Sleep(static_cast<DWORD>(pollMs));
  }
  return condition();
}

// The build's path of quillmark.exe as Wine sees it (the Unix root is Z:).
inline std::string QuillmarkExe() {
  std::string path = QM_QUILLMARK_EXE;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

inline std::string ProgramFolder() {
  const std::string exe = QuillmarkExe();
  return exe.substr(0, exe.rfind('\\'));
}

inline std::wstring Widen(const std::string& bytes) {
  if (bytes.empty()) return L"";
  const int n =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

inline std::string Narrow(const std::wstring& text) {
  if (text.empty()) return "";
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// WM_GETTEXT through the W entry point: GetWindowText does not ask a control
// of another process, and Wine hands text across processes as UTF-16.
inline std::wstring ControlTextW(HWND control) {
  std::wstring buffer(8192, L'\0');
  const LRESULT length =
      SendMessageW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<size_t>(length));
  return buffer;
}

inline std::string ControlText(HWND control) { return Narrow(ControlTextW(control)); }

inline std::string WindowTitle(HWND window) {
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  return Narrow(title);
}

// Whether any process shows a visible top-level window with this title (the
// crash dialog of Wine's debugger is "Program Error").
inline bool AnyWindowTitled(const std::string& title) {
  struct Search {
    const std::string* title;
    bool found;
  } search{&title, false};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (IsWindowVisible(w) && WindowTitle(w) == *s->title) {
          s->found = true;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The game's install folder in HKLM, 32-bit view, where the game's
// installer writes it on 64-bit Windows.
inline void SetInstallPath(const std::string& path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Maxis\\The Sims", 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>(path.size() + 1));
  RegCloseKey(key);
}

inline void RemoveInstallPath() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Maxis\\The Sims", 0,
                    KEY_SET_VALUE | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "InstallPath");
    RegCloseKey(key);
  }
}

inline void ClearSetting() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Dorvane\\Settings"); }

// The program's stored game folder in UTF-8, or "<absent>".
inline std::string Setting() {
  wchar_t value[1024] = {};
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Dorvane\\Settings", L"Sims Location",
                   RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return "<absent>";
  }
  return Utf8(value);
}

// Clears read-only and hidden on every file below `root`, so that the
// folder can be removed whatever a test left there.
inline void MakeRemovable(const fs::path& root) {
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    SetFileAttributesW(it->path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// A demo game, named as the game's install folder in the registry, with the
// program's stored setting cleared. By default it lives in a fresh
// temporary folder; it is removed when the test ends.
class GameFolder {
 public:
  GameFolder() {
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() /
            ("qm-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
    Install(root_ / "The Sims");
  }
  // The game in `folder` itself (e.g. on a file system of the test's choice).
  explicit GameFolder(const fs::path& folder) : root_(folder) { Install(folder); }
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;
  ~GameFolder() {
    MakeRemovable(root_);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // The temporary folder that holds the game (the game's own folder when
  // one was given); room for other folders beside it.
  fs::path Root() const { return root_; }
  fs::path Folder() const { return folder_; }
  fs::path GameData() const { return folder_ / "GameData"; }
  fs::path Live() const { return GameData() / "live.iff"; }
  fs::path Backup() const { return GameData() / "original_live.iff"; }
  fs::path Temp() const { return GameData() / "Dorvane_live.iff"; }

 private:
  void Install(const fs::path& folder) {
    folder_ = folder;
    std::error_code ignored;
    MakeRemovable(root_);
    fs::remove_all(root_, ignored);
    EXPECT_EQ(demo::WriteDemoGame(folder_.string()), "");
    SetInstallPath(folder_.string());
    ClearSetting();
    // Names the program keeps after a save go beside the game, not into
    // the prefix where a later test's game of the same path would find them.
    SetEnvironmentVariableW(L"APPDATA", (root_ / "AppData").wstring().c_str());
  }

  fs::path root_;
  fs::path folder_;
};

struct MessageBoxSeen {
  HWND box = nullptr;
  std::wstring title;
  std::wstring text;
};

// A running quillmark.exe; ended in any case when the object goes.
class Quillmark {
 public:
  Quillmark() = default;
  Quillmark(const Quillmark&) = delete;
  Quillmark& operator=(const Quillmark&) = delete;
  ~Quillmark() { Kill(); }

  void Start() {
    // Built up piece by piece: GCC 12 at -O3 warns (wrongly) about a
    // concatenation of literal, string and literal here.
    std::string command = "\"";
    command += QuillmarkExe();
    command += '"';
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process_))
        << "cannot start " << command << ": error " << GetLastError();
    started_ = true;
    main_ = nullptr;
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

  bool Running() const {
    return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }

  bool WaitForExit(int milliseconds = kWaitMs) const {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) ==
           WAIT_OBJECT_0;
  }

  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  // The program's visible top-level window of class `cls`.
  HWND WaitForWindow(const char* cls, int milliseconds = kWaitMs) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
          found = FindTopLevel(cls);
          return found != nullptr;
        },
        milliseconds);
    return found;
  }

  // The main window once its caption is the activated one.
  HWND WaitForMain() {
    HWND found = nullptr;
    WaitFor([&] {
      found = FindTopLevel(QM_MAIN_CLASS);
      return found != nullptr && WindowTitle(found) == kMainCaption;
    });
    main_ = found;
    return found;
  }

  HWND Control(int id) const { return GetDlgItem(main_, id); }

  // The next message box of the program: title, text, and the window.
  MessageBoxSeen WaitForMessageBox() const {
    MessageBoxSeen seen;
    seen.box = WaitForWindow("#32770");
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

  int ListCount() const {
    return static_cast<int>(SendMessageW(Control(IDC_MAIN_LSTNAMES), LB_GETCOUNT, 0, 0));
  }

  // LB_GETTEXT through the W entry point: across processes Wine hands back
  // UTF-16 text.
  std::wstring ListItem(int row) const {
    HWND list = Control(IDC_MAIN_LSTNAMES);
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) return L"<no item>";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
  }

  std::wstring NameText() const { return ControlTextW(Control(IDC_MAIN_TXTNAME)); }

  void ClickOption(int index) const {
    SendMessageW(Control(IDC_MAIN_OPTLIST0 + index), BM_CLICK, 0, 0);
  }

  // A click on a list item: the selection moves and the window hears of it.
  void ChooseName(int row) const {
    HWND list = Control(IDC_MAIN_LSTNAMES);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SendMessageW(main_, WM_COMMAND, MAKEWPARAM(IDC_MAIN_LSTNAMES, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }

  // Typing into the name box: a character and the key's release for each.
  void Type(const std::wstring& text) const {
    HWND box = Control(IDC_MAIN_TXTNAME);
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
  void ClickSave() const { PostMessageW(Control(IDC_MAIN_CMDSAVE), BM_CLICK, 0, 0); }

  void Close() const { PostMessageW(main_, WM_CLOSE, 0, 0); }

 private:
  HWND FindTopLevel(const char* cls) const {
    struct Search {
      DWORD pid;
      const char* cls;
      HWND found;
    } search{process_.dwProcessId, cls, nullptr};
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          char name[64] = {};
          GetClassNameA(w, name, sizeof(name));
          if (pid == s->pid && IsWindowVisible(w) && lstrcmpA(name, s->cls) == 0) {
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

}  // namespace qm::e2e
