// Whole files: read the input as live.iff, decode and re-encode the seven
// name tables as a save does (one name changed in each table that decoded),
// write the image, and read the output back. A file that read without a
// report must come back with the same chunks and a map whose entries point
// where the update rule puts them, and writing it again must give the same
// bytes. A file that failed to read is still written, to check that the
// writer copes with whatever the failed read left in the image.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "2-iff/BinarySupport.h"
#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "4-behaviour/NameEditor.h"
#include "FuzzSupport.h"

namespace qm::fuzz {
namespace {

// A chunk type with a big-endian ID: how the update rule pairs map entries
// with chunks.
std::string ChunkKey(const IffChunk& chunk) {
  return chunk.Type.str() + std::string(chunk.IdFlags.substr(0, 2));
}
std::string EntryKey(const RsmpType& group, const RsmpEntry& entry) {
  return ReverseBytes4(group.Code) + entry.IdFlags[1] + entry.IdFlags[0];
}

// What a save does to the tables: decode each, change its first name (longer
// for even lists, shorter for odd ones, so that later chunks move both ways)
// and encode it back.
void EditNameTables(IffFile& file) {
  for (size_t k = 0; k < kNameListInfo.size(); ++k) {
    const Bytes idFlags = HexTextToBytes(kNameListInfo[k].idText);
    StringTable table;
    if (!Succeeds([&] { gsReadSTRSegment(file, table, idFlags, false); })) continue;
    if (table.Entries.empty()) continue;
    Bytes& name = table.Entries[0].Value;
    if (k % 2 == 0) {
      name += "Q";
    } else if (!name.empty()) {
      name.pop_back();
    }
    Require(Succeeds([&] { gsWriteSTRSegment(file, table, idFlags, false); }),
            "a decoded table encodes");
  }
}

void CheckChunks(const IffFile& expected, const IffFile& written, const IffFile& again) {
  Require(again.Signature == expected.Signature, "signature kept");
  Require(again.Chunks.size() == expected.Chunks.size(), "chunk count kept");
  int64_t at = kFileHeaderSize;
  for (size_t i = 0; i < expected.Chunks.size(); ++i) {
    const IffChunk& want = expected.Chunks[i];
    const IffChunk& got = again.Chunks[i];
    Require(got.Type == want.Type, "chunk type kept");
    Require(got.Size == want.Size, "chunk size field kept");
    Require(BEBytesToLong(got.Size) == static_cast<int64_t>(got.Data.size()) + kChunkHeaderSize,
            "chunk size field matches its data");
    Require(got.IdFlags == want.IdFlags, "chunk ID and flags kept");
    Require(got.Label == want.Label, "chunk label kept");
    Require(got.Data == want.Data, "chunk data kept");
    // Chunks follow each other from byte 64 on, and the writer said where.
    Require(got.Offset == at + 1, "chunks written back to back");
    Require(written.Chunks[i].Offset == got.Offset, "writer's chunk offset is where it read");
    at += kChunkHeaderSize + static_cast<int64_t>(got.Data.size());
  }
}

// The map as read back: everything but the entry offsets as it was; the
// first entry of each type and ID that some chunk has holds the offset of the
// last such chunk; every other entry keeps the offset it was read with.
void CheckMap(const IffFile& before, const IffFile& again, const Bytes& image) {
  const int32_t mapAt = BEBytesToLong(image.substr(60, 4));
  int64_t chunksEnd = kFileHeaderSize;
  for (const IffChunk& chunk : again.Chunks) {
    chunksEnd += kChunkHeaderSize + static_cast<int64_t>(chunk.Data.size());
  }
  Require(mapAt == chunksEnd, "header names the map, which follows the last chunk");
  Require(image.compare(static_cast<size_t>(mapAt), kRsmpHeaderSize, before.RsmpHeader) == 0,
          "map header written where the header says");
  Require(again.RsmpHeader == before.RsmpHeader, "map header kept");
  Require(again.RsmpSize == static_cast<int64_t>(image.size()) - mapAt,
          "map size field counts the map chunk to the end of the file");
  Require(again.RsmpTypeCount == before.RsmpTypeCount, "map type count kept");
  Require(again.RsmpTypes.size() == before.RsmpTypes.size(), "map groups kept");

  std::unordered_map<std::string, int32_t> lastChunk;  // key -> 0-based offset
  for (const IffChunk& chunk : again.Chunks) lastChunk[ChunkKey(chunk)] = chunk.Offset - 1;
  std::unordered_set<std::string> updated;
  for (size_t g = 0; g < before.RsmpTypes.size(); ++g) {
    const RsmpType& was = before.RsmpTypes[g];
    const RsmpType& now = again.RsmpTypes[g];
    Require(now.Code == was.Code, "map type code kept");
    Require(now.Count == was.Count, "map entry count kept");
    Require(now.Entries.size() == was.Entries.size(), "map entries kept");
    for (size_t e = 0; e < was.Entries.size(); ++e) {
      const RsmpEntry& wasEntry = was.Entries[e];
      const RsmpEntry& nowEntry = now.Entries[e];
      Require(nowEntry.IdFlags == wasEntry.IdFlags, "map entry ID and flags kept");
      Require(nowEntry.Label == wasEntry.Label, "map entry label kept");
      const std::string key = EntryKey(was, wasEntry);
      const auto chunk = lastChunk.find(key);
      if (chunk != lastChunk.end() && updated.insert(key).second) {
        Require(nowEntry.Offset == LongToLEBytes(chunk->second),
                "first matching entry holds the last matching chunk's offset");
      } else {
        Require(nowEntry.Offset == wasEntry.Offset, "unmatched or later entry keeps its offset");
      }
    }
  }
}

int RunIffFile(std::string_view input) {
  gLastFailure.clear();
  IffFile file;
  if (!Succeeds([&] { gsReadIFFImage(file, input); })) {
    // What a failed read left must still write or fail cleanly.
    Bytes image;
    Succeeds([&] { gsWriteIFFImage(file, image); });
    return 0;
  }

  EditNameTables(file);
  const IffFile before = file;
  // A chunk of type "rsmp" (a map right after another map is kept as an
  // ordinary chunk) would be read back as a map: such an image is written
  // but cannot come back the same.
  bool roundTrips = true;
  for (const IffChunk& chunk : file.Chunks) {
    if (chunk.Type == "rsmp") roundTrips = false;
  }

  Bytes image;
  Require(Succeeds([&] { gsWriteIFFImage(file, image); }), "an image that read writes");
  if (!roundTrips) return 0;

  IffFile again;
  Require(Succeeds([&] { gsReadIFFImage(again, image); }), "the written image reads");
  CheckChunks(before, file, again);

  const bool mapWritten = before.HasRsmp && !before.RsmpHeader.empty();
  Require(again.HasRsmp == mapWritten, "a map is written when one was read and named");
  if (mapWritten) {
    CheckMap(before, again, image);
  } else {
    Require(image.compare(60, 4, Bytes(4, '\0')) == 0, "no map: header map offset is zero");
    Require(again.RsmpHeader.empty(), "no map chunk written");
  }

  Bytes second;
  Require(Succeeds([&] { gsWriteIFFImage(again, second); }), "the image read back writes");
  Require(second == image, "writing the image read back gives the same bytes");
  return 0;
}

}  // namespace
}  // namespace qm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return qm::fuzz::RunIffFile(qm::fuzz::AsBytes(data, size));
}
