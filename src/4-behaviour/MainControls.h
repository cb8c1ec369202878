#pragma once
// Control and menu command identifiers of the main window frmMain, shared by
// the window code and the end-to-end tests that drive it from another
// process. None is 1 (IDOK) or 2 (IDCANCEL): IsDialogMessage sends those for
// Enter and Escape.

#include "3-state/AppState.h"
#include "4-behaviour/Layout.h"

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
inline constexpr int kMenuExport = 2004;   // File > Export Names...
inline constexpr int kMenuImport = 2005;   // File > Import Names...
inline constexpr int kMenuRestore = 2006;  // File > Restore Original Names

inline constexpr int kOptionCount = kListCount;

// The window class of frmMain.
inline constexpr const char* kMainClass = "QuillmarkMain";

// The window's client area and controls in twips, in tab order. The options
// sit inside Frame1 (left 120, top 120) and are placed relative to it.
inline constexpr int kFrameLeft = 120;
inline constexpr int kFrameTop = 120;

inline constexpr layout::ControlPlace kMainControls[] = {
    {kFrame1, 120, 120, 5355, 2175},
    {kOptList0 + 0, kFrameLeft + 300, kFrameTop + 360, 2415, 315},
    {kOptList0 + 1, kFrameLeft + 2820, kFrameTop + 360, 2415, 315},
    {kOptList0 + 2, kFrameLeft + 300, kFrameTop + 780, 2355, 315},
    {kOptList0 + 3, kFrameLeft + 2820, kFrameTop + 780, 2415, 315},
    {kOptList0 + 4, kFrameLeft + 300, kFrameTop + 1200, 2415, 315},
    {kOptList0 + 5, kFrameLeft + 2820, kFrameTop + 1200, 2415, 315},
    {kOptList0 + 6, kFrameLeft + 300, kFrameTop + 1620, 2415, 315},
    {kLabel1, 120, 2460, 1575, 195},
    {kTxtName, 120, 2700, 2655, 285},
    // Drawn 255 high, Label2 would reach 15 twips into lstNames below it;
    // it ends where the list begins (its one line of text needs 195).
    {kLabel2, 120, 3180, 1515, 240},
    {kLstNames, 120, 3420, 5355, 3765},
    {kCmdSave, 1560, 7320, 1095, 375},
    {kCmdExit, 2940, 7320, 1095, 375},
};
inline constexpr layout::WindowTable kWindow{5595, 7800, kMainControls};

}  // namespace qm::mainctl

namespace qm::layout {
inline const WindowTable& MainWindow() { return mainctl::kWindow; }
}  // namespace qm::layout
