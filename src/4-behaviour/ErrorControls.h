#pragma once
// Control identifiers of the error window frmErrorDialog.

#include "4-behaviour/Layout.h"

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

// The window's client area and controls in twips, in tab order.
// clang-format off
inline constexpr layout::ControlPlace kErrorControls[] = {
    {kLabel1, 120, 120, 7275, 615},
    {kTxtMessage, 120, 840, 7275, 3195},
    {kCmdWebPage, 120, 4200, 3555, 435},
    {kCmdCopy, 3840, 4200, 3555, 435},
    {kCmdMailTo, 120, 4740, 3555, 435},
    {kCmdEnd, 3840, 4740, 3555, 435},
    {kCmdFocus, 3480, 6240, 615, 435, true},
};
// clang-format on
inline constexpr layout::WindowTable kWindow{7515, 5295, kErrorControls};
}  // namespace errorctl

}  // namespace qm

namespace qm::layout {
inline const WindowTable& ErrorWindow() { return errorctl::kWindow; }
}  // namespace qm::layout
