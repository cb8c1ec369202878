#pragma once
// A fresh folder under the system's temporary folder, removed afterwards.
// Its name holds letters that no single ANSI code page has, so that every
// path the file system is given there is one only UTF-16 can spell.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace qm {

class TempFolder {
 public:
  TempFolder() {
    static std::atomic<int> counter{0};
    folder_ = std::filesystem::temp_directory_path() /
              FsPath("qm-platform-\xC5\xBC\xC3\xB3\xC5\x82w-\xE6\x97\xA5\xE6\x9C\xAC-" +
                     std::to_string(Stamp()) + "-" + std::to_string(++counter));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~TempFolder() {
    // Read-only files would stop the removal on Windows.
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_, ignored))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // A UTF-8 path as std::filesystem takes it (from a plain string Windows'
  // standard library reads another encoding).
  static std::filesystem::path FsPath(const std::string& utf8) {
    return std::u8string(utf8.begin(), utf8.end());
  }

  // The path of `name` inside the folder, with the platform's separator, in
  // UTF-8.
  std::string Path(const std::string& name) const { return (folder_ / FsPath(name)).string(); }
  std::string Folder() const { return folder_.string(); }

 private:
  static long long Stamp() {
    return std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007;
  }
  std::filesystem::path folder_;
};

}  // namespace qm
