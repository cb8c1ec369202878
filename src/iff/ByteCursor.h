#pragma once
// A bounds-checked reading position over bytes in memory. Every take checks
// the bytes left first, so no size read from a file is trusted before use.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qm {

class ByteCursor {
 public:
  explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}

  size_t Position() const { return pos_; }  // 0-based offset of the next unread byte
  size_t Size() const { return bytes_.size(); }
  size_t Remaining() const { return bytes_.size() - pos_; }
  void Seek(size_t position);

  // The next n bytes; fewer left is an unexpected-end-of-file failure that
  // names `what`.
  std::string_view Take(size_t n, const char* what);
  uint8_t TakeByte(const char* what);

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

}  // namespace qm
