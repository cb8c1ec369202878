#pragma once
// A made-up game folder for trying Quillmark out and for end-to-end tests: a
// placeholder Sims.exe and GameData/live.iff holding the seven name lists'
// string tables among chunks of other types and sizes, with a resource map
// that has an entry per chunk. Each name table holds a block of names in
// each of 17 languages, US English first, as the game's own tables do.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "2-iff/IffFile.h"

namespace qm::demo {

// Chunk ids of the seven name lists, in list order; all STR# with flags 0x0010.
inline constexpr std::array<uint16_t, 7> kNameChunkIds = {0x96, 0x97, 0xA1, 0xA2, 0xA3, 0xA4, 0xA0};
inline constexpr uint16_t kNameChunkFlags = 0x0010;
// Entries in each language block of a name table: more than any list shows.
inline constexpr int kNamesPerBlock = 60;

// The US English names of list `list` (0..6), entry 1 first. Some hold bytes
// above 127.
std::vector<std::string> DemoNames(int list);

// The IFF image of the demo live.iff: header, chunks, and the map last.
IffFile DemoLiveFile();
Bytes DemoLiveImage();

// Writes <folder>/Sims.exe and <folder>/GameData/live.iff, creating the
// folders. Returns the empty text, or what went wrong.
std::string WriteDemoGame(const std::string& folder);

}  // namespace qm::demo
