// The reader: the 64-byte header, then a walk over the chunks that hands the
// map chunk ("rsmp") to gsReadRSMP and keeps every other chunk in Chunks.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "1-platform/Failure.h"
#include "2-iff/ByteCursor.h"
#include "2-iff/IffFile.h"

namespace qm {

namespace {

constexpr std::string_view kRsmpType = "rsmp";
constexpr int32_t kNoMapText = 0x30303030;  // the header field holding the text "0000"

void ResetImage(IffFile& file) {
  // The map's header, size and type count stay as they are until a map is read.
  file.Chunks.clear();
  file.RsmpTypes.clear();
  file.Image.reset();
}

// Reads one ordinary chunk whose type has already been taken. Its label and
// data view the file's image.
void ReadChunk(IffFile& file, ByteCursor& in, std::string_view type) {
  if (file.Chunks.size() >= static_cast<size_t>(kMaxCount)) {
    Fail(Fault::Overflow, "more than 32767 chunks");
  }
  const size_t start = in.Position() - 4;
  if (start >= static_cast<size_t>(INT32_MAX)) Fail(Fault::Overflow, "chunk offset past 2 GB");
  IffChunk& chunk = file.Chunks.emplace_back();
  chunk.Offset = static_cast<int32_t>(start + 1);
  chunk.Type = Bytes4(type);
  chunk.Size = Bytes4(in.Take(4, "chunk size"));
  chunk.IdFlags = Bytes4(in.Take(4, "chunk ID and flags"));
  chunk.Label = in.TakeView(64, "chunk label");
  const int64_t dataLength = static_cast<int64_t>(BEBytesToLong(chunk.Size)) - kChunkHeaderSize;
  if (dataLength < INT32_MIN) Fail(Fault::Overflow, "chunk size minus header");
  if (dataLength < 0) {
    Fail(Fault::InvalidArgument, "chunk at offset " + std::to_string(chunk.Offset - 1) +
                                     " has size " + std::to_string(dataLength + kChunkHeaderSize) +
                                     ", below the 76-byte header");
  }
  chunk.Data = in.TakeView(static_cast<size_t>(dataLength), "chunk data");
}

// The reader's body: the file keeps `image`, its bytes, which the labels and
// data of chunks and map entries view.
void ReadImage(IffFile& file, std::shared_ptr<const std::string> image, Stage& stage) {
  file.Image = std::move(image);
  ByteCursor in(*file.Image);
  file.Signature = Bytes(in.Take(60, "file signature"));
  file.RsmpOffset = Bytes(in.Take(4, "header map offset"));
  const int32_t mapOffset = BEBytesToLong(file.RsmpOffset);
  file.HasRsmp = mapOffset != 0 && mapOffset != kNoMapText;

  stage.code = 2000;
  // Room for chunks averaging 512 bytes or more, as in the game's files, so
  // that a load does not move the list as it grows; more grows it.
  file.Chunks.reserve(std::min(static_cast<size_t>(kMaxCount), file.Image->size() / 512 + 16));
  // While the next unread byte is not the last one (at least two bytes left).
  while (in.Remaining() >= 2) {
    std::string_view type = in.Take(4, "chunk type");
    if (type == kRsmpType) {
      in.Seek(in.Position() - 4);
      gsReadRSMP(file, in);
      if (in.Remaining() <= 1) break;
      // Whatever follows a map chunk directly is kept as an ordinary chunk.
      type = in.Take(4, "chunk type");
    }
    ReadChunk(file, in, type);
  }
}

}  // namespace

void gsReadIFFImage(IffFile& file, std::string_view image) {
  RunProcedure("gsReadIFF", [&](Stage& stage) {
    stage.code = 1000;
    ResetImage(file);
    ReadImage(file, std::make_shared<const std::string>(image), stage);
  });
}

void gsReadIFF(IffFile& file, const std::string& path, FileSystem& fs) {
  RunProcedure("gsReadIFF", [&](Stage& stage) {
    stage.code = 1000;
    ResetImage(file);
    std::string image;
    if (const SysCode code = fs.ReadAll(path, image); code != syserr::kOk) FailIo(code, path);
    ReadImage(file, std::make_shared<const std::string>(std::move(image)), stage);
  });
}

}  // namespace qm
