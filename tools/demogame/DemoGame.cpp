// The demo game's files. live.iff is built as an IffFile from the test kit's
// parts and written by the IFF library's writer, so it has exactly the
// layout the editor writes back: chunks in order, the map last, every map
// offset and size field right.

#include "tools/demogame/DemoGame.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "testkit/IffParts.h"
#include "testkit/LanguageNames.h"

namespace qm::demo {

namespace {

using test::ModelChunk;

// A list of names: every prefix with every suffix, in that order.
std::vector<std::string> Combine(const std::vector<std::string>& prefixes,
                                 const std::vector<std::string>& suffixes) {
  std::vector<std::string> names;
  for (const std::string& p : prefixes) {
    for (const std::string& s : suffixes) names.push_back(p + s);
  }
  names.resize(kNamesPerBlock);
  return names;
}

// Deterministic filler bytes for chunks whose content does not matter.
Bytes Filler(size_t length, uint32_t seed) {
  Bytes out(length, '\0');
  uint32_t state = seed * 2654435761u + 1;
  for (char& c : out) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return out;
}

// An FD FF string table whose entries are in English (language byte 1).
Bytes EnglishTable(const std::vector<std::string>& values) {
  std::vector<test::TableEntry> entries;
  for (const std::string& value : values) entries.push_back({.value = value});
  return test::StringTableData(entries);
}

// A name table in the game's 17 languages, kNamesPerBlock names each: the
// US English block (the first, language byte 1) is DemoNames, the others are
// the test kit's names in their own scripts.
IffChunk NameChunk(int list, const char* label) {
  const std::vector<std::string> names = DemoNames(list);
  std::vector<test::TableEntry> usEnglish;
  for (const std::string& name : names) usEnglish.push_back({.value = name});
  usEnglish.front().comment = "first name of the list";
  usEnglish.back().comment = "not shown by the editor";
  return ModelChunk(
      "STR#", kNameChunkIds[static_cast<size_t>(list)], kNameChunkFlags, label,
      test::StringTableData(test::MultilingualEntries(list, kNamesPerBlock, usEnglish)));
}

}  // namespace

std::vector<std::string> DemoNames(int list) {
  std::vector<std::string> names;
  switch (list) {
    case 0:  // male townies
      names = Combine(
          {"Al", "Bren", "Cal", "Dor", "Ed", "Fen", "Gar", "Hal", "Ivo", "Jor", "Kel", "Lor"},
          {"an", "ric", "ton", "vin", "do"});
      names[2] = "Jos\xE9";     // José
      names[17] = "J\xFCrgen";  // Jürgen
      break;
    case 1:  // female townies
      names =
          Combine({"Am", "Bel", "Cor", "Dai", "El", "Fay", "Gwen", "Hel", "Isa", "Jo", "Kay", "Lu"},
                  {"a", "ine", "elle", "ra", "wyn"});
      names[4] =
          "Ren\xE9"
          "e";  // Renée
      break;
    case 2:  // male tourists
      names = Combine({"Ari", "Bo", "Cas", "Dev", "Emm", "Fitz", "Gus", "Hux", "Ig", "Jas"},
                      {"per", "ton", "iel", "o", "ett", "an"});
      names[9] = "Bj\xF6rn";  // Björn
      break;
    case 3:  // female tourists
      names = Combine({"Ada", "Bri", "Cle", "Del", "Eve", "Flo", "Gia", "Hana", "Iri", "Jun"},
                      {"lyn", "ssa", "ria", "nne", "tte", "ya"});
      names[11] = "Zo\xEB";    // Zoë
      names[20] = "Mar\x8Dy";  // 0x8D: no character in Windows-1252
      break;
    case 4:  // boys
      names = Combine({"Ben", "Col", "Dex", "Fin", "Gil", "Hugo", "Ike", "Jem", "Kit", "Leo"},
                      {"", "ny", "by", "sie", "ley", "o"});
      names[6] = "Fran\xE7ois";  // François
      break;
    case 5:  // girls
      names =
          Combine({"Abi", "Bea", "Cici", "Dot", "Effie", "Gabi", "Hattie", "Ivy", "Jess", "Kiki"},
                  {"", "-Mae", " Rose", "lou", "bell", "sy"});
      names[3] = "Ana\xEFs";  // Anaïs
      break;
    case 6:  // last names
      names = Combine(
          {"Ash", "Black", "Clay", "Dun", "Fair", "Green", "Hart", "Lang", "Marsh", "Stone"},
          {"wood", "ford", "by", "well", "ton", "more"});
      names[1] = "M\xFCller";     // Müller
      names[55] = "Ch\xE2telet";  // beyond the names the editor shows
      break;
    default:
      throw std::out_of_range("demo name list " + std::to_string(list));
  }
  return names;
}

IffFile DemoLiveFile() {
  IffFile file = test::EmptyIffFile();

  std::vector<IffChunk>& c = file.Chunks;
  c.push_back(ModelChunk("BHAV", 0x1000, 0x0010, "Idle", Filler(300, 1)));
  c.push_back(NameChunk(0, "Male townie first names"));
  c.push_back(ModelChunk("OBJD", 0x0080, 0x0010, "Demo armchair", Filler(218, 2)));
  c.push_back(NameChunk(1, "Female townie first names"));
  c.push_back(ModelChunk("STR#", 0x0080, 0x0010, "Interaction names",
                         EnglishTable({"Sit", "Nap", "Read", "Chat", "Wave", "Joke", "Hug", "Dance",
                                       "Eat", "Cook", "Clean", "Leave"})));
  c.push_back(ModelChunk("BHAV", 0x1001, 0x0010, "Greet neighbour", Filler(57, 3)));
  c.push_back(NameChunk(6, "Tourist last names"));
  c.push_back(ModelChunk("CTSS", 0x0081, 0x0010, "Catalog text",
                         EnglishTable({"Demo Armchair", "Comfortable, and entirely made up."})));
  c.push_back(NameChunk(2, "Male tourist first names"));
  c.push_back(ModelChunk("GLOB", 0x0080, 0x0000, "Semi-global", Bytes("PersonGlobals") + '\0'));
  c.push_back(NameChunk(3, "Female tourist first names"));
  c.push_back(ModelChunk("BHAV", 0x1002, 0x0010, "Wander", Filler(4101, 4)));
  c.push_back(NameChunk(4, "Boy tourist first names"));
  c.push_back(ModelChunk("BCON", 0x1000, 0x0010, "Tuning", Filler(9, 5)));
  c.push_back(NameChunk(5, "Girl tourist first names"));
  c.push_back(ModelChunk("STR#", 0x012D, 0x0000, "Messages",
                         EnglishTable({"Welcome to the demo.", "Caf\xE9 closed."})));
  c.push_back(ModelChunk("SPR2", 0x0100, 0x0010, "Sprite", Filler(2048, 6)));
  c.push_back(ModelChunk("FWAV", 0x0001, 0x0000, "", Bytes()));
  // One map entry per chunk; a label's pad byte is 0xA3.
  test::AddMapOfEveryChunk(file, '\xA3');
  return file;
}

Bytes DemoLiveImage() {
  IffFile file = DemoLiveFile();
  Bytes image;
  gsWriteIFFImage(file, image);
  return image;
}

std::string WriteDemoGame(const std::string& folder) {
  namespace fs = std::filesystem;
  try {
    // The folder's name is UTF-8 (as the program's paths are) on every system.
    const fs::path root(std::u8string(folder.begin(), folder.end()));
    fs::create_directories(root / "GameData");
    const Bytes image = DemoLiveImage();
    const std::string placeholder =
        "MZ Quillmark demo game: a placeholder for the game's program.\r\n";
    for (const auto& [path, bytes] : {std::pair{root / "Sims.exe", placeholder},
                                      std::pair{root / "GameData" / "live.iff", image}}) {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      out.close();
      if (!out) return "cannot write " + path.string();
    }
    return "";
  } catch (const std::exception& e) {
    return e.what();
  }
}

}  // namespace qm::demo
