#include "1-platform/Elevation_win.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "1-platform/Utf16_win.h"

namespace qm {

SysCode Win32Elevation::RestartAsAdministrator(const std::string& params) {
  std::wstring exe(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
  if (length == 0 || length >= exe.size()) return static_cast<SysCode>(GetLastError());
  exe.resize(length);
  const std::wstring args = Utf16(params);
  // The shell asks for COM on the calling thread; the thread's error is read
  // before COM is let go, which may change it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SetLastError(ERROR_SUCCESS);
  const auto result = reinterpret_cast<intptr_t>(
      ShellExecuteW(nullptr, L"runas", exe.c_str(), args.c_str(), nullptr, SW_SHOWNORMAL));
  const DWORD error = GetLastError();
  if (SUCCEEDED(com)) CoUninitialize();
  if (result > 32) return syserr::kOk;
  // ShellExecute's own codes below 32 match the system's for the common
  // cases (2, 3, 5, 8); the thread's error is the more exact one
  // (ERROR_CANCELLED when the user declined).
  return error != ERROR_SUCCESS ? static_cast<SysCode>(error) : static_cast<SysCode>(result);
}

}  // namespace qm
