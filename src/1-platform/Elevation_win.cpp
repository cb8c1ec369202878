#include "1-platform/Elevation_win.h"

#include <windows.h>

#include <string>

#include "1-platform/Shell_win.h"
#include "1-platform/Utf16_win.h"

namespace qm {

SysCode Win32Elevation::RestartAsAdministrator(const std::string& params) {
  std::wstring exe(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
  if (length == 0 || length >= exe.size()) return static_cast<SysCode>(GetLastError());
  exe.resize(length);
  SetLastError(ERROR_SUCCESS);
  const intptr_t result = Win32Shell().Execute(0, "runas", Utf8(exe), params, "", kShowNormal);
  if (result > 32) return syserr::kOk;
  const DWORD error = GetLastError();
  // ShellExecute's own result codes below 32 match the system's for the
  // common cases (2, 3, 5, 8); prefer the thread's error when one is set.
  return error != ERROR_SUCCESS ? static_cast<SysCode>(error) : static_cast<SysCode>(result);
}

}  // namespace qm
