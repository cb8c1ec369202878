#pragma once
// Steam's list of its libraries, steamapps/libraryfolders.vdf: nested quoted
// keys and values in braces, backslashes and quotes escaped with a backslash.
//
//   "libraryfolders"
//   {
//     "0" { "path" "C:\\Program Files (x86)\\Steam" "apps" { "2300" "1234" } }
//     "1" { "path" "D:\\SteamLibrary" }
//   }

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Limits past which a file counts as damaged: no real list comes near them.
inline constexpr size_t kLibraryFoldersMaxBytes = 1 << 20;
inline constexpr int kLibraryFoldersMaxDepth = 8;
inline constexpr size_t kLibraryFoldersMaxLibraries = 64;
inline constexpr size_t kLibraryFoldersMaxPathBytes = 1024;

// The "path" value of each library, in the file's order, as written (Linux
// or Windows paths, unescaped). False, with `paths` empty, when the text is
// not such a list or passes one of the limits.
bool ParseLibraryFolders(std::string_view text, std::vector<std::string>& paths);

}  // namespace qm
