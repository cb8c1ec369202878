#pragma once
// A 4-byte field of a chunk or map entry, held in place rather than on the
// heap: loading a file creates thousands of them.
//
// It holds 0 to 4 bytes, so a field shorter than its width stays visible to
// the code that checks widths (the writer refuses it). More than 4 bytes is an
// invalid-argument failure when assigned. It reads like a const std::string:
// size(), data(), operator[], substr(), and it converts to std::string_view.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace qm {

class Field4 {
 public:
  static constexpr size_t kWidth = 4;

  Field4() = default;
  // Implicit, so that the results of LongToBEBytes and the like assign.
  Field4(std::string_view bytes) { assign(bytes); }
  Field4(const std::string& bytes) : Field4(std::string_view(bytes)) {}
  Field4(const char* text) : Field4(std::string_view(text)) {}

  void assign(std::string_view bytes) {
    if (bytes.size() == kWidth) return assign4(bytes.data());
    if (bytes.size() > kWidth) TooLong(bytes.size());
    std::memset(bytes_, 0, kWidth);
    std::memcpy(bytes_, bytes.data(), bytes.size());
    size_ = static_cast<uint8_t>(bytes.size());
  }

  // Four bytes known to be there: one 4-byte copy, no length check.
  void assign4(const char* bytes) {
    std::memcpy(bytes_, bytes, kWidth);
    size_ = kWidth;
  }

  const char* data() const { return bytes_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const char* begin() const { return bytes_; }
  const char* end() const { return bytes_ + size_; }
  char operator[](size_t i) const { return bytes_[i]; }

  std::string_view view() const { return {bytes_, size_}; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }
  std::string_view substr(size_t pos = 0, size_t n = std::string_view::npos) const {
    return view().substr(pos, n);
  }

  friend bool operator==(const Field4& a, const Field4& b) { return a.view() == b.view(); }
  friend bool operator==(const Field4& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const Field4& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const Field4& a, const char* b) { return a.view() == b; }

 private:
  [[noreturn]] static void TooLong(size_t size);

  char bytes_[kWidth] = {};
  uint8_t size_ = 0;
};

std::ostream& operator<<(std::ostream& out, const Field4& field);

}  // namespace qm
