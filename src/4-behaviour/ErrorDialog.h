#pragma once
// The behaviour of the error window frmErrorDialog: the report and the error
// log at load, and the window's actions (copy, mail, web page, end). The
// window procedure turns messages into calls on this class; everything it
// does to the screen goes through ErrorView.

#include <string>

#include "1-platform/FileSystem.h"
#include "1-platform/Shell.h"
#include "1-platform/Ui.h"

namespace qm {

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

// The page file that gives the shell a ".HTM" file to look up the browser by.
inline constexpr const char* kPageFileName = "temphtm.HTM";
inline constexpr const char* kPageFileBytes = "\"<HTML> <\\HTML>\"\r\n";
inline constexpr size_t kBrowserBufferLength = 255;

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

  // Builds the report, writes the error log and fills the report box.
  void OnLoad();
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
  SysCode WriteFile(const std::string& path, const std::string& bytes);

  ErrorView& view_;
  ErrorDialogServices services_;
  std::string report_;
  bool logWritten_ = false;
};

// A folder and a file name joined by one backslash (a root folder such as
// "C:\" already ends in one).
std::string JoinFolder(const std::string& folder, const std::string& name);

// What the report needs besides the error context.
struct ReportFacts {
  std::string title;  // application title, "Quillmark"
  int major = 0;
  int minor = 0;
  int revision = 0;
  std::string programFolder;  // folder that holds the executable
  std::string simsPath;       // gSimsPath, unchanged
};

// The eleven-line error report from the current error context, lines
// separated by CR LF, no line break after the last.
std::string BuildErrorReport(const ReportFacts& facts);

// The error log's path: the program folder followed by "\errorlog.txt".
std::string ErrorLogPath(const std::string& programFolder);

}  // namespace qm
