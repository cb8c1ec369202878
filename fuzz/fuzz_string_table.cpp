// String tables: the input is the data of one STR# chunk. A table that
// decodes without a report and holds at least one entry must encode back to
// the same bytes, with the chunk's size field at data length + 76; with every
// value changed it must decode to the changed values and the rest as it was.

#include <cstddef>
#include <cstdint>
#include <string>

#include "2-iff/BinarySupport.h"
#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "FuzzSupport.h"

namespace qm::fuzz {
namespace {

const Bytes kIdFlags("\x00\x96\x00\x10", 4);

IffFile FileWithTable(std::string_view data) {
  IffFile file;
  IffChunk& chunk = file.Chunks.emplace_back();
  chunk.Offset = kFileHeaderSize + 1;
  chunk.Type = "STR#";
  chunk.Size = LongToBEBytes(static_cast<int32_t>(data.size()) + kChunkHeaderSize);
  chunk.IdFlags = kIdFlags;
  chunk.Label = Bytes(64, '\0');
  chunk.Data = Bytes(data);
  return file;
}

int RunStringTable(std::string_view input) {
  gLastFailure.clear();
  IffFile file = FileWithTable(input);
  StringTable table;
  if (!Succeeds([&] { gsReadSTRSegment(file, table, kIdFlags, false); })) return 0;
  if (table.Entries.empty()) return 0;

  Require(input.size() >= 4, "a table with entries has its 4 leading bytes");
  Require(table.FormatCode == input.substr(0, 2), "format code is bytes 0-1");
  Require(table.CountBytes == input.substr(2, 2), "count is bytes 2-3");
  Require(static_cast<int32_t>(table.Entries.size()) ==
              LEBytesToLong(table.CountBytes + Bytes(2, '\0')),
          "entry count as stored");
  Require(Succeeds([&] { gsWriteSTRSegment(file, table, kIdFlags, false); }),
          "a decoded table encodes");
  const IffChunk& chunk = file.Chunks[0];
  Require(chunk.Data == input, "a decoded table encodes to the same bytes");
  Require(BEBytesToLong(chunk.Size) == static_cast<int64_t>(input.size()) + kChunkHeaderSize,
          "size field is data length + 76");

  StringTable edited = table;
  for (size_t i = 0; i < edited.Entries.size(); ++i) {
    Bytes& value = edited.Entries[i].Value;
    value = i % 2 == 0 ? value + "Q" : value.substr(0, value.size() / 2);
  }
  Require(Succeeds([&] { gsWriteSTRSegment(file, edited, kIdFlags, false); }),
          "an edited table encodes");
  StringTable back;
  Require(Succeeds([&] { gsReadSTRSegment(file, back, kIdFlags, false); }),
          "an edited table decodes");
  Require(back.FormatCode == edited.FormatCode && back.CountBytes == edited.CountBytes,
          "edited table keeps its format code and count");
  Require(back.Entries.size() == edited.Entries.size(), "edited table keeps its entry count");
  for (size_t i = 0; i < back.Entries.size(); ++i) {
    Require(back.Entries[i].LanguageCode == edited.Entries[i].LanguageCode &&
                back.Entries[i].Value == edited.Entries[i].Value &&
                back.Entries[i].Comment == edited.Entries[i].Comment,
            "edited entry decodes as encoded");
  }
  Require(back.Trailer == edited.Trailer, "edited table keeps its trailer");
  return 0;
}

}  // namespace
}  // namespace qm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return qm::fuzz::RunStringTable(qm::fuzz::AsBytes(data, size));
}
