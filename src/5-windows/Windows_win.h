#pragma once
// The program's three windows as their callers see them. Each is a dialog
// (windows.rc) whose procedure turns messages into calls on its behaviour
// class (NameEditor, SetPathDialog, ErrorDialog) and carries out that class's
// requests on its controls (MainView, SetPathView, ErrorView).

#include <windows.h>

#include <string>

#include "1-platform/Ui.h"
#include "4-behaviour/ErrorDialog.h"
#include "4-behaviour/NameEditor.h"
#include "4-behaviour/SetPath.h"

namespace qm {

// frmMain: creates the main window, runs the load step, shows the window and
// the first activation step, then runs the message loop until the window
// closes. Returns the exit code; ends the program through services.fatal
// when Windows refuses to create the window. `browser` serves the Set Path
// dialog. `gameForThisRun`, when not empty, is the game folder for this run
// only.
int RunMainWindow(int showCommand, const EditorServices& services, FolderBrowser& browser,
                  const std::string& gameForThisRun = {});

// frmSetPath: shows the dialog modally over `owner` (which takes no input
// meanwhile) and returns when it has closed. On OK with a folder holding the
// game, gSimsPath and the stored setting hold the folder. The caller then
// runs the main window's activation step again.
void ShowSetPathDialog(HWND owner, const SetPathServices& services);

// frmErrorDialog: shows the report of `error` modally, centred on the
// screen, while the window the player was using is disabled. Its end button
// ends the process; Show returns only if the window is closed some other way
// (Alt+F4).
class Win32ErrorWindow final : public ErrorWindow {
 public:
  explicit Win32ErrorWindow(const ErrorDialogServices& services) : services_(services) {}
  void Show(const IffError& error) override;

 private:
  ErrorDialogServices services_;
};

}  // namespace qm
