#pragma once
// The language blocks of a string table. The game's multilingual tables hold
// one block of entries per language, one after the other, every block the
// same length, US English first; the game shows the block of its language,
// and the first block where the table has none.

#include <cstddef>
#include <vector>

#include "2-iff/StringTable.h"

namespace qm {

// The code of a one-block table whose entries do not share one language.
inline constexpr int kMixedLanguages = 0;

// Where the names of one language start in a table.
struct BlockStart {
  size_t first = 0;   // index into the table's Entries
  bool held = false;  // false: the table lacks the language and `first` is the first block's
};

struct LanguageBlocks {
  std::vector<int> codes;  // each block's language code in table order, 0 read as 1
  size_t length = 0;       // entries in each block

  BlockStart Locate(int code) const;
};

// The blocks of `table`. Its entries form blocks when they fall into at least
// two runs of one language code each, every code in one run only, all runs
// the same length and none shorter than `namesShown`, the names its list
// shows. Anything else is one block of the whole table, which the game and
// Quillmark read as a single list: its code is the entries' language when
// they share one, else kMixedLanguages. An empty table has no blocks.
LanguageBlocks FindLanguageBlocks(const StringTable& table, size_t namesShown);

}  // namespace qm
