#include "1-platform/Utf16_win.h"

#include <windows.h>

namespace qm {

// Without MB_ERR_INVALID_CHARS Windows puts U+FFFD in place of what is
// malformed (Vista and later; Wine alike).
std::wstring Utf16(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), n);
  return wide;
}

std::string Utf8(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int length = static_cast<int>(utf16.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), n, nullptr, nullptr);
  }
  return text;
}

}  // namespace qm
