#pragma once
// An in-memory file system that behaves like a Windows disk, for tests.
//
// - Paths are compared without regard to ASCII letter case; '/' and '\'
//   both separate. A folder exists when AddFolder made it or a stored file
//   lies below it; a drive's root ("C:") always exists. Create, and
//   CopyNoOverwrite or Replace to a path, in a folder that does not exist
//   fail with kPathNotFound, as on Windows.
// - Attributes: read-only files refuse Create, Remove and Replace onto them
//   (kAccessDenied); Create onto a hidden or system file is refused too, as
//   CreateFile with CREATE_ALWAYS and FILE_ATTRIBUTE_NORMAL does.
// - "Held open" models another process holding the file without share-delete:
//   Create onto it and Remove of it fail with kSharingViolation; Replace from
//   it fails with kSharingViolation and Replace onto it with kAccessDenied (as
//   MoveFileEx reports those). Reading and copying it still work.
// - A file being written through an OutputFile of this object is open
//   without sharing: every other call on it fails with kSharingViolation
//   until it is committed or destroyed. Bytes appear in the file as they are
//   written, so an unfinished or failed write leaves a partial file. The
//   file system must outlive the output files it hands out.
// - Every FileSystem and OutputFile call is counted (1-based, across both)
//   and logged, failed ones included, as "Verb args": "ReadAll P",
//   "ReadAllUpTo P N" (N the most bytes taken), "Create P", "IsNormalFile P",
//   "CopyNoOverwrite A -> B", "SetNormal P", "Remove P", "Replace A -> B",
//   "Stamp P", "Lock P", "CreateFolders P", "Write P N" (N bytes asked),
//   "Commit P".
// - Stamp gives a file's size and a last-write time that every change of
//   the file (AddFile included) moves on. Lock makes the file when missing;
//   a second lock of it fails with kLockViolation until the first is gone.
// - A protected folder (ProtectFolder) is one a standard user may only
//   read, like Program Files: making, removing or renaming a file in it,
//   writing one of its files, and locking a missing one fail with
//   kAccessDenied. Reading and copying out of it work.
// - Fault plan: FailCall(k, code) makes call k fail with `code` without any
//   effect (IsNormalFile then answers false); ShortWrite(k) makes call k, a
//   Write, store only the first half of its bytes and return kDiskFull.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "1-platform/FileSystem.h"

namespace qm {

class MemoryFileSystem final : public FileSystem {
 public:
  struct Attributes {
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
  };

  MemoryFileSystem() = default;
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  // --- Setting up and inspecting (neither counted nor logged) ---
  // Adds the file, or replaces its bytes; attributes and flags are kept.
  void AddFile(const std::string& path, std::string bytes);
  void Erase(const std::string& path);
  // A folder, empty until files are put in it.
  void AddFolder(const std::string& path);
  bool Exists(const std::string& path) const;
  std::optional<std::string> Contents(const std::string& path) const;
  // Stored paths in the spelling they were created with, ordered by path.
  std::vector<std::string> Paths() const;
  Attributes GetAttributes(const std::string& path) const;
  void SetReadOnly(const std::string& path, bool on = true);
  void SetHidden(const std::string& path, bool on = true);
  void SetSystem(const std::string& path, bool on = true);
  void SetHeldOpen(const std::string& path, bool on = true);
  void ProtectFolder(const std::string& path);
  bool IsOpenForWriting(const std::string& path) const;

  // --- Fault plan and call log ---
  void FailCall(int call, SysCode code);
  void ShortWrite(int call);
  int CallCount() const { return calls_; }
  const std::vector<std::string>& Log() const { return log_; }

  // --- FileSystem ---
  SysCode ReadAll(const std::string& path, std::string& contents) override;
  SysCode ReadAllUpTo(const std::string& path, size_t maxBytes, std::string& contents) override;
  SysCode Create(const std::string& path, std::unique_ptr<OutputFile>& file) override;
  bool IsNormalFile(const std::string& path) override;
  SysCode CopyNoOverwrite(const std::string& from, const std::string& to) override;
  SysCode SetNormal(const std::string& path) override;
  SysCode Remove(const std::string& path) override;
  SysCode Replace(const std::string& from, const std::string& to) override;
  SysCode Stamp(const std::string& path, FileStamp& stamp) override;
  SysCode Lock(const std::string& path, std::unique_ptr<FileLock>& lock) override;
  SysCode CreateFolders(const std::string& path) override;

 private:
  class Output;
  struct File {
    std::string path;  // spelling given when the file was made
    std::string bytes;
    Attributes attributes;
    bool heldOpen = false;
    bool writing = false;  // an Output of ours has it open
    uint64_t lastWrite = 0;
  };
  enum class Planned { None, Fail, Short };

  static std::string Key(const std::string& path);
  File* Find(const std::string& path);
  const File* Find(const std::string& path) const;
  File& Existing(const std::string& path);
  bool IsFolder(const std::string& path) const;
  // Whether the folder `path` would be in exists.
  bool HasParent(const std::string& path) const;
  // Whether the folder `path` is in is protected.
  bool InProtected(const std::string& path) const;
  // Counts and logs a call; returns what the fault plan holds for it.
  Planned Begin(std::string entry, SysCode& code);

  std::map<std::string, File> files_;  // by upper-cased path
  std::set<std::string> folders_;      // by upper-cased path, made by AddFolder
  std::set<std::string> locked_;       // by upper-cased path
  std::set<std::string> protected_;    // folders, by upper-cased path
  uint64_t clock_ = 0;                 // the last-write time of the latest change
  std::map<int, SysCode> failures_;
  std::set<int> shortWrites_;
  std::vector<std::string> log_;
  int calls_ = 0;
};

}  // namespace qm
