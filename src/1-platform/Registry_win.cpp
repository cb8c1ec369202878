// The registry of the running system, through RegGetValueW. The game is a
// 32-bit program whose installer writes the 32-bit view on 64-bit Windows
// (HKLM\Software\WOW6432Node), so that view is read; only reading is asked
// for, which every standard user may do.

#include <windows.h>

#include <string>

#include "1-platform/Registry.h"
#include "1-platform/Utf16_win.h"

namespace qm {

namespace {

constexpr DWORD kStringValue = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_RT_REG_MULTI_SZ |
                               RRF_NOEXPAND | RRF_SUBKEY_WOW6432KEY;

class Win32Registry final : public Registry {
 public:
  std::string ReadString(RegistryHive hive, const std::string& keyPath,
                         const std::string& valueName) override {
    const HKEY root = hive == RegistryHive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const std::wstring key = Utf16(keyPath);
    const std::wstring name = Utf16(valueName);
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
      return Utf8(text);
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
