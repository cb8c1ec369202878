#include "support/MemoryFileSystem.h"

#include <stdexcept>

namespace qm {

// A file being written; its bytes go straight into the file system's map.
class MemoryFileSystem::Output final : public OutputFile {
 public:
  Output(MemoryFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  ~Output() override { Close(); }

  SysCode Write(std::string_view bytes) override {
    SysCode code = syserr::kOk;
    Planned plan = fs_.Begin("Write " + path_ + " " + std::to_string(bytes.size()), code);
    if (plan == Planned::Fail) return code;
    if (!open_) return syserr::kInvalidParameter;
    File& file = Target();
    file.lastWrite = ++fs_.clock_;
    if (plan == Planned::Short) {
      file.bytes.append(bytes.substr(0, bytes.size() / 2));
      return syserr::kDiskFull;
    }
    file.bytes.append(bytes);
    return syserr::kOk;
  }

  SysCode Commit() override {
    SysCode code = syserr::kOk;
    Planned plan = fs_.Begin("Commit " + path_, code);
    if (!open_) return plan == Planned::None ? syserr::kInvalidParameter : code;
    Close();  // a failed flush still closes the handle
    return plan == Planned::None ? syserr::kOk : code;
  }

 private:
  // The file as it is now; a test may have erased it behind our back.
  File& Target() {
    File* file = fs_.Find(path_);
    if (file == nullptr) {
      file = &fs_.files_[Key(path_)];
      file->path = path_;
      file->writing = true;
    }
    return *file;
  }

  void Close() {
    if (!open_) return;
    open_ = false;
    if (File* file = fs_.Find(path_)) file->writing = false;
  }

  MemoryFileSystem& fs_;
  std::string path_;
  bool open_ = true;
};

std::string MemoryFileSystem::Key(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == '/') c = '\\';
  }
  return key;
}

MemoryFileSystem::File* MemoryFileSystem::Find(const std::string& path) {
  auto it = files_.find(Key(path));
  return it == files_.end() ? nullptr : &it->second;
}

const MemoryFileSystem::File* MemoryFileSystem::Find(const std::string& path) const {
  auto it = files_.find(Key(path));
  return it == files_.end() ? nullptr : &it->second;
}

MemoryFileSystem::File& MemoryFileSystem::Existing(const std::string& path) {
  File* file = Find(path);
  if (file == nullptr) throw std::invalid_argument("MemoryFileSystem: no file " + path);
  return *file;
}

bool MemoryFileSystem::IsFolder(const std::string& path) const {
  std::string prefix = Key(path);
  if (prefix.empty() || prefix.back() != '\\') prefix += '\\';
  auto startsWithPrefix = [&prefix](const std::string& key) {
    return key.compare(0, prefix.size(), prefix) == 0;
  };
  const auto file = files_.lower_bound(prefix);
  const auto folder = folders_.lower_bound(prefix);
  return (file != files_.end() && startsWithPrefix(file->first)) ||
         (folder != folders_.end() && startsWithPrefix(*folder));
}

bool MemoryFileSystem::HasParent(const std::string& path) const {
  const std::string key = Key(path);
  size_t end = key.find_last_of('\\');
  if (end == std::string::npos) return true;
  while (end > 0 && key[end - 1] == '\\') --end;  // doubled separators count as one
  const std::string parent = key.substr(0, end);
  if (parent.empty() || (parent.size() == 2 && parent[1] == ':')) return true;  // a root
  return IsFolder(parent);
}

bool MemoryFileSystem::InProtected(const std::string& path) const {
  const std::string key = Key(path);
  const size_t end = key.find_last_of('\\');
  return end != std::string::npos && protected_.count(key.substr(0, end)) != 0;
}

void MemoryFileSystem::ProtectFolder(const std::string& path) { protected_.insert(Key(path)); }

MemoryFileSystem::Planned MemoryFileSystem::Begin(std::string entry, SysCode& code) {
  ++calls_;
  log_.push_back(std::move(entry));
  if (auto it = failures_.find(calls_); it != failures_.end()) {
    code = it->second;
    return Planned::Fail;
  }
  if (shortWrites_.count(calls_) != 0) {
    code = syserr::kDiskFull;
    return Planned::Short;
  }
  return Planned::None;
}

void MemoryFileSystem::AddFile(const std::string& path, std::string bytes) {
  File& file = files_[Key(path)];
  if (file.path.empty()) file.path = path;
  file.bytes = std::move(bytes);
  file.lastWrite = ++clock_;
}

void MemoryFileSystem::Erase(const std::string& path) { files_.erase(Key(path)); }

void MemoryFileSystem::AddFolder(const std::string& path) {
  std::string key = Key(path);
  if (key.empty() || key.back() != '\\') key += '\\';
  folders_.insert(key);
}

bool MemoryFileSystem::Exists(const std::string& path) const { return Find(path) != nullptr; }

std::optional<std::string> MemoryFileSystem::Contents(const std::string& path) const {
  const File* file = Find(path);
  if (file == nullptr) return std::nullopt;
  return file->bytes;
}

std::vector<std::string> MemoryFileSystem::Paths() const {
  std::vector<std::string> paths;
  for (const auto& entry : files_) paths.push_back(entry.second.path);
  return paths;
}

MemoryFileSystem::Attributes MemoryFileSystem::GetAttributes(const std::string& path) const {
  const File* file = Find(path);
  if (file == nullptr) throw std::invalid_argument("MemoryFileSystem: no file " + path);
  return file->attributes;
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool on) {
  Existing(path).attributes.readOnly = on;
}
void MemoryFileSystem::SetHidden(const std::string& path, bool on) {
  Existing(path).attributes.hidden = on;
}
void MemoryFileSystem::SetSystem(const std::string& path, bool on) {
  Existing(path).attributes.system = on;
}
void MemoryFileSystem::SetHeldOpen(const std::string& path, bool on) {
  Existing(path).heldOpen = on;
}

bool MemoryFileSystem::IsOpenForWriting(const std::string& path) const {
  const File* file = Find(path);
  return file != nullptr && file->writing;
}

void MemoryFileSystem::FailCall(int call, SysCode code) { failures_[call] = code; }

void MemoryFileSystem::ShortWrite(int call) { shortWrites_.insert(call); }

SysCode MemoryFileSystem::ReadAll(const std::string& path, std::string& contents) {
  SysCode code = syserr::kOk;
  if (Begin("ReadAll " + path, code) != Planned::None) return code;
  const File* file = Find(path);
  if (file == nullptr) return IsFolder(path) ? syserr::kAccessDenied : syserr::kFileNotFound;
  if (file->writing) return syserr::kSharingViolation;
  contents = file->bytes;
  return syserr::kOk;
}

SysCode MemoryFileSystem::ReadAllUpTo(const std::string& path, size_t maxBytes,
                                      std::string& contents) {
  SysCode code = syserr::kOk;
  if (Begin("ReadAllUpTo " + path + " " + std::to_string(maxBytes), code) != Planned::None) {
    return code;
  }
  const File* file = Find(path);
  if (file == nullptr) return IsFolder(path) ? syserr::kAccessDenied : syserr::kFileNotFound;
  if (file->writing) return syserr::kSharingViolation;
  if (file->bytes.size() > maxBytes) return syserr::kFileTooLarge;
  contents = file->bytes;
  return syserr::kOk;
}

SysCode MemoryFileSystem::Create(const std::string& path, std::unique_ptr<OutputFile>& out) {
  SysCode code = syserr::kOk;
  if (Begin("Create " + path, code) != Planned::None) return code;
  if (IsFolder(path) || InProtected(path)) return syserr::kAccessDenied;
  File* file = Find(path);
  if (file != nullptr) {
    if (file->writing || file->heldOpen) return syserr::kSharingViolation;
    const Attributes& a = file->attributes;
    if (a.readOnly || a.hidden || a.system) return syserr::kAccessDenied;
  } else {
    if (!HasParent(path)) return syserr::kPathNotFound;
    file = &files_[Key(path)];
    file->path = path;
  }
  file->bytes.clear();
  file->lastWrite = ++clock_;
  file->writing = true;
  out = std::make_unique<Output>(*this, path);
  return syserr::kOk;
}

bool MemoryFileSystem::IsNormalFile(const std::string& path) {
  SysCode code = syserr::kOk;
  if (Begin("IsNormalFile " + path, code) != Planned::None) return false;
  const File* file = Find(path);
  return file != nullptr && !file->attributes.hidden && !file->attributes.system;
}

SysCode MemoryFileSystem::CopyNoOverwrite(const std::string& from, const std::string& to) {
  SysCode code = syserr::kOk;
  if (Begin("CopyNoOverwrite " + from + " -> " + to, code) != Planned::None) return code;
  const File* source = Find(from);
  if (source == nullptr) return IsFolder(from) ? syserr::kAccessDenied : syserr::kFileNotFound;
  if (source->writing) return syserr::kSharingViolation;
  if (Find(to) != nullptr) return syserr::kFileExists;
  if (IsFolder(to) || InProtected(to)) return syserr::kAccessDenied;
  if (!HasParent(to)) return syserr::kPathNotFound;
  File copy;
  copy.path = to;
  copy.bytes = source->bytes;
  copy.attributes = source->attributes;  // a copy keeps the attributes and the time
  copy.lastWrite = source->lastWrite;
  files_[Key(to)] = std::move(copy);
  return syserr::kOk;
}

SysCode MemoryFileSystem::SetNormal(const std::string& path) {
  SysCode code = syserr::kOk;
  if (Begin("SetNormal " + path, code) != Planned::None) return code;
  File* file = Find(path);
  if (file == nullptr) return syserr::kFileNotFound;
  file->attributes = Attributes{};
  return syserr::kOk;
}

SysCode MemoryFileSystem::Remove(const std::string& path) {
  SysCode code = syserr::kOk;
  if (Begin("Remove " + path, code) != Planned::None) return code;
  File* file = Find(path);
  if (file == nullptr) return IsFolder(path) ? syserr::kAccessDenied : syserr::kFileNotFound;
  if (file->attributes.readOnly || InProtected(path)) return syserr::kAccessDenied;
  if (file->writing || file->heldOpen) return syserr::kSharingViolation;
  files_.erase(Key(path));
  return syserr::kOk;
}

SysCode MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
  SysCode code = syserr::kOk;
  if (Begin("Replace " + from + " -> " + to, code) != Planned::None) return code;
  File* source = Find(from);
  if (source == nullptr) return IsFolder(from) ? syserr::kAccessDenied : syserr::kFileNotFound;
  if (source->writing || source->heldOpen) return syserr::kSharingViolation;
  if (InProtected(from) || InProtected(to)) return syserr::kAccessDenied;
  if (Key(from) == Key(to)) {
    source->path = to;
    return syserr::kOk;
  }
  if (IsFolder(to)) return syserr::kAccessDenied;
  if (!HasParent(to)) return syserr::kPathNotFound;
  if (const File* target = Find(to)) {
    // A target that is open elsewhere cannot be unlinked by a rename.
    if (target->attributes.readOnly || target->writing || target->heldOpen)
      return syserr::kAccessDenied;
  }
  File moved = std::move(*source);
  files_.erase(Key(from));
  moved.path = to;
  files_[Key(to)] = std::move(moved);
  return syserr::kOk;
}

SysCode MemoryFileSystem::Stamp(const std::string& path, FileStamp& stamp) {
  SysCode code = syserr::kOk;
  if (Begin("Stamp " + path, code) != Planned::None) return code;
  const File* file = Find(path);
  if (file == nullptr) return IsFolder(path) ? syserr::kAccessDenied : syserr::kFileNotFound;
  stamp = {file->bytes.size(), file->lastWrite};
  return syserr::kOk;
}

SysCode MemoryFileSystem::Lock(const std::string& path, std::unique_ptr<FileLock>& lock) {
  struct Held final : FileLock {
    std::set<std::string>* locked;
    std::string key;
    ~Held() override { locked->erase(key); }
  };
  SysCode code = syserr::kOk;
  if (Begin("Lock " + path, code) != Planned::None) return code;
  if (IsFolder(path)) return syserr::kAccessDenied;
  if (Find(path) == nullptr) {
    if (!HasParent(path)) return syserr::kPathNotFound;
    if (InProtected(path)) return syserr::kAccessDenied;
    files_[Key(path)].path = path;
  }
  if (!locked_.insert(Key(path)).second) return syserr::kLockViolation;
  auto held = std::make_unique<Held>();
  held->locked = &locked_;
  held->key = Key(path);
  lock = std::move(held);
  return syserr::kOk;
}

SysCode MemoryFileSystem::CreateFolders(const std::string& path) {
  SysCode code = syserr::kOk;
  if (Begin("CreateFolders " + path, code) != Planned::None) return code;
  for (std::string folder = path; !folder.empty();) {
    if (Find(folder) != nullptr) return syserr::kAlreadyExists;  // a file is in the way
    const size_t end = folder.find_last_of("\\/");
    folder = end == std::string::npos ? "" : folder.substr(0, end);
  }
  AddFolder(path);
  return syserr::kOk;
}

}  // namespace qm
