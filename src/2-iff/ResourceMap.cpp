// The resource map ("rsmp" chunk): reading it into the map fields of an
// IffFile, and bringing its entry offsets up to date before a write.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "1-platform/Failure.h"
#include "2-iff/ByteCursor.h"
#include "2-iff/ErrorTrap.h"
#include "2-iff/IffFile.h"

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
      // Most entries: the fields and a label of up to 15 bytes, with its pad
      // byte, within the next 25 bytes.
      if (in.Remaining() >= 25) {
        const size_t at = in.Position();
        const std::string_view ahead = in.Take(25, "map entry");
        const size_t end = FindLabelEnd(ahead.substr(8, 16));
        if (end < 16) {
          gErrLocation = 4000;
          entry.Offset = Bytes(ahead.data(), 4);
          entry.IdFlags = Bytes(ahead.data() + 4, 4);
          const bool padded = ahead[8 + end] == kLabelEnd && (at + 8 + end + 1 - mapStart) % 2 == 1;
          const size_t length = end + 1 + (padded ? 1 : 0);
          entry.Label = in.Share(ahead.substr(8, length));
          in.Seek(at + 8 + length);
          continue;
        }
        in.Seek(at);
      }
      if (in.Remaining() >= 8) {
        // Offset, ID and flags in one take that cannot fail.
        const std::string_view fields = in.Take(8, "map entry fields");
        entry.Offset = Bytes(fields.data(), 4);
        entry.IdFlags = Bytes(fields.data() + 4, 4);
      } else {
        entry.Offset = Bytes(in.Take(4, "map entry offset"));
        entry.IdFlags = Bytes(in.Take(4, "map entry ID and flags"));
      }
      entry.Label = ReadLabel(in, mapStart);
    }
  }
}

// A big-endian ID pair (hi, lo) as 18 bits: each ID byte with a bit that
// tells whether the field held it, so that a byte missing from a short field
// matches only another missing byte.
uint32_t IdBits(std::string_view idFlags, size_t hiAt, size_t loAt) {
  uint32_t bits = 0;
  if (hiAt < idFlags.size()) bits |= 1u << 17 | uint32_t{static_cast<uint8_t>(idFlags[hiAt])} << 8;
  if (loAt < idFlags.size()) bits |= 1u << 16 | static_cast<uint8_t>(idFlags[loAt]);
  return bits;
}

uint32_t TypeWord(std::string_view type) {
  uint32_t word = 0;
  std::memcpy(&word, type.data(), 4);
  return word;
}

uint64_t Mix(uint64_t key) {
  key ^= key >> 33;
  key *= 0xFF51AFD7ED558CCDull;
  key ^= key >> 33;
  key *= 0xC4CEB9FE1A85EC53ull;
  key ^= key >> 33;
  return key;
}

size_t TableSize(size_t items) {
  size_t capacity = 16;
  while (capacity < items * 2) capacity *= 2;
  return capacity;
}

// The map's chunk types, numbered in order of first appearance. A number
// fits in 15 bits: there are at most 32767 groups.
class TypeNumbers {
 public:
  explicit TypeNumbers(size_t groups) : slots_(TableSize(groups)), mask_(slots_.size() - 1) {}

  uint32_t Add(uint32_t type) {
    for (size_t i = Mix(type) & mask_;; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (slot.number == 0) slot = Slot{type, ++count_};
      if (slot.type == type) return slot.number - 1;
    }
  }

  size_t Count() const { return count_; }

  // The type's number, or -1 for a type no group has.
  int32_t Find(uint32_t type) const {
    for (size_t i = Mix(type) & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.number == 0) return -1;
      if (slot.type == type) return static_cast<int32_t>(slot.number - 1);
    }
  }

 private:
  struct Slot {
    uint32_t type = 0;
    uint32_t number = 0;  // the type's number plus one; 0 for an empty slot
  };

  std::vector<Slot> slots_;
  size_t mask_;
  uint32_t count_ = 0;
};

// The key of a type number and ID bits: 33 bits.
uint64_t MatchKey(uint32_t typeNumber, uint32_t idBits) {
  return uint64_t{typeNumber} << 18 | idBits;
}

// The first place in scan order stored under each key: open addressing,
// linear probing, at most half full. A slot packs the key plus one above a
// 30-bit place (32767 groups of 32767 entries need 30 bits), so that the
// whole table of a full map stays within the CPU's caches.
class FirstIndex {
 public:
  explicit FirstIndex(size_t places) : slots_(TableSize(places)), mask_(slots_.size() - 1) {}

  // Keeps the place already stored under `key`, if any.
  void AddFirst(uint64_t key, uint32_t place) {
    const uint64_t tag = key + 1;
    for (size_t i = Mix(key) & mask_;; i = (i + 1) & mask_) {
      uint64_t& slot = slots_[i];
      if (slot == 0) {
        slot = tag << kPlaceBits | place;
        return;
      }
      if (slot >> kPlaceBits == tag) return;
    }
  }

  // Starts loading the slot where a probe for `key` begins.
  void Prefetch(uint64_t key) const { __builtin_prefetch(&slots_[Mix(key) & mask_]); }

  // The place stored under `key`, or -1.
  int32_t Find(uint64_t key) const {
    const uint64_t tag = key + 1;
    for (size_t i = Mix(key) & mask_;; i = (i + 1) & mask_) {
      const uint64_t slot = slots_[i];
      if (slot == 0) return -1;
      if (slot >> kPlaceBits == tag) return static_cast<int32_t>(slot & kPlaceMask);
    }
  }

 private:
  static constexpr int kPlaceBits = 30;
  static constexpr uint64_t kPlaceMask = (uint64_t{1} << kPlaceBits) - 1;

  std::vector<uint64_t> slots_;
  size_t mask_;
};

void SetOffset(RsmpEntry& entry, int32_t offset) {
  const auto u = static_cast<uint32_t>(offset);
  const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                         static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
  entry.Offset = Bytes(bytes, 4);
}

// Large maps outgrow the caches: slots are requested this many keys ahead of
// their use, so that the loads overlap.
constexpr size_t kAhead = 8;

// A group's place in the scan of groups, then entries, and how many of its
// entries that scan visits.
struct ScannedGroup {
  RsmpType* group;
  uint32_t type;  // its type's number
  size_t entries;
};

// Where each entry with a given type and ID sits in scan order, the first
// one winning. The IDs of one type are usually close together and ascend in
// chunk order: such a type gets a table indexed by ID, which the chunks of
// the type read front to back. Other types, and IDs of fewer than two bytes,
// go through a hash index.
class EntryPlaces {
 public:
  explicit EntryPlaces(const std::vector<ScannedGroup>& scan, size_t typeCount, size_t entryCount)
      : ranges_(typeCount), others_(0) {
    for (const ScannedGroup& s : scan) {
      Range& range = ranges_[s.type];
      for (size_t e = 0; e < s.entries; ++e) {
        const Bytes& idFlags = s.group->Entries[e].IdFlags;
        if (idFlags.size() < 2) continue;
        const uint32_t id = EntryId(idFlags);
        range.low = std::min(range.low, id);
        range.high = std::max(range.high, id);
        ++range.count;
      }
    }
    size_t tableSize = 0;
    size_t indexed = entryCount;
    for (Range& range : ranges_) {
      // Direct when the table is at most about twice the IDs it holds.
      if (range.count == 0 || range.high - range.low >= 2 * range.count + 64) continue;
      range.first = tableSize;
      range.direct = true;
      tableSize += range.high - range.low + 1;
      indexed -= range.count;
    }
    table_.assign(tableSize, -1);
    others_ = FirstIndex(indexed);
    uint32_t place = 0;
    for (const ScannedGroup& s : scan) {
      const Range& range = ranges_[s.type];
      for (size_t e = 0; e < s.entries; ++e, ++place) {
        const Bytes& idFlags = s.group->Entries[e].IdFlags;
        if (range.direct && idFlags.size() >= 2) {
          int32_t& slot = table_[range.first + EntryId(idFlags) - range.low];
          if (slot < 0) slot = static_cast<int32_t>(place);
        } else {
          // The entry's ID is little-endian: its second byte is the high one.
          others_.AddFirst(MatchKey(s.type, IdBits(idFlags, 1, 0)), place);
        }
      }
    }
  }

  // The place of the first entry of the chunk's type and ID, or -1. `type`
  // is the number of the chunk's type, or -1 when no group has it.
  int32_t Find(int32_t type, const Bytes& idFlags) const {
    if (type < 0) return -1;
    const Range& range = ranges_[static_cast<size_t>(type)];
    if (range.direct && idFlags.size() >= 2) {
      // A chunk's ID is big-endian.
      const uint32_t id = static_cast<uint32_t>(static_cast<uint8_t>(idFlags[0])) << 8 |
                          static_cast<uint8_t>(idFlags[1]);
      if (id < range.low || id > range.high) return -1;
      return table_[range.first + id - range.low];
    }
    return others_.Find(MatchKey(static_cast<uint32_t>(type), IdBits(idFlags, 0, 1)));
  }

 private:
  struct Range {
    uint32_t low = UINT32_MAX;
    uint32_t high = 0;
    size_t count = 0;  // entries with a 2-byte ID
    size_t first = 0;  // where the type's table starts
    bool direct = false;
  };

  static uint32_t EntryId(const Bytes& idFlags) {
    return static_cast<uint32_t>(static_cast<uint8_t>(idFlags[1])) << 8 |
           static_cast<uint8_t>(idFlags[0]);
  }

  std::vector<Range> ranges_;
  std::vector<int32_t> table_;
  FirstIndex others_;
};

void UpdateMap(IffFile& file) {
  // The scan of groups, then entries, that finds the first entry of each type
  // and ID. A count beyond its list ends that scan: chunks that find no entry
  // before that point fail there, as a plain scan would.
  std::vector<ScannedGroup> scan;
  TypeNumbers types(file.RsmpTypes.size());
  size_t entryCount = 0;
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
    const uint32_t type = types.Add(TypeWord(ReverseBytes4(group.Code)));
    if (group.Count > kMaxCount) {
      scanFault = Fault::Overflow;
      scanFaultText = "map entry count " + std::to_string(group.Count) + " exceeds 32767";
      break;
    }
    const size_t visited =
        static_cast<size_t>(std::clamp(group.Count, 0, static_cast<int32_t>(group.Entries.size())));
    scan.push_back({&group, type, visited});
    entryCount += visited;
    if (visited < static_cast<size_t>(std::max(group.Count, 0))) {
      scanFault = Fault::SubscriptOutOfRange;
      scanFaultText = "map entry count " + std::to_string(group.Count) + " but " +
                      std::to_string(group.Entries.size()) + " entries";
    }
  }
  const EntryPlaces places(scan, types.Count(), entryCount);
  std::vector<RsmpEntry*> entries;  // by place
  entries.reserve(entryCount);
  for (const ScannedGroup& s : scan) {
    for (size_t e = 0; e < s.entries; ++e) entries.push_back(&s.group->Entries[e]);
  }

  if (file.Chunks.size() > static_cast<size_t>(kMaxCount)) {
    Fail(Fault::Overflow, "more than 32767 chunks");
  }
  // Chunks go in blocks: the places of a block, then its updates in chunk
  // order, so that the entries' loads overlap.
  const std::vector<IffChunk>& chunks = file.Chunks;
  for (size_t start = 0; start < chunks.size(); start += kAhead) {
    const size_t count = std::min(kAhead, chunks.size() - start);
    int32_t found[kAhead];
    for (size_t k = 0; k < count; ++k) {
      const IffChunk& chunk = chunks[start + k];
      // Every entry's type has 4 bytes, so a chunk type of any other length
      // matches none.
      const int32_t type = chunk.Type.size() == 4 ? types.Find(TypeWord(chunk.Type)) : -1;
      found[k] = places.Find(type, chunk.IdFlags);
      if (found[k] >= 0) __builtin_prefetch(entries[static_cast<size_t>(found[k])], 1);
    }
    for (size_t k = 0; k < count; ++k) {
      if (found[k] < 0) {
        if (!scanFaultText.empty()) Fail(scanFault, scanFaultText);
        continue;
      }
      const int64_t offset = static_cast<int64_t>(chunks[start + k].Offset) - 1;
      if (offset < INT32_MIN) Fail(Fault::Overflow, "chunk offset");
      SetOffset(*entries[static_cast<size_t>(found[k])], static_cast<int32_t>(offset));
    }
  }
}

}  // namespace

bool gsReadRSMP(IffFile& file, ByteCursor& in) {
  return RunTrapped(kIffModule, "gsReadRSMP", TrapLocation::Keep, [&] { ReadMap(file, in); });
}

bool gsUpdateRsmp(IffFile& file) {
  return RunTrapped(kIffModule, "gsUpdateRsmp", TrapLocation::Reset, [&] { UpdateMap(file); });
}

}  // namespace qm
