#pragma once
// Control identifiers of the error window frmErrorDialog.

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

}  // namespace qm
