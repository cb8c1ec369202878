// What only the in-memory file system has: its view of a file being
// written, its folders, its fault plan and its call log. What it shares with
// the system's file systems is in FileSystemContractTest.cpp.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/MemoryFileSystem.h"

namespace qm {
namespace {

using ::testing::ElementsAre;

const std::string kLive = "C:\\g\\gamedata\\Dorvane_live.iff";
const std::string kTemp = "C:\\g\\gamedata\\Dorvane_live.tmp";

TEST(MemoryFileSystem, BytesAppearAsTheyAreWrittenAndStayWithoutCommit) {
  MemoryFileSystem fs;
  fs.AddFile(kLive, "old contents");
  {
    std::unique_ptr<OutputFile> out;
    ASSERT_EQ(fs.Create(kLive, out), syserr::kOk);
    EXPECT_EQ(fs.Contents(kLive), "");
    ASSERT_EQ(out->Write("par"), syserr::kOk);
    EXPECT_EQ(fs.Contents(kLive), "par");
    EXPECT_TRUE(fs.IsOpenForWriting(kLive));
  }
  EXPECT_FALSE(fs.IsOpenForWriting(kLive));
  EXPECT_EQ(fs.Contents(kLive), "par");
}

TEST(MemoryFileSystem, FoldersExistByTheirFilesOrAddFolder) {
  MemoryFileSystem fs;
  fs.AddFile(kLive, "x");
  std::unique_ptr<OutputFile> out;
  EXPECT_EQ(fs.Create("C:\\G\\new.iff", out), syserr::kOk);  // a folder of a file's path
  EXPECT_EQ(fs.Create("D:\\new.iff", out), syserr::kOk);     // a drive's root
  EXPECT_EQ(fs.Create("C:\\other\\new.iff", out), syserr::kPathNotFound);
  EXPECT_EQ(fs.CopyNoOverwrite(kLive, "C:\\other\\b.iff"), syserr::kPathNotFound);
  EXPECT_EQ(fs.Replace(kLive, "C:\\other\\b.iff"), syserr::kPathNotFound);
  fs.AddFolder("C:\\Other");
  EXPECT_EQ(fs.CopyNoOverwrite(kLive, "C:\\other\\b.iff"), syserr::kOk);
  EXPECT_EQ(fs.Replace(kLive, "c:/OTHER/c.iff"), syserr::kOk);
  EXPECT_THAT(fs.Paths(),
              ElementsAre("C:\\G\\new.iff", "C:\\other\\b.iff", "c:/OTHER/c.iff", "D:\\new.iff"));
}

TEST(MemoryFileSystem, LogNamesEveryCallInOrder) {
  MemoryFileSystem fs;
  fs.AddFile(kLive, "old");
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(fs.Create(kTemp, out), syserr::kOk);
  ASSERT_EQ(out->Write("abcd"), syserr::kOk);
  ASSERT_EQ(out->Commit(), syserr::kOk);
  EXPECT_TRUE(fs.IsNormalFile(kLive));
  EXPECT_EQ(fs.CopyNoOverwrite(kLive, "C:\\b.iff"), syserr::kOk);
  EXPECT_EQ(fs.SetNormal(kLive), syserr::kOk);
  EXPECT_EQ(fs.Replace(kTemp, kLive), syserr::kOk);
  EXPECT_EQ(fs.Remove("C:\\b.iff"), syserr::kOk);
  std::string contents;
  EXPECT_EQ(fs.ReadAll("C:\\missing", contents), syserr::kFileNotFound);
  EXPECT_THAT(fs.Log(),
              ElementsAre("Create C:\\g\\gamedata\\Dorvane_live.tmp",
                          "Write C:\\g\\gamedata\\Dorvane_live.tmp 4",
                          "Commit C:\\g\\gamedata\\Dorvane_live.tmp",
                          "IsNormalFile C:\\g\\gamedata\\Dorvane_live.iff",
                          "CopyNoOverwrite C:\\g\\gamedata\\Dorvane_live.iff -> C:\\b.iff",
                          "SetNormal C:\\g\\gamedata\\Dorvane_live.iff",
                          "Replace C:\\g\\gamedata\\Dorvane_live.tmp -> "
                          "C:\\g\\gamedata\\Dorvane_live.iff",
                          "Remove C:\\b.iff", "ReadAll C:\\missing"));
  EXPECT_EQ(fs.CallCount(), 9);
  EXPECT_THAT(fs.Paths(), ElementsAre(kLive));
}

TEST(MemoryFileSystem, SetUpHelpersAreNotCounted) {
  MemoryFileSystem fs;
  fs.AddFile(kLive, "x");
  fs.SetReadOnly(kLive);
  fs.SetHeldOpen(kLive);
  EXPECT_TRUE(fs.Exists(kLive));
  EXPECT_EQ(fs.Contents(kLive), "x");
  fs.Erase(kLive);
  EXPECT_FALSE(fs.Exists(kLive));
  EXPECT_EQ(fs.Contents(kLive), std::nullopt);
  EXPECT_EQ(fs.CallCount(), 0);
  EXPECT_TRUE(fs.Log().empty());
}

TEST(MemoryFileSystemFaults, FailCallCountsAcrossFileSystemAndOutputFileCalls) {
  // Calls: 1 Create, 2 Write, 3 Write, 4 Commit, 5 Replace.
  for (int failing = 1; failing <= 5; ++failing) {
    SCOPED_TRACE(failing);
    MemoryFileSystem fs;
    fs.AddFile(kLive, "old");
    fs.FailCall(failing, syserr::kDiskFull);
    std::vector<SysCode> results;
    std::unique_ptr<OutputFile> out;
    results.push_back(fs.Create(kTemp, out));
    if (out) {
      results.push_back(out->Write("ab"));
      results.push_back(out->Write("cd"));
      results.push_back(out->Commit());
    }
    results.push_back(fs.Replace(kTemp, kLive));
    ASSERT_GE(results.size(), 2u);
    for (size_t i = 0; i < results.size(); ++i) {
      if (static_cast<int>(i) + 1 == failing) {
        EXPECT_EQ(results[i], syserr::kDiskFull) << i;
      } else if (failing != 1) {
        EXPECT_EQ(results[i], syserr::kOk) << i;
      }
    }
    switch (failing) {
      case 1:  // nothing created; the Replace then finds no file
        EXPECT_EQ(results.size(), 2u);
        EXPECT_EQ(results[1], syserr::kFileNotFound);
        EXPECT_EQ(fs.Contents(kLive), "old");
        break;
      case 2:  // the first piece is missing
        EXPECT_EQ(fs.Contents(kLive), "cd");
        break;
      case 3:
        EXPECT_EQ(fs.Contents(kLive), "ab");
        break;
      case 4:  // a failed commit still closes the file, so the Replace goes ahead
        EXPECT_EQ(fs.Contents(kLive), "abcd");
        break;
      case 5:  // the failed Replace leaves both files untouched
        EXPECT_EQ(fs.Contents(kLive), "old");
        EXPECT_EQ(fs.Contents(kTemp), "abcd");
        break;
    }
  }
}

TEST(MemoryFileSystemFaults, AFailedCallHasNoEffectAndIsStillLogged) {
  MemoryFileSystem fs;
  fs.AddFile(kLive, "live");
  fs.AddFile(kTemp, "temp");
  fs.FailCall(1, syserr::kAccessDenied);
  fs.FailCall(2, syserr::kSharingViolation);
  fs.FailCall(3, syserr::kAccessDenied);
  fs.FailCall(4, syserr::kReadFault);
  fs.FailCall(5, syserr::kAccessDenied);
  fs.FailCall(6, syserr::kWriteFault);
  fs.SetReadOnly(kLive);
  EXPECT_EQ(fs.Remove(kTemp), syserr::kAccessDenied);
  EXPECT_EQ(fs.Replace(kTemp, kLive), syserr::kSharingViolation);
  EXPECT_EQ(fs.SetNormal(kLive), syserr::kAccessDenied);
  std::string contents = "unchanged";
  EXPECT_EQ(fs.ReadAll(kLive, contents), syserr::kReadFault);
  EXPECT_FALSE(fs.IsNormalFile(kLive));  // a failed look-up counts as absent
  EXPECT_EQ(fs.CopyNoOverwrite(kLive, "C:\\b.iff"), syserr::kWriteFault);
  EXPECT_EQ(contents, "unchanged");
  EXPECT_EQ(fs.Contents(kLive), "live");
  EXPECT_EQ(fs.Contents(kTemp), "temp");
  EXPECT_TRUE(fs.GetAttributes(kLive).readOnly);
  EXPECT_FALSE(fs.Exists("C:\\b.iff"));
  EXPECT_EQ(fs.CallCount(), 6);
  EXPECT_EQ(fs.Log().size(), 6u);
  // Past the plan, calls succeed again.
  EXPECT_TRUE(fs.IsNormalFile(kLive));
  EXPECT_EQ(fs.CallCount(), 7);
}

TEST(MemoryFileSystemFaults, AFailedCreateLeavesTheOldFileWhole) {
  MemoryFileSystem fs;
  fs.AddFile(kLive, "old");
  fs.FailCall(1, syserr::kAccessDenied);
  std::unique_ptr<OutputFile> out;
  EXPECT_EQ(fs.Create(kLive, out), syserr::kAccessDenied);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(fs.Contents(kLive), "old");
  EXPECT_FALSE(fs.IsOpenForWriting(kLive));
}

TEST(MemoryFileSystemFaults, ShortWriteStoresHalfAndReportsDiskFull) {
  MemoryFileSystem fs;
  fs.AddFolder("C:\\g\\gamedata");
  fs.ShortWrite(3);
  std::unique_ptr<OutputFile> out;
  ASSERT_EQ(fs.Create(kTemp, out), syserr::kOk);
  EXPECT_EQ(out->Write("head"), syserr::kOk);
  EXPECT_EQ(out->Write("123456789"), syserr::kDiskFull);
  EXPECT_EQ(fs.Contents(kTemp), "head1234");
  EXPECT_EQ(out->Write("tail"), syserr::kOk);
  EXPECT_EQ(fs.Contents(kTemp), "head1234tail");
  EXPECT_THAT(fs.Log(), ElementsAre("Create " + kTemp, "Write " + kTemp + " 4",
                                    "Write " + kTemp + " 9", "Write " + kTemp + " 4"));
}

TEST(MemoryFileSystemFaults, ShortWriteOnAnotherCallFailsItWithDiskFull) {
  MemoryFileSystem fs;
  fs.ShortWrite(1);
  std::unique_ptr<OutputFile> out;
  EXPECT_EQ(fs.Create(kTemp, out), syserr::kDiskFull);
  EXPECT_FALSE(fs.Exists(kTemp));
}

}  // namespace
}  // namespace qm
