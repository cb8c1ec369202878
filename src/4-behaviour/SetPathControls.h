#pragma once
// Control identifiers of the Set Path dialog frmSetPath.

#include "4-behaviour/Layout.h"

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

// The window's client area and controls in twips, in tab order.
// frmSetPath: "Use" and "Find" lie over the right ends of their text boxes.
// clang-format off
inline constexpr layout::ControlPlace kSetPathControls[] = {
    {kLabel1, 120, 120, 7095, 1035},
    {kLabel2, 120, 1380, 3615, 195},
    {kTxtRegistry, 120, 1620, 7110, 285},
    {kCmdUseReg, 6780, 1620, 435, 315},
    {kLabel3, 120, 2160, 3675, 195},
    {kTxtLocation, 120, 2400, 7110, 285},
    {kCmdFindPath, 6780, 2400, 435, 315},
    {kCmdOK, 2880, 2940, 675, 315},
    {kCmdCancel, 3780, 2940, 675, 315},
    {kCmdFocus, 3240, 4200, 495, 315, true},
};
// clang-format on
inline constexpr layout::WindowTable kWindow{7335, 3375, kSetPathControls};
}  // namespace setpathctl

}  // namespace qm

namespace qm::layout {
inline const WindowTable& SetPathWindow() { return setpathctl::kWindow; }
}  // namespace qm::layout
