#pragma once
// Reading text values from the Windows registry: the game's install folder,
// Steam's folder.

#include <cstdint>
#include <string>

namespace qm {

// Registry access as advapi32's 8-bit entry points offer it; handles and
// masks as plain integers so that the lookup is portable and testable.
using RegHandle = uintptr_t;
inline constexpr RegHandle kHkeyCurrentUser = 0x80000001;
inline constexpr RegHandle kHkeyLocalMachine = 0x80000002;
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr uint32_t kRegSz = 1;

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // Each returns 0 on success, otherwise a Windows system error code.
  virtual long OpenKey(RegHandle hive, const std::string& keyPath, uint32_t options, uint32_t sam,
                       RegHandle& key) = 0;
  virtual long QueryValue(RegHandle key, const std::string& valueName, uint32_t& type,
                          uint8_t* buffer, uint32_t& size) = 0;
  virtual long CloseKey(RegHandle key) = 0;
};

// The registry of the running system (advapi32 on Windows; natively a
// registry that holds nothing).
RegistryApi& SystemRegistry();

// What GetRegistryString gives for a key or value that cannot be read.
inline constexpr const char* kRegistryError = "ERROR";

// The text of one registry value, or kRegistryError when the key cannot be opened or
// the value cannot be read. bufferSize: largest byte count to accept, NUL
// included; 0 stands for 255; afterwards it holds the count the registry
// reported. A buffer with no NUL after the query is an invalid-argument
// failure thrown to the caller (the key is closed first).
std::string GetRegistryString(RegHandle hive, const std::string& keyPath,
                              const std::string& valueName, int32_t& bufferSize,
                              RegistryApi& api = SystemRegistry());

}  // namespace qm
