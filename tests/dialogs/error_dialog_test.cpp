// The error window's behaviour: report and log at load, activation, and the
// copy, mail, web page and end actions.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "1-platform/Failure.h"
#include "3-state/AppState.h"
#include "4-behaviour/ErrorDialog.h"
#include "support/DialogFakes.h"
#include "support/MemoryFileSystem.h"
#include "support/UiFakes.h"

namespace qm {
namespace {

using test::FakeClipboard;
using test::FakeMessageBoxes;
using test::FakeProcessEnd;
using test::FakeProgramInfo;
using test::FakeShell;
using test::Journal;
using ::testing::ElementsAre;

constexpr WindowHandle kWindowHandle = 0xE77;
constexpr const char* kLogPath = "C:\\Program Files\\Quillmark\\errorlog.txt";

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

class FakeErrorView final : public ErrorView {
 public:
  explicit FakeErrorView(Journal& journal) : journal_(journal) {}
  std::string messageText;

  WindowHandle Handle() override { return kWindowHandle; }
  void SetMessageText(const std::string& text) override {
    messageText = text;
    journal_.push_back("view: text");
  }
  std::string GetMessageText() override { return messageText; }
  void FocusCmdFocus() override { journal_.push_back("view: focus"); }
  void ResetPointer() override { journal_.push_back("view: pointer"); }

 private:
  Journal& journal_;
};

class ErrorDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gSimsPath = "C:\\Games\\The Sims";
    files.AddFolder(program.folder);  // where the log is written
  }
  void TearDown() override { gSimsPath.clear(); }

  Journal journal;
  FakeErrorView view{journal};
  MemoryFileSystem files;
  FakeMessageBoxes messages{&journal};
  FakeShell shell;
  FakeClipboard clipboard;
  FakeProgramInfo program;
  FakeProcessEnd process;
  ErrorDialog dialog{view, {files, messages, shell, clipboard, program, process}};
  const IffError error{38, "Unexpected end of file", "gsReadIFF", 2000};
};

// --- Load: report and log ---

TEST_F(ErrorDialogTest, ReportLineByLineWithNegativeNumbersAndMultiLineDescription) {
  program.version = {"Quillmark", 1, 0, 0};
  dialog.OnLoad(IffError(-2147024891,
                         "Access is denied.\r\nC:\\Games\\The Sims\\gamedata\\live.iff",
                         "gsWriteIFF", -3000));
  EXPECT_THAT(
      SplitCrLf(view.messageText),
      ElementsAre("Quillmark - Version 1.0.0", "", "Error: -2147024891", "Access is denied.",
                  "C:\\Games\\The Sims\\gamedata\\live.iff", "", "Module: modIFFsupport",
                  "Procedure: gsWriteIFF", "Location: -3000", "",
                  "Install Path: C:\\Program Files\\Quillmark", "Sims Path: C:\\Games\\The Sims"));
  EXPECT_EQ(dialog.Report(), view.messageText);
}

TEST_F(ErrorDialogTest, TitleAndVersionComeFromTheProgramsVersionResource) {
  program.version = {"Quillmark Beta", 2, 10, 7};
  dialog.OnLoad(error);
  EXPECT_EQ(SplitCrLf(view.messageText).front(), "Quillmark Beta - Version 2.10.7");
}

TEST_F(ErrorDialogTest, SimsPathLineShowsEmptyAndErrorUnchanged) {
  gSimsPath = "";
  dialog.OnLoad(error);
  EXPECT_EQ(SplitCrLf(view.messageText).back(), "Sims Path: ");
  gSimsPath = "ERROR";
  dialog.OnLoad(error);
  EXPECT_EQ(SplitCrLf(view.messageText).back(), "Sims Path: ERROR");
}

TEST_F(ErrorDialogTest, LogHoldsReportThenCrLfAndIsFilledBeforeTheBox) {
  dialog.OnLoad(error);
  EXPECT_THAT(files.Log(), ElementsAre(std::string("Create ") + kLogPath,
                                       std::string("Write ") + kLogPath + " " +
                                           std::to_string(dialog.Report().size() + 2),
                                       std::string("Commit ") + kLogPath));
  EXPECT_EQ(files.Contents(kLogPath), dialog.Report() + "\r\n");
  EXPECT_TRUE(dialog.LogWritten());
  EXPECT_THAT(journal, ElementsAre("view: text"));
}

TEST_F(ErrorDialogTest, SecondLoadRewritesTheLogWithOnlyTheNewReport) {
  files.AddFile(kLogPath, std::string(5000, 'o'));
  dialog.OnLoad(error);
  dialog.OnLoad(IffError(38, "Unexpected end of file", "gsReadRSMP", 3000));
  const std::string log = files.Contents(kLogPath).value_or("");
  EXPECT_EQ(log, dialog.Report() + "\r\n");
  EXPECT_NE(log.find("Procedure: gsReadRSMP\r\n"), std::string::npos);
  EXPECT_EQ(log.find("gsReadIFF"), std::string::npos);
}

TEST_F(ErrorDialogTest, ProgramAtDriveRootGivesTwoBackslashesInLogPath) {
  program.folder = "D:\\";
  dialog.OnLoad(error);
  EXPECT_EQ(files.Paths(), std::vector<std::string>{"D:\\\\errorlog.txt"});
  EXPECT_EQ(SplitCrLf(view.messageText)[9], "Install Path: D:\\");
}

TEST_F(ErrorDialogTest, UnwritableLogStillShowsTheReport) {
  files.AddFile(kLogPath, "old report\r\n");
  files.SetReadOnly(kLogPath);
  dialog.OnLoad(error);
  EXPECT_FALSE(dialog.LogWritten());
  EXPECT_EQ(files.Contents(kLogPath), "old report\r\n");
  EXPECT_EQ(view.messageText, dialog.Report());
  EXPECT_FALSE(view.messageText.empty());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(process.ends, 0);
}

TEST_F(ErrorDialogTest, LogThatFailsMidWriteStillShowsTheReport) {
  files.ShortWrite(2);  // Create, then the one Write
  dialog.OnLoad(error);
  EXPECT_FALSE(dialog.LogWritten());
  EXPECT_EQ(view.messageText, dialog.Report());
  files.FailCall(3, syserr::kAccessDenied);  // the second load's Create
  dialog.OnLoad(error);
  EXPECT_FALSE(dialog.LogWritten());
  EXPECT_EQ(view.messageText, dialog.Report());
}

// --- Window texts ---

TEST_F(ErrorDialogTest, NoticeAndCaptionsNameTheSupportSite) {
  EXPECT_EQ(ErrorDialog::Notice(),
            "The program has encountered an unexpected error and has halted operation. The "
            "error encountered is listed in the text box below. Please post the error in the "
            "support forum at quillmark.dorvane.example or e-mail the error message to "
            "support@dorvane.example. You may not receive a response to your e-mail.");
  EXPECT_EQ(ErrorDialog::WebPageCaption(), "Open web page quillmark.dorvane.example.");
  EXPECT_EQ(ErrorDialog::MailToCaption(), "Send mail to support@dorvane.example.");
}

// --- Activation and the actions ---

TEST_F(ErrorDialogTest, ActivationResetsPointerThenFocusesCmdFocus) {
  dialog.OnActivate();
  EXPECT_THAT(journal, ElementsAre("view: pointer", "view: focus"));
}

TEST_F(ErrorDialogTest, CopyClearsClipboardThenPutsTheBoxTextWithLineBreaks) {
  dialog.OnLoad(error);
  journal.clear();
  dialog.OnCopy();
  EXPECT_THAT(clipboard.calls, ElementsAre("Clear", "SetText " + dialog.Report()));
  EXPECT_EQ(clipboard.text, dialog.Report());
  EXPECT_NE(clipboard.text.find("\r\n\r\nError: 38\r\n"), std::string::npos);
  EXPECT_THAT(journal, ElementsAre("view: focus"));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ErrorDialogTest, ClipboardFailureIsReportedAndWindowStays) {
  clipboard.clearResult = syserr::kAccessDenied;
  dialog.OnCopy();
  EXPECT_THAT(clipboard.calls, ElementsAre("Clear"));
  clipboard.clearResult = 0;
  clipboard.setResult = syserr::kNotEnoughMemory;
  dialog.OnCopy();
  ASSERT_EQ(messages.shown.size(), 2u);
  for (const test::ShownMessage& m : messages.shown) {
    EXPECT_EQ(m.title, "Error - Clipboard");
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.text.rfind("Could not copy the error message to the Windows clipboard.\r\n", 0),
              0u);
  }
  EXPECT_EQ(messages.shown[0].text.substr(60), SystemErrorText(syserr::kAccessDenied));
  EXPECT_EQ(process.ends, 0);
}

TEST_F(ErrorDialogTest, MailToOpensMailtoAddressAndIgnoresTheResult) {
  shell.executeResult = 2;  // no mail program
  dialog.OnMailTo();
  ASSERT_EQ(shell.executes.size(), 1u);
  const FakeShell::ExecuteCall& call = shell.executes[0];
  EXPECT_EQ(call.owner, 0u);
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.file, "mailto:support@dorvane.example");
  EXPECT_EQ(call.params, "");
  EXPECT_EQ(call.folder, "");
  EXPECT_EQ(call.show, 1);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_THAT(journal, ElementsAre("view: focus"));
}

TEST_F(ErrorDialogTest, WebPageOpensTheAddressThroughTheShellAndReportsAFailure) {
  dialog.OnWebPage();
  ASSERT_EQ(shell.executes.size(), 1u);
  const FakeShell::ExecuteCall& call = shell.executes[0];
  EXPECT_EQ(call.owner, kWindowHandle);
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.file, "https://quillmark.dorvane.example/support");
  EXPECT_EQ(call.params, "");
  EXPECT_EQ(call.show, 1);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(files.Log().empty());

  shell.executeResult = 32;
  dialog.OnWebPage();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Support web page not found!");
  EXPECT_EQ(messages.shown[0].title, "Error - Bad URL");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
  EXPECT_THAT(journal, ElementsAre("view: focus", "view: focus", "message: Error - Bad URL"));
}

TEST_F(ErrorDialogTest, ActionsKeepTheWindowOpenAndEndButtonEndsTheProcess) {
  dialog.OnCopy();
  dialog.OnMailTo();
  dialog.OnWebPage();
  EXPECT_EQ(process.ends, 0);
  dialog.OnEnd();
  EXPECT_EQ(process.ends, 1);
}

}  // namespace
}  // namespace qm
