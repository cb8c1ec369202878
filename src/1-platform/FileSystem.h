#pragma once
// Byte-wise file access, behind an interface so that the editor and the IFF
// writer can be driven by an in-memory fake (and fault injection) in tests.
//
// Letter case: Windows ignores it everywhere. The POSIX build ignores it
// only in the names a path joins with a backslash, which are the game's
// files below its folder (GameFolder.h); a user's own path, written with
// slashes, is taken exactly as written.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qm {

// 0 on success, otherwise a Windows system error code. The POSIX build maps
// errno values onto the same codes so that messages read alike everywhere.
using SysCode = uint32_t;

namespace syserr {
inline constexpr SysCode kOk = 0;
inline constexpr SysCode kFileNotFound = 2;          // ERROR_FILE_NOT_FOUND
inline constexpr SysCode kPathNotFound = 3;          // ERROR_PATH_NOT_FOUND
inline constexpr SysCode kAccessDenied = 5;          // ERROR_ACCESS_DENIED
inline constexpr SysCode kNotEnoughMemory = 8;       // ERROR_NOT_ENOUGH_MEMORY
inline constexpr SysCode kWriteFault = 29;           // ERROR_WRITE_FAULT
inline constexpr SysCode kReadFault = 30;            // ERROR_READ_FAULT
inline constexpr SysCode kSharingViolation = 32;     // ERROR_SHARING_VIOLATION
inline constexpr SysCode kLockViolation = 33;        // ERROR_LOCK_VIOLATION
inline constexpr SysCode kHandleEof = 38;            // ERROR_HANDLE_EOF
inline constexpr SysCode kHandleDiskFull = 39;       // ERROR_HANDLE_DISK_FULL
inline constexpr SysCode kFileExists = 80;           // ERROR_FILE_EXISTS
inline constexpr SysCode kInvalidParameter = 87;     // ERROR_INVALID_PARAMETER
inline constexpr SysCode kDiskFull = 112;            // ERROR_DISK_FULL
inline constexpr SysCode kInvalidName = 123;         // ERROR_INVALID_NAME
inline constexpr SysCode kAlreadyExists = 183;       // ERROR_ALREADY_EXISTS
inline constexpr SysCode kFileTooLarge = 223;        // ERROR_FILE_TOO_LARGE
inline constexpr SysCode kArithmeticOverflow = 534;  // ERROR_ARITHMETIC_OVERFLOW
inline constexpr SysCode kFileCorrupt = 1392;        // ERROR_FILE_CORRUPT
inline constexpr SysCode kInvalidIndex = 1413;       // ERROR_INVALID_INDEX
}  // namespace syserr

// Text of a system error code, without a trailing line break
// ("Access is denied.").
std::string SystemErrorText(SysCode code);

// A file's size and last-write time (in the platform's own units), for
// telling later whether another program has written the file meanwhile.
struct FileStamp {
  uint64_t size = 0;
  uint64_t lastWrite = 0;
};

// A lock taken with FileSystem::Lock, held until the object is destroyed.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

// A file being written. Destroying it without Commit closes it without
// flushing to the device; what was written may or may not be there.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual SysCode Write(std::string_view bytes) = 0;
  // Flushes everything to the device and closes the file.
  virtual SysCode Commit() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual SysCode ReadAll(const std::string& path, std::string& contents) = 0;
  // ReadAll for a file that must be small: one longer than `maxBytes` fails
  // with kFileTooLarge, read no further than that.
  virtual SysCode ReadAllUpTo(const std::string& path, size_t maxBytes, std::string& contents) = 0;
  // Creates the file, or truncates it when it exists.
  virtual SysCode Create(const std::string& path, std::unique_ptr<OutputFile>& file) = 0;
  // True for an existing file that is neither a folder nor marked hidden or
  // system. Letter case does not matter on Windows. Never fails: a path that
  // cannot be looked up counts as absent.
  virtual bool IsNormalFile(const std::string& path) = 0;
  // Copies `from` to `to`; fails with kFileExists when `to` exists. The copy
  // is written to a temporary file beside `to`, flushed, and renamed into
  // place without replacing anything, so that `to` is never a partial copy.
  virtual SysCode CopyNoOverwrite(const std::string& from, const std::string& to) = 0;
  // Clears read-only, hidden, system and archive.
  virtual SysCode SetNormal(const std::string& path) = 0;
  virtual SysCode Remove(const std::string& path) = 0;
  // Puts `from` in place of `to` in one step (replacing `to` when it exists),
  // written through to the device before it returns.
  virtual SysCode Replace(const std::string& from, const std::string& to) = 0;
  // Size and last-write time of an existing file.
  virtual SysCode Stamp(const std::string& path, FileStamp& stamp) = 0;
  // Takes the exclusive lock of the file at `path`, which is made (empty)
  // when missing and left in place, without waiting: kLockViolation while
  // anyone else holds it, another open of it in this process included.
  virtual SysCode Lock(const std::string& path, std::unique_ptr<FileLock>& lock) = 0;
  // Makes the folder `path` and every missing folder above it; kOk when it
  // exists already.
  virtual SysCode CreateFolders(const std::string& path) = 0;
};

// The file system of the platform the program runs on.
FileSystem& SystemFileSystem();

// Creates or truncates the file at `path`, writes `bytes` and commits it;
// the first failing step's code, or kOk.
inline SysCode WriteWholeFile(FileSystem& files, const std::string& path, std::string_view bytes) {
  std::unique_ptr<OutputFile> out;
  SysCode code = files.Create(path, out);
  if (code == syserr::kOk) code = out->Write(bytes);
  if (code == syserr::kOk) code = out->Commit();
  return code;
}

}  // namespace qm
