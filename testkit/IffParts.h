#pragma once
// The parts of the game's IFF files, spelled out byte by byte, for the
// tests, the benchmarks' inputs, the fuzz corpus and the demo game: integers
// in either byte order, the file signature, a chunk, an FD FF string table's
// data, and a resource map with an entry per chunk. Built here without the
// IFF library's writer, so that files made with them can check it.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "2-iff/IffFile.h"

namespace qm::test {

using Bytes = std::string;

Bytes Be32(uint32_t v);
Bytes Le32(uint32_t v);
Bytes Be16(uint16_t v);
Bytes Le16(uint16_t v);

// Bytes from a list of values 0..255: B({0xFD, 0xFF, 0x02, 0x00}).
Bytes B(std::initializer_list<int> values);

// The signature of the game's IFF files, padded to 60 bytes.
Bytes DefaultSignature();

// A chunk as stored: type, size (big-endian; `sizeField` replaces the
// default data + 76), ID (big-endian), flags, the label padded with 0x00 to
// 64 bytes, then the data.
Bytes ChunkBytes(std::string_view type, uint16_t id, uint16_t flags, std::string_view label,
                 std::string_view data, std::optional<int32_t> sizeField = std::nullopt);

// One string of a string table, with its language byte.
struct TableEntry {
  Bytes value{};
  Bytes comment{};
  char language = '\x01';
};

// A string table's data: the format code, the little-endian entry count,
// per entry the language byte and the value and comment each ended by 0x00,
// then `trailer`.
Bytes StringTableData(const std::vector<TableEntry>& entries, Bytes format = "\xFD\xFF",
                      Bytes trailer = {});

// The same chunk as ChunkBytes (the default size) in the IFF library's
// model.
IffChunk ModelChunk(std::string_view type, uint16_t id, uint16_t flags, std::string_view label,
                    Bytes data);

// A model with the game's signature and no chunks; the writer fills in the
// header's map offset.
IffFile EmptyIffFile();

// Gives `file` a map with an entry per chunk: a group per chunk type in order
// of first appearance, each entry's label the chunk's up to its first 0x00.
// A label ends with 0x00, then `pad` when the map's byte count through that
// 0x00 is odd. Entry offsets are left for the writer.
void AddMapOfEveryChunk(IffFile& file, char pad);

}  // namespace qm::test
