// Code page conversion on POSIX systems: iconv, with the code page named as
// "CP" and its Windows number ("CP1252"). No transliteration: a character
// that has no place in the target is a failure.

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <string>

#include "1-platform/CodePage.h"

namespace qm {

namespace {

class Iconv {
 public:
  Iconv(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  bool Convert(std::string_view in, std::string& out) {
    out.clear();
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      const size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      out.append(buffer, sizeof buffer - outLeft);
      if (result == static_cast<size_t>(-1) && errno != E2BIG) return false;
      // glibc counts characters it could not convert exactly in the result.
      if (result != static_cast<size_t>(-1) && result > 0) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

class PosixCodePage final : public CodePage {
 public:
  explicit PosixCodePage(const std::string& name)
      : toUtf8_("UTF-8", name), fromUtf8_(name, "UTF-8") {}
  bool ok() const { return toUtf8_.ok() && fromUtf8_.ok(); }

  bool ToUtf8(std::string_view bytes, std::string& utf8) override {
    return toUtf8_.Convert(bytes, utf8);
  }
  bool FromUtf8(std::string_view utf8, std::string& bytes) override {
    return fromUtf8_.Convert(utf8, bytes);
  }

 private:
  Iconv toUtf8_;
  Iconv fromUtf8_;
};

}  // namespace

std::unique_ptr<CodePage> SystemCodePage(unsigned number) {
  auto codePage =
      std::make_unique<PosixCodePage>("CP" + std::to_string(number == 0 ? 1252 : number));
  if (!codePage->ok()) return nullptr;
  return codePage;
}

}  // namespace qm
