// The Win32 file system in the contract suite: its attributes and handles
// are Windows' own. And what only the Windows build has: message texts from
// the system.

#include <windows.h>

#include <gtest/gtest.h>

#include "1-platform/Utf16_win.h"
#include "FileSystemContract.h"

namespace qm::test {
namespace {

void AddAttributes(const std::string& path, DWORD attributes) {
  const DWORD now = GetFileAttributesW(Utf16(path).c_str());
  ASSERT_NE(now, INVALID_FILE_ATTRIBUTES) << path;
  ASSERT_TRUE(SetFileAttributesW(Utf16(path).c_str(), (now & ~FILE_ATTRIBUTE_NORMAL) | attributes))
      << path;
}

bool HasAttribute(const std::string& path, DWORD attribute) {
  const DWORD now = GetFileAttributesW(Utf16(path).c_str());
  return now != INVALID_FILE_ATTRIBUTES && (now & attribute) != 0;
}

// Creates or truncates `path` as FileSystem::Create does; false when refused.
bool CreatesAfresh(const std::string& path) {
  HANDLE h = CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

class WinSubject final : public SystemSubjectBase {
 public:
  void SetReadOnly(const std::string& path) override {
    AddAttributes(path, FILE_ATTRIBUTE_READONLY);
  }
  bool IsReadOnly(const std::string& path) const override {
    return HasAttribute(path, FILE_ATTRIBUTE_READONLY);
  }
  // Windows refuses; Wine keeps the mark as the Unix write bit, which a
  // process with root's rights writes through.
  bool ReadOnlyRefusesWriting() override { return Refuses(FILE_ATTRIBUTE_READONLY, CreatesAfresh); }
  bool WindowsRules() const override { return true; }
  bool CreateRefusesHiddenFiles() override { return Refuses(FILE_ATTRIBUTE_HIDDEN, CreatesAfresh); }
  bool ReplaceRefusesReadOnlyTarget() override {
    return Refuses(FILE_ATTRIBUTE_READONLY, [this](const std::string& probe) {
      const std::string source = Path("probe source");
      CreatesAfresh(source);
      const bool moved =
          MoveFileExW(Utf16(source).c_str(), Utf16(probe).c_str(), MOVEFILE_REPLACE_EXISTING);
      DeleteFileW(Utf16(source).c_str());
      return moved;
    });
  }
  void SetHidden(const std::string& path) override { AddAttributes(path, FILE_ATTRIBUTE_HIDDEN); }
  void SetSystem(const std::string& path) override { AddAttributes(path, FILE_ATTRIBUTE_SYSTEM); }
  bool IsHidden(const std::string& path) const override {
    return HasAttribute(path, FILE_ATTRIBUTE_HIDDEN);
  }
  std::shared_ptr<void> HoldOpen(const std::string& path) override {
    HANDLE h = CreateFileW(Utf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
    return std::shared_ptr<void>(h, [](HANDLE held) {
      if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    });
  }

 private:
  // Whether this system refuses `attempt` on a probe file with `attributes`:
  // what the Win32 calls do here, found out on a scratch file.
  template <typename Attempt>
  bool Refuses(DWORD attributes, Attempt attempt) {
    const std::string probe = Path("probe");
    if (!CreatesAfresh(probe)) return true;
    SetFileAttributesW(Utf16(probe).c_str(), attributes);
    const bool done = attempt(probe);
    SetFileAttributesW(Utf16(probe).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Utf16(probe).c_str());
    return !done;
  }
};

TEST(SystemErrorTextWin, MessagesWithInsertsComeBackUnexpanded) {
  // ERROR_WRONG_DISK's text has %1..%3 inserts, which must not be expanded.
  std::string text = SystemErrorText(34);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find("Unknown error"), std::string::npos) << text;
  EXPECT_NE(text.back(), '\n') << text;
  EXPECT_NE(text.back(), '\r') << text;
}

}  // namespace

std::unique_ptr<FileSystemSubject> MakeSystemSubject() { return std::make_unique<WinSubject>(); }

}  // namespace qm::test
