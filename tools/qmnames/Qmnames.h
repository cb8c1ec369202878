#pragma once
// qmnames, the console tool for name packs: lists, exports, imports and
// restores the seven name lists of a game folder's live.iff, through the
// same loading, backup and saving code as the window.

#include <iosfwd>
#include <string>
#include <vector>

namespace qm::qmnames {

// Exit status.
inline constexpr int kOk = 0;
inline constexpr int kPackRejected = 1;  // nothing was written
inline constexpr int kFileError = 2;     // live.iff is as it was
inline constexpr int kUsage = 64;

// Runs the tool on `args` (without the program's name). Output goes to
// `out`, messages and errors to `err`.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qm::qmnames
