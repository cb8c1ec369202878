// quillmark.exe end to end with its two dialogs: a corrupt live.iff brings
// up the error window (report, log, copy, end button), and the Set Path
// dialog refuses a folder without the game and takes one with it. The
// program runs as a user would start it; this process drives its windows
// through messages.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "editor/MainControls.h"
#include "errortrap/frmErrorDialog_win.h"
#include "location/frmSetPath_win.h"
#include "tools/demogame/DemoGame.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
constexpr int kWaitMs = 20000;

bool WaitFor(const std::function<bool()>& condition, int milliseconds = kWaitMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

std::string QuillmarkExe() {
  std::string path = QM_QUILLMARK_EXE;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return "";
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// WM_GETTEXT through the W entry point: GetWindowText does not ask a control
// of another process, and Wine hands text across processes as UTF-16.
std::string ControlText(HWND control) {
  std::wstring buffer(8192, L'\0');
  const LRESULT length =
      SendMessageW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<size_t>(length));
  return Narrow(buffer);
}

std::string ClipboardText() {
  std::string text = "<none>";
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void SetInstallPath(const std::string& path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Maxis\\The Sims", 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                 static_cast<DWORD>(path.size() + 1));
  RegCloseKey(key);
}

std::string Setting() {
  char value[1024] = {};
  DWORD size = sizeof(value);
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Dorvane\\Settings", "Sims Location", RRF_RT_REG_SZ,
                   nullptr, value, &size) != ERROR_SUCCESS) {
    return "<absent>";
  }
  return value;
}

// Demo games in a fresh temporary folder; the first is the registry's
// install folder and the stored setting starts cleared.
class Games {
 public:
  Games() {
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() / ("qm-e2e-dlg-" + std::to_string(GetCurrentProcessId()) +
                                         "-" + std::to_string(++counter));
    fs::remove_all(root_);
    EXPECT_EQ(demo::WriteDemoGame(Game().string()), "");
    fs::create_directories(NoGame());
    SetInstallPath(Game().string());
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Dorvane\\Settings");
  }
  ~Games() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  fs::path Game() const { return root_ / "The Sims"; }
  fs::path OtherGame() const { return root_ / "Copy of The Sims"; }
  fs::path NoGame() const { return root_ / "Empty"; }
  fs::path Live() const { return Game() / "GameData" / "live.iff"; }

 private:
  fs::path root_;
};

class Quillmark {
 public:
  Quillmark() = default;
  Quillmark(const Quillmark&) = delete;
  Quillmark& operator=(const Quillmark&) = delete;
  ~Quillmark() { Kill(); }

  void Start() {
    std::string command = "\"" + QuillmarkExe() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process_))
        << "cannot start " << command;
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
  bool WaitForExit() { return WaitForSingleObject(process_.hProcess, kWaitMs) == WAIT_OBJECT_0; }

  // The program's visible top-level window of class `cls`.
  HWND WaitForWindow(const char* cls) {
    HWND found = nullptr;
    WaitFor([&] {
      found = FindTopLevel(cls);
      return found != nullptr;
    });
    return found;
  }
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

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

std::string ProgramFolder() {
  const std::string exe = QuillmarkExe();
  return exe.substr(0, exe.rfind('\\'));
}

class ErrorWindowE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    // Cut short inside its chunks: the reader fails on the first start.
    const std::string image = ReadFileBytes(games.Live());
    corrupt = image.substr(0, image.size() / 2);
    WriteFileBytes(games.Live(), corrupt);
    fs::remove(logPath);
    app.Start();
    window = app.WaitForWindow(errorctl::kClass);
  }
  void TearDown() override {
    app.Kill();
    std::error_code ignored;
    fs::remove(logPath, ignored);
  }

  Games games;
  Quillmark app;
  std::string corrupt;
  fs::path logPath = fs::path(ProgramFolder()) / "errorlog.txt";
  HWND window = nullptr;
};

TEST_F(ErrorWindowE2e, CorruptLiveFileHaltsInErrorWindowWithReportAndLog) {
  ASSERT_NE(window, nullptr) << "no error window";
  const std::string report = ControlText(GetDlgItem(window, errorctl::kTxtMessage));
  EXPECT_EQ(report.rfind("Quillmark - Version 1.0.0\r\n\r\nError: ", 0), 0u) << report;
  EXPECT_NE(report.find("\r\nModule: modIFFsupport\r\nProcedure: gs"), std::string::npos);
  EXPECT_NE(report.find("\r\nInstall Path: " + ProgramFolder() + "\r\n"), std::string::npos)
      << report;
  const std::string simsLine = "\r\nSims Path: " + games.Game().string();
  EXPECT_EQ(report.substr(report.size() - simsLine.size()), simsLine);
  EXPECT_EQ(ReadFileBytes(logPath), report + "\r\n");

  PostMessageW(GetDlgItem(window, errorctl::kCmdEnd), BM_CLICK, 0, 0);
  EXPECT_TRUE(app.WaitForExit());
  EXPECT_EQ(ReadFileBytes(games.Live()), corrupt);
}

TEST_F(ErrorWindowE2e, CopyPutsTheReportOnTheClipboard) {
  ASSERT_NE(window, nullptr) << "no error window";
  const std::string report = ControlText(GetDlgItem(window, errorctl::kTxtMessage));
  ASSERT_FALSE(report.empty());
  PostMessageW(GetDlgItem(window, errorctl::kCmdCopy), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return ClipboardText() == report; })) << ClipboardText();
  EXPECT_TRUE(IsWindow(window));
}

class SetPathE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Start();
    main = app.WaitForWindow(mainctl::kMainClass);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ListCount() == 51; }));
  }
  void TearDown() override { app.Kill(); }

  int ListCount() {
    return static_cast<int>(SendMessageW(GetDlgItem(main, mainctl::kLstNames), LB_GETCOUNT, 0, 0));
  }
  // Opens Set Path from the menu; the registry is read as it opens.
  HWND OpenSetPath(const fs::path& installPath) {
    SetInstallPath(installPath.string());
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(mainctl::kMenuSetPath, 0), 0);
    return app.WaitForWindow(setpathctl::kClass);
  }
  void Click(HWND dlg, int id) { PostMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

  Games games;
  Quillmark app;
  HWND main = nullptr;
};

TEST_F(SetPathE2e, RefusesFolderWithoutSimsExeAndTakesADemoGame) {
  HWND dlg = OpenSetPath(games.NoGame());
  ASSERT_NE(dlg, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(ControlText(GetDlgItem(dlg, setpathctl::kTxtRegistry)), games.NoGame().string());
  Click(dlg, setpathctl::kCmdUseReg);
  Click(dlg, setpathctl::kCmdOK);
  HWND box = app.WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  wchar_t title[128] = {};
  GetWindowTextW(box, title, 128);
  EXPECT_EQ(Narrow(title), "Selected Location Invalid");
  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  EXPECT_TRUE(IsWindow(dlg));
  EXPECT_EQ(Setting(), games.Game().string());
  Click(dlg, setpathctl::kCmdCancel);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dlg); }));

  ASSERT_EQ(demo::WriteDemoGame(games.OtherGame().string()), "");
  dlg = OpenSetPath(games.OtherGame());
  ASSERT_NE(dlg, nullptr);
  Click(dlg, setpathctl::kCmdUseReg);
  Click(dlg, setpathctl::kCmdOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dlg); }));
  EXPECT_EQ(Setting(), games.OtherGame().string());
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(WaitFor([&] { return ListCount() == 51; }));
  EXPECT_TRUE(fs::exists(games.OtherGame() / "GameData" / "original_live.iff"));
}

}  // namespace
}  // namespace qm
