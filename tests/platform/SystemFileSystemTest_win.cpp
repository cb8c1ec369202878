// Windows-only behaviour of the platform's file system: attributes and files
// held open by another handle.

#include <windows.h>

#include <gtest/gtest.h>

#include "1-platform/FileSystem.h"
#include "TempFolder.h"

namespace qm {
namespace {

void WriteFile(const std::string& path, std::string_view bytes) {
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(SystemFileSystem().Create(path, out), syserr::kOk) << path;
  ASSERT_EQ(out->Write(bytes), syserr::kOk);
  ASSERT_EQ(out->Commit(), syserr::kOk);
}

std::string ReadBack(const std::string& path) {
  std::string contents;
  EXPECT_EQ(SystemFileSystem().ReadAll(path, contents), syserr::kOk) << path;
  return contents;
}

TEST(SystemFileSystemWin, HiddenAndSystemFilesAreNotNormal) {
  TempFolder dir;
  WriteFile(dir.Path("hidden"), "x");
  WriteFile(dir.Path("system"), "x");
  ASSERT_TRUE(SetFileAttributesA(dir.Path("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(dir.Path("system").c_str(), FILE_ATTRIBUTE_SYSTEM));
  EXPECT_FALSE(SystemFileSystem().IsNormalFile(dir.Path("hidden")));
  EXPECT_FALSE(SystemFileSystem().IsNormalFile(dir.Path("system")));
  EXPECT_EQ(SystemFileSystem().SetNormal(dir.Path("hidden")), syserr::kOk);
  EXPECT_TRUE(SystemFileSystem().IsNormalFile(dir.Path("hidden")));
}

TEST(SystemFileSystemWin, LetterCaseDoesNotMatter) {
  TempFolder dir;
  WriteFile(dir.Path("Dorvane_live.iff"), "x");
  EXPECT_TRUE(SystemFileSystem().IsNormalFile(dir.Path("DORVANE_LIVE.IFF")));
  EXPECT_EQ(ReadBack(dir.Path("dorvane_live.iff")), "x");
}

TEST(SystemFileSystemWin, SetNormalClearsReadOnlySoReplaceAndRemoveSucceed) {
  TempFolder dir;
  WriteFile(dir.Path("live.iff"), "old");
  WriteFile(dir.Path("live.tmp"), "new");
  ASSERT_TRUE(SetFileAttributesA(dir.Path("live.iff").c_str(), FILE_ATTRIBUTE_READONLY));
  // (Create onto it is refused too on Windows, but Wine running as root
  // ignores the read-only bit there.)
  EXPECT_EQ(SystemFileSystem().Remove(dir.Path("live.iff")), syserr::kAccessDenied);
  EXPECT_EQ(ReadBack(dir.Path("live.iff")), "old");

  EXPECT_EQ(SystemFileSystem().SetNormal(dir.Path("live.iff")), syserr::kOk);
  EXPECT_EQ(GetFileAttributesA(dir.Path("live.iff").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(SystemFileSystem().Replace(dir.Path("live.tmp"), dir.Path("live.iff")), syserr::kOk);
  EXPECT_EQ(ReadBack(dir.Path("live.iff")), "new");
  ASSERT_TRUE(SetFileAttributesA(dir.Path("live.iff").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(SystemFileSystem().SetNormal(dir.Path("live.iff")), syserr::kOk);
  EXPECT_EQ(SystemFileSystem().Remove(dir.Path("live.iff")), syserr::kOk);
  EXPECT_FALSE(SystemFileSystem().IsNormalFile(dir.Path("live.iff")));
}

TEST(SystemFileSystemWin, CopyKeepsTheReadOnlyAttribute) {
  TempFolder dir;
  WriteFile(dir.Path("a"), "x");
  ASSERT_TRUE(SetFileAttributesA(dir.Path("a").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(SystemFileSystem().CopyNoOverwrite(dir.Path("a"), dir.Path("b")), syserr::kOk);
  EXPECT_NE(GetFileAttributesA(dir.Path("b").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(SystemFileSystemWin, AFileBeingWrittenCannotBeOpenedElsewhere) {
  TempFolder dir;
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(SystemFileSystem().Create(dir.Path("f"), out), syserr::kOk);
  std::string contents;
  EXPECT_EQ(SystemFileSystem().ReadAll(dir.Path("f"), contents), syserr::kSharingViolation);
  std::unique_ptr<OutputFile> second;
  EXPECT_EQ(SystemFileSystem().Create(dir.Path("f"), second), syserr::kSharingViolation);
  ASSERT_EQ(out->Commit(), syserr::kOk);
  EXPECT_EQ(SystemFileSystem().ReadAll(dir.Path("f"), contents), syserr::kOk);
}

TEST(SystemFileSystemWin, RemoveOfAFileHeldOpenIsASharingViolation) {
  TempFolder dir;
  WriteFile(dir.Path("held"), "x");
  HANDLE h = CreateFileA(dir.Path("held").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SystemFileSystem().Remove(dir.Path("held")), syserr::kSharingViolation);
  CloseHandle(h);
  EXPECT_EQ(SystemFileSystem().Remove(dir.Path("held")), syserr::kOk);
}

TEST(SystemErrorTextWin, MessagesWithInsertsComeBackUnexpanded) {
  // ERROR_WRONG_DISK's text has %1..%3 inserts, which must not be expanded.
  std::string text = SystemErrorText(34);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find("Unknown error"), std::string::npos) << text;
  EXPECT_NE(text.back(), '\n') << text;
  EXPECT_NE(text.back(), '\r') << text;
}

}  // namespace
}  // namespace qm
