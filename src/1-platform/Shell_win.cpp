// The Win32 shell, clipboard, folder browser, program identity and process
// end behind the interfaces of Shell.h.

#include "1-platform/Shell_win.h"

#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <winver.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace qm {

namespace {

// The code of the last failed call, or `fallback` when Windows left none.
SysCode LastErrorOr(SysCode fallback) {
  const DWORD code = GetLastError();
  return code != 0 ? static_cast<SysCode>(code) : fallback;
}

const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// COM for the duration of one shell call, as the shell asks of its callers.
class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (ok_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ok_;
};

std::string ExecutablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// One string of the version resource's first translation (then US English).
std::string VersionString(const std::vector<char>& block, const char* name) {
  std::vector<std::string> tables;
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT size = 0;
  if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translations), &size) &&
      size >= sizeof(Translation)) {
    char table[16];
    std::snprintf(table, sizeof(table), "%04x%04x", translations[0].language,
                  translations[0].codePage);
    tables.emplace_back(table);
  }
  tables.emplace_back("040904b0");
  tables.emplace_back("040904e4");
  for (const std::string& table : tables) {
    const std::string query = "\\StringFileInfo\\" + table + "\\" + name;
    char* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) &&
        value != nullptr && length > 0) {
      return std::string(value, strnlen(value, length));
    }
  }
  return "";
}

}  // namespace

intptr_t Win32Shell::Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                             const std::string& params, const std::string& folder, int show) {
  ComScope com;
  return reinterpret_cast<intptr_t>(ShellExecuteA(reinterpret_cast<HWND>(owner), OrNull(verb),
                                                  file.c_str(), OrNull(params), OrNull(folder),
                                                  show));
}

SysCode Win32Clipboard::Clear() {
  if (!OpenClipboard(owner_)) return LastErrorOr(syserr::kAccessDenied);
  SysCode code = syserr::kOk;
  if (!EmptyClipboard()) code = LastErrorOr(syserr::kAccessDenied);
  CloseClipboard();
  return code;
}

SysCode Win32Clipboard::SetText(const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (memory == nullptr) return LastErrorOr(syserr::kNotEnoughMemory);
  void* bytes = GlobalLock(memory);
  if (bytes == nullptr) {
    GlobalFree(memory);
    return LastErrorOr(syserr::kNotEnoughMemory);
  }
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  if (!OpenClipboard(owner_)) {
    const SysCode code = LastErrorOr(syserr::kAccessDenied);
    GlobalFree(memory);
    return code;
  }
  SysCode code = syserr::kOk;
  if (SetClipboardData(CF_TEXT, memory) == nullptr) {
    code = LastErrorOr(syserr::kAccessDenied);
    GlobalFree(memory);  // still ours: the clipboard did not take it
  }
  CloseClipboard();
  return code;
}

namespace {

// The browser's callback: once it has opened, select the start folder that
// `data` points to (a NUL-ended path). Asked once, Wine's browser expands the
// folders leading to a folder it has not shown before but selects nothing;
// asked again it selects the folder, which Windows has already done. Nothing
// here can throw.
int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  }
  return 0;
}

}  // namespace

// A chosen item without a file-system path leaves the buffer all spaces, so
// the caller treats it as a folder without the game.
bool Win32FolderBrowser::Browse(WindowHandle owner, const std::string& title, uint32_t flags,
                                const std::string& startFolder, std::string& path) {
  ComScope com;
  BROWSEINFOA info{};
  info.hwndOwner = reinterpret_cast<HWND>(owner);
  info.pidlRoot = nullptr;
  info.pszDisplayName = nullptr;
  info.lpszTitle = title.c_str();
  info.ulFlags = flags;
  info.lpfn = startFolder.empty() ? nullptr : &SelectStartFolder;
  info.lParam = startFolder.empty() ? 0 : reinterpret_cast<LPARAM>(startFolder.c_str());
  info.iImage = 0;
  PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info);
  if (item == nullptr) return false;
  std::string buffer(MAX_PATH, ' ');
  if (!SHGetPathFromIDListA(item, buffer.data())) buffer.assign(MAX_PATH, ' ');
  CoTaskMemFree(item);
  path = TextUpToNul(buffer);
  return true;
}

// Falls back on the built-in name and version when the executable carries no
// version resource.
ProgramVersion Win32ProgramInfo::Version() {
  ProgramVersion version = builtIn_;
  const std::string exe = ExecutablePath();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
  if (size == 0) return version;
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(exe.c_str(), 0, size, block.data())) return version;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
      fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
    version.major = HIWORD(fixed->dwFileVersionMS);
    version.minor = LOWORD(fixed->dwFileVersionMS);
    version.revision = HIWORD(fixed->dwFileVersionLS);
  }
  const std::string product = VersionString(block, "ProductName");
  if (!product.empty()) version.title = product;
  return version;
}

// "C:\Games\Quillmark" for C:\Games\Quillmark\quillmark.exe, and "C:\" (with
// its backslash) for a program at a drive's root.
std::string Win32ProgramInfo::Folder() {
  const std::string exe = ExecutablePath();
  const size_t slash = exe.rfind('\\');
  if (slash == std::string::npos) return exe;
  if (slash > 0 && exe[slash - 1] == ':') return exe.substr(0, slash + 1);
  return exe.substr(0, slash);
}

void Win32ProcessEnd::EndNow() { ExitProcess(1); }

namespace {

bool ChooseFile(WindowHandle owner, const FileKind& kind, std::string& path, bool save) {
  // The filter is pairs of NUL-ended texts, ended by one more NUL.
  std::string filter = kind.description;
  filter += '\0';
  filter += kind.pattern;
  filter += '\0';
  filter += '\0';
  std::string buffer = path.substr(0, MAX_PATH - 1);
  buffer.resize(MAX_PATH, '\0');
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner != 0 ? reinterpret_cast<HWND>(owner) : GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrDefExt = kind.extension.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) return false;
  path = TextUpToNul(buffer);
  return true;
}

}  // namespace

bool Win32FileDialogs::ChooseSave(WindowHandle owner, const FileKind& kind, std::string& path) {
  return ChooseFile(owner, kind, path, true);
}

bool Win32FileDialogs::ChooseOpen(WindowHandle owner, const FileKind& kind, std::string& path) {
  return ChooseFile(owner, kind, path, false);
}

}  // namespace qm
