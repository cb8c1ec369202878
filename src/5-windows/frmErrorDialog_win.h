#pragma once
// frmErrorDialog, the error window: a modal dialog (windows.rc) whose
// procedure turns messages into calls on ErrorDialog and carries out its
// requests on the controls (ErrorView).

#include "1-platform/FileSystem.h"
#include "1-platform/Shell.h"
#include "1-platform/Ui.h"
#include "4-behaviour/ErrorDialog.h"

namespace qm {

// What the error window takes from the platform; its clipboard belongs to
// the window itself.
struct ErrorWindowServices {
  FileSystem& files;
  MessageBoxes& messages;
  Shell& shell;
  ProgramInfo& program;
  ProcessEnd& process;
};

// Shows frmErrorDialog with the report of `error` modally, centred on the
// screen, while the window the player was using is disabled. Its end button
// ends the process; Show returns only if the window is closed some other way
// (Alt+F4).
class Win32ErrorWindow final : public ErrorWindow {
 public:
  explicit Win32ErrorWindow(const ErrorWindowServices& services) : services_(services) {}
  void Show(const IffError& error) override;

 private:
  ErrorWindowServices services_;
};

}  // namespace qm
