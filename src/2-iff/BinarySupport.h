#pragma once
// Conversions between 32-bit values and the 4-byte fields of the game's
// files, and between an id-and-flags field and its spaced hex text.
// Byte strings hold one byte per char, with no character-set conversion.
// Failures are thrown as qm::Failure into the caller.

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace qm {

using Bytes = std::string;

// A 4-byte field (a chunk's type, size or ID and flags; a map entry's offset
// or ID and flags), held in place and always exactly 4 bytes: building or
// assigning it from bytes of any other length is an invalid-argument failure,
// so a field of the wrong width never reaches the writer. It reads like a
// const std::string of 4 bytes and converts to std::string_view.
class Bytes4 {
 public:
  Bytes4() = default;  // four 0x00 bytes
  // Implicit, so that a std::string or text can be assigned.
  Bytes4(const std::string& bytes) : Bytes4(std::string_view(bytes)) {}
  Bytes4(const char* text) : Bytes4(std::string_view(text)) {}
  explicit Bytes4(std::string_view bytes);

  std::string_view view() const { return {bytes_.data(), bytes_.size()}; }
  operator std::string_view() const { return view(); }
  std::string str() const { return std::string(view()); }

  const char* data() const { return bytes_.data(); }
  static constexpr size_t size() { return 4; }
  char operator[](size_t i) const { return bytes_[i]; }
  // As std::string's: a position past the end throws std::out_of_range.
  std::string_view substr(size_t pos, size_t n = std::string_view::npos) const {
    return view().substr(pos, n);
  }

  friend bool operator==(const Bytes4& a, const Bytes4& b) = default;
  friend bool operator==(const Bytes4& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const Bytes4& a, const std::string& b) { return a.view() == b; }
  friend bool operator==(const Bytes4& a, const char* b) { return a.view() == b; }

 private:
  std::array<char, 4> bytes_{};
};

std::ostream& operator<<(std::ostream& out, const Bytes4& bytes);

// Read bytes 1 to 4 (further bytes are ignored); fewer than 4 is an
// invalid-argument failure. Values above 0x7FFFFFFF read as negative.
int32_t LEBytesToLong(std::string_view bytes);
int32_t BEBytesToLong(std::string_view bytes);

Bytes LongToLEBytes(int32_t value);
Bytes LongToBEBytes(int32_t value);

// The 4 bytes reversed; any other length gives four spaces.
Bytes ReverseBytes4(std::string_view bytes);

// 1 or 2 hex digits (either case) to 0..255; non-digits count as 0; an empty
// text or one longer than 2 gives -1.
int32_t HexPairToByte(std::string_view text);

// "00 96 00 10" to the bytes 00 96 00 10. Fewer than three spaces, or a group
// HexPairToByte refuses, is an invalid-argument failure.
Bytes HexTextToBytes(std::string_view text);

// Upper-case, two digits: 0 -> "00", 10 -> "0A".
std::string ByteToHexPair(uint8_t byte);

// Bytes as "00 96 00 10"; more than 32767 bytes is an overflow failure.
std::string BytesToHexText(std::string_view bytes);

}  // namespace qm
