#include "1-platform/Ui_win.h"

#include <windows.h>

#include <string>

#include "1-platform/Utf16_win.h"

namespace qm {

namespace {

UINT IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Critical:
      return MB_ICONSTOP;
    case MessageIcon::Warning:
      return MB_ICONEXCLAMATION;
    case MessageIcon::Information:
      return MB_ICONINFORMATION;
  }
  return MB_ICONSTOP;
}

std::wstring SettingsKey(const std::string& app, const std::string& section) {
  return Utf16("Software\\" + app + "\\" + section);
}

}  // namespace

void Win32MessageBoxes::Show(const std::string& text, const std::string& title, MessageIcon icon) {
  MessageBoxW(GetActiveWindow(), Utf16(text).c_str(), Utf16(title).c_str(),
              MB_OK | IconStyle(icon));
}

bool Win32MessageBoxes::Ask(const std::string& text, const std::string& title) {
  return MessageBoxW(GetActiveWindow(), Utf16(text).c_str(), Utf16(title).c_str(),
                     MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string Win32Settings::Get(const std::string& app, const std::string& section,
                               const std::string& key) {
  const std::wstring path = SettingsKey(app, section);
  const std::wstring name = Utf16(key);
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                   &size) != ERROR_SUCCESS) {
    return "";
  }
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                   value.data(), &size) != ERROR_SUCCESS) {
    return "";
  }
  return Utf8(value.substr(0, value.find(L'\0')));
}

// A setting that cannot be stored is remembered for this run only: the
// stored setting is read again at the next start.
void Win32Settings::Save(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring wide = Utf16(value);
  RegSetValueExW(handle, Utf16(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                 static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

void Win32FatalErrors::Fatal(int32_t number, const std::string& description) {
  const std::string text = "Error " + std::to_string(number) + "\r\n" + description;
  MessageBoxW(GetActiveWindow(), Utf16(text).c_str(), L"Unexpected Error",
              MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  ExitProcess(1);
}

void Win32Sleeper::SleepMs(int milliseconds) {
  Sleep(static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0));
}

}  // namespace qm
