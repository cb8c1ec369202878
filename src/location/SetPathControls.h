#pragma once
// Control identifiers of the Set Path dialog frmSetPath.

namespace qm {

// Control identifiers, shared with the end-to-end tests that drive the
// dialog from another process. None is 1 (IDOK) or 2 (IDCANCEL), which
// IsDialogMessage sends for Enter and Escape.
namespace setpathctl {
inline constexpr int kLabel1 = 3001;
inline constexpr int kLabel2 = 3002;
inline constexpr int kTxtRegistry = 3003;
inline constexpr int kCmdUseReg = 3004;
inline constexpr int kLabel3 = 3005;
inline constexpr int kTxtLocation = 3006;
inline constexpr int kCmdFindPath = 3007;
inline constexpr int kCmdOK = 3008;
inline constexpr int kCmdCancel = 3009;
inline constexpr int kCmdFocus = 3010;
inline constexpr const char* kClass = "QuillmarkSetPath";
inline constexpr const char* kCaption = "Set The Sims Path";
// The window icon's resource name (setpath.rc).
inline constexpr const char* kIconName = "QM_SETPATH";
}  // namespace setpathctl

}  // namespace qm
