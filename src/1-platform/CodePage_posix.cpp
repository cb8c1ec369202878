// Code page conversion on POSIX systems: iconv, with the code page named as
// "CP" and its Windows number ("CP1252"). No transliteration: a character
// that has no place in the target is a failure. In a single-byte code page,
// bytes 0x80 to 0x9F that it leaves undefined stand for U+0080 to U+009F, as
// Windows' own tables have it, so that every name of the game survives a
// round trip. In a double-byte code page such a byte may lead a pair, so a
// sequence that does not convert fails.

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

  // `undefined` gets the chance to take what iconv refuses at the start of
  // the input left: it appends its conversion and returns the bytes taken.
  template <typename Undefined>
  bool Convert(std::string_view in, std::string& out, Undefined undefined) {
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
      if (result == static_cast<size_t>(-1) && errno == EILSEQ) {
        const size_t taken = undefined(std::string_view(inPtr, inLeft), out);
        if (taken == 0) return false;
        inPtr += taken;
        inLeft -= taken;
        continue;
      }
      if (result == static_cast<size_t>(-1) && errno != E2BIG) return false;
      // glibc counts characters it could not convert exactly in the result.
      if (result != static_cast<size_t>(-1) && result > 0) return false;
    }
    // A converter may hold back the last character (CP1255 does, waiting
    // for a combining mark that may follow): flush it.
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
    out.append(buffer, sizeof buffer - outLeft);
    return true;
  }

 private:
  iconv_t cd_;
};

// The double-byte code pages among Windows' ANSI code pages.
bool IsDoubleByte(unsigned number) {
  return number == 932 || number == 936 || number == 949 || number == 950;
}

// An undefined byte 0x80 to 0x9F at the start of `rest`, as U+0080 to U+009F.
size_t UndefinedByteToUtf8(std::string_view rest, std::string& out) {
  const auto b = static_cast<unsigned char>(rest[0]);
  if (b < 0x80 || b > 0x9F) return 0;
  out += '\xC2';
  out += rest[0];
  return 1;
}

// U+0080 to U+009F at the start of `rest`, as the byte of the same value.
size_t Utf8ToUndefinedByte(std::string_view rest, std::string& out) {
  if (rest.size() < 2 || rest[0] != '\xC2') return 0;
  const auto b = static_cast<unsigned char>(rest[1]);
  if (b < 0x80 || b > 0x9F) return 0;
  out += rest[1];
  return 2;
}

class PosixCodePage final : public CodePage {
 public:
  explicit PosixCodePage(unsigned number)
      : singleByte_(!IsDoubleByte(number)),
        toUtf8_("UTF-8", "CP" + std::to_string(number)),
        fromUtf8_("CP" + std::to_string(number), "UTF-8") {}
  bool ok() const { return toUtf8_.ok() && fromUtf8_.ok(); }

  bool ToUtf8(std::string_view bytes, std::string& utf8) override {
    return toUtf8_.Convert(bytes, utf8, [this](std::string_view rest, std::string& out) {
      return singleByte_ ? UndefinedByteToUtf8(rest, out) : 0;
    });
  }
  bool FromUtf8(std::string_view utf8, std::string& bytes) override {
    return fromUtf8_.Convert(utf8, bytes, [this](std::string_view rest, std::string& out) {
      return singleByte_ ? Utf8ToUndefinedByte(rest, out) : 0;
    });
  }

 private:
  bool singleByte_;
  Iconv toUtf8_;
  Iconv fromUtf8_;
};

}  // namespace

std::unique_ptr<CodePage> SystemCodePage(unsigned number) {
  auto codePage = std::make_unique<PosixCodePage>(number == 0 ? 1252 : number);
  if (!codePage->ok()) return nullptr;
  return codePage;
}

}  // namespace qm
