// What every FileSystem does, run against the in-memory fake the other
// suites stand on and against the system's own (POSIX natively, Win32 under
// Wine): the fake is only worth its results while it behaves like the real
// thing. Where Windows and POSIX differ, a case says which rule it follows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "FileSystemContract.h"
#include "support/MemoryFileSystem.h"

namespace qm::test {
namespace {

using ::testing::ElementsAre;

// --- The fake, on a folder of its own ---

class MemorySubject final : public FileSystemSubject {
 public:
  MemorySubject() { fs_.AddFolder(Root()); }

  FileSystem& Fs() override { return fs_; }
  std::string Root() const override { return "C:\\qm"; }
  char Separator() const override { return '\\'; }
  void MakeFolder(const std::string& name) override { fs_.AddFolder(Path(name)); }
  std::optional<std::string> Peek(const std::string& path) const override {
    return fs_.Contents(path);
  }
  std::vector<std::string> Names() const override {
    std::vector<std::string> names;
    const std::string prefix = Root() + '\\';
    for (std::string path : fs_.Paths()) {
      for (char& c : path) c = c == '/' ? '\\' : c;
      if (path.compare(0, prefix.size(), prefix) != 0) continue;
      std::string name = path.substr(prefix.size());
      if (name.find('\\') == std::string::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  void SetReadOnly(const std::string& path) override { fs_.SetReadOnly(path); }
  bool IsReadOnly(const std::string& path) const override {
    return fs_.GetAttributes(path).readOnly;
  }
  bool ReadOnlyRefusesWriting() override { return true; }
  bool WindowsRules() const override { return true; }
  void SetHidden(const std::string& path) override { fs_.SetHidden(path); }
  void SetSystem(const std::string& path) override { fs_.SetSystem(path); }
  bool IsHidden(const std::string& path) const override { return fs_.GetAttributes(path).hidden; }
  std::shared_ptr<void> HoldOpen(const std::string& path) override {
    fs_.SetHeldOpen(path);
    return std::shared_ptr<void>(&fs_, [path](MemoryFileSystem* held) {
      if (held->Exists(path)) held->SetHeldOpen(path, false);
    });
  }

 private:
  MemoryFileSystem fs_;
};

// --- The contract ---

struct Implementation {
  const char* name;
  std::unique_ptr<FileSystemSubject> (*make)();
};

void PrintTo(const Implementation& implementation, std::ostream* os) { *os << implementation.name; }

class FileSystemContract : public ::testing::TestWithParam<Implementation> {
 protected:
  void SetUp() override { s = GetParam().make(); }

  FileSystem& Fs() { return s->Fs(); }
  std::string P(const std::string& name) const { return s->Path(name); }
  // Joined as the game's paths are, with a backslash: letter case is ignored.
  std::string G(const std::string& name) const { return s->Root() + '\\' + name; }

  void WriteFile(const std::string& path, std::string_view bytes) {
    std::unique_ptr<OutputFile> out;
    ASSERT_EQ(Fs().Create(path, out), syserr::kOk) << path;
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(out->Write(bytes), syserr::kOk);
    ASSERT_EQ(out->Commit(), syserr::kOk);
  }
  std::string ReadBack(const std::string& path) {
    std::string contents;
    EXPECT_EQ(Fs().ReadAll(path, contents), syserr::kOk) << path;
    return contents;
  }

  std::unique_ptr<FileSystemSubject> s;
};

// Writing and reading

TEST_P(FileSystemContract, WritesAndReadsBackEveryByte) {
  const std::string path = P("live.iff");
  const std::string bytes("IFF\0\x01\xff\r\n\x1a", 9);
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(Fs().Create(path, out), syserr::kOk);
  ASSERT_EQ(out->Write(bytes.substr(0, 4)), syserr::kOk);
  ASSERT_EQ(out->Write(""), syserr::kOk);
  ASSERT_EQ(out->Write(bytes.substr(4)), syserr::kOk);
  ASSERT_EQ(out->Commit(), syserr::kOk);
  EXPECT_EQ(ReadBack(path), bytes);
  EXPECT_EQ(s->Peek(path), bytes);
  EXPECT_THAT(s->Names(), ElementsAre("live.iff"));
}

TEST_P(FileSystemContract, WritesALargeFileInOnePiece) {
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  WriteFile(P("big.bin"), bytes);
  EXPECT_EQ(ReadBack(P("big.bin")), bytes);
}

TEST_P(FileSystemContract, ReadsAnEmptyFileAsNoBytes) {
  WriteFile(P("empty"), "");
  std::string contents = "stale";
  EXPECT_EQ(Fs().ReadAll(P("empty"), contents), syserr::kOk);
  EXPECT_EQ(contents, "");
}

TEST_P(FileSystemContract, ReadAllUpToRefusesALongerFileAndReadsOneThatFits) {
  WriteFile(P("list.vdf"), "12345");
  std::string contents = "unchanged";
  EXPECT_EQ(Fs().ReadAllUpTo(P("list.vdf"), 4, contents), syserr::kFileTooLarge);
  EXPECT_EQ(contents, "unchanged");
  EXPECT_EQ(Fs().ReadAllUpTo(P("list.vdf"), 5, contents), syserr::kOk);
  EXPECT_EQ(contents, "12345");
}

TEST_P(FileSystemContract, CreateTruncatesAnExistingFile) {
  WriteFile(P("names.iff"), "a long first version");
  WriteFile(P("names.iff"), "short");
  EXPECT_EQ(ReadBack(P("names.iff")), "short");
  EXPECT_THAT(s->Names(), ElementsAre("names.iff"));
}

TEST_P(FileSystemContract, CommitTwiceOrWriteAfterCommitIsRefused) {
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(Fs().Create(P("f"), out), syserr::kOk);
  ASSERT_EQ(out->Commit(), syserr::kOk);
  EXPECT_EQ(out->Write("x"), syserr::kInvalidParameter);
  EXPECT_EQ(out->Commit(), syserr::kInvalidParameter);
  EXPECT_EQ(ReadBack(P("f")), "");
}

TEST_P(FileSystemContract, DestroyingAnUncommittedFileKeepsWhatWasWritten) {
  {
    std::unique_ptr<OutputFile> out;
    ASSERT_EQ(Fs().Create(P("f"), out), syserr::kOk);
    ASSERT_EQ(out->Write("abc"), syserr::kOk);
  }
  EXPECT_EQ(ReadBack(P("f")), "abc");
  // Closed: the file can be removed.
  EXPECT_EQ(Fs().Remove(P("f")), syserr::kOk);
}

// Copying, replacing, removing

TEST_P(FileSystemContract, CopyNoOverwriteCopiesToANewName) {
  WriteFile(P("a"), std::string("one\0two", 7));
  EXPECT_EQ(Fs().CopyNoOverwrite(P("a"), P("b")), syserr::kOk);
  EXPECT_EQ(ReadBack(P("b")), std::string("one\0two", 7));
  EXPECT_EQ(ReadBack(P("a")), std::string("one\0two", 7));
}

TEST_P(FileSystemContract, CopyNoOverwriteRefusesAnExistingTarget) {
  WriteFile(P("live.iff"), "new");
  WriteFile(P("backup.iff"), "old");
  EXPECT_EQ(Fs().CopyNoOverwrite(P("live.iff"), P("backup.iff")), syserr::kFileExists);
  EXPECT_EQ(Fs().CopyNoOverwrite(P("live.iff"), G("BACKUP.IFF")), syserr::kFileExists);
  EXPECT_EQ(s->Peek(P("backup.iff")), "old");
}

TEST_P(FileSystemContract, CopyNoOverwriteOfAMissingFileFailsWithoutATarget) {
  EXPECT_EQ(Fs().CopyNoOverwrite(P("none"), P("b")), syserr::kFileNotFound);
  EXPECT_EQ(s->Peek(P("b")), std::nullopt);
}

TEST_P(FileSystemContract, ReplacePutsTheNewFileInPlaceOfTheOld) {
  WriteFile(P("live.iff"), "old contents");
  WriteFile(P("live.tmp"), "new");
  EXPECT_EQ(Fs().Replace(P("live.tmp"), P("live.iff")), syserr::kOk);
  EXPECT_EQ(ReadBack(P("live.iff")), "new");
  EXPECT_THAT(s->Names(), ElementsAre("live.iff"));
}

TEST_P(FileSystemContract, ReplaceOntoAMissingTargetRenames) {
  WriteFile(P("a"), "x");
  EXPECT_EQ(Fs().Replace(P("a"), P("b")), syserr::kOk);
  EXPECT_EQ(ReadBack(P("b")), "x");
  EXPECT_EQ(s->Peek(P("a")), std::nullopt);
}

TEST_P(FileSystemContract, ReplaceFromAMissingFileLeavesTheTarget) {
  WriteFile(P("b"), "keep");
  EXPECT_EQ(Fs().Replace(P("none"), P("b")), syserr::kFileNotFound);
  EXPECT_EQ(ReadBack(P("b")), "keep");
}

TEST_P(FileSystemContract, RemoveDeletesAFileOnce) {
  WriteFile(P("a"), "x");
  EXPECT_EQ(Fs().Remove(P("a")), syserr::kOk);
  EXPECT_EQ(s->Peek(P("a")), std::nullopt);
  EXPECT_EQ(Fs().Remove(P("a")), syserr::kFileNotFound);
}

// Files, folders and missing paths

TEST_P(FileSystemContract, IsNormalFileOnlyForExistingPlainFiles) {
  WriteFile(P("a"), "x");
  s->MakeFolder("sub");
  EXPECT_TRUE(Fs().IsNormalFile(P("a")));
  EXPECT_FALSE(Fs().IsNormalFile(P("sub")));
  EXPECT_FALSE(Fs().IsNormalFile(P("sub") + s->Separator()));
  EXPECT_FALSE(Fs().IsNormalFile(s->Root()));
  EXPECT_FALSE(Fs().IsNormalFile(P("missing")));
  EXPECT_FALSE(Fs().IsNormalFile(P("missing") + "/a"));
  EXPECT_FALSE(Fs().IsNormalFile(""));
}

TEST_P(FileSystemContract, MissingFilesAndFoldersGiveNotFoundCodes) {
  std::string contents = "unchanged";
  EXPECT_EQ(Fs().ReadAll(P("missing.iff"), contents), syserr::kFileNotFound);
  EXPECT_EQ(contents, "unchanged");
  EXPECT_EQ(Fs().SetNormal(P("missing.iff")), syserr::kFileNotFound);

  const std::string inMissingFolder = P("no") + s->Separator() + "x";
  SysCode code = Fs().ReadAll(inMissingFolder, contents);
  EXPECT_TRUE(code == syserr::kFileNotFound || code == syserr::kPathNotFound) << code;
  std::unique_ptr<OutputFile> out;
  code = Fs().Create(inMissingFolder, out);
  EXPECT_TRUE(code == syserr::kFileNotFound || code == syserr::kPathNotFound) << code;
  EXPECT_EQ(out, nullptr);
  EXPECT_THAT(s->Names(), ElementsAre());
}

TEST_P(FileSystemContract, FoldersCannotBeReadOrCreatedAsFiles) {
  s->MakeFolder("sub");
  std::string contents;
  EXPECT_EQ(Fs().ReadAll(P("sub"), contents), syserr::kAccessDenied);
  std::unique_ptr<OutputFile> out;
  EXPECT_EQ(Fs().Create(P("sub"), out), syserr::kAccessDenied);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(Fs().Create(G("SUB"), out), syserr::kAccessDenied);
}

// As on Windows: the game's paths are spelled in its letter case, with
// backslashes, whatever the disk holds.
TEST_P(FileSystemContract, LetterCaseAndEitherSeparatorFindTheSameFile) {
  WriteFile(P("Dorvane_live.iff"), "x");
  EXPECT_TRUE(Fs().IsNormalFile(G("DORVANE_LIVE.IFF")));
  EXPECT_TRUE(Fs().IsNormalFile(s->Root() + s->OtherSeparator() + "Dorvane_live.iff"));
  EXPECT_EQ(ReadBack(G("dorvane_live.iff")), "x");
  // Written through another spelling, the file keeps its first one.
  WriteFile(G("DORVANE_LIVE.IFF"), "y");
  EXPECT_THAT(s->Names(), ElementsAre("Dorvane_live.iff"));
  EXPECT_EQ(s->Peek(P("Dorvane_live.iff")), "y");
}

// Read-only files

TEST_P(FileSystemContract, CreateOntoAReadOnlyFileIsRefused) {
  if (!s->ReadOnlyRefusesWriting()) {
    GTEST_SKIP() << "this process writes through the read-only mark (root's rights)";
  }
  WriteFile(P("live.iff"), "old");
  s->SetReadOnly(P("live.iff"));
  std::unique_ptr<OutputFile> out;
  EXPECT_EQ(Fs().Create(P("live.iff"), out), syserr::kAccessDenied);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(s->Peek(P("live.iff")), "old");
}

TEST_P(FileSystemContract, ReadOnlyFileIsNormalAndSetNormalClearsTheMark) {
  WriteFile(P("live.iff"), "old");
  WriteFile(P("live.tmp"), "new");
  s->SetReadOnly(P("live.iff"));
  EXPECT_TRUE(s->IsReadOnly(P("live.iff")));
  EXPECT_TRUE(Fs().IsNormalFile(P("live.iff")));  // read-only alone is still a normal file
  EXPECT_EQ(Fs().SetNormal(P("live.iff")), syserr::kOk);
  EXPECT_FALSE(s->IsReadOnly(P("live.iff")));
  WriteFile(P("live.iff"), "rewritten");
  EXPECT_EQ(Fs().Replace(P("live.tmp"), P("live.iff")), syserr::kOk);
  EXPECT_EQ(ReadBack(P("live.iff")), "new");
}

// On Windows the mark keeps the name too; on POSIX that is up to the folder.
TEST_P(FileSystemContract, ReadOnlyFileIsRemovedOnlyAfterSetNormalOnWindows) {
  WriteFile(P("live.iff"), "old");
  s->SetReadOnly(P("live.iff"));
  if (!s->WindowsRules()) {
    EXPECT_EQ(Fs().Remove(P("live.iff")), syserr::kOk);
    EXPECT_EQ(s->Peek(P("live.iff")), std::nullopt);
    return;
  }
  EXPECT_EQ(Fs().Remove(P("live.iff")), syserr::kAccessDenied);
  EXPECT_EQ(s->Peek(P("live.iff")), "old");
  EXPECT_EQ(Fs().SetNormal(P("live.iff")), syserr::kOk);
  EXPECT_EQ(Fs().Remove(P("live.iff")), syserr::kOk);
  EXPECT_FALSE(Fs().IsNormalFile(P("live.iff")));
}

TEST_P(FileSystemContract, AReadOnlySourceCanBeMovedAndKeepsItsAttributes) {
  WriteFile(P("live.tmp"), "new");
  s->SetReadOnly(P("live.tmp"));
  EXPECT_EQ(Fs().Replace(P("live.tmp"), P("live.iff")), syserr::kOk);
  EXPECT_TRUE(s->IsReadOnly(P("live.iff")));
  EXPECT_EQ(s->Peek(P("live.tmp")), std::nullopt);
}

TEST_P(FileSystemContract, CopyKeepsTheReadOnlyAttribute) {
  WriteFile(P("a"), "x");
  s->SetReadOnly(P("a"));
  EXPECT_EQ(Fs().CopyNoOverwrite(P("a"), P("b")), syserr::kOk);
  EXPECT_TRUE(s->IsReadOnly(P("b")));
  EXPECT_EQ(ReadBack(P("b")), "x");
}

// Windows only: hidden and system files, share modes

TEST_P(FileSystemContract, HiddenAndSystemFilesAreNotNormal) {
  if (!s->WindowsRules()) GTEST_SKIP() << "POSIX files are neither hidden nor system";
  WriteFile(P("hidden"), "x");
  WriteFile(P("system"), "y");
  s->SetHidden(P("hidden"));
  s->SetSystem(P("system"));
  EXPECT_FALSE(Fs().IsNormalFile(P("hidden")));
  EXPECT_FALSE(Fs().IsNormalFile(P("system")));
  EXPECT_FALSE(s->IsHidden(P("system")));
  EXPECT_EQ(Fs().SetNormal(P("hidden")), syserr::kOk);
  EXPECT_TRUE(Fs().IsNormalFile(P("hidden")));
  EXPECT_FALSE(s->IsHidden(P("hidden")));
}

// As CreateFile with CREATE_ALWAYS and FILE_ATTRIBUTE_NORMAL does on Windows.
TEST_P(FileSystemContract, CreateOntoAHiddenOrSystemFileIsRefused) {
  if (!s->WindowsRules()) GTEST_SKIP() << "POSIX files are neither hidden nor system";
  if (!s->CreateRefusesHiddenFiles()) {
    GTEST_SKIP() << "this system overwrites hidden files (Wine 8 does; Windows refuses)";
  }
  WriteFile(P("hidden"), "x");
  WriteFile(P("system"), "y");
  s->SetHidden(P("hidden"));
  s->SetSystem(P("system"));
  std::unique_ptr<OutputFile> out;
  EXPECT_EQ(Fs().Create(P("hidden"), out), syserr::kAccessDenied);
  EXPECT_EQ(Fs().Create(P("system"), out), syserr::kAccessDenied);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(s->Peek(P("hidden")), "x");
  EXPECT_EQ(s->Peek(P("system")), "y");
}

// Windows refuses to rename onto a read-only file.
TEST_P(FileSystemContract, ReplaceOntoAReadOnlyFileIsRefused) {
  if (!s->WindowsRules()) GTEST_SKIP() << "POSIX renames onto read-only files";
  if (!s->ReplaceRefusesReadOnlyTarget()) {
    GTEST_SKIP() << "this system replaces read-only files (Wine 8 does; Windows refuses)";
  }
  WriteFile(P("live.iff"), "old");
  WriteFile(P("live.tmp"), "new");
  s->SetReadOnly(P("live.iff"));
  EXPECT_EQ(Fs().Replace(P("live.tmp"), P("live.iff")), syserr::kAccessDenied);
  EXPECT_EQ(s->Peek(P("live.iff")), "old");
  EXPECT_EQ(s->Peek(P("live.tmp")), "new");
}

TEST_P(FileSystemContract, CopyKeepsTheHiddenAttribute) {
  if (!s->WindowsRules()) GTEST_SKIP() << "POSIX files are never hidden";
  WriteFile(P("a"), "live");
  s->SetHidden(P("a"));
  EXPECT_EQ(Fs().CopyNoOverwrite(P("a"), P("b")), syserr::kOk);
  EXPECT_EQ(ReadBack(P("b")), "live");
  EXPECT_TRUE(s->IsHidden(P("b")));
}

TEST_P(FileSystemContract, AFileBeingWrittenIsNotShared) {
  if (!s->WindowsRules()) GTEST_SKIP() << "POSIX has no share modes";
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(Fs().Create(P("live.tmp"), out), syserr::kOk);
  std::string contents;
  std::unique_ptr<OutputFile> second;
  EXPECT_EQ(Fs().ReadAll(P("live.tmp"), contents), syserr::kSharingViolation);
  EXPECT_EQ(Fs().Create(P("live.tmp"), second), syserr::kSharingViolation);
  EXPECT_EQ(Fs().Remove(P("live.tmp")), syserr::kSharingViolation);
  EXPECT_EQ(Fs().Replace(P("live.tmp"), P("live.iff")), syserr::kSharingViolation);
  EXPECT_EQ(Fs().CopyNoOverwrite(P("live.tmp"), P("live.iff")), syserr::kSharingViolation);
  EXPECT_EQ(s->Peek(P("live.iff")), std::nullopt);
  ASSERT_EQ(out->Commit(), syserr::kOk);
  EXPECT_EQ(Fs().ReadAll(P("live.tmp"), contents), syserr::kOk);
  EXPECT_EQ(Fs().Replace(P("live.tmp"), P("live.iff")), syserr::kOk);
}

TEST_P(FileSystemContract, AFileHeldOpenElsewhereCanBeReadButNotReplacedOrRemoved) {
  if (!s->WindowsRules()) GTEST_SKIP() << "POSIX has no share modes";
  WriteFile(P("live.iff"), "old");
  WriteFile(P("live.tmp"), "new");
  std::shared_ptr<void> held = s->HoldOpen(P("live.iff"));
  std::string contents;
  EXPECT_EQ(Fs().ReadAll(P("live.iff"), contents), syserr::kOk);
  EXPECT_EQ(Fs().Remove(P("live.iff")), syserr::kSharingViolation);
  std::unique_ptr<OutputFile> out;
  EXPECT_EQ(Fs().Create(P("live.iff"), out), syserr::kSharingViolation);
  EXPECT_EQ(Fs().Replace(P("live.tmp"), P("live.iff")), syserr::kAccessDenied);
  EXPECT_EQ(Fs().Replace(P("live.iff"), P("moved.iff")), syserr::kSharingViolation);
  EXPECT_EQ(s->Peek(P("live.iff")), "old");
  EXPECT_EQ(s->Peek(P("live.tmp")), "new");
  EXPECT_EQ(Fs().CopyNoOverwrite(P("live.iff"), P("backup.iff")), syserr::kOk);
  held.reset();
  EXPECT_EQ(Fs().Replace(P("live.tmp"), P("live.iff")), syserr::kOk);
  EXPECT_EQ(ReadBack(P("live.iff")), "new");
  EXPECT_EQ(Fs().Remove(P("live.iff")), syserr::kOk);
}

INSTANTIATE_TEST_SUITE_P(Implementations, FileSystemContract,
                         ::testing::Values(Implementation{"Memory", MakeMemorySubject},
                                           Implementation{"System", MakeSystemSubject}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The platform's error texts ---

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

}  // namespace

std::unique_ptr<FileSystemSubject> MakeMemorySubject() { return std::make_unique<MemorySubject>(); }

}  // namespace qm::test
