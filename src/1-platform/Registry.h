#pragma once
// Reading a text value from the Windows registry: the game's install folder,
// Steam's folder.

#include <string>

namespace qm {

enum class RegistryHive { LocalMachine, CurrentUser };

// What ReadString gives for a key or value that cannot be read.
inline constexpr const char* kRegistryError = "ERROR";

class Registry {
 public:
  virtual ~Registry() = default;
  // The string value `valueName` of the key `keyPath` in the 32-bit view of
  // `hive`, in UTF-8: an expandable string as stored, a multi-string's first
  // string. kRegistryError when the key or the value is missing, cannot be
  // read or holds no string; an empty value gives the empty text.
  virtual std::string ReadString(RegistryHive hive, const std::string& keyPath,
                                 const std::string& valueName) = 0;
};

// The registry of the running system (natively, one that holds nothing).
Registry& SystemRegistry();

}  // namespace qm
