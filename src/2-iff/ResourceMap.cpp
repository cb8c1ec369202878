// The resource map ("rsmp" chunk): reading it into the map fields of an
// IffFile, and bringing its entry offsets up to date before a write.

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "1-platform/Failure.h"
#include "2-iff/ByteCursor.h"
#include "2-iff/IffFile.h"

namespace qm {

namespace {

// The least bytes a group (code, count, one entry) and an entry (offset,
// ID and flags, a 1-byte label) can take; used only to cap reservations.
constexpr size_t kMinGroupBytes = 17;
constexpr size_t kMinEntryBytes = 9;

// A count that sizes a list: below 1 there is no element 1 to store into;
// above 32767 the 16-bit loop counter cannot reach it.
void CheckCount(int32_t count, const char* what) {
  if (count < 1) {
    Fail(Fault::SubscriptOutOfRange, std::string(what) + " is " + std::to_string(count));
  }
  if (count > kMaxCount) {
    Fail(Fault::Overflow, std::string(what) + " " + std::to_string(count) + " exceeds 32767");
  }
}

// The label bytes through the terminator, and the pad byte when the count of
// map bytes read through a 0x00 terminator is odd. A label ends at 0x00 (then
// a pad byte keeps the map's byte count even) or at 0xA3 (no pad byte).
SharedBytes ReadLabel(ByteCursor& in, size_t mapStart, Stage& stage) {
  stage.code = 4000;
  const size_t start = in.Position();
  const std::string_view rest = in.Take(in.Remaining(), "map label");
  size_t end = 0;
  while (end < rest.size() && rest[end] != '\0' && rest[end] != '\xA3') ++end;
  if (end == rest.size()) {
    // Every byte to the end has been consumed looking for the terminator.
    Fail(Fault::UnexpectedEndOfFile,
         "map label at offset " + std::to_string(start) + " runs into the end of the file");
  }
  in.Seek(start + end + 1);
  if (rest[end] == '\0' && (in.Position() - mapStart) % 2 == 1) {
    in.TakeByte("map label pad byte");  // none left: fails
  }
  return in.View(rest.substr(0, in.Position() - start));
}

void ReadMap(IffFile& file, ByteCursor& in, Stage& stage) {
  stage.code = 1000;
  const size_t mapStart = in.Position();
  file.RsmpHeader = Bytes(in.Take(kRsmpHeaderSize, "map header"));
  file.RsmpSize = LEBytesToLong(in.Take(4, "map size"));
  file.RsmpTypeCount = LEBytesToLong(in.Take(4, "map type count"));
  file.RsmpTypes.clear();
  CheckCount(file.RsmpTypeCount, "map type count");
  // Groups are added as they are read, so a count the file cannot hold never
  // sizes an allocation.
  file.RsmpTypes.reserve(
      std::min(static_cast<size_t>(file.RsmpTypeCount), in.Remaining() / kMinGroupBytes + 1));
  for (int32_t g = 0; g < file.RsmpTypeCount; ++g) {
    stage.code = 2000;
    RsmpType& group = file.RsmpTypes.emplace_back();
    group.Code = Bytes(in.Take(4, "map type code"));
    group.Count = LEBytesToLong(in.Take(4, "map entry count"));
    CheckCount(group.Count, "map entry count");
    group.Entries.reserve(
        std::min(static_cast<size_t>(group.Count), in.Remaining() / kMinEntryBytes + 1));
    for (int32_t e = 0; e < group.Count; ++e) {
      stage.code = 3000;
      RsmpEntry& entry = group.Entries.emplace_back();
      entry.Offset = Bytes4(in.Take(4, "map entry offset"));
      entry.IdFlags = Bytes4(in.Take(4, "map entry ID and flags"));
      entry.Label = ReadLabel(in, mapStart, stage);
    }
  }
}

// A chunk type as a number, and an ID: big-endian in a chunk's header and
// little-endian in a map entry.
uint32_t TypeKey(std::string_view type) { return static_cast<uint32_t>(BEBytesToLong(type)); }

uint16_t Id(char high, char low) {
  return static_cast<uint16_t>(static_cast<uint8_t>(high) << 8 | static_cast<uint8_t>(low));
}

void UpdateMap(IffFile& file) {
  if (file.Chunks.size() > static_cast<size_t>(kMaxCount)) {
    Fail(Fault::Overflow, "more than 32767 chunks");
  }
  // By type, as the map groups its entries, then by ID: the first entry of
  // each in group, then entry order. A type's own table holds only its IDs,
  // which files mostly number in sequence: they land in buckets of their own,
  // in the order they were added, so a large map's update keeps to memory
  // close at hand. A count beyond its list ends that scan, as it would a
  // plain nested one: a chunk whose entry came before that point is still
  // updated, any other fails there.
  std::unordered_map<uint32_t, std::unordered_map<uint16_t, RsmpEntry*>> first;
  Fault scanFault = Fault::SubscriptOutOfRange;
  std::string scanEnd;  // why the scan ended early; empty when it did not
  const int32_t typeCount = file.RsmpTypeCount;
  if (typeCount > kMaxCount) {
    scanFault = Fault::Overflow;
    scanEnd = "map type count " + std::to_string(typeCount) + " exceeds 32767";
  }
  for (int32_t g = 0; g < typeCount && scanEnd.empty(); ++g) {
    if (static_cast<size_t>(g) >= file.RsmpTypes.size()) {
      scanEnd = "map type count " + std::to_string(typeCount) + " but " +
                std::to_string(file.RsmpTypes.size()) + " groups";
      break;
    }
    RsmpType& group = file.RsmpTypes[g];
    if (group.Count > kMaxCount) {
      scanFault = Fault::Overflow;
      scanEnd = "map entry count " + std::to_string(group.Count) + " exceeds 32767";
      break;
    }
    const size_t count = static_cast<size_t>(std::max(group.Count, 0));
    auto& ids = first[TypeKey(ReverseBytes4(group.Code))];
    ids.reserve(ids.size() + std::min(count, group.Entries.size()));
    for (size_t e = 0; e < std::min(count, group.Entries.size()); ++e) {
      RsmpEntry& entry = group.Entries[e];
      ids.emplace(Id(entry.IdFlags[1], entry.IdFlags[0]), &entry);
    }
    if (count > group.Entries.size()) {
      scanEnd = "map entry count " + std::to_string(group.Count) + " but " +
                std::to_string(group.Entries.size()) + " entries";
    }
  }
  const auto entryOf = [&first](const IffChunk& chunk) -> RsmpEntry* {
    const auto type = first.find(TypeKey(chunk.Type));
    if (type == first.end()) return nullptr;
    const auto found = type->second.find(Id(chunk.IdFlags[0], chunk.IdFlags[1]));
    return found == type->second.end() ? nullptr : found->second;
  };
  // Chunk by chunk, so that of several chunks with one key the last one wins.
  for (const IffChunk& chunk : file.Chunks) {
    RsmpEntry* entry = entryOf(chunk);
    if (entry == nullptr) {
      if (!scanEnd.empty()) Fail(scanFault, scanEnd);
      continue;
    }
    const int64_t offset = static_cast<int64_t>(chunk.Offset) - 1;
    if (offset < INT32_MIN) Fail(Fault::Overflow, "chunk offset");
    entry->Offset = LongToLEBytes(static_cast<int32_t>(offset));
  }
}

}  // namespace

void gsReadRSMP(IffFile& file, ByteCursor& in) {
  RunProcedure("gsReadRSMP", [&](Stage& stage) { ReadMap(file, in, stage); });
}

void gsUpdateRsmp(IffFile& file) {
  RunProcedure("gsUpdateRsmp", [&](Stage&) { UpdateMap(file); });
}

}  // namespace qm
