#pragma once
// String-table chunks ("STR#", and "CTSS" by the same layout): decoding a
// chunk of a loaded IffFile into a StringTable and encoding it back.

#include <string>
#include <string_view>
#include <vector>

#include "2-iff/IffFile.h"

namespace qm {

struct StringEntry {
  Bytes LanguageCode;  // 1 byte
  Bytes Value;         // without its terminator
  Bytes Comment;       // without its terminator
};

struct StringTable {
  Bytes FormatCode;  // 2 bytes, never examined
  Bytes CountBytes;  // 2 bytes, little-endian, never recomputed
  std::vector<StringEntry> Entries;
  Bytes Trailer;  // bytes after the last entry
};

// Decodes the first chunk of the type ("CTSS" when isCTSS, else "STR#") whose
// IdFlags equal `idFlags` byte for byte. No matching chunk leaves Entries
// empty and reports nothing.
void gsReadSTRSegment(const IffFile& file, StringTable& table, std::string_view idFlags,
                      bool isCTSS);

// Encodes `table` into every matching chunk's Data and sets its Size.
void gsWriteSTRSegment(IffFile& file, const StringTable& table, std::string_view idFlags,
                       bool isCTSS);

}  // namespace qm
