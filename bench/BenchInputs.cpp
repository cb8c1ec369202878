#include "BenchInputs.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <vector>

#include "testkit/IffBuilder.h"
#include "testkit/LanguageNames.h"

namespace qm::bench {

namespace {

using test::IffBuilder;

// A fixed linear congruential sequence: the same files on every platform.
class Sequence {
 public:
  uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  uint32_t Between(uint32_t low, uint32_t high) { return low + Next() % (high - low + 1); }

 private:
  uint32_t state_ = 20000204u;
};

// A chunk type, how often it occurs (out of the weights' sum) and its data
// sizes: roughly the mix of the game's live.iff, behaviour code and text
// first, a few large sprites. Text chunks hold a block per language.
struct TypeShape {
  const char* type;
  uint32_t weight;
  uint32_t minData;
  uint32_t maxData;
};

constexpr TypeShape kLiveShapes[] = {
    {"BHAV", 40, 40, 700},  {"STR#", 12, 200, 3600}, {"OBJD", 8, 300, 600},  {"BCON", 8, 8, 60},
    {"TTAB", 5, 100, 1500}, {"TPRP", 5, 50, 400},    {"SPR2", 5, 600, 6000}, {"CTSS", 4, 100, 1200},
    {"SLOT", 3, 30, 200},   {"PALT", 3, 776, 776},   {"DGRP", 2, 100, 500},  {"GLOB", 2, 10, 40},
};

constexpr const char* kSmallTypes[] = {"BHAV", "STR#", "OBJD", "BCON", "TTAB", "TPRP",
                                       "SPR2", "CTSS", "SLOT", "PALT", "DGRP", "GLOB"};

// Filler "STR#" chunks take ids from here up, clear of the name tables'.
constexpr uint16_t kFirstFillerId = 0x1000;

Bytes RandomData(Sequence& seq, uint32_t size) {
  Bytes data(size, '\0');
  for (char& c : data) c = static_cast<char>(seq.Next() & 0xFF);
  return data;
}

// A name table in the game's 17 languages, each language's names in its own
// script and code page: as many in each block as list `list` shows.
Bytes NameTableData(int list) {
  return test::StringTableData(test::MultilingualEntries(list, list == 0 ? 51 : 50));
}

// Chunks labelled with their type and ID, and the map last with an entry per
// chunk.
class ImageMaker {
 public:
  void Add(const Bytes& type, uint16_t id, uint16_t flags, Bytes data) {
    builder_.Chunk(type, id, flags, type + " " + std::to_string(id), std::move(data));
  }
  // The next unused id of `type`.
  uint16_t NextId(const Bytes& type) { return nextId_[type]++; }

  Bytes Build() {
    builder_.Map(builder_.EveryChunkMap());
    return builder_.Build();
  }

 private:
  IffBuilder builder_;
  std::map<Bytes, uint16_t> nextId_;
};

}  // namespace

Bytes NameTableIdFlags(uint16_t id) { return test::Be16(id) + test::Be16(kNameTableFlags); }

Bytes LiveLikeImage() {
  Sequence seq;
  ImageMaker maker;
  uint32_t totalWeight = 0;
  for (const TypeShape& shape : kLiveShapes) totalWeight += shape.weight;
  // The name tables sit among the other chunks, spread over the file.
  const int spacing = kLiveLikeChunks / static_cast<int>(kNameTableIds.size() + 1);
  size_t nextTable = 0;
  for (int k = 0; k < kLiveLikeChunks; ++k) {
    if (nextTable < kNameTableIds.size() && k == spacing * static_cast<int>(nextTable + 1)) {
      maker.Add("STR#", kNameTableIds[nextTable], kNameTableFlags,
                NameTableData(static_cast<int>(nextTable)));
      ++nextTable;
      continue;
    }
    uint32_t pick = seq.Next() % totalWeight;
    const TypeShape* shape = kLiveShapes;
    while (pick >= shape->weight) pick -= (shape++)->weight;
    const Bytes type = shape->type;
    const uint16_t id = type == "STR#" ? static_cast<uint16_t>(kFirstFillerId + maker.NextId(type))
                                       : maker.NextId(type);
    maker.Add(type, id, 0x0010, RandomData(seq, seq.Between(shape->minData, shape->maxData)));
  }
  return maker.Build();
}

Bytes MappedImage(int chunkCount) {
  Sequence seq;
  ImageMaker maker;
  for (int k = 0; k < chunkCount; ++k) {
    const Bytes type = kSmallTypes[seq.Next() % std::size(kSmallTypes)];
    maker.Add(type, maker.NextId(type), 0x0010, RandomData(seq, seq.Between(0, 63)));
  }
  return maker.Build();
}

TempFolder::TempFolder() {
  path_ = std::filesystem::temp_directory_path() /
          ("quillmark-bench-" + std::to_string(static_cast<long>(getpid())));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace qm::bench
