// The environment on Windows, and the Linux side when the program runs under
// Wine (Proton included).
//
// Wine maps the Linux root to drive Z:. It does not hand HOME on to Windows
// programs; it sets WINEHOMEDIR to the home folder as an NT path
// ("\??\Z:\home\ann"), which is where the home is read from, with HOME as the
// fallback should a Wine pass it on.

#include <windows.h>

#include "1-platform/Environment.h"
#include "1-platform/Utf16_win.h"

namespace qm {

namespace {

// Wine's ntdll exports wine_get_version; Windows' does not.
bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// "X:\..." : a path on a drive.
bool IsDrivePath(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

class Win32Environment final : public Environment {
 public:
  std::string Variable(const std::string& name) override {
    const std::wstring wideName = Utf16(name);
    const DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0) return "";
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
    if (length == 0 || length >= needed) return "";
    value.resize(length);
    return Utf8(value);
  }

  char Separator() override { return '\\'; }

  std::string UnixHome() override {
    if (!underWine_) return "";
    const std::string ntPrefix = "\\??\\";
    const std::string home = Variable("WINEHOMEDIR");
    if (home.rfind(ntPrefix, 0) == 0 && IsDrivePath(home.substr(ntPrefix.size()))) {
      return home.substr(ntPrefix.size());
    }
    return FromUnixPath(Variable("HOME"));
  }

  std::string FromUnixPath(const std::string& path) override {
    if (!underWine_ || path.empty() || path[0] != '/') return "";
    std::string windows = "Z:" + path;
    for (char& c : windows) {
      if (c == '/') c = '\\';
    }
    return windows;
  }

 private:
  bool underWine_ = RunningUnderWine();
};

}  // namespace

Environment& SystemEnvironment() {
  static Win32Environment environment;
  return environment;
}

}  // namespace qm
