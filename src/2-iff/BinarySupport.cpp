#include "2-iff/BinarySupport.h"

#include <algorithm>
#include <ostream>

#include "1-platform/Failure.h"

namespace qm {

namespace {

int32_t ToSigned(uint32_t value) {
  // Two's complement without relying on implementation-defined narrowing.
  return value > 0x7FFFFFFFu ? static_cast<int32_t>(static_cast<int64_t>(value) - 0x100000000LL)
                             : static_cast<int32_t>(value);
}

uint32_t Byte(std::string_view bytes, size_t i) { return static_cast<uint8_t>(bytes[i]); }

int32_t HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

Bytes4::Bytes4(std::string_view bytes) {
  if (bytes.size() != bytes_.size()) {
    Fail(Fault::InvalidArgument, "a 4-byte field given " + std::to_string(bytes.size()) + " bytes");
  }
  std::copy(bytes.begin(), bytes.end(), bytes_.begin());
}

std::ostream& operator<<(std::ostream& out, const Bytes4& bytes) { return out << bytes.view(); }

int32_t LEBytesToLong(std::string_view bytes) {
  if (bytes.size() < 4) Fail(Fault::InvalidArgument, "a 4-byte field is shorter than 4 bytes");
  return ToSigned(Byte(bytes, 0) | Byte(bytes, 1) << 8 | Byte(bytes, 2) << 16 |
                  Byte(bytes, 3) << 24);
}

int32_t BEBytesToLong(std::string_view bytes) {
  if (bytes.size() < 4) Fail(Fault::InvalidArgument, "a 4-byte field is shorter than 4 bytes");
  return ToSigned(Byte(bytes, 3) | Byte(bytes, 2) << 8 | Byte(bytes, 1) << 16 |
                  Byte(bytes, 0) << 24);
}

Bytes LongToLEBytes(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  Bytes out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return out;
}

Bytes LongToBEBytes(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  Bytes out(4, '\0');
  for (int i = 0; i < 4; ++i) out[3 - i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return out;
}

Bytes ReverseBytes4(std::string_view bytes) {
  if (bytes.size() != 4) return Bytes(4, ' ');
  return Bytes{bytes[3], bytes[2], bytes[1], bytes[0]};
}

int32_t HexPairToByte(std::string_view text) {
  if (text.empty() || text.size() > 2) return -1;
  int32_t high = 0;
  if (text.size() == 2) {
    const int32_t digit = HexDigitValue(ToUpper(text[0]));
    if (digit >= 0) high = digit * 16;
  }
  const int32_t low = HexDigitValue(ToUpper(text.back()));
  return high + (low >= 0 ? low : 0);
}

Bytes HexTextToBytes(std::string_view text) {
  const size_t p1 = text.find(' ');
  const size_t p2 = p1 == std::string_view::npos ? p1 : text.find(' ', p1 + 1);
  const size_t p3 = p2 == std::string_view::npos ? p2 : text.find(' ', p2 + 1);
  if (p3 == std::string_view::npos) {
    Fail(Fault::InvalidArgument, "hex text \"" + std::string(text) + "\" has fewer than 4 groups");
  }
  const std::string_view groups[4] = {text.substr(0, p1), text.substr(p1 + 1, p2 - p1 - 1),
                                      text.substr(p2 + 1, p3 - p2 - 1), text.substr(p3 + 1)};
  Bytes out;
  for (std::string_view group : groups) {
    const int32_t value = HexPairToByte(group);
    if (value < 0) {
      Fail(Fault::InvalidArgument,
           "hex text \"" + std::string(text) + "\" has a group that is not 1 or 2 digits");
    }
    out.push_back(static_cast<char>(value));
  }
  return out;
}

std::string ByteToHexPair(uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string{kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string BytesToHexText(std::string_view bytes) {
  if (bytes.size() > 32767) Fail(Fault::Overflow, "more than 32767 bytes to show as hex text");
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char c : bytes) {
    if (!out.empty()) out.push_back(' ');
    out += ByteToHexPair(static_cast<uint8_t>(c));
  }
  return out;
}

}  // namespace qm
