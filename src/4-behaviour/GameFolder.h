#pragma once
// The game's folder: the files below it that Quillmark reads and writes, and
// the install folder that the game's installer left in the registry.

#include <string>

#include "1-platform/Registry.h"
#include "1-platform/Ui.h"

namespace qm {

// Paths below gSimsPath, joined with backslashes: their lookups ignore
// letter case, natively too (FileSystem.h).
inline constexpr const char* kSimsExeTail = "\\sims.exe";
inline constexpr const char* kDataTail = "\\gamedata";
inline constexpr const char* kLiveTail = "\\gamedata\\live.iff";
inline constexpr const char* kBackupTail = "\\gamedata\\original_live.iff";
inline constexpr const char* kTempTail = "\\gamedata\\Dorvane_live.iff";
// Every save holds the lock of this file; it stays in place afterwards, as
// removing a lock file would race with the next save taking it.
inline constexpr const char* kLockTail = "\\gamedata\\Dorvane_live.lock";

// HKEY_LOCAL_MACHINE\Software\Maxis\The Sims, value InstallPath: the folder,
// or kRegistryError when the key or value cannot be read.
std::string RegistryInstallPath(Registry& registry);

// Stores `folder` as the setting that names the game's folder; when that
// fails, a message says so with the system's reason (the folder is then
// used until the program ends).
void StoreGameFolderSetting(Settings& settings, MessageBoxes& messages, const std::string& folder);

}  // namespace qm
