// Writes the fuzz targets' seed corpus: small IFF files with maps in odd
// places and cut-off ends (corpus/iff_file), string-table chunk data
// (corpus/string_table) and Steam library lists (corpus/library_folders). `make_corpus FOLDER`
// writes them below FOLDER; `make_corpus --check FOLDER` reports any that differ from what it would
// write (files of other names, such as crash inputs, are left alone).

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "4-behaviour/NameEditor.h"
#include "testkit/IffBuilder.h"

namespace qm::fuzz {
namespace {

namespace fs = std::filesystem;
using test::B;
using test::Be32;
using test::Bytes;
using test::IffBuilder;
using test::MapEntrySpec;
using test::MapSpec;
using test::StringTableData;
using test::TableEntry;

struct SeedFile {
  std::string path;  // below the corpus folder
  Bytes bytes;
};

uint16_t NameListId(size_t list) {
  const std::string text = kNameListInfo[list].idText;  // "00 96 00 10"
  return static_cast<uint16_t>(std::stoi(text.substr(0, 2), nullptr, 16) << 8 |
                               std::stoi(text.substr(3, 2), nullptr, 16));
}

// Names short enough that all seven lists fit a small file.
Bytes NameTable(size_t list, int count) {
  std::vector<TableEntry> entries;
  for (int i = 0; i < count; ++i) {
    Bytes name(1, static_cast<char>('a' + list));
    name += std::to_string(i);
    if (i % 17 == 5) name += '\xE9';
    entries.push_back({name, i == 0 ? "c" : ""});
  }
  return StringTableData(entries);
}

MapEntrySpec At(uint16_t id, Bytes label, uint16_t flags = 0x10) {
  return MapEntrySpec{.id = id, .flags = flags, .label = std::move(label)};
}

// Three chunks, two of them name tables, and a map naming all three.
IffBuilder& ThreeChunks(IffBuilder& b) {
  b.Chunk("STR#", 0x96, 0x10, "Male", StringTableData({{"Al"}, {"Bo", "note"}, {"Cy"}}))
      .Chunk("BCON", 0x1000, 0, "Tuning", B({1, 2, 3, 4, 5, 6}))
      .Chunk("STR#", 0x97, 0x10, "Female", StringTableData({{"Di"}, {"Ev", "", 2}}));
  return b;
}

MapSpec ThreeChunkMap() {
  return MapSpec{.groups = {{.type = "STR#", .entries = {At(0x96, "Male"), At(0x97, "Female")}},
                            {.type = "BCON", .entries = {At(0x1000, "Tuning", 0)}}}};
}

std::vector<SeedFile> IffSeeds() {
  std::vector<SeedFile> seeds;
  auto add = [&](const std::string& name, Bytes bytes) {
    seeds.push_back({"iff_file/" + name + ".iff", std::move(bytes)});
  };

  add("header_only", IffBuilder().Build());
  add("header_0000_one_chunk", IffBuilder()
                                   .MapOffsetField("0000")
                                   .Chunk("STR#", 0x96, 0x10, "", StringTableData({{"X"}}))
                                   .Build());
  add("empty_chunk_data", IffBuilder().Chunk("GLOB", 1, 0, "", "").Build());

  {
    IffBuilder b;
    add("map_last", ThreeChunks(b).Map(ThreeChunkMap()).Build());
  }
  {
    IffBuilder b;
    b.Chunk("STR#", 0x96, 0x10, "Male", StringTableData({{"Al"}, {"Bo"}}))
        .Map(ThreeChunkMap())
        .Chunk("BCON", 0x1000, 0, "Tuning", B({9, 9}))
        .Chunk("STR#", 0x97, 0x10, "Female", StringTableData({{"Di"}}));
    add("map_middle", b.Build());
  }
  {
    IffBuilder b;
    b.Map(ThreeChunkMap());
    add("map_first", ThreeChunks(b).Build());
  }
  {
    IffBuilder b;
    b.Chunk("STR#", 0x96, 0x10, "Male", StringTableData({{"Al"}}))
        .Map(MapSpec{.groups = {{.type = "STR#", .entries = {At(0x96, "Old")}}}})
        .Chunk("STR#", 0x97, 0x10, "Female", StringTableData({{"Di"}}))
        .Map(MapSpec{.groups = {{.type = "STR#", .entries = {At(0x96, "M"), At(0x97, "F")}}}});
    add("two_maps", b.Build());
  }
  {
    // A map right after another map: the second is kept as an ordinary chunk.
    IffBuilder b;
    b.Chunk("STR#", 0x96, 0x10, "Male", StringTableData({{"Al"}}))
        .Map(MapSpec{.groups = {{.type = "STR#", .entries = {At(0x96, "M")}}}})
        .Map(MapSpec{.groups = {{.type = "STR#", .entries = {At(0x96, "N")}}}});
    add("adjacent_maps", b.Build());
  }
  {
    // Labels ended by 0xA3, padded and unpadded 0x00 ends, an empty label.
    IffBuilder b;
    b.Chunk("STR#", 1, 0, "ab", "x")
        .Chunk("STR#", 2, 0, "abc", "yy")
        .Chunk("CTSS", 3, 0, "", StringTableData({{"text"}}))
        .Map(MapSpec{
            .groups = {{.type = "STR#",
                        .entries = {At(1, "ab"), {.id = 2, .label = "x", .terminator = '\xA3'}}},
                       {.type = "CTSS", .entries = {At(3, "")}}}});
    add("map_label_ends", b.Build());
  }
  {
    // Two chunks with one type and ID, two entries with one type and ID, an
    // entry that names no chunk, a chunk the map does not name.
    IffBuilder b;
    b.Chunk("STR#", 0x96, 0x10, "first", StringTableData({{"Al"}}))
        .Chunk("STR#", 0x96, 0x00, "second", StringTableData({{"Bo"}, {"Cy"}}))
        .Chunk("OBJD", 0x80, 0x10, "lamp", Bytes(40, '\x5A'))
        .Map(MapSpec{.groups = {{.type = "STR#",
                                 .entries = {At(0x96, "a"),
                                             At(0x96, "b"),
                                             {.id = 0x42, .label = "gone", .offset = 0x1234}}}}});
    add("duplicate_ids", b.Build());
  }
  add("map_named_but_absent", IffBuilder()
                                  .MapOffsetField(Be32(500))
                                  .Chunk("STR#", 0x96, 0x10, "", StringTableData({{"A"}}))
                                  .Build());
  {
    IffBuilder b;
    ThreeChunks(b).Map(ThreeChunkMap());
    Bytes image = b.Build();
    add("truncated_in_map_label", image.substr(0, image.size() - 5));
    add("truncated_in_chunk_data", image.substr(0, 64 + 76 + 10));
    add("truncated_in_chunk_header", image.substr(0, 64 + 30));
    image.push_back('\x07');
    add("trailing_byte", image);
  }
  add("chunk_size_past_end",
      IffBuilder().Chunk("STR#", 0x96, 0x10, "", StringTableData({{"A"}}), 4000).Build());
  add("chunk_size_below_header", IffBuilder().Chunk("STR#", 0x96, 0x10, "", "abc", 75).Build());
  add("map_type_count_zero", IffBuilder()
                                 .Chunk("STR#", 0x96, 0x10, "", StringTableData({{"A"}}))
                                 .Map(MapSpec{.groups = {}, .typeCount = 0})
                                 .Build());
  {
    // A map whose last label never ends: no 0x00 or 0xA3 before the end.
    IffBuilder b;
    b.Chunk("STR#", 0x96, 0x10, "", StringTableData({{"A"}}))
        .Map(MapSpec{
            .groups = {{.type = "STR#", .entries = {{.id = 0x96, .rawLabel = Bytes("endless")}}}}});
    add("map_without_end", b.Build());
  }
  add("table_00_00",
      IffBuilder()
          .Chunk("STR#", 0xA0, 0x10, "Last", StringTableData({{"Ng"}, {"Oh"}}, B({0, 0})))
          .Build());
  {
    // A game-shaped file: the seven name tables with exactly the names the
    // lists use (list 3's with a trailer), other chunks between them, the
    // map last.
    IffBuilder b;
    for (size_t k = 0; k < kNameListInfo.size(); ++k) {
      Bytes table = NameTable(k, kNameListInfo[k].namesUsed);
      if (k == 3) table += B({0, 7, 0});
      b.Chunk("STR#", NameListId(k), 0x10, std::to_string(k), table);
      if (k == 2) b.Chunk("BCON", 0x1000, 0, "T", B({1, 2}));
    }
    add("game_seven_lists", b.Map(b.EveryChunkMap()).Build());
  }
  return seeds;
}

std::vector<SeedFile> TableSeeds() {
  std::vector<SeedFile> seeds;
  auto add = [&](const std::string& name, Bytes bytes) {
    seeds.push_back({"string_table/" + name + ".str", std::move(bytes)});
  };
  add("fdff_names", StringTableData({{"Alder"}, {"Brisa", "a note"}, {"Corvin", "", 2}}));
  add("fdff_high_bytes", StringTableData({{"Ren\xE9"
                                           "e"},
                                          {"S\xF8ren"}}));
  add("zero_zero_format", StringTableData({{"Ng"}, {"Oh"}}, B({0, 0})));
  add("with_trailer", StringTableData({{"One"}, {"Two"}}, B({0xFD, 0xFF}), B({0, 7, 0})));
  add("empty_strings", StringTableData({{""}, {"", ""}}));
  add("count_zero", B({0xFD, 0xFF, 0, 0, 1, 'x', 0, 0}));
  add("count_past_entries", B({0xFD, 0xFF, 3, 0, 1, 'A', 0, 0, 1, 'B', 0}));
  add("count_above_32767", B({0xFD, 0xFF, 0x40, 0x9C, 1, 'A', 0, 0}));
  add("three_bytes", B({0xFD, 0xFF, 1}));
  add("list_of_51", NameTable(0, 51));
  return seeds;
}

// A library block of libraryfolders.vdf as Steam writes it; `path` escaped.
std::string Library(int index, const std::string& path, const std::string& apps) {
  return "\t\"" + std::to_string(index) + "\"\n\t{\n\t\t\"path\"\t\t\"" + path +
         "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"contentid\"\t\t\"4417620935237129410\"\n"
         "\t\t\"totalsize\"\t\t\"0\"\n\t\t\"apps\"\n\t\t{\n" +
         apps + "\t\t}\n\t}\n";
}

std::vector<SeedFile> LibraryFolderSeeds() {
  std::vector<SeedFile> seeds;
  auto add = [&](const std::string& name, const std::string& text) {
    seeds.push_back({"library_folders/" + name + ".vdf", Bytes(text)});
  };
  const std::string windows =
      "\"libraryfolders\"\n{\n" +
      Library(0, "C:\\\\Program Files (x86)\\\\Steam", "\t\t\t\"228980\"\t\t\"301826\"\n") +
      Library(1, "D:\\\\SteamLibrary", "\t\t\t\"1000\"\t\t\"2147483648\"\n") + "}\n";
  add("windows_two_libraries", windows);
  add("steam_deck_card",
      "\"libraryfolders\"\n{\n" + Library(0, "/home/deck/.local/share/Steam", "") +
          Library(1, "/run/media/mmcblk0p1", "\t\t\t\"1000\"\t\t\"1\"\n") + "}\n");
  add("older_list_without_paths",
      "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n"
      "\t\"ContentStatsID\"\t\t\"-1234\"\n\t\"1\"\t\t\"D:\\\\SteamLibrary\"\n}\n");
  add("escapes_in_path",
      "\"libraryfolders\" { \"0\" { \"path\" \"E:\\\\\\\"Games\\\"\\t\\\\Steam\" } }");
  add("cut_off", windows.substr(0, windows.size() / 2));
  add("unknown_escape", "\"libraryfolders\" { \"0\" { \"path\" \"C:\\q\" } }");
  std::string deep = "\"libraryfolders\" {";
  for (int level = 0; level < 8; ++level) deep += " \"a\" {";
  add("nine_levels_deep", deep + std::string(9, '}'));
  add("text_after_the_list", windows + "\"1\"");
  return seeds;
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Run(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: %s [--check] CORPUS-FOLDER\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[argc - 1];
  std::vector<SeedFile> seeds = IffSeeds();
  for (SeedFile& seed : TableSeeds()) seeds.push_back(std::move(seed));
  for (SeedFile& seed : LibraryFolderSeeds()) seeds.push_back(std::move(seed));
  int differing = 0;
  for (const SeedFile& seed : seeds) {
    const fs::path path = root / seed.path;
    if (seed.bytes.size() >= 4096) {
      std::fprintf(stderr, "%s: %zu bytes, seeds stay below 4 KB\n", seed.path.c_str(),
                   seed.bytes.size());
      return 1;
    }
    if (check) {
      if (!fs::exists(path) || ReadFile(path) != seed.bytes) {
        std::fprintf(stderr, "%s differs from the generated seed\n", path.c_str());
        ++differing;
      }
      continue;
    }
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(seed.bytes.data(), static_cast<std::streamsize>(seed.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "%s: cannot be written\n", path.c_str());
      return 1;
    }
  }
  std::printf("%zu seeds %s\n", seeds.size(), check ? "checked" : "written");
  return differing == 0 ? 0 : 1;
}

}  // namespace
}  // namespace qm::fuzz

int main(int argc, char** argv) { return qm::fuzz::Run(argc, argv); }
