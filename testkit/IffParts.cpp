#include "testkit/IffParts.h"

#include <utility>

namespace qm::test {

Bytes Be32(uint32_t v) {
  return Bytes{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
               static_cast<char>(v)};
}

Bytes Le32(uint32_t v) {
  return Bytes{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
               static_cast<char>(v >> 24)};
}

Bytes Be16(uint16_t v) { return Bytes{static_cast<char>(v >> 8), static_cast<char>(v)}; }

Bytes Le16(uint16_t v) { return Bytes{static_cast<char>(v), static_cast<char>(v >> 8)}; }

Bytes B(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

Bytes DefaultSignature() {
  Bytes s = "IFF FILE 2.5:TYPE FOLLOWED BY SIZE";
  s.push_back('\0');
  s += " JAMIE DOORNBOS & MAXIS 1";
  s.resize(60, '\0');
  return s;
}

namespace {

Bytes LabelField(std::string_view label) {
  Bytes field(label);
  field.resize(64, '\0');
  return field;
}

}  // namespace

Bytes ChunkBytes(std::string_view type, uint16_t id, uint16_t flags, std::string_view label,
                 std::string_view data, std::optional<int32_t> sizeField) {
  const int32_t size = sizeField.value_or(static_cast<int32_t>(kChunkHeaderSize + data.size()));
  Bytes out(type);
  out += Be32(static_cast<uint32_t>(size)) + Be16(id) + Be16(flags) + LabelField(label);
  out += data;
  return out;
}

Bytes StringTableData(const std::vector<TableEntry>& entries, Bytes format, Bytes trailer) {
  Bytes data = std::move(format) + Le16(static_cast<uint16_t>(entries.size()));
  for (const TableEntry& e : entries) {
    data += e.language;
    data += e.value;
    data.push_back('\0');
    data += e.comment;
    data.push_back('\0');
  }
  return data + trailer;
}

IffChunk ModelChunk(std::string_view type, uint16_t id, uint16_t flags, std::string_view label,
                    Bytes data) {
  IffChunk chunk;
  chunk.Type = Bytes(type);
  chunk.Size = LongToBEBytes(static_cast<int32_t>(kChunkHeaderSize + data.size()));
  chunk.IdFlags = Be16(id) + Be16(flags);
  chunk.Label = LabelField(label);
  chunk.Data = std::move(data);
  return chunk;
}

IffFile EmptyIffFile() {
  IffFile file;
  file.Signature = DefaultSignature();
  file.RsmpOffset = Bytes(4, '\0');
  return file;
}

void AddMapOfEveryChunk(IffFile& file, char pad) {
  std::vector<RsmpType> groups;
  for (const IffChunk& chunk : file.Chunks) {
    const Bytes code = ReverseBytes4(chunk.Type);
    RsmpType* group = nullptr;
    for (RsmpType& g : groups) {
      if (g.Code == code) group = &g;
    }
    if (group == nullptr) {
      group = &groups.emplace_back();
      group->Code = code;
    }
    RsmpEntry entry;
    entry.Offset = Bytes(4, '\0');
    // The map holds the ID and the flags each little-endian.
    entry.IdFlags = Bytes{chunk.IdFlags[1], chunk.IdFlags[0], chunk.IdFlags[3], chunk.IdFlags[2]};
    entry.Label = std::string(chunk.Label.substr(0, chunk.Label.find('\0'))) + '\0';
    group->Entries.push_back(std::move(entry));
    ++group->Count;
  }
  int32_t length = kRsmpHeaderSize + 8;  // header, size field, type count
  for (RsmpType& group : groups) {
    length += 8;
    for (RsmpEntry& entry : group.Entries) {
      length += 8 + static_cast<int32_t>(entry.Label.size());
      if (length % 2 == 1) {
        entry.Label = entry.Label.str() + pad;
        ++length;
      }
    }
  }
  // The map chunk's own header: type, size, ID 0 with flags 0x0010, an empty
  // label; then 4 reserved bytes, version 0 and the "pmsr" signature.
  file.RsmpHeader = "rsmp" + LongToBEBytes(length) + Be16(0) + Be16(0x0010) + Bytes(64, '\0') +
                    Bytes(8, '\0') + "pmsr";
  file.RsmpSize = length;
  file.RsmpTypeCount = static_cast<int32_t>(groups.size());
  file.RsmpTypes = std::move(groups);
  file.HasRsmp = true;
}

}  // namespace qm::test
