#pragma once
// Control and menu command identifiers of the main window frmMain, shared by
// the window code and the end-to-end tests that drive it from another
// process. None is 1 (IDOK) or 2 (IDCANCEL): IsDialogMessage sends those for
// Enter and Escape.

namespace qm::mainctl {

inline constexpr int kFrame1 = 1000;
inline constexpr int kOptList0 = 1001;  // optList Index i is kOptList0 + i, i = 0..6
inline constexpr int kLabel1 = 1010;
inline constexpr int kTxtName = 1011;
inline constexpr int kLabel2 = 1012;
inline constexpr int kLstNames = 1013;
inline constexpr int kCmdSave = 1014;
inline constexpr int kCmdExit = 1015;

inline constexpr int kMenuSave = 2001;     // smenuSave
inline constexpr int kMenuExit = 2002;     // smenuExit
inline constexpr int kMenuSetPath = 2003;  // smenuSetPath

inline constexpr int kOptionCount = 7;

// The window class of frmMain.
inline constexpr const char* kMainClass = "QuillmarkMain";

}  // namespace qm::mainctl
