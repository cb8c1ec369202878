#pragma once
// The program keeps its texts as UTF-8; every Win32 call takes and gives
// UTF-16. These two convert at that boundary.

#include <string>
#include <string_view>

namespace qm {

// `utf8` as UTF-16; a malformed sequence becomes U+FFFD.
std::wstring Utf16(std::string_view utf8);

// `utf16` as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view utf16);

}  // namespace qm
