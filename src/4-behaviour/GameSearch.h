#pragma once
// Where players have the game when its installer's registry value is missing
// or names no game: the folders the releases install to, looked at in a fixed
// order. A folder counts only when it holds the game's sims.exe and
// gamedata\live.iff, so a release laid out otherwise is simply not found.
// Portable: natively (Linux paths, HOME) it searches the user's Steam
// libraries just as it does under Wine.

#include <string>

#include "1-platform/Environment.h"
#include "1-platform/FileSystem.h"
#include "1-platform/Registry.h"

namespace qm {

struct SearchServices {
  Registry& registry;
  FileSystem& files;
  Environment& environment;
};

// The game's folder in a Steam library: steamapps\common\<this>.
inline constexpr const char* kSteamGameFolder = "The Sims Legacy Collection";

// Whether `folder` holds sims.exe; never for the empty text or "ERROR".
bool HoldsSimsExe(const std::string& folder, const SearchServices& services);

// The first folder that holds the game, or the empty text, from:
// 1. the Steam libraries of this system: those that Steam's
//    steamapps\libraryfolders.vdf lists, and Steam's own folder
//    (HKEY_CURRENT_USER\Software\Valve\Steam, value SteamPath);
// 2. the Steam libraries of the Linux user (~/.steam/steam,
//    ~/.local/share/Steam and those their lists name), natively and under Wine;
// 3. <Program Files>\EA Games\The Sims Legacy, then the classic folders
//    <Program Files (x86)>\Maxis\The Sims and <Program Files>\Maxis\The Sims.
std::string SearchKnownPlaces(const SearchServices& services);

// The registry's folder when it holds sims.exe (then nothing else is looked
// at), otherwise SearchKnownPlaces.
std::string LocateGame(const std::string& registryFolder, const SearchServices& services);

}  // namespace qm
