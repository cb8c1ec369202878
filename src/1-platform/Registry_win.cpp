// The registry of the running system, through RegGetValueW. The game is a
// 32-bit program whose installer writes the 32-bit view on 64-bit Windows
// (HKLM\Software\WOW6432Node), so that view is read; only reading is asked
// for, which every standard user may do.

#include <windows.h>

#include <string>

#include "1-platform/Registry.h"

namespace qm {

namespace {

constexpr DWORD kStringValue = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_RT_REG_MULTI_SZ |
                               RRF_NOEXPAND | RRF_SUBKEY_WOW6432KEY;

std::wstring Widen(const std::string& utf8) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

class Win32Registry final : public Registry {
 public:
  std::string ReadString(RegistryHive hive, const std::string& keyPath,
                         const std::string& valueName) override {
    const HKEY root = hive == RegistryHive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const std::wstring key = Widen(keyPath);
    const std::wstring name = Widen(valueName);
    // The size is asked first; a value that grows before it is read is
    // asked again, a few times.
    for (int attempt = 0; attempt < 3; ++attempt) {
      DWORD bytes = 0;
      if (RegGetValueW(root, key.c_str(), name.c_str(), kStringValue, nullptr, nullptr, &bytes) !=
          ERROR_SUCCESS) {
        return kRegistryError;
      }
      std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
      bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
      const LONG rc =
          RegGetValueW(root, key.c_str(), name.c_str(), kStringValue, nullptr, text.data(), &bytes);
      if (rc == ERROR_MORE_DATA) continue;
      if (rc != ERROR_SUCCESS) return kRegistryError;
      // Up to the first NUL: the text, or a multi-string's first string.
      text.resize(text.find(L'\0'));
      return Narrow(text);
    }
    return kRegistryError;
  }
};

}  // namespace

Registry& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace qm
