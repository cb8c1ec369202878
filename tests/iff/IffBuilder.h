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
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm::test {

using Bytes = std::string;

inline Bytes Be32(uint32_t v) {
  return Bytes{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
               static_cast<char>(v)};
}
inline Bytes Le32(uint32_t v) {
  return Bytes{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
               static_cast<char>(v >> 24)};
}
inline Bytes Be16(uint16_t v) { return Bytes{static_cast<char>(v >> 8), static_cast<char>(v)}; }
inline Bytes Le16(uint16_t v) { return Bytes{static_cast<char>(v), static_cast<char>(v >> 8)}; }

// Bytes from a list of values 0..255: B({0xFD, 0xFF, 0x02, 0x00}).
inline Bytes B(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// The signature of the game's IFF files, padded to 60 bytes.
inline Bytes DefaultSignature() {
  Bytes s = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE";
  s.push_back('\0');
  s += " JAMIE DOORNBOS & MAXIS 1";
  s.resize(60, '\0');
  return s;
}

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
  IffBuilder& Signature(Bytes signature) {
    signature_ = std::move(signature);
    return *this;
  }
  // The header's map offset field; by default the offset of the first map.
  IffBuilder& MapOffsetField(Bytes field) {
    mapOffsetField_ = std::move(field);
    return *this;
  }
  // An ordinary chunk; `sizeField` replaces the size (default data + 76).
  IffBuilder& Chunk(Bytes type, uint16_t id, uint16_t flags, std::string_view label, Bytes data,
                    std::optional<int32_t> sizeField = std::nullopt) {
    Bytes labelField(label);
    labelField.resize(64, '\0');
    Item item;
    item.kind = Kind::kChunk;
    item.chunk =
        ChunkItem{std::move(type), id, flags, std::move(labelField), std::move(data), sizeField};
    items_.push_back(std::move(item));
    return *this;
  }
  IffBuilder& Map(MapSpec map) {
    Item item;
    item.kind = Kind::kMap;
    item.map = std::move(map);
    items_.push_back(std::move(item));
    return *this;
  }
  // Bytes appended as they are, e.g. a cut-off chunk or a stray byte.
  IffBuilder& Raw(Bytes bytes) {
    Item item;
    item.kind = Kind::kRaw;
    item.raw = std::move(bytes);
    items_.push_back(std::move(item));
    return *this;
  }

  // 0-based offset of item k (chunks, maps and raw runs, in the order added).
  uint32_t OffsetOf(size_t k) const { return Layout().at(k); }

  Bytes Build() const {
    const std::vector<uint32_t> offsets = Layout();
    const ChunkIndex chunks = IndexChunks(offsets);
    Bytes out = signature_;
    out.resize(60, '\0');
    out += HeaderMapOffset(offsets);
    for (const Item& item : items_) out += Emit(item, &chunks);
    return out;
  }

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

  std::vector<uint32_t> Layout() const {
    std::vector<uint32_t> offsets;
    uint32_t at = 64;
    for (const Item& item : items_) {
      offsets.push_back(at);
      at += static_cast<uint32_t>(Emit(item, nullptr).size());
    }
    return offsets;
  }

  Bytes HeaderMapOffset(const std::vector<uint32_t>& offsets) const {
    if (mapOffsetField_) return *mapOffsetField_;
    for (size_t k = 0; k < items_.size(); ++k) {
      if (items_[k].kind == Kind::kMap) return Be32(offsets[k]);
    }
    return Be32(0);
  }

  // Offset of the first chunk of each type and ID.
  using ChunkIndex = std::map<std::pair<Bytes, uint16_t>, uint32_t>;

  ChunkIndex IndexChunks(const std::vector<uint32_t>& offsets) const {
    ChunkIndex index;
    for (size_t k = 0; k < items_.size(); ++k) {
      if (items_[k].kind == Kind::kChunk) {
        index.try_emplace({items_[k].chunk.type, items_[k].chunk.id}, offsets[k]);
      }
    }
    return index;
  }

  // Without `chunks` (while laying out) entry offsets are placeholders.
  Bytes Emit(const Item& item, const ChunkIndex* chunks) const {
    if (item.kind == Kind::kRaw) return item.raw;
    if (item.kind == Kind::kChunk) {
      const ChunkItem* chunk = &item.chunk;
      const int32_t size = chunk->sizeField.value_or(static_cast<int32_t>(76 + chunk->data.size()));
      return chunk->type + Be32(static_cast<uint32_t>(size)) + Be16(chunk->id) +
             Be16(chunk->flags) + chunk->label + chunk->data;
    }
    return EmitMap(item.map, chunks);
  }

  Bytes EmitMap(const MapSpec& map, const ChunkIndex* chunks) const {
    Bytes body;  // from offset 96 of the map chunk
    for (const MapGroupSpec& group : map.groups) {
      body += Bytes(group.type.rbegin(), group.type.rend());
      body += Le32(
          static_cast<uint32_t>(group.count.value_or(static_cast<int32_t>(group.entries.size()))));
      for (const MapEntrySpec& entry : group.entries) {
        if (entry.offset) {
          body += Le32(*entry.offset);
        } else {
          body += Le32(chunks ? ChunkOffset(*chunks, group.type, entry.id) : 0);
        }
        body += Le16(entry.id) + Le16(entry.flags);
        if (entry.rawLabel) {
          body += *entry.rawLabel;
          continue;
        }
        body += entry.label;
        body.push_back(entry.terminator);
        // Bytes from the map chunk's first byte through the terminator.
        if (entry.terminator == '\0' && (96 + body.size()) % 2 == 1) body.push_back(entry.pad);
      }
    }
    const uint32_t length = static_cast<uint32_t>(96 + body.size());
    Bytes out = "rsmp" + Be32(length) + Be16(map.id) + Be16(map.flags) + Bytes(64, '\0');
    out += Bytes(8, '\0') + "pmsr";
    out += Le32(static_cast<uint32_t>(map.sizeField.value_or(static_cast<int32_t>(length))));
    out += Le32(
        static_cast<uint32_t>(map.typeCount.value_or(static_cast<int32_t>(map.groups.size()))));
    return out + body;
  }

  static uint32_t ChunkOffset(const ChunkIndex& chunks, const Bytes& type, uint16_t id) {
    const auto found = chunks.find({type, id});
    if (found == chunks.end()) {
      throw std::logic_error("map entry " + type + " " + std::to_string(id) + " names no chunk");
    }
    return found->second;
  }

  Bytes signature_ = DefaultSignature();
  std::optional<Bytes> mapOffsetField_;
  std::vector<Item> items_;
};

}  // namespace qm::test
