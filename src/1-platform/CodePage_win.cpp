// Code page conversion on Windows: MultiByteToWideChar and
// WideCharToMultiByte through UTF-16, refusing what does not convert exactly.

#include <windows.h>

#include <memory>
#include <string>

#include "1-platform/CodePage.h"

namespace qm {

namespace {

bool ToWide(UINT codePage, DWORD flags, std::string_view text, std::wstring& wide) {
  wide.clear();
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
  if (n <= 0) return false;
  wide.resize(static_cast<size_t>(n));
  return MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), n) == n;
}

bool FromWide(UINT codePage, const std::wstring& wide, std::string& text, bool exact) {
  text.clear();
  if (wide.empty()) return true;
  const int length = static_cast<int>(wide.size());
  // The UTF-8 code page takes neither flag nor default-character pointer.
  const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL usedDefault = FALSE;
  BOOL* used = exact ? &usedDefault : nullptr;
  const int n =
      WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, used);
  if (n <= 0 || usedDefault) return false;
  text.resize(static_cast<size_t>(n));
  return WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), n, nullptr, used) ==
             n &&
         !usedDefault;
}

class Win32CodePage final : public CodePage {
 public:
  explicit Win32CodePage(UINT number) : number_(number) {}

  bool ToUtf8(std::string_view bytes, std::string& utf8) override {
    std::wstring wide;
    return ToWide(number_, MB_ERR_INVALID_CHARS, bytes, wide) &&
           FromWide(CP_UTF8, wide, utf8, false);
  }

  bool FromUtf8(std::string_view utf8, std::string& bytes) override {
    std::wstring wide;
    return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, wide) &&
           FromWide(number_, wide, bytes, true);
  }

  unsigned Number() const override { return number_; }

 private:
  UINT number_;
};

}  // namespace

std::unique_ptr<CodePage> SystemCodePage(unsigned number) {
  const UINT codePage = number == 0 ? GetACP() : number;
  if (!IsValidCodePage(codePage)) return nullptr;
  return std::make_unique<Win32CodePage>(codePage);
}

}  // namespace qm
