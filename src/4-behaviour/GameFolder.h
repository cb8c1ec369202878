#pragma once
// The game's folder: the files below it that Quillmark reads and writes, and
// the install folder that the game's installer left in the registry.

#include <string>

#include "1-platform/Registry.h"

namespace qm {

// Paths below gSimsPath. File lookups ignore letter case.
inline constexpr const char* kSimsExeTail = "\\sims.exe";
inline constexpr const char* kLiveTail = "\\gamedata\\live.iff";
inline constexpr const char* kBackupTail = "\\gamedata\\original_live.iff";
inline constexpr const char* kTempTail = "\\gamedata\\Dorvane_live.iff";

// HKEY_LOCAL_MACHINE\Software\Maxis\The Sims, value InstallPath: the folder,
// or kRegistryError when the key or value cannot be read.
std::string RegistryInstallPath(Registry& registry);

}  // namespace qm
