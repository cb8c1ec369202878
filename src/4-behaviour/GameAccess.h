#pragma once
// Whether the game's data folder may be written, what to tell a player who
// may only read it, and the copy of live.iff that Windows keeps in the
// user's VirtualStore for programs that run without a manifest.

#include <string>

#include "1-platform/Environment.h"
#include "1-platform/FileSystem.h"

namespace qm {

// Tries what a save needs: creates a uniquely named empty file in
// `folder`\gamedata and removes it again. False only when the system refuses
// it for want of rights (access denied, which a read-only medium gives too);
// any other failure is left for the save itself to report.
bool CanWriteGameData(FileSystem& files, const std::string& folder);

// The explanation for a data folder that cannot be written: which folder,
// that Windows protects it, and that the names can be read but not saved.
std::string ProtectedFolderText(const std::string& folder);
inline constexpr const char* kProtectedTitle = "Game Folder Protected";

// The command line that starts the program on `game` for one run:
// --game "FOLDER".
std::string GameOptionArguments(const std::string& game);

// The game folder's counterpart in the user's VirtualStore
// (%LOCALAPPDATA%\VirtualStore\<the folder without its drive>) when a
// gamedata\live.iff lies there; empty when there is none, or the folder is
// not on a drive letter.
std::string VirtualStoreFolder(Environment& environment, FileSystem& files,
                               const std::string& game);

}  // namespace qm
