#pragma once
// Name packs: the seven name lists as a plain UTF-8 text file, to share,
// edit in any text editor and take back in.
//
//   [Male Townie First Names]
//   Alder
//   Brisa
//   ...
//
// One section per list, headed by its option caption (any letter case) or
// its number [0] to [6], then one name per line in row order up to the next
// heading. Empty lines at the end of a section are ignored, empty lines
// between names are empty names; lines that begin with '#' are comments.
//
// A name line that begins with a backslash is an escaped name: that
// backslash is dropped, and in the rest "\\" is a backslash and "\xHH" the
// byte HH in the game's code page; everything else stands for itself. The
// writer escapes only a name that would not come back byte for byte
// otherwise: one that begins with '#', '[' or a backslash, begins or ends
// with a space (written "\x20", which no editor trims), an empty last name
// of a list (a lone backslash), and one holding a control character or a
// byte that the code page gives no character. A pack whose first line is
// the header of the packs written before escapes existed has no escapes.
//
// Names are bytes in the game's code page; the file is UTF-8 (written with
// a byte-order mark and CR LF; read with or without the mark, CR LF or LF).
// A file with the mark must be UTF-8, line by line; one without it that is
// not UTF-8 is read as text in the code page.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "1-platform/CodePage.h"
#include "3-state/AppState.h"

namespace qm {

// "Name packs (*.txt)", the kind the file dialogs offer.
inline constexpr const char* kNamePackDescription = "Name packs (*.txt)";
inline constexpr const char* kNamePackPattern = "*.txt";
inline constexpr const char* kNamePackExtension = "txt";

// The largest pack read: seven lists of names fill about 10 KB.
inline constexpr size_t kMaxPackBytes = 1 << 20;

// The code page of each list's names (the lists of one language may take
// another's block where their table lacks it).
using ListCodePages = std::array<CodePage*, kListCount>;

// The lists as a pack, every name as it will be read back; `language`, when
// given, is named on a comment line ("# Language: Polish").
std::string WriteNamePack(const NameLists& lists, const ListCodePages& codePages,
                          std::string_view language = {});
std::string WriteNamePack(const NameLists& lists, CodePage& codePage);

struct PackRejection {
  int line = 0;  // counted from 1
  std::string reason;
};

struct PackReading {
  bool isPack = false;  // the text has at least one section heading
  NameLists lists;      // the lists it started from, with the pack's names put in
  int taken = 0;        // names taken from the pack (unchanged ones included)
  std::vector<PackRejection> rejected;
  unsigned codePage = 0;  // the code page the text was read in; 0 for UTF-8
};

// Reads `pack` over `current`. A name is taken when it is at most 25 bytes
// in the code page and holds only letters, digits, hyphens, spaces and
// double quotes, or letters of the game's scripts beyond ASCII; a name equal to the one already
// in its row is taken as it is. Anything else is rejected with its line. A
// section that is missing leaves its list as it is; a shorter one leaves
// the later rows.
// A pack that is not UTF-8 is read in list 0's code page.
PackReading ReadNamePack(std::string_view pack, const NameLists& current,
                         const ListCodePages& codePages);
PackReading ReadNamePack(std::string_view pack, const NameLists& current, CodePage& codePage);

// "12 names taken, 2 rejected.", the code page when the text was not UTF-8,
// and the first rejected lines with their reasons, for the box shown after
// an import.
std::string DescribeReading(const PackReading& reading, size_t linesShown = 5);

// "The name pack FILE is larger than 1 MiB ..." for a pack not read.
std::string PackTooLargeText(const std::string& path);

}  // namespace qm
