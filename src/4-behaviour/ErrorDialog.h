#pragma once
// The behaviour of the error window frmErrorDialog: the report and the error
// log at load, and the window's actions (copy, mail, web page, end). The
// window procedure turns messages into calls on this class; everything it
// does to the screen goes through ErrorView.

#include <string>

#include "1-platform/FileSystem.h"
#include "1-platform/Shell.h"
#include "1-platform/Ui.h"
#include "2-iff/IffError.h"

namespace qm {

// The error window as its opener sees it: shows the report of `error`
// modally, and returns only if the window closes other than by its end
// button, which ends the program.
class ErrorWindow {
 public:
  virtual ~ErrorWindow() = default;
  virtual void Show(const IffError& error) = 0;
};

class ErrorView {
 public:
  virtual ~ErrorView() = default;
  virtual WindowHandle Handle() = 0;
  virtual void SetMessageText(const std::string& text) = 0;  // txtMessage
  virtual std::string GetMessageText() = 0;
  virtual void FocusCmdFocus() = 0;
  // The screen's mouse pointer back to the default arrow.
  virtual void ResetPointer() = 0;
};

struct ErrorDialogServices {
  FileSystem& files;
  MessageBoxes& messages;
  Shell& shell;
  Clipboard& clipboard;
  ProgramInfo& program;
  ProcessEnd& process;
};

// The error window is the last resort: a failure inside it ends the program
// at once, without another message.
class EndOnFailure final : public FatalErrors {
 public:
  explicit EndOnFailure(ProcessEnd& process) : process_(process) {}
  [[noreturn]] void Fatal(int32_t number, const std::string& description) override;

 private:
  ProcessEnd& process_;
};

class ErrorDialog {
 public:
  ErrorDialog(ErrorView& view, const ErrorDialogServices& services);

  // The window's texts.
  static std::string Caption();
  static std::string Notice();          // Label1
  static std::string WebPageCaption();  // cmdWebPage
  static std::string CopyCaption();     // cmdCopy
  static std::string MailToCaption();   // cmdMailTo
  static std::string EndCaption();      // cmdEnd

  // Builds the report of `error`, writes the error log and fills the
  // report box.
  void OnLoad(const IffError& error);
  // Each time the window becomes active.
  void OnActivate();
  void OnCopy();
  void OnMailTo();
  void OnWebPage();
  void OnEnd();

  const std::string& Report() const { return report_; }
  // Whether the last load wrote the error log.
  bool LogWritten() const { return logWritten_; }

 private:
  ErrorView& view_;
  ErrorDialogServices services_;
  std::string report_;
  bool logWritten_ = false;
};

// What the report needs besides the failure.
struct ReportFacts {
  std::string title;  // application title, "Quillmark"
  int major = 0;
  int minor = 0;
  int revision = 0;
  std::string programFolder;  // folder that holds the executable
  std::string simsPath;       // gSimsPath, unchanged
};

// The eleven-line error report of `error`, lines separated by CR LF, no line
// break after the last.
std::string BuildErrorReport(const ReportFacts& facts, const IffError& error);

// The error log's path: the program folder followed by "\errorlog.txt".
std::string ErrorLogPath(const std::string& programFolder);

}  // namespace qm
