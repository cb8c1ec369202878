// The writer: the whole file image in one buffer, in one forward pass. Only
// the map's size field and the header's map offset are patched afterwards.

#include <cstdint>
#include <memory>
#include <string>

#include "1-platform/Failure.h"
#include "2-iff/IffFile.h"

namespace qm {

namespace {

constexpr size_t kMapOffsetField = 60;  // 0-based offset of the header's map offset

// A fixed-width field must have exactly its width, or every later byte of the
// file would land in the wrong place.
void PutFixed(Bytes& out, std::string_view field, size_t width, const char* what) {
  if (field.size() != width) {
    Fail(Fault::InvalidArgument, std::string(what) + " is " + std::to_string(field.size()) +
                                     " bytes, not " + std::to_string(width));
  }
  out += field;
}

void Patch(Bytes& out, size_t at, const Bytes& field) { out.replace(at, field.size(), field); }

// The list a count walks: a count above 32767 overflows the 16-bit counter
// before the walk starts; a count past the list's end is a subscript failure.
void CheckWalk(int32_t count, size_t listSize, const char* what) {
  if (count > kMaxCount) {
    Fail(Fault::Overflow, std::string(what) + " " + std::to_string(count) + " exceeds 32767");
  }
  if (count > 0 && static_cast<size_t>(count) > listSize) {
    Fail(Fault::SubscriptOutOfRange, std::string(what) + " is " + std::to_string(count) +
                                         " but the list holds " + std::to_string(listSize));
  }
}

// Position of the next byte to write, counted from 1.
int32_t WritePosition(const Bytes& out) {
  if (out.size() >= static_cast<size_t>(INT32_MAX)) Fail(Fault::Overflow, "file past 2 GB");
  return static_cast<int32_t>(out.size() + 1);
}

size_t ImageSizeHint(const IffFile& file) {
  size_t total = kFileHeaderSize;
  for (const IffChunk& chunk : file.Chunks) total += kChunkHeaderSize + chunk.Data.size();
  if (file.HasRsmp && !file.RsmpHeader.empty()) {
    total += kRsmpHeaderSize + 8;
    for (const RsmpType& group : file.RsmpTypes) {
      total += 8;
      for (const RsmpEntry& entry : group.Entries) total += 8 + entry.Label.size();
    }
  }
  return total;
}

void WriteMap(IffFile& file, Bytes& out, Bytes& headerMapOffset, Stage& stage) {
  stage.code = 3000;
  const int32_t m = WritePosition(out);
  PutFixed(out, file.RsmpHeader, kRsmpHeaderSize, "map header");
  const size_t p = out.size();
  out += LongToLEBytes(file.RsmpSize);
  out += LongToLEBytes(file.RsmpTypeCount);
  CheckWalk(file.RsmpTypeCount, file.RsmpTypes.size(), "map type count");
  for (int32_t g = 0; g < file.RsmpTypeCount; ++g) {
    const RsmpType& group = file.RsmpTypes[g];
    PutFixed(out, group.Code, 4, "map type code");
    out += LongToLEBytes(group.Count);
    CheckWalk(group.Count, group.Entries.size(), "map entry count");
    for (int32_t e = 0; e < group.Count; ++e) {
      const RsmpEntry& entry = group.Entries[e];
      out += entry.Offset;
      out += entry.IdFlags;
      out += entry.Label;
    }
  }
  const int32_t length = WritePosition(out) - m;
  Patch(out, p, LongToLEBytes(length));
  stage.code = 4000;
  headerMapOffset = LongToBEBytes(m - 1);
}

// The writer's body.
void BuildImage(IffFile& file, Bytes& out, Stage& stage) {
  out.clear();
  out.reserve(ImageSizeHint(file));
  PutFixed(out, file.Signature, 60, "file signature");
  PutFixed(out, file.RsmpOffset, 4, "header map offset");

  stage.code = 2000;
  if (file.Chunks.size() > static_cast<size_t>(kMaxCount)) {
    Fail(Fault::Overflow, "more than 32767 chunks");
  }
  for (IffChunk& chunk : file.Chunks) {
    chunk.Offset = WritePosition(out);
    out += chunk.Type;
    out += chunk.Size;
    out += chunk.IdFlags;
    PutFixed(out, chunk.Label, 64, "chunk label");
    out += chunk.Data;
  }

  Bytes headerMapOffset(4, '\0');
  // A map is written only when the header named one and a map chunk was read:
  // without its 88-byte header there is nothing to write that a reader would
  // accept.
  if (file.HasRsmp && !file.RsmpHeader.empty()) {
    gsUpdateRsmp(file);
    WriteMap(file, out, headerMapOffset, stage);
  }
  Patch(out, kMapOffsetField, headerMapOffset);
}

}  // namespace

void gsWriteIFFImage(IffFile& file, Bytes& image) {
  RunProcedure("gsWriteIFF", [&](Stage& stage) {
    stage.code = 1000;
    BuildImage(file, image, stage);
  });
}

void gsWriteIFF(IffFile& file, const std::string& path, FileSystem& fs) {
  RunProcedure("gsWriteIFF", [&](Stage& stage) {
    stage.code = 1000;
    std::unique_ptr<OutputFile> output;
    if (const SysCode code = fs.Create(path, output); code != syserr::kOk) FailIo(code, path);
    if (!output) FailIo(syserr::kWriteFault, path);
    // Leaving this scope by a failure destroys `output`, which closes the file.
    Bytes image;
    BuildImage(file, image, stage);
    if (const SysCode code = output->Write(image); code != syserr::kOk) FailIo(code, path);
    if (const SysCode code = output->Commit(); code != syserr::kOk) FailIo(code, path);
  });
}

}  // namespace qm
