// The file system on Windows, through the wide entry points: the program's
// paths are UTF-8, converted to UTF-16 for each call, so any character works.

#include <windows.h>

#include <new>
#include <string>

#include "1-platform/FileSystem.h"
#include "1-platform/Utf16_win.h"

namespace qm {
namespace {

// The thread's last error; `fallback` when a call failed without setting one.
SysCode LastError(SysCode fallback = syserr::kWriteFault) {
  DWORD code = GetLastError();
  return code == ERROR_SUCCESS ? fallback : static_cast<SysCode>(code);
}

// Closes the handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (ok()) CloseHandle(h_);
  }
  HANDLE get() const { return h_; }
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

class WinOutputFile final : public OutputFile {
 public:
  explicit WinOutputFile(HANDLE h) : h_(h) {}
  ~WinOutputFile() override {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }

  SysCode Write(std::string_view bytes) override {
    if (h_ == INVALID_HANDLE_VALUE) return syserr::kInvalidParameter;
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
      DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
      DWORD written = 0;
      if (!WriteFile(h_, data, chunk, &written, nullptr)) return LastError();
      if (written == 0) return syserr::kDiskFull;
      data += written;
      left -= written;
    }
    return syserr::kOk;
  }

  SysCode Commit() override {
    if (h_ == INVALID_HANDLE_VALUE) return syserr::kInvalidParameter;
    SysCode result = FlushFileBuffers(h_) ? syserr::kOk : LastError();
    if (!CloseHandle(h_) && result == syserr::kOk) result = LastError();
    h_ = INVALID_HANDLE_VALUE;
    return result;
  }

 private:
  HANDLE h_;
};

// The whole file, sized by its length when opened; a file that has since
// grown is read only that far. One longer than `maxBytes` is not read.
SysCode Read(const std::string& path, size_t maxBytes, std::string& contents) {
  Handle file(CreateFileW(Utf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) return LastError(syserr::kReadFault);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return LastError(syserr::kReadFault);
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return syserr::kFileTooLarge;
  if (static_cast<unsigned long long>(size.QuadPart) > std::string().max_size())
    return syserr::kNotEnoughMemory;
  std::string data;
  try {
    data.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return syserr::kNotEnoughMemory;
  }
  size_t got = 0;
  while (got < data.size()) {
    size_t left = data.size() - got;
    DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    DWORD read = 0;
    if (!ReadFile(file.get(), data.data() + got, chunk, &read, nullptr))
      return LastError(syserr::kReadFault);
    if (read == 0) break;  // the file became shorter while being read
    got += read;
  }
  data.resize(got);
  contents = std::move(data);
  return syserr::kOk;
}

class WinLock final : public FileLock {
 public:
  explicit WinLock(HANDLE h) : h_(h) {}
  ~WinLock() override { CloseHandle(h_); }
  WinLock(const WinLock&) = delete;
  WinLock& operator=(const WinLock&) = delete;

 private:
  HANDLE h_;
};

class WinFileSystem final : public FileSystem {
 public:
  SysCode ReadAll(const std::string& path, std::string& contents) override {
    return Read(path, std::string().max_size(), contents);
  }

  SysCode ReadAllUpTo(const std::string& path, size_t maxBytes, std::string& contents) override {
    return Read(path, maxBytes, contents);
  }

  SysCode Create(const std::string& path, std::unique_ptr<OutputFile>& file) override {
    HANDLE h = CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    file = std::make_unique<WinOutputFile>(h);
    return syserr::kOk;
  }

  bool IsNormalFile(const std::string& path) override {
    DWORD attributes = GetFileAttributesW(Utf16(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
  }

  // The copy is written under a name of its own beside `to`, flushed, given
  // the source's attributes, and renamed without MOVEFILE_REPLACE_EXISTING:
  // an existing `to` is never touched, and a crash leaves no partial one.
  SysCode CopyNoOverwrite(const std::string& from, const std::string& to) override {
    const DWORD attributes = GetFileAttributesW(Utf16(from).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastError(syserr::kReadFault);
    if (GetFileAttributesW(Utf16(to).c_str()) != INVALID_FILE_ATTRIBUTES)
      return syserr::kFileExists;
    std::string bytes;
    SysCode code = Read(from, std::string().max_size(), bytes);
    if (code != syserr::kOk) return code;
    static LONG copies = 0;
    const std::string temp = to + "." + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(InterlockedIncrement(&copies)) + ".tmp";
    HANDLE h = CreateFileW(Utf16(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    WinOutputFile out(h);
    code = out.Write(bytes);
    if (code == syserr::kOk) code = out.Commit();
    const DWORD kept = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (code == syserr::kOk && kept != 0 && !SetFileAttributesW(Utf16(temp).c_str(), kept)) {
      code = LastError();
    }
    if (code == syserr::kOk &&
        !MoveFileExW(Utf16(temp).c_str(), Utf16(to).c_str(), MOVEFILE_WRITE_THROUGH)) {
      code = LastError();
      if (code == ERROR_ALREADY_EXISTS) code = syserr::kFileExists;
    }
    if (code != syserr::kOk) {
      out.Commit();  // closes the handle when the write failed
      SetFileAttributesW(Utf16(temp).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(Utf16(temp).c_str());
    }
    return code;
  }

  SysCode SetNormal(const std::string& path) override {
    return SetFileAttributesW(Utf16(path).c_str(), FILE_ATTRIBUTE_NORMAL) ? syserr::kOk
                                                                          : LastError();
  }

  SysCode Remove(const std::string& path) override {
    return DeleteFileW(Utf16(path).c_str()) ? syserr::kOk : LastError();
  }

  SysCode Replace(const std::string& from, const std::string& to) override {
    return MoveFileExW(Utf16(from).c_str(), Utf16(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? syserr::kOk
               : LastError();
  }

  // Folder by folder; one above the last that cannot be made (a drive's
  // root, a share's name, one that exists) shows in the last one's failure.
  SysCode CreateFolders(const std::string& path) override {
    for (size_t end = path.find_first_of("\\/", 1);; end = path.find_first_of("\\/", end + 1)) {
      const std::wstring folder = Utf16(path.substr(0, end));
      if (end != std::string::npos) {
        CreateDirectoryW(folder.c_str(), nullptr);
        continue;
      }
      if (CreateDirectoryW(folder.c_str(), nullptr)) return syserr::kOk;
      const SysCode code = LastError();
      const DWORD attributes = GetFileAttributesW(folder.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return syserr::kOk;
      }
      return code;
    }
  }

  SysCode Stamp(const std::string& path, FileStamp& stamp) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Utf16(path).c_str(), GetFileExInfoStandard, &data)) {
      return LastError(syserr::kReadFault);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return syserr::kAccessDenied;
    stamp.size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    stamp.lastWrite = static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                      data.ftLastWriteTime.dwLowDateTime;
    return syserr::kOk;
  }

  // LockFileEx on the file's first byte; closing the handle releases it.
  // Wine's server keeps the lock as a classic fcntl lock, which the POSIX
  // build's lock on the same byte conflicts with.
  SysCode Lock(const std::string& path, std::unique_ptr<FileLock>& lock) override {
    HANDLE h = CreateFileW(Utf16(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastError();
    auto held = std::make_unique<WinLock>(h);
    OVERLAPPED at{};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
      return LastError(syserr::kLockViolation);
    }
    lock = std::move(held);
    return syserr::kOk;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static WinFileSystem fs;
  return fs;
}

std::string SystemErrorText(SysCode code) {
  wchar_t buffer[1024];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, buffer, 1024, nullptr);
  std::string text = Utf8(std::wstring_view(buffer, length));
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  if (text.empty()) return "Unknown error " + std::to_string(code) + ".";
  return text;
}

}  // namespace qm
