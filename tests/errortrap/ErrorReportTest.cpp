// The error report built from a failure, and the error log's path.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "4-behaviour/ErrorDialog.h"

namespace qm {
namespace {

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
    facts_.title = "Quillmark";
    facts_.major = 1;
    facts_.minor = 0;
    facts_.revision = 0;
    facts_.programFolder = "C:\\Program Files\\Quillmark";
    facts_.simsPath = "C:\\Program Files\\Maxis\\The Sims";
  }
  std::string Report(int32_t number, const std::string& description = "",
                     const std::string& procedure = "gsReadIFF", int32_t location = 2000) {
    return BuildErrorReport(facts_, IffError(number, description, procedure, location));
  }

  ReportFacts facts_;
};

TEST_F(ErrorReportTest, ElevenLinesSeparatedByCrLf) {
  EXPECT_EQ(Report(38, "Unexpected end of file: STR# 300", "gsReadSTRSegment", 5000),
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

TEST_F(ErrorReportTest, NumbersInPlainDecimalWithMinusSign) {
  facts_.major = 12;
  facts_.minor = 3;
  facts_.revision = 45;
  std::vector<std::string> lines = SplitCrLf(Report(INT32_MIN, "", "gsReadIFF", -1000));
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "Quillmark - Version 12.3.45");
  EXPECT_EQ(lines[2], "Error: -2147483648");
  EXPECT_EQ(lines[7], "Location: -1000");
  EXPECT_EQ(SplitCrLf(Report(INT32_MAX))[2], "Error: 2147483647");
}

TEST_F(ErrorReportTest, DescriptionWithLineBreaksIsKeptAsItIs) {
  std::string report = Report(5, "Access is denied.\r\nC:\\g\\live.iff\nthird");
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
  std::string report = Report(38);
  EXPECT_EQ(report.substr(report.size() - 18), "\r\nSims Path: ERROR");
  facts_.simsPath = "";
  report = Report(38);
  EXPECT_EQ(report.substr(report.size() - 13), "\r\nSims Path: ");
  facts_.simsPath = "C:\\Sims\\";
  report = Report(38);
  EXPECT_EQ(report.substr(report.size() - 21), "\r\nSims Path: C:\\Sims\\");
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
