// quillmark.exe: start-up. Creates the main window frmMain on the system's
// file system, registry, message boxes and error window, and runs the
// message loop until the window is closed.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "1-platform/CodePage.h"
#include "1-platform/Elevation_win.h"
#include "1-platform/Environment.h"
#include "1-platform/Failure.h"
#include "1-platform/FileSystem.h"
#include "1-platform/Registry.h"
#include "1-platform/Shell_win.h"
#include "1-platform/Ui_win.h"
#include "1-platform/Utf16_win.h"
#include "3-state/AppState.h"
#include "5-windows/Windows_win.h"

namespace qm {
namespace {

// The folder after --game on the command line (how a copy restarted as
// administrator learns the folder of the one before), or empty.
std::string GameOption() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return {};
  std::string game;
  for (int i = 1; i + 1 < count; ++i) {
    if (std::wstring(args[i]) == L"--game") game = Utf8(args[i + 1]);
  }
  LocalFree(args);
  return game;
}

int Run(int showCommand) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  // Every platform service of the program, built once here.
  FileSystem& files = SystemFileSystem();
  Win32MessageBoxes messages;
  Win32Settings settings;
  Win32FatalErrors fatal;
  Win32Sleeper sleeper;
  Win32Shell shell;
  Win32Clipboard clipboard;
  Win32FolderBrowser browser;
  Win32ProgramInfo program({kProductName, kVersionMajor, kVersionMinor, kVersionRevision});
  Win32ProcessEnd process;
  Win32FileDialogs fileDialogs;
  Win32Elevation elevation;
  // Names are shown, typed and exported in the ANSI code page.
  const std::unique_ptr<CodePage> codePage = SystemCodePage(0);

  Win32ErrorWindow errorWindow({files, messages, shell, clipboard, program, process});

  return RunMainWindow(showCommand,
                       {files, messages, settings, SystemRegistry(), fatal, sleeper, fileDialogs,
                        *codePage, SystemEnvironment(), errorWindow, elevation},
                       browser, GameOption());
}

}  // namespace
}  // namespace qm

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  try {
    return qm::Run(showCommand);
  } catch (...) {
    qm::Win32FatalErrors().FatalCaught();
  }
}
