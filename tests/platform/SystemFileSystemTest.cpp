// The platform's file system, exercised on a temporary folder. The same
// cases run natively (POSIX) and as a Windows program under Wine.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "1-platform/FileSystem.h"
#include "TempFolder.h"

namespace qm {
namespace {

std::string ReadBack(const std::string& path) {
  std::string contents;
  EXPECT_EQ(SystemFileSystem().ReadAll(path, contents), syserr::kOk) << path;
  return contents;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(SystemFileSystem().Create(path, out), syserr::kOk) << path;
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(out->Write(bytes), syserr::kOk);
  ASSERT_EQ(out->Commit(), syserr::kOk);
}

TEST(SystemFileSystem, WritesAndReadsBackEveryByte) {
  TempFolder dir;
  const std::string path = dir.Path("live.iff");
  std::string bytes("IFF\0\x01\xff\r\n\x1a", 9);
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(SystemFileSystem().Create(path, out), syserr::kOk);
  ASSERT_EQ(out->Write(bytes.substr(0, 4)), syserr::kOk);
  ASSERT_EQ(out->Write(""), syserr::kOk);
  ASSERT_EQ(out->Write(bytes.substr(4)), syserr::kOk);
  ASSERT_EQ(out->Commit(), syserr::kOk);
  EXPECT_EQ(ReadBack(path), bytes);
  EXPECT_EQ(std::filesystem::file_size(path), 9u);
}

TEST(SystemFileSystem, WritesALargeFileInOnePiece) {
  TempFolder dir;
  const std::string path = dir.Path("big.bin");
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  WriteFile(path, bytes);
  EXPECT_EQ(ReadBack(path), bytes);
}

TEST(SystemFileSystem, ReadsAnEmptyFileAsNoBytes) {
  TempFolder dir;
  const std::string path = dir.Path("empty");
  WriteFile(path, "");
  std::string contents = "stale";
  EXPECT_EQ(SystemFileSystem().ReadAll(path, contents), syserr::kOk);
  EXPECT_EQ(contents, "");
}

TEST(SystemFileSystem, CreateTruncatesAnExistingFile) {
  TempFolder dir;
  const std::string path = dir.Path("names.iff");
  WriteFile(path, "a long first version");
  WriteFile(path, "short");
  EXPECT_EQ(ReadBack(path), "short");
}

TEST(SystemFileSystem, CommitTwiceOrWriteAfterCommitIsRefused) {
  TempFolder dir;
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(SystemFileSystem().Create(dir.Path("f"), out), syserr::kOk);
  ASSERT_EQ(out->Commit(), syserr::kOk);
  EXPECT_NE(out->Write("x"), syserr::kOk);
  EXPECT_NE(out->Commit(), syserr::kOk);
  EXPECT_EQ(ReadBack(dir.Path("f")), "");
}

TEST(SystemFileSystem, DestroyingAnUncommittedFileKeepsWhatWasWritten) {
  TempFolder dir;
  {
    std::unique_ptr<OutputFile> out;
    ASSERT_EQ(SystemFileSystem().Create(dir.Path("f"), out), syserr::kOk);
    ASSERT_EQ(out->Write("abc"), syserr::kOk);
  }
  EXPECT_EQ(ReadBack(dir.Path("f")), "abc");
  // Closed: the file can be replaced and removed again.
  EXPECT_EQ(SystemFileSystem().Remove(dir.Path("f")), syserr::kOk);
}

TEST(SystemFileSystem, CopyNoOverwriteCopiesToANewName) {
  TempFolder dir;
  WriteFile(dir.Path("a"), std::string("one\0two", 7));
  EXPECT_EQ(SystemFileSystem().CopyNoOverwrite(dir.Path("a"), dir.Path("b")), syserr::kOk);
  EXPECT_EQ(ReadBack(dir.Path("b")), std::string("one\0two", 7));
  EXPECT_EQ(ReadBack(dir.Path("a")), std::string("one\0two", 7));
}

TEST(SystemFileSystem, CopyNoOverwriteRefusesAnExistingTarget) {
  TempFolder dir;
  WriteFile(dir.Path("a"), "new");
  WriteFile(dir.Path("b"), "old");
  EXPECT_EQ(SystemFileSystem().CopyNoOverwrite(dir.Path("a"), dir.Path("b")), syserr::kFileExists);
  EXPECT_EQ(ReadBack(dir.Path("b")), "old");
}

TEST(SystemFileSystem, CopyNoOverwriteOfAMissingFileFailsWithoutATarget) {
  TempFolder dir;
  EXPECT_EQ(SystemFileSystem().CopyNoOverwrite(dir.Path("none"), dir.Path("b")),
            syserr::kFileNotFound);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("b")));
}

TEST(SystemFileSystem, ReplacePutsTheNewFileInPlaceOfTheOld) {
  TempFolder dir;
  WriteFile(dir.Path("live.iff"), "old contents");
  WriteFile(dir.Path("live.tmp"), "new");
  EXPECT_EQ(SystemFileSystem().Replace(dir.Path("live.tmp"), dir.Path("live.iff")), syserr::kOk);
  EXPECT_EQ(ReadBack(dir.Path("live.iff")), "new");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("live.tmp")));
}

TEST(SystemFileSystem, ReplaceOntoAMissingTargetRenames) {
  TempFolder dir;
  WriteFile(dir.Path("a"), "x");
  EXPECT_EQ(SystemFileSystem().Replace(dir.Path("a"), dir.Path("b")), syserr::kOk);
  EXPECT_EQ(ReadBack(dir.Path("b")), "x");
  EXPECT_FALSE(std::filesystem::exists(dir.Path("a")));
}

TEST(SystemFileSystem, ReplaceFromAMissingFileLeavesTheTarget) {
  TempFolder dir;
  WriteFile(dir.Path("b"), "keep");
  EXPECT_EQ(SystemFileSystem().Replace(dir.Path("none"), dir.Path("b")), syserr::kFileNotFound);
  EXPECT_EQ(ReadBack(dir.Path("b")), "keep");
}

TEST(SystemFileSystem, RemoveDeletesAFileOnce) {
  TempFolder dir;
  WriteFile(dir.Path("a"), "x");
  EXPECT_EQ(SystemFileSystem().Remove(dir.Path("a")), syserr::kOk);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("a")));
  EXPECT_EQ(SystemFileSystem().Remove(dir.Path("a")), syserr::kFileNotFound);
}

TEST(SystemFileSystem, IsNormalFileOnlyForExistingPlainFiles) {
  TempFolder dir;
  WriteFile(dir.Path("a"), "x");
  std::filesystem::create_directory(dir.Path("sub"));
  EXPECT_TRUE(SystemFileSystem().IsNormalFile(dir.Path("a")));
  EXPECT_FALSE(SystemFileSystem().IsNormalFile(dir.Path("sub")));
  EXPECT_FALSE(SystemFileSystem().IsNormalFile(dir.Folder()));
  EXPECT_FALSE(SystemFileSystem().IsNormalFile(dir.Path("missing")));
  EXPECT_FALSE(SystemFileSystem().IsNormalFile(dir.Path("missing") + "/a"));
  EXPECT_FALSE(SystemFileSystem().IsNormalFile(""));
}

TEST(SystemFileSystem, MissingFilesAndFoldersGiveNotFoundCodes) {
  TempFolder dir;
  std::string contents = "unchanged";
  EXPECT_EQ(SystemFileSystem().ReadAll(dir.Path("missing.iff"), contents), syserr::kFileNotFound);
  EXPECT_EQ(contents, "unchanged");

  const std::string inMissingFolder = (std::filesystem::path(dir.Folder()) / "no" / "x").string();
  SysCode code = SystemFileSystem().ReadAll(inMissingFolder, contents);
  EXPECT_TRUE(code == syserr::kFileNotFound || code == syserr::kPathNotFound) << code;
  std::unique_ptr<OutputFile> out;
  code = SystemFileSystem().Create(inMissingFolder, out);
  EXPECT_TRUE(code == syserr::kFileNotFound || code == syserr::kPathNotFound) << code;
  EXPECT_EQ(out, nullptr);
}

TEST(SystemFileSystem, FoldersCannotBeReadOrCreatedAsFiles) {
  TempFolder dir;
  std::filesystem::create_directory(dir.Path("sub"));
  std::string contents;
  EXPECT_EQ(SystemFileSystem().ReadAll(dir.Path("sub"), contents), syserr::kAccessDenied);
  std::unique_ptr<OutputFile> out;
  EXPECT_EQ(SystemFileSystem().Create(dir.Path("sub"), out), syserr::kAccessDenied);
}

TEST(SystemErrorText, GivesTheSystemWordingWithoutALineBreak) {
  for (SysCode code : {syserr::kFileNotFound, syserr::kAccessDenied, syserr::kSharingViolation,
                       syserr::kDiskFull, syserr::kFileExists, syserr::kInvalidParameter}) {
    std::string text = SystemErrorText(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_NE(text.back(), '\n') << code;
    EXPECT_NE(text.back(), '\r') << code;
    EXPECT_NE(text.back(), ' ') << code;
    EXPECT_EQ(text.find("Unknown error"), std::string::npos) << code;
  }
  EXPECT_EQ(SystemErrorText(0x7fff0000u), "Unknown error 2147418112.");
}

#ifndef _WIN32
// The wording the Windows program shows, so messages read alike everywhere.
TEST(SystemErrorText, PosixUsesTheWindowsWording) {
  EXPECT_EQ(SystemErrorText(2), "The system cannot find the file specified.");
  EXPECT_EQ(SystemErrorText(3), "The system cannot find the path specified.");
  EXPECT_EQ(SystemErrorText(5), "Access is denied.");
  EXPECT_EQ(SystemErrorText(32),
            "The process cannot access the file because it is being used by another process.");
  EXPECT_EQ(SystemErrorText(38), "Reached the end of the file.");
  EXPECT_EQ(SystemErrorText(80), "The file exists.");
  EXPECT_EQ(SystemErrorText(87), "The parameter is incorrect.");
  EXPECT_EQ(SystemErrorText(112), "There is not enough space on the disk.");
  EXPECT_EQ(SystemErrorText(534), "Arithmetic result exceeded 32 bits.");
  EXPECT_EQ(SystemErrorText(1413), "Invalid index.");
  EXPECT_EQ(SystemErrorText(99999), "Unknown error 99999.");
}

TEST(SystemFileSystem, PosixReadOnlyFileIsRefusedUntilSetNormal) {
  TempFolder dir;
  const std::string path = dir.Path("ro");
  WriteFile(path, "x");
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  std::unique_ptr<OutputFile> out;
  if (SystemFileSystem().Create(path, out) == syserr::kOk) GTEST_SKIP() << "running as root";
  EXPECT_EQ(SystemFileSystem().Create(path, out), syserr::kAccessDenied);
  EXPECT_EQ(SystemFileSystem().SetNormal(path), syserr::kOk);
  EXPECT_EQ(SystemFileSystem().Create(path, out), syserr::kOk);
  EXPECT_EQ(SystemFileSystem().SetNormal(dir.Path("missing")), syserr::kFileNotFound);
}
#endif

}  // namespace
}  // namespace qm
