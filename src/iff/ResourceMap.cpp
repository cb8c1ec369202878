// The resource map ("rsmp" chunk): reading it into the map fields of an
// IffFile, and bringing its entry offsets up to date before a write.

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "errortrap/ErrorTrap.h"
#include "errortrap/Failure.h"
#include "iff/ByteCursor.h"
#include "iff/IffFile.h"

namespace qm {

namespace {

// A label ends at 0x00 (then a pad byte keeps the map's byte count even) or
// at 0xA3 (no pad byte).
constexpr char kLabelEnd = '\x00';
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
// map bytes read through a 0x00 terminator is odd.
Bytes ReadLabel(ByteCursor& in, size_t mapStart) {
  gErrLocation = 4000;
  const size_t start = in.Position();
  const std::string_view rest = in.Take(in.Remaining(), "map label");
  const size_t end = rest.find_first_of(std::string_view("\x00\xA3", 2));
  if (end == std::string_view::npos) {
    // Every byte to the end has been consumed looking for the terminator.
    Fail(Fault::UnexpectedEndOfFile,
         "map label at offset " + std::to_string(start) + " runs into the end of the file");
  }
  in.Seek(start + end + 1);
  Bytes label(rest.substr(0, end + 1));
  if (rest[end] == kLabelEnd && (in.Position() - mapStart) % 2 == 1) {
    label.push_back(static_cast<char>(in.TakeByte("map label pad byte")));
  }
  return label;
}

void ReadMap(IffFile& file, ByteCursor& in) {
  gErrLocation = 1000;
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
    gErrLocation = 2000;
    RsmpType& group = file.RsmpTypes.emplace_back();
    group.Code = Bytes(in.Take(4, "map type code"));
    group.Count = LEBytesToLong(in.Take(4, "map entry count"));
    CheckCount(group.Count, "map entry count");
    group.Entries.reserve(
        std::min(static_cast<size_t>(group.Count), in.Remaining() / kMinEntryBytes + 1));
    for (int32_t e = 0; e < group.Count; ++e) {
      gErrLocation = 3000;
      RsmpEntry& entry = group.Entries.emplace_back();
      entry.Offset = Bytes(in.Take(4, "map entry offset"));
      entry.IdFlags = Bytes(in.Take(4, "map entry ID and flags"));
      entry.Label = ReadLabel(in, mapStart);
    }
  }
}

// Key of a chunk type and a big-endian ID pair (hi, lo); either ID byte may be
// missing from a short field, which then compares as empty.
std::string MatchKey(std::string_view type, std::string_view hi, std::string_view lo) {
  std::string key = std::to_string(type.size());
  key += ':';
  key += type;
  key += static_cast<char>('0' + hi.size());
  key += hi;
  key += static_cast<char>('0' + lo.size());
  key += lo;
  return key;
}

std::string_view ByteAt(std::string_view bytes, size_t i) {
  return i < bytes.size() ? bytes.substr(i, 1) : std::string_view();
}

void UpdateMap(IffFile& file) {
  // Index the entries in the order a scan of groups, then entries, visits
  // them; the first entry of each type and ID is the one a chunk updates. A
  // count beyond its list ends that scan: chunks that find no entry before
  // that point fail there, as a plain scan would.
  std::unordered_map<std::string, RsmpEntry*> firstEntry;
  Fault scanFault = Fault::InvalidArgument;
  std::string scanFaultText;
  const int32_t typeCount = file.RsmpTypeCount;
  if (typeCount > kMaxCount) {
    scanFault = Fault::Overflow;
    scanFaultText = "map type count " + std::to_string(typeCount) + " exceeds 32767";
  }
  for (int32_t g = 0; g < typeCount && scanFaultText.empty(); ++g) {
    if (static_cast<size_t>(g) >= file.RsmpTypes.size()) {
      scanFault = Fault::SubscriptOutOfRange;
      scanFaultText = "map type count " + std::to_string(typeCount) + " but " +
                      std::to_string(file.RsmpTypes.size()) + " groups";
      break;
    }
    RsmpType& group = file.RsmpTypes[g];
    const Bytes type = ReverseBytes4(group.Code);
    if (group.Count > kMaxCount) {
      scanFault = Fault::Overflow;
      scanFaultText = "map entry count " + std::to_string(group.Count) + " exceeds 32767";
      break;
    }
    for (int32_t e = 0; e < group.Count; ++e) {
      if (static_cast<size_t>(e) >= group.Entries.size()) {
        scanFault = Fault::SubscriptOutOfRange;
        scanFaultText = "map entry count " + std::to_string(group.Count) + " but " +
                        std::to_string(group.Entries.size()) + " entries";
        break;
      }
      RsmpEntry& entry = group.Entries[e];
      // The entry's ID is little-endian: its second byte is the high one.
      firstEntry.try_emplace(MatchKey(type, ByteAt(entry.IdFlags, 1), ByteAt(entry.IdFlags, 0)),
                             &entry);
    }
  }

  if (file.Chunks.size() > static_cast<size_t>(kMaxCount)) {
    Fail(Fault::Overflow, "more than 32767 chunks");
  }
  for (const IffChunk& chunk : file.Chunks) {
    const auto found =
        firstEntry.find(MatchKey(chunk.Type, ByteAt(chunk.IdFlags, 0), ByteAt(chunk.IdFlags, 1)));
    if (found == firstEntry.end()) {
      if (!scanFaultText.empty()) Fail(scanFault, scanFaultText);
      continue;
    }
    const int64_t offset = static_cast<int64_t>(chunk.Offset) - 1;
    if (offset < INT32_MIN) Fail(Fault::Overflow, "chunk offset");
    found->second->Offset = LongToLEBytes(static_cast<int32_t>(offset));
  }
}

}  // namespace

bool gsReadRSMP(IffFile& file, ByteCursor& in) {
  return RunTrapped("gsReadRSMP", TrapLocation::Keep, [&] { ReadMap(file, in); });
}

bool gsUpdateRsmp(IffFile& file) {
  return RunTrapped("gsUpdateRsmp", TrapLocation::Reset, [&] { UpdateMap(file); });
}

}  // namespace qm
