// The system's registry: under Wine the real one, read through RegGetValueW
// in the 32-bit view; natively one that holds nothing.

#include <gtest/gtest.h>

#include <string>

#include "1-platform/Registry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qm {
namespace {

const std::string kKey = "Software\\Quillmark Tests\\Registry";

#ifdef _WIN32
// Writes the value `name` of kKey in the view `view` (KEY_WOW64_32KEY or
// KEY_WOW64_64KEY); false when the key cannot be written here.
bool Write(REGSAM view, const wchar_t* name, DWORD type, const std::wstring& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Quillmark Tests\\Registry", 0, nullptr, 0,
                      KEY_SET_VALUE | view, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG rc = RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

TEST(SystemRegistry, ReadsStringsOfThe32BitViewAsUtf8) {
  if (!Write(KEY_WOW64_32KEY, L"InstallPath", REG_SZ, L"D:\\Jeux\\Biblioth\u00E8que") ||
      !Write(KEY_WOW64_32KEY, L"Empty", REG_SZ, L"") ||
      !Write(KEY_WOW64_32KEY, L"Expandable", REG_EXPAND_SZ, L"%ProgramFiles%\\Maxis") ||
      !Write(KEY_WOW64_64KEY, L"Only64", REG_SZ, L"C:\\64")) {
    GTEST_SKIP() << "HKEY_LOCAL_MACHINE cannot be written here (Wine lets anyone)";
  }
  Registry& registry = SystemRegistry();
  const auto read = [&](const std::string& name) {
    return registry.ReadString(RegistryHive::LocalMachine, kKey, name);
  };
  EXPECT_EQ(read("InstallPath"), "D:\\Jeux\\Biblioth\xC3\xA8que");
  EXPECT_EQ(read("Empty"), "");
  EXPECT_EQ(read("Expandable"), "%ProgramFiles%\\Maxis");
  EXPECT_EQ(read("Only64"), kRegistryError);
  EXPECT_EQ(read("NoSuchValue"), kRegistryError);
  EXPECT_EQ(registry.ReadString(RegistryHive::LocalMachine, kKey + "\\Missing", "InstallPath"),
            kRegistryError);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Quillmark Tests");
}
#else
TEST(SystemRegistry, HoldsNothingNatively) {
  EXPECT_EQ(SystemRegistry().ReadString(RegistryHive::LocalMachine, kKey, "InstallPath"),
            kRegistryError);
}
#endif

}  // namespace
}  // namespace qm
