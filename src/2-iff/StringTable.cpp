// String-table chunks: format code, little-endian entry count, then per entry
// a language byte and two zero-terminated strings, then whatever follows.

#include "2-iff/StringTable.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "1-platform/Failure.h"

namespace qm {

namespace {

const char* ChunkType(bool isCTSS) { return isCTSS ? "CTSS" : "STR#"; }

bool Matches(const IffChunk& chunk, std::string_view type, std::string_view idFlags) {
  // The ID and flags tell chunks apart sooner than the type does.
  return chunk.IdFlags == idFlags && chunk.Type == type;
}

// Bytes [from, from + n) of `data`, with a space for each byte past its end.
Bytes TakePadded(std::string_view data, size_t from, size_t n) {
  Bytes out(n, ' ');
  for (size_t i = 0; i < n && from + i < data.size(); ++i) out[i] = data[from + i];
  return out;
}

void Decode(const IffFile& file, StringTable& table, std::string_view idFlags, bool isCTSS,
            Stage& stage) {
  stage.code = 1000;
  const std::string_view type = ChunkType(isCTSS);
  table.Entries.clear();

  stage.code = 2000;
  const IffChunk* chunk = nullptr;
  for (const IffChunk& candidate : file.Chunks) {
    if (Matches(candidate, type, idFlags)) {
      chunk = &candidate;
      break;
    }
  }
  if (chunk == nullptr) return;
  const std::string_view data = chunk->Data;
  table.FormatCode = TakePadded(data, 0, 2);
  table.CountBytes = TakePadded(data, 2, 2);

  stage.code = 3000;
  const int32_t count = LEBytesToLong(table.CountBytes + Bytes(2, '\0'));
  if (count < 1) return;

  stage.code = 4000;
  if (count > kMaxCount) {
    Fail(Fault::Overflow, "string table count " + std::to_string(count) + " exceeds 32767");
  }
  // The count is only a claim: each entry takes at least 3 bytes, so the
  // data bounds what is reserved, and entries are added as they are read.
  const size_t room = data.size() > 4 ? (data.size() - 4) / 3 + 1 : 1;
  table.Entries.reserve(std::min(static_cast<size_t>(count), room));

  // Names are a few bytes long: a plain scan finds their ends sooner than a
  // call to find (memchr) does.
  const char* const bytes = data.data();
  const size_t size = data.size();
  auto terminator = [&](size_t from) {
    for (size_t q = from; q < size; ++q) {
      if (bytes[q] == '\0') return q;
    }
    return std::string_view::npos;
  };
  size_t p = 4;  // 0-based offset of the next entry
  for (int32_t i = 0; i < count; ++i) {
    StringEntry& entry = table.Entries.emplace_back();
    stage.code = 5000;
    entry.LanguageCode.assign(1, p < size ? bytes[p] : ' ');
    const size_t valueEnd = terminator(p + 1);
    stage.code = 6000;
    if (valueEnd == std::string_view::npos) {
      Fail(Fault::InvalidArgument,
           "string table value at data offset " + std::to_string(p + 1) + " has no terminator");
    }
    entry.Value.assign(bytes + p + 1, valueEnd - p - 1);
    const size_t commentEnd = terminator(valueEnd + 1);
    stage.code = 7000;
    if (commentEnd == std::string_view::npos) {
      Fail(Fault::InvalidArgument, "string table comment at data offset " +
                                       std::to_string(valueEnd + 1) + " has no terminator");
    }
    entry.Comment.assign(bytes + valueEnd + 1, commentEnd - valueEnd - 1);
    p = commentEnd + 1;
  }

  stage.code = 8000;
  table.Trailer = p < data.size() ? Bytes(data.substr(p)) : Bytes();
}

Bytes Encode(const StringTable& table) {
  if (table.Entries.size() > static_cast<size_t>(kMaxCount)) {
    Fail(Fault::Overflow, "more than 32767 string table entries");
  }
  size_t size = table.FormatCode.size() + table.CountBytes.size() + table.Trailer.size();
  for (const StringEntry& entry : table.Entries) {
    size += entry.LanguageCode.size() + entry.Value.size() + entry.Comment.size() + 2;
  }
  Bytes data;
  data.reserve(size);
  data += table.FormatCode;
  data += table.CountBytes;
  for (const StringEntry& entry : table.Entries) {
    data += entry.LanguageCode;
    data += entry.Value;
    data.push_back('\0');
    data += entry.Comment;
    data.push_back('\0');
  }
  data += table.Trailer;
  return data;
}

void EncodeInto(IffFile& file, const StringTable& table, std::string_view idFlags, bool isCTSS) {
  const std::string_view type = ChunkType(isCTSS);
  for (IffChunk& chunk : file.Chunks) {
    if (!Matches(chunk, type, idFlags)) continue;
    Bytes data = Encode(table);
    if (data.size() > static_cast<size_t>(INT32_MAX - kChunkHeaderSize)) {
      Fail(Fault::Overflow, "string table chunk past 2 GB");
    }
    chunk.Size = LongToBEBytes(static_cast<int32_t>(data.size()) + kChunkHeaderSize);
    chunk.Data = std::move(data);
  }
}

}  // namespace

void gsReadSTRSegment(const IffFile& file, StringTable& table, std::string_view idFlags,
                      bool isCTSS) {
  RunProcedure("gsReadSTRSegment",
               [&](Stage& stage) { Decode(file, table, idFlags, isCTSS, stage); });
}

void gsWriteSTRSegment(IffFile& file, const StringTable& table, std::string_view idFlags,
                       bool isCTSS) {
  RunProcedure("gsWriteSTRSegment", [&](Stage&) { EncodeInto(file, table, idFlags, isCTSS); });
}

}  // namespace qm
