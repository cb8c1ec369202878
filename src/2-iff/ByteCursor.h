#pragma once
// A bounds-checked reading position over bytes in memory. Every take checks
// the bytes left first, so no size read from a file is trusted before use.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "2-iff/SharedBytes.h"

namespace qm {

class ByteCursor {
 public:
  explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}
  // Over bytes that `owner` keeps alive: TakeShared then views them.
  ByteCursor(std::string_view bytes, SharedBuffer owner)
      : bytes_(bytes), owner_(std::move(owner)) {}

  size_t Position() const { return pos_; }  // 0-based offset of the next unread byte
  size_t Size() const { return bytes_.size(); }
  size_t Remaining() const { return bytes_.size() - pos_; }
  void Seek(size_t position) {
    if (position > bytes_.size()) SeekPastEnd(position);
    pos_ = position;
  }

  // The next n bytes; fewer left is an unexpected-end-of-file failure that
  // names `what`.
  std::string_view Take(size_t n, const char* what) {
    if (n > Remaining()) TakePastEnd(n, what);
    const std::string_view taken(bytes_.data() + pos_, n);
    pos_ += n;
    return taken;
  }
  uint8_t TakeByte(const char* what) { return static_cast<uint8_t>(Take(1, what)[0]); }

  // As Take; the bytes are a view sharing the owner, or a copy without one.
  SharedBytes TakeShared(size_t n, const char* what) { return Share(Take(n, what)); }

  // `part` (bytes of this cursor) as a view sharing the owner, or a copy.
  SharedBytes Share(std::string_view part) const {
    return owner_ ? SharedBytes(owner_, part) : SharedBytes(part);
  }

 private:
  [[noreturn]] void SeekPastEnd(size_t position) const;
  [[noreturn]] void TakePastEnd(size_t n, const char* what);

  std::string_view bytes_;
  size_t pos_ = 0;
  SharedBuffer owner_;
};

}  // namespace qm
