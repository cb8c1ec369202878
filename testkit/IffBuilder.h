#pragma once
// Builds IFF file images from their parts, for tests and generated files:
//
//   IffBuilder b;
//   b.Chunk("STR#", 0x0096, 0x0010, "Names", data);
//   b.Map({.groups = {{.type = "STR#", .entries = {{.id = 0x0096, .label = "Names"}}}}});
//   Bytes image = b.Build();
//
// Every field defaults to what a well-formed file holds (sizes, the header's
// map offset, map entry offsets, label pad bytes); each default can be
// overridden to build malformed files.

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "testkit/IffParts.h"

namespace qm::test {

struct MapEntrySpec {
  uint16_t id = 0;
  uint16_t flags = 0;
  Bytes label{};           // text, without terminator
  char terminator = '\0';  // '\0' (pad byte follows when the count is odd) or '\xA3'
  char pad = '\xA3';       // the pad byte's value
  // Default: the 0-based offset of the first chunk of the group's type and this id.
  std::optional<uint32_t> offset{};
  // When set, written instead of label, terminator and pad.
  std::optional<Bytes> rawLabel{};
};

struct MapGroupSpec {
  Bytes type{};  // as in chunk headers; the map stores it reversed
  std::vector<MapEntrySpec> entries{};
  std::optional<int32_t> count{};  // default: entries.size()
};

struct MapSpec {
  std::vector<MapGroupSpec> groups{};
  std::optional<int32_t> typeCount{};  // default: groups.size()
  std::optional<int32_t> sizeField{};  // default: the map chunk's whole length
  uint16_t id = 0;
  uint16_t flags = 0x0010;
};

class IffBuilder {
 public:
  IffBuilder& Signature(Bytes signature);
  // The header's map offset field; by default the offset of the first map.
  IffBuilder& MapOffsetField(Bytes field);
  // An ordinary chunk; `sizeField` replaces the size (default data + 76).
  IffBuilder& Chunk(Bytes type, uint16_t id, uint16_t flags, std::string_view label, Bytes data,
                    std::optional<int32_t> sizeField = std::nullopt);
  IffBuilder& Map(MapSpec map);
  // Bytes appended as they are, e.g. a cut-off chunk or a stray byte.
  IffBuilder& Raw(Bytes bytes);

  // A map with an entry per chunk added so far: a group per chunk type in
  // order of first appearance, each entry with its chunk's ID, flags and
  // label.
  MapSpec EveryChunkMap() const;

  // 0-based offset of item k (chunks, maps and raw runs, in the order added).
  uint32_t OffsetOf(size_t k) const { return Layout().at(k); }

  Bytes Build() const;

 private:
  struct ChunkItem {
    Bytes type{};
    uint16_t id = 0;
    uint16_t flags = 0;
    Bytes label{};
    Bytes data{};
    std::optional<int32_t> sizeField{};
  };
  enum class Kind { kChunk, kMap, kRaw };
  struct Item {
    Kind kind = Kind::kRaw;
    ChunkItem chunk{};
    MapSpec map{};
    Bytes raw{};
  };
  // Offset of the first chunk of each type and ID.
  using ChunkIndex = std::map<std::pair<Bytes, uint16_t>, uint32_t>;

  IffBuilder& Add(Item item);
  std::vector<uint32_t> Layout() const;
  Bytes HeaderMapOffset(const std::vector<uint32_t>& offsets) const;
  ChunkIndex IndexChunks(const std::vector<uint32_t>& offsets) const;
  Bytes Emit(const Item& item, const ChunkIndex* chunks) const;
  Bytes EmitMap(const MapSpec& map, const ChunkIndex* chunks) const;

  Bytes signature_ = DefaultSignature();
  std::optional<Bytes> mapOffsetField_;
  std::vector<Item> items_;
};

}  // namespace qm::test
