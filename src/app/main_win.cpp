// quillmark.exe: start-up. Installs the error trap's handler, creates the
// main window frmMain on the system's file system, registry and message
// boxes, and runs the message loop until the window is closed.

#include <windows.h>

#include <commctrl.h>

#include "app/AppState.h"
#include "app/Services_win.h"
#include "editor/frmMain_win.h"
#include "errortrap/ErrorTrap.h"
#include "errortrap/Failure.h"
#include "errortrap/frmErrorDialog_win.h"
#include "location/Registry.h"
#include "platform/FileSystem.h"

namespace qm {
namespace {

int Run(HINSTANCE instance, int showCommand) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  SetErrorTrapHook(&ShowErrorDialogModal);

  Win32MessageBoxes messages;
  Win32Settings settings;
  Win32FatalErrors fatal;
  Win32Sleeper sleeper;
  const EditorServices services{SystemFileSystem(), messages, settings,
                                SystemRegistry(),   fatal,    sleeper};
  FrmMain main(services);
  if (!main.Create(instance, showCommand)) {
    fatal.Fatal(static_cast<int32_t>(GetLastError()), "The main window could not be created.");
    return 1;
  }
  return RunMessageLoop(main);
}

}  // namespace
}  // namespace qm

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  try {
    return qm::Run(instance, showCommand);
  } catch (...) {
    const qm::CaughtFailure failure = qm::CurrentFailure();
    qm::Win32FatalErrors().Fatal(failure.number, failure.description);
    return 1;
  }
}
