#include "1-platform/CodePage.h"

#include <cstdint>

namespace qm {

namespace {

// Decodes one character at `at`; 0 bytes when the sequence is malformed.
size_t DecodeOne(std::string_view text, size_t at, char32_t& cp) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    cp = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(at + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  char32_t cp = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t length = DecodeOne(text, at, cp);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  char32_t cp = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t length = DecodeOne(text, at, cp);
    if (length == 0) break;
    out.push_back(cp);
    at += length;
  }
  return out;
}

}  // namespace qm
