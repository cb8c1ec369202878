#pragma once
// The benchmarks' input files, generated: one shaped like the game's
// live.iff, and files of many small chunks for the map update. Every file
// is the same from run to run.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "2-iff/BinarySupport.h"

namespace qm::bench {

// Chunk ids of the seven name tables; all "STR#" with flags 0x0010.
inline constexpr std::array<uint16_t, 7> kNameTableIds = {0x96, 0x97, 0xA1, 0xA2, 0xA3, 0xA4, 0xA0};
inline constexpr uint16_t kNameTableFlags = 0x0010;
inline constexpr int kLiveLikeChunks = 1500;

// A name table's IdFlags field, e.g. 00 96 00 10.
Bytes NameTableIdFlags(uint16_t id);

// About 1.2 MB, like the game's multilingual live.iff: kLiveLikeChunks
// chunks of mixed types and sizes, the seven name tables among them (FD FF
// format; in each of the game's 17 languages a block of the names its list
// shows, 51 or 50), and the map last with an entry per chunk.
Bytes LiveLikeImage();

// `chunkCount` chunks of a dozen types with 0 to 63 data bytes each, and the
// map last with an entry per chunk.
Bytes MappedImage(int chunkCount);

// A fresh folder under the system's temporary folder, removed with its
// contents when this goes out of scope.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  std::string Path(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Writes `bytes` to `path`; throws std::runtime_error when that fails.
void WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace qm::bench
