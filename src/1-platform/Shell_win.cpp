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
#include <cwchar>
#include <vector>

#include "1-platform/Utf16_win.h"

namespace qm {

namespace {

// The code of the last failed call, or `fallback` when Windows left none.
SysCode LastErrorOr(SysCode fallback) {
  const DWORD code = GetLastError();
  return code != 0 ? static_cast<SysCode>(code) : fallback;
}

// The text in UTF-16, or none for the empty text.
class WideOrNull {
 public:
  explicit WideOrNull(const std::string& text) : wide_(Utf16(text)) {}
  operator const wchar_t*() const { return wide_.empty() ? nullptr : wide_.c_str(); }

 private:
  std::wstring wide_;
};

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

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L"";
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// One string of the version resource's first translation (then US English).
std::string VersionString(const std::vector<char>& block, const wchar_t* name) {
  std::vector<std::wstring> tables;
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT size = 0;
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                     reinterpret_cast<void**>(&translations), &size) &&
      size >= sizeof(Translation)) {
    wchar_t table[16];
    std::swprintf(table, 16, L"%04x%04x", translations[0].language, translations[0].codePage);
    tables.emplace_back(table);
  }
  tables.emplace_back(L"040904b0");
  tables.emplace_back(L"040904e4");
  for (const std::wstring& table : tables) {
    const std::wstring query = L"\\StringFileInfo\\" + table + L"\\" + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) &&
        value != nullptr && length > 0) {
      return Utf8(std::wstring_view(value, wcsnlen(value, length)));
    }
  }
  return "";
}

}  // namespace

intptr_t Win32Shell::Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                             const std::string& params, const std::string& folder, int show) {
  ComScope com;
  return reinterpret_cast<intptr_t>(ShellExecuteW(reinterpret_cast<HWND>(owner), WideOrNull(verb),
                                                  Utf16(file).c_str(), WideOrNull(params),
                                                  WideOrNull(folder), show));
}

SysCode Win32Clipboard::Clear() {
  if (!OpenClipboard(GetActiveWindow())) return LastErrorOr(syserr::kAccessDenied);
  SysCode code = syserr::kOk;
  if (!EmptyClipboard()) code = LastErrorOr(syserr::kAccessDenied);
  CloseClipboard();
  return code;
}

SysCode Win32Clipboard::SetText(const std::string& text) {
  const std::wstring wide = Utf16(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return LastErrorOr(syserr::kNotEnoughMemory);
  void* locked = GlobalLock(memory);
  if (locked == nullptr) {
    GlobalFree(memory);
    return LastErrorOr(syserr::kNotEnoughMemory);
  }
  std::memcpy(locked, wide.c_str(), bytes);
  GlobalUnlock(memory);
  if (!OpenClipboard(GetActiveWindow())) {
    const SysCode code = LastErrorOr(syserr::kAccessDenied);
    GlobalFree(memory);
    return code;
  }
  SysCode code = syserr::kOk;
  if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
    code = LastErrorOr(syserr::kAccessDenied);
    GlobalFree(memory);  // still ours: the clipboard did not take it
  }
  CloseClipboard();
  return code;
}

namespace {

// The browser's callback: once it has opened, select the start folder that
// `data` points to (a NUL-ended UTF-16 path). Asked once, Wine's browser expands the
// folders leading to a folder it has not shown before but selects nothing;
// asked again it selects the folder, which Windows has already done. Nothing
// here can throw.
int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) {
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
  }
  return 0;
}

}  // namespace

// A chosen item without a file-system path leaves the buffer all spaces, so
// the caller treats it as a folder without the game.
bool Win32FolderBrowser::Browse(WindowHandle owner, const std::string& title, uint32_t flags,
                                const std::string& startFolder, std::string& path) {
  ComScope com;
  const std::wstring wideTitle = Utf16(title);
  const std::wstring start = Utf16(startFolder);
  BROWSEINFOW info{};
  info.hwndOwner = reinterpret_cast<HWND>(owner);
  info.pidlRoot = nullptr;
  info.pszDisplayName = nullptr;
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = flags;
  info.lpfn = start.empty() ? nullptr : &SelectStartFolder;
  info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  info.iImage = 0;
  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
  if (item == nullptr) return false;
  std::wstring buffer(MAX_PATH, L' ');
  if (!SHGetPathFromIDListW(item, buffer.data())) buffer.assign(MAX_PATH, L' ');
  CoTaskMemFree(item);
  path = Utf8(buffer.substr(0, buffer.find(L'\0')));
  return true;
}

// Falls back on the built-in name and version when the executable carries no
// version resource.
ProgramVersion Win32ProgramInfo::Version() {
  ProgramVersion version = builtIn_;
  const std::wstring exe = ExecutablePath();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
  if (size == 0) return version;
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(exe.c_str(), 0, size, block.data())) return version;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
      fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
    version.major = HIWORD(fixed->dwFileVersionMS);
    version.minor = LOWORD(fixed->dwFileVersionMS);
    version.revision = HIWORD(fixed->dwFileVersionLS);
  }
  const std::string product = VersionString(block, L"ProductName");
  if (!product.empty()) version.title = product;
  return version;
}

// "C:\Games\Quillmark" for C:\Games\Quillmark\quillmark.exe, and "C:\" (with
// its backslash) for a program at a drive's root.
std::string Win32ProgramInfo::Folder() {
  const std::string exe = Utf8(ExecutablePath());
  const size_t slash = exe.rfind('\\');
  if (slash == std::string::npos) return exe;
  if (slash > 0 && exe[slash - 1] == ':') return exe.substr(0, slash + 1);
  return exe.substr(0, slash);
}

void Win32ProcessEnd::EndNow() { ExitProcess(1); }

namespace {

bool ChooseFile(WindowHandle owner, const FileKind& kind, std::string& path, bool save) {
  // The filter is pairs of NUL-ended texts, ended by one more NUL.
  std::wstring filter = Utf16(kind.description);
  filter += L'\0';
  filter += Utf16(kind.pattern);
  filter += L'\0';
  filter += L'\0';
  const std::wstring extension = Utf16(kind.extension);
  std::wstring buffer = Utf16(path).substr(0, MAX_PATH - 1);
  buffer.resize(MAX_PATH, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner != 0 ? reinterpret_cast<HWND>(owner) : GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrDefExt = extension.c_str();
  dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return false;
  path = Utf8(buffer.substr(0, buffer.find(L'\0')));
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
