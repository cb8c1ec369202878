#pragma once
// frmErrorDialog, the error window: a Win32 window whose procedure turns
// messages into calls on ErrorDialog and carries out its requests on the
// controls (ErrorView).

namespace qm {

// Control identifiers, shared with the end-to-end tests that drive the
// window from another process. None is 1 (IDOK) or 2 (IDCANCEL), which
// IsDialogMessage sends for Enter and Escape.
namespace errorctl {
inline constexpr int kLabel1 = 4001;
inline constexpr int kTxtMessage = 4002;
inline constexpr int kCmdWebPage = 4003;
inline constexpr int kCmdCopy = 4004;
inline constexpr int kCmdMailTo = 4005;
inline constexpr int kCmdEnd = 4006;
inline constexpr int kCmdFocus = 4007;
inline constexpr const char* kClass = "QuillmarkErrorDialog";
}  // namespace errorctl

// Shows frmErrorDialog modally, centred on the screen, while every other
// window of the thread is disabled. Its end button ends the process; the
// call returns only if the window is closed some other way (Alt+F4).
// Install it with SetErrorTrapHook(&ShowErrorDialogModal).
void ShowErrorDialogModal();

}  // namespace qm
