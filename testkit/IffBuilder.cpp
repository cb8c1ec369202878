#include "testkit/IffBuilder.h"

#include <stdexcept>
#include <string>

namespace qm::test {

namespace {

uint32_t ChunkOffset(const std::map<std::pair<Bytes, uint16_t>, uint32_t>& chunks,
                     const Bytes& type, uint16_t id) {
  const auto found = chunks.find({type, id});
  if (found == chunks.end()) {
    throw std::logic_error("map entry " + type + " " + std::to_string(id) + " names no chunk");
  }
  return found->second;
}

}  // namespace

IffBuilder& IffBuilder::Signature(Bytes signature) {
  signature_ = std::move(signature);
  return *this;
}

IffBuilder& IffBuilder::MapOffsetField(Bytes field) {
  mapOffsetField_ = std::move(field);
  return *this;
}

IffBuilder& IffBuilder::Chunk(Bytes type, uint16_t id, uint16_t flags, std::string_view label,
                              Bytes data, std::optional<int32_t> sizeField) {
  Bytes labelField(label);
  labelField.resize(64, '\0');
  return Add(
      {.kind = Kind::kChunk,
       .chunk = {std::move(type), id, flags, std::move(labelField), std::move(data), sizeField}});
}

IffBuilder& IffBuilder::Map(MapSpec map) {
  return Add({.kind = Kind::kMap, .map = std::move(map)});
}

IffBuilder& IffBuilder::Raw(Bytes bytes) {
  return Add({.kind = Kind::kRaw, .raw = std::move(bytes)});
}

IffBuilder& IffBuilder::Add(Item item) {
  items_.push_back(std::move(item));
  return *this;
}

MapSpec IffBuilder::EveryChunkMap() const {
  MapSpec map;
  for (const Item& item : items_) {
    if (item.kind != Kind::kChunk) continue;
    const ChunkItem& chunk = item.chunk;
    MapGroupSpec* group = nullptr;
    for (MapGroupSpec& g : map.groups) {
      if (g.type == chunk.type) group = &g;
    }
    if (group == nullptr) group = &map.groups.emplace_back(MapGroupSpec{.type = chunk.type});
    group->entries.push_back(MapEntrySpec{.id = chunk.id,
                                          .flags = chunk.flags,
                                          .label = chunk.label.substr(0, chunk.label.find('\0'))});
  }
  return map;
}

Bytes IffBuilder::Build() const {
  const std::vector<uint32_t> offsets = Layout();
  const ChunkIndex chunks = IndexChunks(offsets);
  Bytes out = signature_;
  out.resize(60, '\0');
  out += HeaderMapOffset(offsets);
  for (const Item& item : items_) out += Emit(item, &chunks);
  return out;
}

std::vector<uint32_t> IffBuilder::Layout() const {
  std::vector<uint32_t> offsets;
  uint32_t at = 64;
  for (const Item& item : items_) {
    offsets.push_back(at);
    at += static_cast<uint32_t>(Emit(item, nullptr).size());
  }
  return offsets;
}

Bytes IffBuilder::HeaderMapOffset(const std::vector<uint32_t>& offsets) const {
  if (mapOffsetField_) return *mapOffsetField_;
  for (size_t k = 0; k < items_.size(); ++k) {
    if (items_[k].kind == Kind::kMap) return Be32(offsets[k]);
  }
  return Be32(0);
}

IffBuilder::ChunkIndex IffBuilder::IndexChunks(const std::vector<uint32_t>& offsets) const {
  ChunkIndex index;
  for (size_t k = 0; k < items_.size(); ++k) {
    if (items_[k].kind == Kind::kChunk) {
      index.try_emplace({items_[k].chunk.type, items_[k].chunk.id}, offsets[k]);
    }
  }
  return index;
}

// Without `chunks` (while laying out) entry offsets are placeholders.
Bytes IffBuilder::Emit(const Item& item, const ChunkIndex* chunks) const {
  if (item.kind == Kind::kRaw) return item.raw;
  if (item.kind == Kind::kChunk) {
    const ChunkItem& c = item.chunk;
    return ChunkBytes(c.type, c.id, c.flags, c.label, c.data, c.sizeField);
  }
  return EmitMap(item.map, chunks);
}

Bytes IffBuilder::EmitMap(const MapSpec& map, const ChunkIndex* chunks) const {
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
  out +=
      Le32(static_cast<uint32_t>(map.typeCount.value_or(static_cast<int32_t>(map.groups.size()))));
  return out + body;
}

}  // namespace qm::test
