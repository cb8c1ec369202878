#pragma once
// A game folder on a MemoryFileSystem: Sims.exe and GameData\live.iff, the
// latter made of the test kit's parts and written by the IFF library's
// writer. live.iff holds the seven name tables (FD FF string tables with
// more entries than the lists use, some names with bytes above 127), chunks
// of other types and sizes between them, and a resource map with an entry
// per chunk.

#include <cstdint>
#include <string>
#include <vector>

#include "2-iff/BinarySupport.h"
#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "4-behaviour/NameEditor.h"
#include "support/MemoryFileSystem.h"
#include "testkit/IffParts.h"
#include "testkit/LanguageNames.h"

namespace qm::test {

inline const std::string kGameRoot = "C:\\Games\\The Sims";
inline const std::string kLivePath = kGameRoot + "\\gamedata\\live.iff";
inline const std::string kBackupPath = kGameRoot + "\\gamedata\\original_live.iff";
inline const std::string kTempPath = kGameRoot + "\\gamedata\\Dorvane_live.iff";
inline const std::string kLockPath = kGameRoot + "\\gamedata\\Dorvane_live.lock";
inline const std::string kSimsExePath = kGameRoot + "\\sims.exe";

// Entry `entry` (0-based) of list `list`'s table. Every fourth name of the
// table carries bytes above 127 (0xE9, 0xF8: "é", "ø" in Windows-1252).
inline std::string FixtureName(int list, int entry) {
  static const char* const kStems[] = {"Alder", "Brisa",  "Corvin", "Dalia", "Emrys",  "Fenna",
                                       "Galen", "Hester", "Ivo",    "Juna",  "Kestrel"};
  std::string stem = kStems[entry % 11];
  if (entry % 4 == 1)
    stem =
        "Ren\xE9"
        "e";
  if (entry % 8 == 3) stem = "S\xF8ren";
  return stem + "-" + static_cast<char>('a' + list) + std::to_string(entry);
}

// How many entries list `list`'s table holds: more than the list uses.
inline int FixtureEntryCount(int list) { return kNameListInfo[list].namesUsed + 2 + list; }

struct GameLayout {
  int omitList = -1;   // this list's chunk is left out
  int shortList = -1;  // this list's table holds one name fewer than the list uses
  // The tables hold the test kit's 17 language blocks, but list 6's only
  // US English, French and German.
  bool multilingual = false;
};

namespace detail {

inline Bytes Pattern(size_t length, int seed) {
  Bytes data(length, '\0');
  for (size_t i = 0; i < length; ++i) data[i] = static_cast<char>((i * 37 + seed) & 0xFF);
  return data;
}

// An FD FF string table of `count` entries whose values `name` gives.
template <typename NameOf>
Bytes Table(int count, NameOf name, Bytes trailer = {}) {
  std::vector<TableEntry> entries;
  for (int i = 0; i < count; ++i) {
    entries.push_back({.value = name(i),
                       .comment = i % 5 == 0 ? "note " + std::to_string(i) : "",
                       .language = static_cast<char>(i % 3 == 0 ? 2 : 1)});
  }
  return StringTableData(entries, "\xFD\xFF", std::move(trailer));
}

inline void AddNameList(IffFile& file, int list, const GameLayout& layout) {
  if (list == layout.omitList) return;
  const NameListInfo& info = kNameListInfo[list];
  const int count = list == layout.shortList ? info.namesUsed - 1 : FixtureEntryCount(list);
  const Bytes idFlags = HexTextToBytes(info.idText);
  const uint16_t id = static_cast<uint16_t>(static_cast<uint8_t>(idFlags[0]) << 8 |
                                            static_cast<uint8_t>(idFlags[1]));
  // List 3's table ends with a few bytes after its last entry.
  const Bytes trailer = list == 3 ? Bytes("\x00\x07\x00", 3) : Bytes();
  if (layout.multilingual) {
    std::vector<TableEntry> entries = MultilingualEntries(list, info.namesUsed);
    if (list == 6) entries.resize(static_cast<size_t>(info.namesUsed) * 3);
    file.Chunks.push_back(ModelChunk("STR#", id, 0x0010, info.caption,
                                     StringTableData(entries, "\xFD\xFF", trailer)));
    return;
  }
  file.Chunks.push_back(
      ModelChunk("STR#", id, 0x0010, info.caption,
                 Table(
                     count, [list](int i) { return FixtureName(list, i); }, trailer)));
}

}  // namespace detail

// The bytes of a live.iff as described at the top.
inline Bytes BuildLiveIff(const GameLayout& layout = {}) {
  using namespace detail;
  IffFile file = EmptyIffFile();
  file.Chunks.push_back(ModelChunk("BCON", 0x1000, 0x0000, "Tuning", Pattern(12, 1)));
  AddNameList(file, 0, layout);
  file.Chunks.push_back(ModelChunk("OBJD", 0x0080, 0x0010, "Lamp", Pattern(400, 2)));
  AddNameList(file, 1, layout);
  AddNameList(file, 6, layout);
  file.Chunks.push_back(ModelChunk("CTSS", 0x0096, 0x0010, "Catalog text", Table(3, [](int i) {
                                     return "Catalog line " + std::to_string(i);
                                   })));
  AddNameList(file, 2, layout);
  file.Chunks.push_back(ModelChunk("GLOB", 0x0081, 0x0010, "Semi", Pattern(3, 3)));
  AddNameList(file, 3, layout);
  AddNameList(file, 4, layout);
  file.Chunks.push_back(ModelChunk("STR#", 0x0012, 0x0010, "Dialog text",
                                   Table(5, [](int i) { return "Dialog " + std::to_string(i); })));
  AddNameList(file, 5, layout);
  AddMapOfEveryChunk(file, '\0');

  Bytes image;
  gsWriteIFFImage(file, image);
  return image;
}

// Sims.exe and GameData\live.iff (spelled as the game spells them) below kGameRoot.
inline void InstallGame(MemoryFileSystem& fs, const GameLayout& layout = {},
                        bool withSimsExe = true) {
  if (withSimsExe) fs.AddFile(kGameRoot + "\\Sims.exe", "MZ placeholder");
  fs.AddFile(kGameRoot + "\\GameData\\live.iff", BuildLiveIff(layout));
}

// A saved image read back, for checks.
inline IffFile ReadBack(const Bytes& image) {
  IffFile file;
  gsReadIFFImage(file, image);
  return file;
}

inline StringTable NameTable(const IffFile& file, int list) {
  StringTable table;
  gsReadSTRSegment(file, table, HexTextToBytes(kNameListInfo[list].idText), false);
  return table;
}

}  // namespace qm::test
