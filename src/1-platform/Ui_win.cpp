#include "1-platform/Ui_win.h"

#include <windows.h>

#include <string>

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

std::string SettingsKey(const std::string& app, const std::string& section) {
  return "Software\\" + app + "\\" + section;
}

}  // namespace

void Win32MessageBoxes::Show(const std::string& text, const std::string& title, MessageIcon icon) {
  MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(), MB_OK | IconStyle(icon));
}

bool Win32MessageBoxes::Ask(const std::string& text, const std::string& title) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(), MB_YESNO | MB_ICONQUESTION) ==
         IDYES;
}

Choice Win32MessageBoxes::AskYesNoCancel(const std::string& text, const std::string& title) {
  switch (MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(),
                      MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
      return Choice::Yes;
    case IDNO:
      return Choice::No;
    default:
      return Choice::Cancel;
  }
}

std::string Win32Settings::Get(const std::string& app, const std::string& section,
                               const std::string& key) {
  const std::string path = SettingsKey(app, section);
  DWORD size = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                   &size) != ERROR_SUCCESS) {
    return "";
  }
  std::string value(size, '\0');
  if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr,
                   value.data(), &size) != ERROR_SUCCESS) {
    return "";
  }
  value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
  return value;
}

SysCode Win32Settings::Save(const std::string& app, const std::string& section,
                            const std::string& key, const std::string& value) {
  HKEY handle = nullptr;
  LSTATUS status =
      RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return static_cast<SysCode>(status);
  status =
      RegSetValueExA(handle, key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
  return static_cast<SysCode>(status);
}

void Win32FatalErrors::Fatal(int32_t number, const std::string& description) {
  const std::string text = "Error " + std::to_string(number) + "\r\n" + description;
  MessageBoxA(GetActiveWindow(), text.c_str(), "Unexpected Error",
              MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  ExitProcess(1);
}

void Win32Sleeper::SleepMs(int milliseconds) {
  Sleep(static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0));
}

}  // namespace qm
