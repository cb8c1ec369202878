#pragma once
// One file system implementation set up for the contract suite
// (FileSystemContractTest.cpp): the in-memory fake, and the system's own
// (POSIX natively, Win32 under Wine), each on an empty folder of its own.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "1-platform/FileSystem.h"
#include "TempFolder.h"

namespace qm::test {

class FileSystemSubject {
 public:
  virtual ~FileSystemSubject() = default;

  virtual FileSystem& Fs() = 0;
  // An existing, empty folder for the case's files.
  virtual std::string Root() const = 0;
  virtual char Separator() const = 0;
  std::string Path(const std::string& name) const { return Root() + Separator() + name; }
  char OtherSeparator() const { return Separator() == '\\' ? '/' : '\\'; }
  // A folder `name` inside the root.
  virtual void MakeFolder(const std::string& name) = 0;
  // The bytes of `path`, read around the implementation; nullopt when there
  // is no file.
  virtual std::optional<std::string> Peek(const std::string& path) const = 0;
  // What the root holds (files and folders), sorted.
  virtual std::vector<std::string> Names() const = 0;

  virtual void SetReadOnly(const std::string& path) = 0;
  virtual bool IsReadOnly(const std::string& path) const = 0;
  // A write through Create onto a read-only file is refused. A POSIX
  // process with root's rights, or Wine run as root, writes anyway.
  virtual bool ReadOnlyRefusesWriting() = 0;

  // Windows' rules: the read-only mark also keeps the name from being
  // removed; files can be hidden or system; a file open for writing is not
  // shared, and one held open elsewhere cannot be removed or overwritten.
  // POSIX has none of them.
  virtual bool WindowsRules() const = 0;
  // Two of Windows' rules that Wine 8 does not keep: Create onto a hidden or
  // system file is refused, and so is Replace onto a read-only file.
  virtual bool CreateRefusesHiddenFiles() { return WindowsRules(); }
  virtual bool ReplaceRefusesReadOnlyTarget() { return WindowsRules(); }
  // With WindowsRules only.
  virtual void SetHidden(const std::string&) {}
  virtual void SetSystem(const std::string&) {}
  virtual bool IsHidden(const std::string&) const { return false; }
  // Holds `path` open for reading (sharing reading only) until the returned
  // object is destroyed.
  virtual std::shared_ptr<void> HoldOpen(const std::string&) { return nullptr; }
};

// The system's file system on a fresh temporary folder; the attributes are
// the platform's.
class SystemSubjectBase : public FileSystemSubject {
 public:
  FileSystem& Fs() override { return SystemFileSystem(); }
  std::string Root() const override { return dir_.Folder(); }
  char Separator() const override { return std::filesystem::path::preferred_separator; }
  void MakeFolder(const std::string& name) override;
  std::optional<std::string> Peek(const std::string& path) const override;
  std::vector<std::string> Names() const override;

 private:
  TempFolder dir_;
};

std::unique_ptr<FileSystemSubject> MakeMemorySubject();
// Defined beside the platform's own cases (SystemFileSystemTest*.cpp).
std::unique_ptr<FileSystemSubject> MakeSystemSubject();

}  // namespace qm::test
