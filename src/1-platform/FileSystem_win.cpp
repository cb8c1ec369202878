// The file system on Windows, through the wide entry points: the program's
// paths are UTF-8, converted to UTF-16 for each call, so any character works.

#include <windows.h>

#include <new>

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

  SysCode CopyNoOverwrite(const std::string& from, const std::string& to) override {
    return CopyFileW(Utf16(from).c_str(), Utf16(to).c_str(), TRUE) ? syserr::kOk : LastError();
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
