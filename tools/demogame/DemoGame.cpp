// The demo game's files. live.iff is built as an IffFile and written by the
// IFF library's writer, so it has exactly the layout the editor writes back:
// chunks in order, the map last, every map offset and size field right.

#include "tools/demogame/DemoGame.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace qm::demo {

namespace {

Bytes Be16(uint16_t v) { return Bytes{static_cast<char>(v >> 8), static_cast<char>(v)}; }
Bytes Le16(uint16_t v) { return Bytes{static_cast<char>(v), static_cast<char>(v >> 8)}; }

// A list of names: every prefix with every suffix, in that order.
std::vector<std::string> Combine(const std::vector<std::string>& prefixes,
                                 const std::vector<std::string>& suffixes) {
  std::vector<std::string> names;
  for (const std::string& p : prefixes) {
    for (const std::string& s : suffixes) names.push_back(p + s);
  }
  names.resize(kNamesPerTable);
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

// An FD FF string table: format code, little-endian count, then per entry a
// language byte (1, English), the value and the comment, each zero-ended.
Bytes StringTableData(const std::vector<std::string>& values,
                      const std::vector<std::string>& comments = {}) {
  Bytes data = "\xFD\xFF" + Le16(static_cast<uint16_t>(values.size()));
  for (size_t i = 0; i < values.size(); ++i) {
    data += '\x01';
    data += values[i];
    data += '\0';
    if (i < comments.size()) data += comments[i];
    data += '\0';
  }
  return data;
}

IffChunk MakeChunk(const char* type, uint16_t id, uint16_t flags, const std::string& label,
                   Bytes data) {
  IffChunk chunk;
  chunk.Type = type;
  chunk.Size = LongToBEBytes(static_cast<int32_t>(kChunkHeaderSize + data.size()));
  chunk.IdFlags = Be16(id) + Be16(flags);
  Bytes padded = label;
  padded.resize(64, '\0');
  chunk.Label = std::move(padded);
  chunk.Data = std::move(data);
  return chunk;
}

IffChunk NameChunk(int list, const char* label) {
  std::vector<std::string> comments(kNamesPerTable);
  comments[0] = "first name of the list";
  comments[kNamesPerTable - 1] = "not shown by the editor";
  return MakeChunk("STR#", kNameChunkIds[static_cast<size_t>(list)], kNameChunkFlags, label,
                   StringTableData(DemoNames(list), comments));
}

// One map group per chunk type in order of first appearance, one entry per
// chunk. A label ends with 0x00, then a pad byte when the map's byte count
// through that 0x00 is odd.
void AddMap(IffFile& file) {
  for (const IffChunk& chunk : file.Chunks) {
    const Bytes code = ReverseBytes4(chunk.Type);
    RsmpType* group = nullptr;
    for (RsmpType& g : file.RsmpTypes) {
      if (g.Code == code) group = &g;
    }
    if (!group) {
      group = &file.RsmpTypes.emplace_back();
      group->Code = code;
    }
    RsmpEntry entry;
    entry.Offset = LongToLEBytes(0);  // set by the writer
    entry.IdFlags = Bytes{chunk.IdFlags[1], chunk.IdFlags[0], chunk.IdFlags[3], chunk.IdFlags[2]};
    entry.Label = std::string(chunk.Label.substr(0, chunk.Label.find('\0'))) + '\0';
    group->Entries.push_back(entry);
    ++group->Count;
  }
  size_t mapBytes = kRsmpHeaderSize + 8;  // header, size, type count
  for (RsmpType& group : file.RsmpTypes) {
    mapBytes += 8;
    for (RsmpEntry& entry : group.Entries) {
      mapBytes += 8 + entry.Label.size();
      if (mapBytes % 2 == 1) {
        entry.Label = entry.Label.str() + '\xA3';
        ++mapBytes;
      }
    }
  }
  file.RsmpTypeCount = static_cast<int32_t>(file.RsmpTypes.size());
  file.RsmpSize = static_cast<int32_t>(mapBytes);
  // The map chunk's own header: type, size, ID 0 with flags 0x0010, an empty
  // label; then 4 reserved bytes, version 0 and the "pmsr" signature.
  const Bytes label(64, '\0');
  file.RsmpHeader = "rsmp" + LongToBEBytes(file.RsmpSize) + Be16(0) + Be16(0x0010) + label +
                    Bytes(8, '\0') + "pmsr";
  file.HasRsmp = true;
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
  IffFile file;
  file.Signature = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE";
  file.Signature += '\0';
  file.Signature += " JAMIE DOORNBOS & MAXIS 1";
  file.Signature.resize(60, '\0');
  file.RsmpOffset = LongToBEBytes(0);  // set by the writer

  std::vector<IffChunk>& c = file.Chunks;
  c.push_back(MakeChunk("BHAV", 0x1000, 0x0010, "Idle", Filler(300, 1)));
  c.push_back(NameChunk(0, "Male townie first names"));
  c.push_back(MakeChunk("OBJD", 0x0080, 0x0010, "Demo armchair", Filler(218, 2)));
  c.push_back(NameChunk(1, "Female townie first names"));
  c.push_back(MakeChunk("STR#", 0x0080, 0x0010, "Interaction names",
                        StringTableData({"Sit", "Nap", "Read", "Chat", "Wave", "Joke", "Hug",
                                         "Dance", "Eat", "Cook", "Clean", "Leave"})));
  c.push_back(MakeChunk("BHAV", 0x1001, 0x0010, "Greet neighbour", Filler(57, 3)));
  c.push_back(NameChunk(6, "Tourist last names"));
  c.push_back(MakeChunk("CTSS", 0x0081, 0x0010, "Catalog text",
                        StringTableData({"Demo Armchair", "Comfortable, and entirely made up."})));
  c.push_back(NameChunk(2, "Male tourist first names"));
  c.push_back(MakeChunk("GLOB", 0x0080, 0x0000, "Semi-global", Bytes("PersonGlobals") + '\0'));
  c.push_back(NameChunk(3, "Female tourist first names"));
  c.push_back(MakeChunk("BHAV", 0x1002, 0x0010, "Wander", Filler(4101, 4)));
  c.push_back(NameChunk(4, "Boy tourist first names"));
  c.push_back(MakeChunk("BCON", 0x1000, 0x0010, "Tuning", Filler(9, 5)));
  c.push_back(NameChunk(5, "Girl tourist first names"));
  c.push_back(MakeChunk("STR#", 0x012D, 0x0000, "Messages",
                        StringTableData({"Welcome to the demo.", "Caf\xE9 closed."})));
  c.push_back(MakeChunk("SPR2", 0x0100, 0x0010, "Sprite", Filler(2048, 6)));
  c.push_back(MakeChunk("FWAV", 0x0001, 0x0000, "", Bytes()));
  AddMap(file);
  return file;
}

Bytes DemoLiveImage() {
  IffFile file = DemoLiveFile();
  Bytes image;
  if (!gsWriteIFFImage(file, image)) throw std::runtime_error("the demo live.iff did not build");
  return image;
}

std::string WriteDemoGame(const std::string& folder) {
  namespace fs = std::filesystem;
  try {
    const fs::path root(folder);
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
