#pragma once
// frmMain, the main window: a modeless dialog (windows.rc) whose procedure
// turns messages into calls on NameEditor, and which carries out
// NameEditor's requests on its controls (MainView).

#include <windows.h>

#include <string>

#include "1-platform/Shell.h"
#include "4-behaviour/NameEditor.h"

namespace qm {

// Creates the main window, runs the load step, shows the window and the
// first activation step, then runs the message loop until the window closes.
// Returns the exit code; ends the program through services.fatal when Windows
// refuses to create the window. `browser` serves the Set Path dialog.
// `gameForThisRun`, when not empty, is the game folder for this run only.
int RunMainWindow(HINSTANCE instance, int showCommand, const EditorServices& services,
                  FolderBrowser& browser, const std::string& gameForThisRun = {});

}  // namespace qm
