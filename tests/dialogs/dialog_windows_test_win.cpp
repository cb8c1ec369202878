// The Set Path dialog and the error window as Windows draws them, driven
// from inside their own modal loops (under Wine and Xvfb). With
// QM_SHOTS_DIR set, each test also saves a screenshot of its window there
// as a .bmp.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "1-platform/Shell_win.h"
#include "1-platform/Ui_win.h"
#include "1-platform/Utf16_win.h"
#include "2-iff/IffError.h"
#include "3-state/AppState.h"
#include "4-behaviour/ErrorDialog.h"
#include "5-windows/Windows_win.h"
#include "5-windows/resource.h"
#include "support/FakeEnvironment.h"
#include "support/MemoryFileSystem.h"
#include "support/UiFakes.h"

namespace qm {
namespace {

// Runs `script` once, from a thread timer inside the next modal loop, as
// soon as a window of `windowClass` is shown; a window still open afterwards
// is sent WM_CLOSE so that a failed check cannot leave the test waiting. A
// closed dialog is hidden at once and destroyed when its loop has ended.
class ModalScript {
 public:
  ModalScript(const char* windowClass, std::function<void(HWND)> script) {
    windowClass_ = windowClass;
    script_ = std::move(script);
    timer_ = SetTimer(nullptr, 0, 20, &ModalScript::Tick);
  }
  ~ModalScript() {
    if (timer_) KillTimer(nullptr, timer_);
    script_ = nullptr;
  }
  static bool ran() { return ran_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND window = FindWindowA(windowClass_, nullptr);
    if (!window || !IsWindowVisible(window) || !script_) return;
    KillTimer(nullptr, id);
    timer_ = 0;
    auto script = std::move(script_);
    script_ = nullptr;
    ran_ = true;
    script(window);
    if (IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
  }
  static inline const char* windowClass_ = nullptr;
  static inline std::function<void(HWND)> script_;
  static inline UINT_PTR timer_ = 0;
  static inline bool ran_ = false;
};

int Twips(int twips, HWND window) {
  return MulDiv(twips, static_cast<int>(GetDpiForWindow(window)), 1440);
}

std::string Text(HWND control) {
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}

// The control's rectangle in its parent's client coordinates.
RECT ClientRectOf(HWND control) {
  RECT rc{};
  GetWindowRect(control, &rc);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// Within 2 pixels of the design's twips: the templates' dialog units round.
void ExpectNear(int pixels, int twips, HWND window) {
  EXPECT_NEAR(pixels, Twips(twips, window), 2) << twips << " twips";
}

void ExpectPlaced(HWND window, int id, int left, int top, int width, int height) {
  SCOPED_TRACE(id);
  HWND control = GetDlgItem(window, id);
  ASSERT_NE(control, nullptr);
  const RECT rc = ClientRectOf(control);
  ExpectNear(rc.left, left, window);
  ExpectNear(rc.top, top, window);
  ExpectNear(rc.right - rc.left, width, window);
  ExpectNear(rc.bottom - rc.top, height, window);
}

void ExpectClientSize(HWND window, int width, int height) {
  RECT client{};
  GetClientRect(window, &client);
  ExpectNear(client.right, width, window);
  ExpectNear(client.bottom, height, window);
}

// The label's text, wrapped at its width in its own font, is not cut off.
void ExpectTextFits(HWND window, int id) {
  HWND label = GetDlgItem(window, id);
  const std::wstring text = Utf16(Text(label));
  RECT room{};
  GetClientRect(label, &room);
  RECT need = room;
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  EXPECT_LE(need.bottom, room.bottom) << Text(label);
}

void ClickButton(HWND window, int id) { SendMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }

// Saves the screen's pixels under `window` as QM_SHOTS_DIR\<name>.bmp.
void SaveShot(HWND window, const char* name) {
  const char* folder = std::getenv("QM_SHOTS_DIR");
  if (!folder) return;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  GdiFlush();
  Sleep(200);
  RECT rc{};
  GetWindowRect(window, &rc);
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
  SelectObject(memory, old);
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
  const DWORD imageSize = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
  file.bfSize = file.bfOffBits + imageSize;
  const std::string path = std::string(folder) + "\\" + name + ".bmp";
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, &file, sizeof(file), &written, nullptr);
  WriteFile(out, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr);
  WriteFile(out, bits, imageSize, &written, nullptr);
  CloseHandle(out);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

HWND MakeOwner() {
  return CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 120, 500, 560,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

class SetPathWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner = MakeOwner();
    gSimsPath = "D:\\Old";
    settings.values[{"Dorvane", "Settings", "Sims Location"}] = "D:\\Old";
    registry.SetString(RegistryHive::LocalMachine, "Software\\Maxis\\The Sims", "InstallPath",
                       "C:\\Games\\The Sims");
    files.AddFile("C:\\Games\\The Sims\\Sims.exe", "MZ");
  }
  void TearDown() override {
    DestroyWindow(owner);
    gSimsPath.clear();
  }
  void Show() {
    ShowSetPathDialog(owner, {files, messages, settings, registry, browser, fatal, environment});
  }

  HWND owner = nullptr;
  MemoryFileSystem files;
  test::FakeMessageBoxes messages;
  test::FakeSettings settings;
  test::FakeRegistry registry;
  test::FakeFatal fatal;
  test::FakeEnvironment environment;
  Win32FolderBrowser browser;
};

TEST_F(SetPathWindowTest, LayoutCaptionsAndStyleAsDesigned) {
  bool checked = false;
  ModalScript script(QM_SETPATH_CLASS, [&](HWND dlg) {
    checked = true;
    EXPECT_EQ(Text(dlg), "Set The Sims Path");
    const LONG_PTR style = GetWindowLongPtrA(dlg, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_FALSE(GetWindowLongPtrA(dlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindow(dlg, GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner));
    EXPECT_NE(GetClassLongPtrW(dlg, GCLP_HICON), 0);
    ExpectClientSize(dlg, 7335, 3375);
    ExpectPlaced(dlg, IDC_SETPATH_LABEL1, 120, 120, 7095, 1035);
    ExpectTextFits(dlg, IDC_SETPATH_LABEL1);
    ExpectPlaced(dlg, IDC_SETPATH_LABEL2, 120, 1380, 3615, 195);
    ExpectPlaced(dlg, IDC_SETPATH_TXTREGISTRY, 120, 1620, 6660, 285);  // ends where "Use" begins
    ExpectPlaced(dlg, IDC_SETPATH_CMDUSEREG, 6780, 1620, 435, 315);
    ExpectPlaced(dlg, IDC_SETPATH_LABEL3, 120, 2160, 3675, 195);
    ExpectPlaced(dlg, IDC_SETPATH_TXTLOCATION, 120, 2400, 6660, 285);
    ExpectPlaced(dlg, IDC_SETPATH_CMDFINDPATH, 6780, 2400, 435, 315);
    ExpectPlaced(dlg, IDC_SETPATH_CMDOK, 2880, 2940, 675, 315);
    ExpectPlaced(dlg, IDC_SETPATH_CMDCANCEL, 3780, 2940, 675, 315);
    ExpectPlaced(dlg, IDC_SETPATH_CMDFOCUS, 3240, 4200, 495, 315);
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_CMDUSEREG)), "Use");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_CMDFINDPATH)), "Find");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_CMDFOCUS)), "Command1");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_LABEL2)),
              "Location of The Sims found in the registry:");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_LABEL3)),
              "Location of The Sims used by this program:");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_LABEL1)),
              "Note: This program uses the InstallPath registry entry as the default location "
              "for The Sims. This is correct 95% of the time. Some non-English versions of The "
              "Sims do not have the InstallPath registry key. If the location of The Sims can "
              "not be determined from the registry, this window will allow you to set the path "
              "manually. Object creators who run multiple copies of The Sims can use this window "
              "to point this program at the desired copy.");
    EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(dlg, IDC_SETPATH_TXTREGISTRY), GWL_STYLE) &
                ES_READONLY);
    EXPECT_TRUE(GetWindowLongPtrA(GetDlgItem(dlg, IDC_SETPATH_TXTLOCATION), GWL_STYLE) &
                ES_READONLY);
    // Nothing covers "Use".
    const RECT use = ClientRectOf(GetDlgItem(dlg, IDC_SETPATH_CMDUSEREG));
    const POINT inUse{use.left + 4, use.top + 4};
    EXPECT_EQ(ChildWindowFromPoint(dlg, inUse), GetDlgItem(dlg, IDC_SETPATH_CMDUSEREG));
    // Centred over the owner.
    RECT mine{}, theirs{};
    GetWindowRect(dlg, &mine);
    GetWindowRect(owner, &theirs);
    EXPECT_LE(std::abs((mine.left + mine.right) - (theirs.left + theirs.right)), 2);
    EXPECT_LE(std::abs((mine.top + mine.bottom) - (theirs.top + theirs.bottom)), 2);
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_TXTREGISTRY)), "C:\\Games\\The Sims");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_TXTLOCATION)), "D:\\Old");
    SaveShot(dlg, "setpath");
    ClickButton(dlg, IDC_SETPATH_CMDCANCEL);
    EXPECT_FALSE(IsWindowVisible(dlg));
  });
  Show();
  EXPECT_TRUE(checked);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(gSimsPath, "D:\\Old");
  EXPECT_EQ(settings.saves, 0);
}

TEST_F(SetPathWindowTest, OkRefusesThenUseAndOkAcceptTheRegistryFolder) {
  ModalScript script(QM_SETPATH_CLASS, [&](HWND dlg) {
    ClickButton(dlg, IDC_SETPATH_CMDOK);  // D:\Old holds no Sims.exe
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Selected Location Invalid");
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_SETPATH_CMDFOCUS));
    ClickButton(dlg, IDC_SETPATH_CMDUSEREG);
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_SETPATH_TXTLOCATION)), "C:\\Games\\The Sims");
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_SETPATH_CMDFOCUS));
    ClickButton(dlg, IDC_SETPATH_CMDOK);
    EXPECT_FALSE(IsWindowVisible(dlg));
  });
  Show();
  EXPECT_TRUE(ModalScript::ran());
  EXPECT_EQ(gSimsPath, "C:\\Games\\The Sims");
  EXPECT_EQ(settings.Get("Dorvane", "Settings", "Sims Location"), "C:\\Games\\The Sims");
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(SetPathWindowTest, CloseButtonChangesNothing) {
  ModalScript script(QM_SETPATH_CLASS, [&](HWND dlg) {
    ClickButton(dlg, IDC_SETPATH_CMDUSEREG);
    SendMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(dlg));
  });
  Show();
  EXPECT_EQ(gSimsPath, "D:\\Old");
  EXPECT_EQ(settings.saves, 0);
}

// Find's folder browser opens with the game's folder selected: OK straight
// away gives that folder back.
TEST_F(SetPathWindowTest, FolderBrowserOpensAtTheStartFolder) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof(temp), temp);
  const std::string parent = std::string(temp) + "qm-browse-" + std::to_string(GetTickCount64());
  const std::string start = parent + "\\The Sims";
  ASSERT_TRUE(CreateDirectoryA(parent.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA(start.c_str(), nullptr));
  bool opened = false;
  ModalScript script("#32770", [&](HWND dialog) {
    opened = true;
    ClickButton(dialog, IDOK);
  });
  std::string chosen;
  EXPECT_TRUE(browser.Browse(reinterpret_cast<WindowHandle>(owner), kSetPathBrowseTitle,
                             kSetPathBrowseFlags, start, chosen));
  RemoveDirectoryA(start.c_str());
  RemoveDirectoryA(parent.c_str());
  EXPECT_TRUE(opened);
  EXPECT_EQ(chosen, start);
}

std::string ExeFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\'));
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  HANDLE in =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return "(missing)";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(in, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(in);
  return bytes;
}

std::string ClipboardText() {
  std::string text = "(none)";
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

TEST(ErrorWindowTest, ReportLogLayoutCopyAndOtherWindowsDisabled) {
  HWND other = MakeOwner();
  gSimsPath = "C:\\Games\\The Sims";
  const IffError error(-5, "Access is denied.", "gsWriteIFF", 3000);
  // The version resource of this test program (dialog_windows_test.rc).
  ReportFacts facts{"Quillmark Test", 3, 4, 5, ExeFolder(), gSimsPath};
  const std::string report = BuildErrorReport(facts, error);
  const std::string logPath = ExeFolder() + "\\errorlog.txt";
  DeleteFileA(logPath.c_str());

  bool checked = false;
  ModalScript script(QM_ERROR_CLASS, [&](HWND dlg) {
    checked = true;
    EXPECT_EQ(Text(dlg), "Unrecoverable Error - Program Execution Halted");
    const LONG_PTR style = GetWindowLongPtrA(dlg, GWL_STYLE);
    EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_FALSE(IsWindowEnabled(other));
    ExpectClientSize(dlg, 7515, 5295);
    // The notice has room for a fourth line, taken from the report box.
    ExpectPlaced(dlg, IDC_ERROR_LABEL1, 120, 120, 7275, 810);
    ExpectTextFits(dlg, IDC_ERROR_LABEL1);
    ExpectPlaced(dlg, IDC_ERROR_TXTMESSAGE, 120, 945, 7275, 3105);
    ExpectPlaced(dlg, IDC_ERROR_CMDWEBPAGE, 120, 4200, 3555, 435);
    ExpectPlaced(dlg, IDC_ERROR_CMDCOPY, 3840, 4200, 3555, 435);
    ExpectPlaced(dlg, IDC_ERROR_CMDMAILTO, 120, 4740, 3555, 435);
    ExpectPlaced(dlg, IDC_ERROR_CMDEND, 3840, 4740, 3555, 435);
    ExpectPlaced(dlg, IDC_ERROR_CMDFOCUS, 3480, 6240, 615, 435);
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_ERROR_CMDWEBPAGE)),
              "Open web page quillmark.dorvane.example.");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_ERROR_CMDCOPY)),
              "Copy error message to the Windows clipboard.");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_ERROR_CMDMAILTO)), "Send mail to support@dorvane.example.");
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_ERROR_CMDEND)),
              "Close the error dialog and end the program.");
    HWND box = GetDlgItem(dlg, IDC_ERROR_TXTMESSAGE);
    const LONG_PTR boxStyle = GetWindowLongPtrA(box, GWL_STYLE);
    EXPECT_TRUE(boxStyle & ES_MULTILINE);
    EXPECT_TRUE(boxStyle & ES_READONLY);
    EXPECT_TRUE(boxStyle & WS_VSCROLL);
    EXPECT_EQ(Text(box), report);
    EXPECT_EQ(ReadFileBytes(logPath), report + "\r\n");
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_ERROR_CMDFOCUS));
    // Centred on the screen.
    RECT mine{};
    GetWindowRect(dlg, &mine);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoA(MonitorFromWindow(dlg, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_LE(std::abs((mine.left + mine.right) - (monitor.rcWork.left + monitor.rcWork.right)), 2);
    SaveShot(dlg, "errordialog");
    ClickButton(dlg, IDC_ERROR_CMDCOPY);
    EXPECT_EQ(ClipboardText(), report);
    EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDC_ERROR_CMDFOCUS));
    EXPECT_TRUE(IsWindowVisible(dlg));
    SendMessageA(dlg, WM_CLOSE, 0, 0);  // Alt+F4; the end button would end this test
  });
  Win32MessageBoxes messages;
  Win32Shell shell;
  Win32Clipboard clipboard;
  Win32ProgramInfo program({kProductName, kVersionMajor, kVersionMinor, kVersionRevision});
  Win32ProcessEnd process;
  Win32ErrorWindow({SystemFileSystem(), messages, shell, clipboard, program, process}).Show(error);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(IsWindowEnabled(other));
  DestroyWindow(other);
  DeleteFileA(logPath.c_str());
  gSimsPath.clear();
}

}  // namespace
}  // namespace qm
