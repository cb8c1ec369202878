// The system's file system in the contract suite, on a temporary folder,
// and what only the POSIX build has: its attributes are the owner's write
// permission, its messages the Windows wording.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "FileSystemContract.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace qm::test {

void SystemSubjectBase::MakeFolder(const std::string& name) {
  std::filesystem::create_directory(TempFolder::FsPath(Path(name)));
}

std::optional<std::string> SystemSubjectBase::Peek(const std::string& path) const {
  const std::filesystem::path file = TempFolder::FsPath(path);
  if (!std::filesystem::is_regular_file(file)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> SystemSubjectBase::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(TempFolder::FsPath(Root()))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

#ifndef _WIN32

namespace {

namespace fs = std::filesystem;

class PosixSubject final : public SystemSubjectBase {
 public:
  void SetReadOnly(const std::string& path) override {
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::remove);
  }
  bool IsReadOnly(const std::string& path) const override {
    return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
  }
  // Root's rights open any file for writing.
  bool ReadOnlyRefusesWriting() override { return geteuid() != 0; }
  bool WindowsRules() const override { return false; }
};

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

}  // namespace

std::unique_ptr<FileSystemSubject> MakeSystemSubject() { return std::make_unique<PosixSubject>(); }

#endif

}  // namespace qm::test
