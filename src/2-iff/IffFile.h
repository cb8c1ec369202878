#pragma once
// The in-memory image of one IFF file and the procedures that read, update
// and write it. Field names follow the file format's documentation; lists are
// std::vector, so list index k (counted from 1 in the format's terms) is
// element k - 1. Every fixed-width field is held as raw bytes; those of 4 bytes
// in chunks and map entries as Bytes4, which is never any other width.
//
// A gs* procedure that fails throws IffError (IffError.h) and leaves its
// records as far as it had come.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "1-platform/FileSystem.h"
#include "2-iff/BinarySupport.h"
#include "2-iff/IffError.h"
#include "2-iff/SharedBytes.h"

namespace qm {

inline constexpr int32_t kFileHeaderSize = 64;
inline constexpr int32_t kChunkHeaderSize = 76;
inline constexpr int32_t kRsmpHeaderSize = 88;
inline constexpr int32_t kMaxCount = 32767;  // counters are signed 16-bit

struct IffChunk {
  int32_t Offset = 0;  // position of the first byte, counted from 1
  Bytes4 Type;         // e.g. "STR#"
  Bytes4 Size;         // big-endian, as in the file: data length + 76
  Bytes4 IdFlags;      // ID (big-endian) then flags
  // Label and Data of a chunk that was read view its IffFile's Image;
  // assigning a std::string makes them own it.
  SharedBytes Label;  // 64 bytes
  SharedBytes Data;
};

struct RsmpEntry {
  Bytes4 Offset;   // little-endian 0-based file offset
  Bytes4 IdFlags;  // ID (little-endian) then flags
  // Label bytes with terminator and pad byte, as stored; read from a file,
  // a view of its IffFile's Image like a chunk's Label.
  SharedBytes Label;
};

struct RsmpType {
  Bytes Code;  // 4 bytes: the chunk type reversed
  int32_t Count = 0;
  std::vector<RsmpEntry> Entries;
};

struct IffFile {
  Bytes Signature;   // 60 bytes
  Bytes RsmpOffset;  // 4 bytes, the header's map offset as read
  std::vector<IffChunk> Chunks;
  Bytes RsmpHeader;  // 88 bytes once a map chunk has been read, empty before
  int32_t RsmpSize = 0;
  int32_t RsmpTypeCount = 0;
  std::vector<RsmpType> RsmpTypes;
  bool HasRsmp = false;
  // The bytes the file was read from, which the labels and data read from
  // them view: shared by the copies of this IffFile, so a chunk or map entry
  // that was read must not outlive every one of them.
  std::shared_ptr<const std::string> Image;
};

class ByteCursor;

// Reads a whole IFF file. The image form takes the file's bytes directly.
void gsReadIFF(IffFile& file, const std::string& path, FileSystem& fs = SystemFileSystem());
void gsReadIFFImage(IffFile& file, std::string_view image);

// Reads the map chunk that starts at the cursor, which reads file.Image, into
// the map fields, leaving the cursor just after the last byte it consumed.
void gsReadRSMP(IffFile& file, ByteCursor& in);

// Sets each map entry's offset from the chunk of the same type and ID
// (the first matching entry in group then entry order; a later chunk with the
// same type and ID wins). Linear in chunks plus entries.
void gsUpdateRsmp(IffFile& file);

// Writes the image: header, chunks in list order, then the map (when
// HasRsmp) with its offsets, its size field and the header's map offset
// brought up to date. Sets every chunk's Offset. The path form creates the
// file afresh, flushes it, and closes it on every path.
void gsWriteIFF(IffFile& file, const std::string& path, FileSystem& fs = SystemFileSystem());
void gsWriteIFFImage(IffFile& file, Bytes& image);

}  // namespace qm
