// The file system on POSIX systems (the native build that runs the tests).
// errno values are mapped onto the Windows codes the rest of the program uses.

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "1-platform/FileSystem.h"

namespace qm {
namespace {

SysCode FromErrno(int err, SysCode fallback) {
  switch (err) {
    case ENOENT:
      return syserr::kFileNotFound;
    case ENOTDIR:
      return syserr::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:  // Windows refuses to open a folder as a file with "Access is denied."
      return syserr::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
      return syserr::kDiskFull;
    case EEXIST:
      return syserr::kFileExists;
    case EBUSY:
    case ETXTBSY:
      return syserr::kSharingViolation;
    case EINVAL:
      return syserr::kInvalidParameter;
    case ENOMEM:
      return syserr::kNotEnoughMemory;
    default:
      return fallback;
  }
}

SysCode ReadError() { return FromErrno(errno, syserr::kReadFault); }
SysCode WriteError() { return FromErrno(errno, syserr::kWriteFault); }

// Closes the descriptor when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

SysCode WriteFully(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return WriteError();
    }
    if (n == 0) return syserr::kDiskFull;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return syserr::kOk;
}

class PosixOutputFile final : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) close(fd_);
  }

  SysCode Write(std::string_view bytes) override {
    if (fd_ < 0) return syserr::kInvalidParameter;
    return WriteFully(fd_, bytes.data(), bytes.size());
  }

  SysCode Commit() override {
    if (fd_ < 0) return syserr::kInvalidParameter;
    SysCode result = fsync(fd_) == 0 ? syserr::kOk : WriteError();
    if (close(fd_) != 0 && result == syserr::kOk) result = WriteError();
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

// The game's paths are formed with backslashes and in the letter case of the
// Windows versions ("\\gamedata\\live.iff" for GameData/live.iff). Here the
// backslashes become slashes, and a name joined with a backslash that does
// not exist as written is looked up in its folder without regard to letter
// case, as Windows does. Names joined with slashes (a user's own paths) are
// taken as written, so that names.txt never stands for NAMES.TXT. A name
// found in neither way (a file about to be made) stays as written.
std::string Native(const std::string& path) {
  std::string slashed = path;
  for (char& c : slashed) c = c == '\\' ? '/' : c;
  struct stat st {};
  if (slashed.empty() || lstat(slashed.c_str(), &st) == 0) return slashed;

  std::string out = slashed.front() == '/' ? "/" : "";
  size_t at = 0;
  while (at < slashed.size()) {
    size_t end = slashed.find('/', at);
    if (end == std::string::npos) end = slashed.size();
    const std::string name = slashed.substr(at, end - at);
    const bool gameName = at > 0 && path[at - 1] == '\\';
    at = end + 1;
    if (name.empty()) continue;
    const std::string folder = out.empty() ? "." : out;
    const std::string prefix = out.empty() ? "" : (out == "/" ? "/" : out + "/");
    std::string found = name;
    if (gameName && lstat((prefix + name).c_str(), &st) != 0) {
      if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
          if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
          }
        }
        closedir(dir);
      }
    }
    out = prefix + found;
  }
  return out;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A rename is durable only once the folder holding it is flushed.
SysCode FlushFolderOf(const std::string& path) {
  Fd folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.ok()) return WriteError();
  if (fsync(folder.get()) != 0) return WriteError();
  return syserr::kOk;
}

// Renames `from` to `to` unless `to` exists (kFileExists then). A file
// system without RENAME_NOREPLACE gets a hard link and an unlink, which
// refuse an existing name the same way.
SysCode RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return syserr::kOk;
  }
  if (errno != EINVAL && errno != ENOSYS) return WriteError();
  if (link(from.c_str(), to.c_str()) != 0) return WriteError();
  unlink(from.c_str());
  return syserr::kOk;
}

class PosixLock final : public FileLock {
 public:
  explicit PosixLock(int fd) : fd_(fd) {}
  ~PosixLock() override { close(fd_); }  // closing the description releases its lock
  PosixLock(const PosixLock&) = delete;
  PosixLock& operator=(const PosixLock&) = delete;

 private:
  int fd_;
};

// The whole file; one longer than `maxBytes` (when opened, or by growing
// while being read) is not read past that length.
SysCode Read(const std::string& path, size_t maxBytes, std::string& contents) {
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) return ReadError();
  struct stat st {};
  if (fstat(fd.get(), &st) != 0) return ReadError();
  if (S_ISDIR(st.st_mode)) return syserr::kAccessDenied;
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) return syserr::kFileTooLarge;
  std::string data;
  try {
    // Straight into the string, sized by the length the file had when
    // opened; one that has since shrunk or grown is read to its end.
    data.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    for (;;) {
      char spill[4096];
      const bool full = got == data.size();
      ssize_t n = full ? read(fd.get(), spill, sizeof spill)
                       : read(fd.get(), data.data() + got, data.size() - got);
      if (n < 0) {
        if (errno == EINTR) continue;
        return ReadError();
      }
      if (n == 0) break;
      if (full) data.append(spill, static_cast<size_t>(n));
      got += static_cast<size_t>(n);
      if (got > maxBytes) return syserr::kFileTooLarge;
    }
    data.resize(got);
  } catch (const std::bad_alloc&) {
    return syserr::kNotEnoughMemory;
  }
  contents = std::move(data);
  return syserr::kOk;
}

class PosixFileSystem final : public FileSystem {
 public:
  SysCode ReadAll(const std::string& path, std::string& contents) override {
    return Read(Native(path), std::string().max_size(), contents);
  }

  SysCode ReadAllUpTo(const std::string& path, size_t maxBytes, std::string& contents) override {
    return Read(Native(path), maxBytes, contents);
  }

  SysCode Create(const std::string& path, std::unique_ptr<OutputFile>& file) override {
    int fd = open(Native(path).c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) return WriteError();
    file = std::make_unique<PosixOutputFile>(fd);
    return syserr::kOk;
  }

  bool IsNormalFile(const std::string& path) override {
    struct stat st {};
    return stat(Native(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  SysCode CopyNoOverwrite(const std::string& from, const std::string& to) override {
    Fd in(open(Native(from).c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.ok()) return ReadError();
    struct stat st {};
    if (fstat(in.get(), &st) != 0) return ReadError();
    if (S_ISDIR(st.st_mode)) return syserr::kAccessDenied;
    const std::string target = Native(to);
    if (lstat(target.c_str(), &st) == 0) return syserr::kFileExists;
    // A name of this copy's own, so that two copies never share one; the copy
    // gets the source's permission bits, as a copy keeps attributes.
    static std::atomic<unsigned> copies{0};
    const std::string temp =
        target + "." + std::to_string(getpid()) + "-" + std::to_string(++copies) + ".tmp";
    Fd out(open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, st.st_mode & 0777));
    if (!out.ok()) return WriteError();
    SysCode result = CopyBytes(in.get(), out.get());
    if (result == syserr::kOk && fsync(out.get()) != 0) result = WriteError();
    if (result == syserr::kOk) result = RenameNoReplace(temp, target);
    if (result != syserr::kOk) unlink(temp.c_str());  // no partial copy left behind
    if (result == syserr::kOk) result = FlushFolderOf(target);
    return result;
  }

  SysCode SetNormal(const std::string& path) override {
    const std::string native = Native(path);
    struct stat st {};
    if (stat(native.c_str(), &st) != 0) return ReadError();
    if (chmod(native.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) return WriteError();
    return syserr::kOk;
  }

  SysCode Remove(const std::string& path) override {
    if (unlink(Native(path).c_str()) != 0) return WriteError();
    return syserr::kOk;
  }

  SysCode Replace(const std::string& from, const std::string& to) override {
    const std::string target = Native(to);
    if (rename(Native(from).c_str(), target.c_str()) != 0) return WriteError();
    return FlushFolderOf(target);
  }

  // Folder by folder; one above the last that cannot be made shows in the
  // last one's failure.
  SysCode CreateFolders(const std::string& path) override {
    const std::string native = Native(path);
    for (size_t end = native.find('/', 1); end != std::string::npos;
         end = native.find('/', end + 1)) {
      mkdir(native.substr(0, end).c_str(), 0777);
    }
    if (mkdir(native.c_str(), 0777) == 0) return syserr::kOk;
    const SysCode code = WriteError();
    struct stat st {};
    if (stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return syserr::kOk;
    return code;
  }

  SysCode Stamp(const std::string& path, FileStamp& stamp) override {
    struct stat st {};
    if (stat(Native(path).c_str(), &st) != 0) return ReadError();
    if (S_ISDIR(st.st_mode)) return syserr::kAccessDenied;
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.lastWrite = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                      static_cast<uint64_t>(st.st_mtim.tv_nsec);
    return syserr::kOk;
  }

  // An open-file-description lock: it belongs to this open of the file, so
  // another open conflicts with it even in this process, and it conflicts
  // with the classic fcntl locks through which Wine's server keeps
  // LockFileEx, so that this build and the Windows one under Wine exclude
  // each other. Both lock the file's first byte.
  SysCode Lock(const std::string& path, std::unique_ptr<FileLock>& lock) override {
    const int fd = open(Native(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return WriteError();
    auto held = std::make_unique<PosixLock>(fd);
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 1;
    if (fcntl(fd, F_OFD_SETLK, &range) != 0) {
      return errno == EAGAIN || errno == EACCES ? syserr::kLockViolation : WriteError();
    }
    lock = std::move(held);
    return syserr::kOk;
  }

 private:
  static SysCode CopyBytes(int in, int out) {
    char buffer[65536];
    for (;;) {
      ssize_t n = read(in, buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        return ReadError();
      }
      if (n == 0) return syserr::kOk;
      SysCode result = WriteFully(out, buffer, static_cast<size_t>(n));
      if (result != syserr::kOk) return result;
    }
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

std::string SystemErrorText(SysCode code) {
  switch (code) {
    case syserr::kOk:
      return "The operation completed successfully.";
    case syserr::kFileNotFound:
      return "The system cannot find the file specified.";
    case syserr::kPathNotFound:
      return "The system cannot find the path specified.";
    case syserr::kAccessDenied:
      return "Access is denied.";
    case syserr::kNotEnoughMemory:
      return "Not enough memory resources are available to process this command.";
    case syserr::kWriteFault:
      return "The system cannot write to the specified device.";
    case syserr::kReadFault:
      return "The system cannot read from the specified device.";
    case syserr::kSharingViolation:
      return "The process cannot access the file because it is being used by another process.";
    case syserr::kLockViolation:
      return "The process cannot access the file because another process has locked a portion "
             "of the file.";
    case syserr::kHandleEof:
      return "Reached the end of the file.";
    case syserr::kHandleDiskFull:
      return "The disk is full.";
    case syserr::kFileExists:
      return "The file exists.";
    case syserr::kInvalidParameter:
      return "The parameter is incorrect.";
    case syserr::kDiskFull:
      return "There is not enough space on the disk.";
    case syserr::kInvalidName:
      return "The filename, directory name, or volume label syntax is incorrect.";
    case syserr::kAlreadyExists:
      return "Cannot create a file when that file already exists.";
    case syserr::kFileTooLarge:
      return "The file size exceeds the limit allowed and cannot be saved.";
    case syserr::kArithmeticOverflow:
      return "Arithmetic result exceeded 32 bits.";
    case syserr::kFileCorrupt:
      return "The file or directory is corrupted and unreadable.";
    case syserr::kInvalidIndex:
      return "Invalid index.";
    default:
      return "Unknown error " + std::to_string(code) + ".";
  }
}

}  // namespace qm
