#pragma once
// frmSetPath, the Set Path dialog: a modal dialog (windows.rc) whose
// procedure turns messages into calls on SetPathDialog and carries out its
// requests on the controls (SetPathView).

#include <windows.h>

#include "4-behaviour/SetPath.h"

namespace qm {

// Shows frmSetPath modally over `owner` (which takes no input meanwhile) and
// returns when it has closed. On OK with a folder holding the game,
// gSimsPath and the stored setting hold the folder. The caller then runs the
// main window's activation step again.
void ShowSetPathDialog(HWND owner, const SetPathServices& services);

}  // namespace qm
