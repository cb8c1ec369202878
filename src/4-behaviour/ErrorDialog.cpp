#include "4-behaviour/ErrorDialog.h"

#include <cstdlib>
#include <memory>

#include "3-state/AppState.h"
#include "4-behaviour/Support.h"

namespace qm {

namespace {
constexpr intptr_t kShellSuccessAbove = 32;
}  // namespace

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

// The log beside the program holds the latest report only. A program folder
// that a standard user cannot write (Program Files) or a read-only log must
// not hide the report: the window shows it all the same and only the log
// is skipped.
void ErrorDialog::OnLoad(const IffError& error) {
  const ProgramVersion version = services_.program.Version();
  ReportFacts facts;
  facts.title = version.title;
  facts.major = version.major;
  facts.minor = version.minor;
  facts.revision = version.revision;
  facts.programFolder = services_.program.Folder();
  facts.simsPath = gSimsPath;
  report_ = BuildErrorReport(facts, error);
  logWritten_ = WriteWholeFile(services_.files, ErrorLogPath(facts.programFolder),
                               report_ + "\r\n") == syserr::kOk;
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

// Opens the support address in the default browser, through the shell as
// the mail button does.
void ErrorDialog::OnWebPage() {
  view_.FocusCmdFocus();
  if (services_.shell.Execute(view_.Handle(), "open", kSupportPageAddress, "", "", kShowNormal) <=
      kShellSuccessAbove) {
    services_.messages.Show("Support web page not found!", "Error - Bad URL",
                            MessageIcon::Critical);
  }
}

void EndOnFailure::Fatal(int32_t, const std::string&) {
  process_.EndNow();
  std::abort();  // EndNow ends the process; nothing may run on after it
}

void ErrorDialog::OnEnd() { services_.process.EndNow(); }

std::string BuildErrorReport(const ReportFacts& facts, const IffError& error) {
  const std::string crlf = "\r\n";
  std::string r;
  r += facts.title + " - Version " + std::to_string(facts.major) + "." +
       std::to_string(facts.minor) + "." + std::to_string(facts.revision) + crlf;
  r += crlf;
  r += "Error: " + std::to_string(error.number()) + crlf;
  r += error.description() + crlf;
  r += crlf;
  r += "Module: " + error.module() + crlf;
  r += "Procedure: " + error.procedure() + crlf;
  r += "Location: " + std::to_string(error.location()) + crlf;
  r += crlf;
  r += "Install Path: " + facts.programFolder + crlf;
  r += "Sims Path: " + facts.simsPath;
  return r;
}

std::string ErrorLogPath(const std::string& programFolder) {
  return programFolder + "\\errorlog.txt";
}

}  // namespace qm
