// The registry of the running system, through advapi32's 8-bit entry points.

#include <windows.h>

#include "1-platform/Registry.h"

namespace qm {

namespace {

// The predefined roots are 32-bit values that Windows sign-extends to pointer
// width (HKEY_LOCAL_MACHINE is (HKEY)(LONG_PTR)(LONG)0x80000002); other
// handles pass through unchanged.
HKEY ToHkey(RegHandle handle) {
  if ((handle >> 32) == 0 && (handle & 0xF0000000u) == 0x80000000u) {
    const auto low = static_cast<int32_t>(static_cast<uint32_t>(handle));
    return reinterpret_cast<HKEY>(static_cast<intptr_t>(low));
  }
  return reinterpret_cast<HKEY>(handle);
}

class Win32Registry final : public RegistryApi {
 public:
  long OpenKey(RegHandle hive, const std::string& keyPath, uint32_t options, uint32_t sam,
               RegHandle& key) override {
    HKEY opened = nullptr;
    const LONG rc = RegOpenKeyExA(ToHkey(hive), keyPath.c_str(), options, sam, &opened);
    key = reinterpret_cast<RegHandle>(opened);
    return rc;
  }

  long QueryValue(RegHandle key, const std::string& valueName, uint32_t& type, uint8_t* buffer,
                  uint32_t& size) override {
    DWORD valueType = type;
    DWORD valueSize = size;
    const LONG rc =
        RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &valueType, buffer, &valueSize);
    type = valueType;
    size = valueSize;
    return rc;
  }

  long CloseKey(RegHandle key) override { return RegCloseKey(ToHkey(key)); }
};

}  // namespace

RegistryApi& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace qm
