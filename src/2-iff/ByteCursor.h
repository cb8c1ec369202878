#pragma once
// A bounds-checked reading position over a file's image in memory. Every take
// checks the bytes left first, so no size read from a file is trusted before
// use. What it takes can be kept as views of the image.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "2-iff/SharedBytes.h"

namespace qm {

class ByteCursor {
 public:
  // Over `image`, which must outlive the views the cursor makes of it.
  explicit ByteCursor(const std::string& image) : image_(image) {}

  size_t Position() const { return pos_; }  // 0-based offset of the next unread byte
  size_t Size() const { return image_.size(); }
  size_t Remaining() const { return image_.size() - pos_; }
  void Seek(size_t position) {
    if (position > image_.size()) SeekPastEnd(position);
    pos_ = position;
  }

  // The next n bytes; fewer left is an unexpected-end-of-file failure that
  // names `what`.
  std::string_view Take(size_t n, const char* what) {
    if (n > Remaining()) TakePastEnd(n, what);
    const std::string_view taken(image_.data() + pos_, n);
    pos_ += n;
    return taken;
  }
  uint8_t TakeByte(const char* what) { return static_cast<uint8_t>(Take(1, what)[0]); }

  // As Take, as a view of the image.
  SharedBytes TakeView(size_t n, const char* what) { return View(Take(n, what)); }

  // `part`, bytes of the image, as a view of it.
  SharedBytes View(std::string_view part) const { return SharedBytes::View(image_, part); }

 private:
  [[noreturn]] void SeekPastEnd(size_t position) const;
  [[noreturn]] void TakePastEnd(size_t n, const char* what);

  const std::string& image_;
  size_t pos_ = 0;
};

}  // namespace qm
