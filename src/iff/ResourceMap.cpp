// The resource map ("rsmp" chunk): reading it into the map fields of an
// IffFile, and bringing its entry offsets up to date before a write.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

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

// Position in `bytes` of the first label terminator (0x00 or 0xA3), or its
// size when there is none. Eight bytes at a time: in each word, a byte that
// is zero after XOR with the terminator sets its top bit in the mask; bits
// above the first such byte may be false, the lowest one never is.
size_t FindLabelEnd(std::string_view bytes) {
  static_assert(std::endian::native == std::endian::little, "byte order of the word scan");
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighs = 0x8080808080808080ull;
  constexpr uint64_t kA3s = kOnes * 0xA3;
  size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    uint64_t word = 0;
    std::memcpy(&word, bytes.data() + at, 8);
    const uint64_t other = word ^ kA3s;
    const uint64_t mask = ((word - kOnes) & ~word & kHighs) | ((other - kOnes) & ~other & kHighs);
    if (mask != 0) return at + static_cast<size_t>(std::countr_zero(mask)) / 8;
  }
  while (at < bytes.size() && bytes[at] != kLabelEnd && bytes[at] != '\xA3') ++at;
  return at;
}

// The label bytes through the terminator, and the pad byte when the count of
// map bytes read through a 0x00 terminator is odd.
SharedBytes ReadLabel(ByteCursor& in, size_t mapStart) {
  gErrLocation = 4000;
  const size_t start = in.Position();
  const std::string_view rest = in.Take(in.Remaining(), "map label");
  const size_t end = FindLabelEnd(rest);
  if (end == rest.size()) {
    // Every byte to the end has been consumed looking for the terminator.
    Fail(Fault::UnexpectedEndOfFile,
         "map label at offset " + std::to_string(start) + " runs into the end of the file");
  }
  const bool padded = rest[end] == kLabelEnd && (start + end + 1 - mapStart) % 2 == 1;
  if (padded && end + 1 < rest.size()) {
    in.Seek(start + end + 2);
    return in.Share(rest.substr(0, end + 2));
  }
  in.Seek(start + end + 1);
  if (padded) in.TakeByte("map label pad byte");  // none left: fails
  return in.Share(rest.substr(0, end + 1));
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
      if (in.Remaining() >= 8) {
        // Offset, ID and flags in one take that cannot fail.
        const std::string_view fields = in.Take(8, "map entry fields");
        entry.Offset.assign4(fields.data());
        entry.IdFlags.assign4(fields.data() + 4);
      } else {
        entry.Offset.assign(in.Take(4, "map entry offset"));
        entry.IdFlags.assign(in.Take(4, "map entry ID and flags"));
      }
      entry.Label = ReadLabel(in, mapStart);
    }
  }
}

// Key of a 4-byte chunk type and a big-endian ID pair (hi, lo): the type, then
// each ID byte with a bit that tells whether the field held it, so that a
// byte missing from a short field matches only another missing byte.
uint64_t MatchKey(std::string_view type, std::string_view idFlags, size_t hiAt, size_t loAt) {
  uint64_t key = 0;
  for (size_t i = 0; i < 4; ++i) key = key << 8 | static_cast<uint8_t>(type[i]);
  key <<= 18;
  if (hiAt < idFlags.size())
    key |= uint64_t{1} << 17 | uint64_t{static_cast<uint8_t>(idFlags[hiAt])} << 8;
  if (loAt < idFlags.size()) key |= uint64_t{1} << 16 | static_cast<uint8_t>(idFlags[loAt]);
  return key;
}

// The first entry stored under each key: open addressing, linear probing,
// at most half full.
class EntryIndex {
 public:
  explicit EntryIndex(size_t entries) {
    size_t capacity = 16;
    while (capacity < entries * 2) capacity *= 2;
    slots_.resize(capacity);
    mask_ = capacity - 1;
  }

  // Keeps the entry already stored under `key`, if any.
  void AddFirst(uint64_t key, RsmpEntry* entry) {
    for (size_t i = Hash(key) & mask_;; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (slot.entry == nullptr) {
        slot = Slot{key, entry};
        return;
      }
      if (slot.key == key) return;
    }
  }

  // Starts loading the slot where a probe for `key` begins.
  void Prefetch(uint64_t key) const { __builtin_prefetch(&slots_[Hash(key) & mask_]); }

  RsmpEntry* Find(uint64_t key) const {
    for (size_t i = Hash(key) & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.entry == nullptr || slot.key == key) return slot.entry;
    }
  }

 private:
  struct Slot {
    uint64_t key = 0;
    RsmpEntry* entry = nullptr;
  };

  static size_t Hash(uint64_t key) {
    key ^= key >> 33;
    key *= 0xFF51AFD7ED558CCDull;
    key ^= key >> 33;
    key *= 0xC4CEB9FE1A85EC53ull;
    key ^= key >> 33;
    return static_cast<size_t>(key);
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
};

void UpdateMap(IffFile& file) {
  // Index the entries in the order a scan of groups, then entries, visits
  // them; the first entry of each type and ID is the one a chunk updates. A
  // count beyond its list ends that scan: chunks that find no entry before
  // that point fail there, as a plain scan would.
  size_t entryCount = 0;
  for (const RsmpType& group : file.RsmpTypes) entryCount += group.Entries.size();
  std::vector<std::pair<uint64_t, RsmpEntry*>> scanned;
  scanned.reserve(entryCount);
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
      scanned.emplace_back(MatchKey(type, entry.IdFlags, 1, 0), &entry);
    }
  }

  // Large maps outgrow the caches: each slot is requested a few entries or
  // chunks ahead of its use, so that the loads overlap.
  constexpr size_t kAhead = 8;
  EntryIndex firstEntry(scanned.size());
  for (size_t i = 0; i < scanned.size(); ++i) {
    if (i + kAhead < scanned.size()) firstEntry.Prefetch(scanned[i + kAhead].first);
    firstEntry.AddFirst(scanned[i].first, scanned[i].second);
  }

  if (file.Chunks.size() > static_cast<size_t>(kMaxCount)) {
    Fail(Fault::Overflow, "more than 32767 chunks");
  }
  // Chunks go in blocks: the keys of a block, then its lookups, then its
  // updates in chunk order.
  const std::vector<IffChunk>& chunks = file.Chunks;
  for (size_t start = 0; start < chunks.size(); start += kAhead) {
    const size_t count = std::min(kAhead, chunks.size() - start);
    uint64_t keys[kAhead];
    RsmpEntry* found[kAhead];
    for (size_t k = 0; k < count; ++k) {
      const IffChunk& chunk = chunks[start + k];
      // Every entry's type has 4 bytes, so a chunk type of any other length
      // matches none.
      keys[k] = chunk.Type.size() == 4 ? MatchKey(chunk.Type, chunk.IdFlags, 0, 1) : 0;
      if (chunk.Type.size() == 4) firstEntry.Prefetch(keys[k]);
    }
    for (size_t k = 0; k < count; ++k) {
      found[k] = chunks[start + k].Type.size() == 4 ? firstEntry.Find(keys[k]) : nullptr;
      if (found[k] != nullptr) __builtin_prefetch(found[k], 1);
    }
    for (size_t k = 0; k < count; ++k) {
      if (found[k] == nullptr) {
        if (!scanFaultText.empty()) Fail(scanFault, scanFaultText);
        continue;
      }
      const int64_t offset = static_cast<int64_t>(chunks[start + k].Offset) - 1;
      if (offset < INT32_MIN) Fail(Fault::Overflow, "chunk offset");
      found[k]->Offset = LongToLEBytes(static_cast<int32_t>(offset));
    }
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
