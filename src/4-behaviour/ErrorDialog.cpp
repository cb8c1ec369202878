#include "4-behaviour/ErrorDialog.h"

#include <memory>

#include "2-iff/ErrorTrap.h"
#include "3-state/AppState.h"
#include "4-behaviour/Support.h"

namespace qm {

namespace {

constexpr intptr_t kShellSuccessAbove = 32;

std::string TrimSpaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string JoinFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

ErrorDialog::ErrorDialog(ErrorView& view, const ErrorDialogServices& services)
    : view_(view), services_(services) {}

std::string ErrorDialog::Caption() { return "Unrecoverable Error - Program Execution Halted"; }

std::string ErrorDialog::Notice() {
  return std::string(
             "The program has encountered an unexpected error and has halted operation. The "
             "error encountered is listed in the text box below. Please post the error in the "
             "support forum at ") +
         kSupportHostName + " or e-mail the error message to " + kSupportMailAddress +
         ". You may not receive a response to your e-mail.";
}

std::string ErrorDialog::WebPageCaption() {
  return std::string("Open web page ") + kSupportHostName + ".";
}

std::string ErrorDialog::CopyCaption() { return "Copy error message to the Windows clipboard."; }

std::string ErrorDialog::MailToCaption() {
  return std::string("Send mail to ") + kSupportMailAddress + ".";
}

std::string ErrorDialog::EndCaption() { return "Close the error dialog and end the program."; }

// Creates or truncates the file, writes `bytes` and closes it; the first
// failing step's code, or 0.
SysCode ErrorDialog::WriteFile(const std::string& path, const std::string& bytes) {
  std::unique_ptr<OutputFile> file;
  SysCode code = services_.files.Create(path, file);
  if (code != syserr::kOk) return code;
  code = file->Write(bytes);
  if (code != syserr::kOk) return code;
  return file->Commit();
}

// The log beside the program holds the latest report only. A program folder
// that a standard user cannot write (Program Files) or a read-only log must
// not hide the report: the window shows it all the same and only the log
// is skipped.
void ErrorDialog::OnLoad() {
  const ProgramVersion version = services_.program.Version();
  ReportFacts facts;
  facts.title = version.title;
  facts.major = version.major;
  facts.minor = version.minor;
  facts.revision = version.revision;
  facts.programFolder = services_.program.Folder();
  facts.simsPath = gSimsPath;
  report_ = BuildErrorReport(facts);
  logWritten_ = WriteFile(ErrorLogPath(facts.programFolder), report_ + "\r\n") == syserr::kOk;
  view_.SetMessageText(report_);
}

void ErrorDialog::OnActivate() {
  view_.ResetPointer();
  view_.FocusCmdFocus();
}

void ErrorDialog::OnCopy() {
  view_.FocusCmdFocus();
  SysCode code = services_.clipboard.Clear();
  if (code == syserr::kOk) code = services_.clipboard.SetText(view_.GetMessageText());
  if (code != syserr::kOk) {
    services_.messages.Show(
        "Could not copy the error message to the Windows clipboard.\r\n" + SystemErrorText(code),
        "Error - Clipboard", MessageIcon::Critical);
  }
}

// Whether a mail program started is not examined: the shell reports success
// even when nothing opens.
void ErrorDialog::OnMailTo() {
  view_.FocusCmdFocus();
  services_.shell.Execute(0, "open", std::string("mailto:") + kSupportMailAddress, "", "",
                          kShowNormal);
}

// Starts the default browser's program with the support address on its
// command line. The browser is found through a throwaway ".HTM" file in the
// user's temporary folder, which a standard user can always write; it is
// deleted whatever happens. A delete that fails leaves only that stray file
// behind, which the next use overwrites, so it is not reported.
void ErrorDialog::OnWebPage() {
  view_.FocusCmdFocus();
  std::string buffer(kBrowserBufferLength, ' ');
  const std::string pagePath = JoinFolder(services_.program.TempFolder(), kPageFileName);

  const SysCode code = WriteFile(pagePath, kPageFileBytes);
  if (code != syserr::kOk) {
    services_.messages.Show(
        "Could not create the temporary page file " + pagePath + "\r\n" + SystemErrorText(code),
        "Error - Temporary File", MessageIcon::Critical);
  } else {
    const intptr_t found = services_.shell.FindProgram(pagePath, "", buffer);
    const std::string browser = TextUpToNul(TrimSpaces(buffer));
    if (found <= kShellSuccessAbove) {
      services_.messages.Show("Could not find the default web browser!",
                              "Error - Browser Not Found", MessageIcon::Critical);
    } else if (services_.shell.Execute(view_.Handle(), "open", browser, kSupportPageAddress, "",
                                       kShowNormal) <= kShellSuccessAbove) {
      services_.messages.Show("Support web page not found!", "Error - Bad URL",
                              MessageIcon::Critical);
    }
  }
  services_.files.Remove(pagePath);
}

void ErrorDialog::OnEnd() { services_.process.EndNow(); }

std::string BuildErrorReport(const ReportFacts& facts) {
  const std::string crlf = "\r\n";
  std::string r;
  r += facts.title + " - Version " + std::to_string(facts.major) + "." +
       std::to_string(facts.minor) + "." + std::to_string(facts.revision) + crlf;
  r += crlf;
  r += "Error: " + std::to_string(gErrNumber) + crlf;
  r += gErrDescription + crlf;
  r += crlf;
  r += "Module: " + gErrModule + crlf;
  r += "Procedure: " + gErrProcedure + crlf;
  r += "Location: " + std::to_string(gErrLocation) + crlf;
  r += crlf;
  r += "Install Path: " + facts.programFolder + crlf;
  r += "Sims Path: " + facts.simsPath;
  return r;
}

std::string ErrorLogPath(const std::string& programFolder) {
  return programFolder + "\\errorlog.txt";
}

}  // namespace qm
