#pragma once
// Conversion between UTF-8 and a code page through the platform's own
// converter: the game keeps its names as bytes in a code page (Windows-1252
// for the Western versions), name packs are UTF-8 text.

#include <memory>
#include <string>
#include <string_view>

namespace qm {

class CodePage {
 public:
  virtual ~CodePage() = default;
  // `bytes` (text in the code page) as UTF-8. False when a byte means
  // nothing in the code page.
  virtual bool ToUtf8(std::string_view bytes, std::string& utf8) = 0;
  // `utf8` as bytes in the code page. False when a character has no place
  // in it: nothing is put in its place.
  virtual bool FromUtf8(std::string_view utf8, std::string& bytes) = 0;
  // The code page's Windows number (1252, 1250, ...).
  virtual unsigned Number() const = 0;
};

// The platform's converter for Windows code page `number` (1252, 1250, ...).
// 0 is the ANSI code page in which the program's windows show text (1252
// where there is no such thing). Null when the platform has no converter
// for that code page.
std::unique_ptr<CodePage> SystemCodePage(unsigned number);

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// The code points of well-formed UTF-8 `text`.
std::u32string DecodeUtf8(std::string_view text);

}  // namespace qm
