// The registry lookup of the game's install folder. The key is opened
// read-only in the 32-bit view: the game is a 32-bit program whose installer
// writes that view on 64-bit Windows, and asking for write access to
// HKEY_LOCAL_MACHINE is refused to every standard user.

#include <cstdint>
#include <string>

#include "1-platform/Failure.h"
#include "1-platform/Registry.h"

namespace qm {

namespace {
constexpr int32_t kDefaultBufferSize = 255;
constexpr uint32_t kLookupAccess = kKeyQueryValue | kKeyWow64_32Key;
}  // namespace

std::string GetRegistryString(RegHandle hive, const std::string& keyPath,
                              const std::string& valueName, int32_t& bufferSize, RegistryApi& api) {
  if (bufferSize == 0) bufferSize = kDefaultBufferSize;
  if (bufferSize < 0) {
    Fail(Fault::InvalidArgument, "registry buffer size " + std::to_string(bufferSize));
  }
  // Spaces, so that a value stored without its terminating zero leaves no
  // zero byte behind it.
  std::string buffer(static_cast<size_t>(bufferSize), ' ');

  RegHandle key = 0;
  if (api.OpenKey(hive, keyPath, 0, kLookupAccess, key) != 0) return kRegistryError;

  uint32_t type = kRegSz;  // what the registry reports back is not examined
  uint32_t size = static_cast<uint32_t>(bufferSize);
  const long rc =
      api.QueryValue(key, valueName, type, reinterpret_cast<uint8_t*>(buffer.data()), size);
  bufferSize = static_cast<int32_t>(size);

  std::string result = kRegistryError;
  if (rc == 0) {
    const size_t end = buffer.find('\0');
    if (end == std::string::npos) {
      api.CloseKey(key);
      Fail(Fault::InvalidArgument,
           "registry value " + valueName + " of " + keyPath + " holds no terminating zero");
    }
    result = buffer.substr(0, end);
  }
  api.CloseKey(key);
  return result;
}

}  // namespace qm
