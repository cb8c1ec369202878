// The error report built from the error context, and the error log's path.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "2-iff/ErrorTrap.h"
#include "4-behaviour/ErrorDialog.h"

namespace qm {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

class ErrorReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetErrorContext();
    facts_.title = "Quillmark";
    facts_.major = 1;
    facts_.minor = 0;
    facts_.revision = 0;
    facts_.programFolder = "C:\\Program Files\\Quillmark";
    facts_.simsPath = "C:\\Program Files\\Maxis\\The Sims";
  }
  void TearDown() override { ResetErrorContext(); }

  ReportFacts facts_;
};

TEST_F(ErrorReportTest, ElevenLinesSeparatedByCrLf) {
  gErrNumber = 38;
  gErrDescription = "Unexpected end of file: STR# 300";
  gErrModule = "modIFFsupport";
  gErrProcedure = "gsReadSTRSegment";
  gErrLocation = 5000;
  EXPECT_EQ(BuildErrorReport(facts_),
            "Quillmark - Version 1.0.0\r\n"
            "\r\n"
            "Error: 38\r\n"
            "Unexpected end of file: STR# 300\r\n"
            "\r\n"
            "Module: modIFFsupport\r\n"
            "Procedure: gsReadSTRSegment\r\n"
            "Location: 5000\r\n"
            "\r\n"
            "Install Path: C:\\Program Files\\Quillmark\r\n"
            "Sims Path: C:\\Program Files\\Maxis\\The Sims");
}

TEST_F(ErrorReportTest, EmptyContextAtProgramStart) {
  facts_.simsPath = "";
  EXPECT_THAT(SplitCrLf(BuildErrorReport(facts_)),
              ElementsAre("Quillmark - Version 1.0.0", "", "Error: 0", "", "",
                          "Module: ", "Procedure: ", "Location: 0", "",
                          "Install Path: C:\\Program Files\\Quillmark", "Sims Path: "));
}

TEST_F(ErrorReportTest, NumbersInPlainDecimalWithMinusSign) {
  gErrNumber = INT32_MIN;
  gErrLocation = -1000;
  facts_.major = 12;
  facts_.minor = 3;
  facts_.revision = 45;
  std::vector<std::string> lines = SplitCrLf(BuildErrorReport(facts_));
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "Quillmark - Version 12.3.45");
  EXPECT_EQ(lines[2], "Error: -2147483648");
  EXPECT_EQ(lines[7], "Location: -1000");
  gErrNumber = INT32_MAX;
  EXPECT_EQ(SplitCrLf(BuildErrorReport(facts_))[2], "Error: 2147483647");
}

TEST_F(ErrorReportTest, DescriptionWithLineBreaksIsKeptAsItIs) {
  gErrNumber = 5;
  gErrDescription = "Access is denied.\r\nC:\\g\\live.iff\nthird";
  std::string report = BuildErrorReport(facts_);
  EXPECT_NE(report.find("Error: 5\r\nAccess is denied.\r\nC:\\g\\live.iff\nthird\r\n\r\nModule: "),
            std::string::npos);
  std::vector<std::string> lines = SplitCrLf(report);
  EXPECT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[3], "Access is denied.");
  EXPECT_EQ(lines[4], "C:\\g\\live.iff\nthird");
  EXPECT_EQ(lines.back(), "Sims Path: C:\\Program Files\\Maxis\\The Sims");
}

TEST_F(ErrorReportTest, SimsPathIsShownUnchanged) {
  facts_.simsPath = "ERROR";
  std::string report = BuildErrorReport(facts_);
  EXPECT_EQ(report.substr(report.size() - 18), "\r\nSims Path: ERROR");
  facts_.simsPath = "";
  report = BuildErrorReport(facts_);
  EXPECT_EQ(report.substr(report.size() - 13), "\r\nSims Path: ");
  facts_.simsPath = "C:\\Sims\\";
  report = BuildErrorReport(facts_);
  EXPECT_EQ(report.substr(report.size() - 21), "\r\nSims Path: C:\\Sims\\");
}

TEST_F(ErrorReportTest, ReadsTheContextAtTheMomentItIsBuilt) {
  gErrProcedure = "gsReadIFF";
  gErrLocation = 2000;
  std::string first = BuildErrorReport(facts_);
  gErrProcedure = "gsUpdateRsmp";
  gErrLocation = 0;
  std::vector<std::string> lines = SplitCrLf(BuildErrorReport(facts_));
  EXPECT_EQ(lines[6], "Procedure: gsUpdateRsmp");
  EXPECT_EQ(lines[7], "Location: 0");
  EXPECT_EQ(SplitCrLf(first)[7], "Location: 2000");
}

TEST(ErrorLogPath, FolderTextThenBackslashErrorlog) {
  EXPECT_EQ(ErrorLogPath("C:\\Program Files\\Quillmark"),
            "C:\\Program Files\\Quillmark\\errorlog.txt");
  // A drive's root already ends in a backslash: the path gets two in a row.
  EXPECT_EQ(ErrorLogPath("C:\\"), "C:\\\\errorlog.txt");
  EXPECT_EQ(ErrorLogPath("\\\\server\\share"), "\\\\server\\share\\errorlog.txt");
}

}  // namespace
}  // namespace qm
