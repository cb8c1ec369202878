#include "iff/ByteCursor.h"

#include <string>

#include "errortrap/Failure.h"

namespace qm {

void ByteCursor::Seek(size_t position) {
  if (position > bytes_.size()) {
    Fail(Fault::InvalidArgument, "position " + std::to_string(position) + " is past the end (" +
                                     std::to_string(bytes_.size()) + " bytes)");
  }
  pos_ = position;
}

// A take that runs past the end consumes what is left, as a file read would,
// so a reader that carries on after the failure finds nothing more to read.
std::string_view ByteCursor::Take(size_t n, const char* what) {
  if (n > Remaining()) {
    const size_t at = pos_;
    const size_t left = Remaining();
    pos_ = bytes_.size();
    Fail(Fault::UnexpectedEndOfFile, std::string(what) + " needs " + std::to_string(n) +
                                         " bytes at offset " + std::to_string(at) + ", " +
                                         std::to_string(left) + " left");
  }
  const std::string_view taken = bytes_.substr(pos_, n);
  pos_ += n;
  return taken;
}

uint8_t ByteCursor::TakeByte(const char* what) { return static_cast<uint8_t>(Take(1, what)[0]); }

}  // namespace qm
