#include "2-iff/ByteCursor.h"

#include <string>

#include "1-platform/Failure.h"

namespace qm {

void ByteCursor::SeekPastEnd(size_t position) const {
  Fail(Fault::InvalidArgument, "position " + std::to_string(position) + " is past the end (" +
                                   std::to_string(image_.size()) + " bytes)");
}

// A take that runs past the end consumes what is left, as a file read would,
// so a reader that carries on after the failure finds nothing more to read.
void ByteCursor::TakePastEnd(size_t n, const char* what) {
  const size_t at = pos_;
  const size_t left = Remaining();
  pos_ = image_.size();
  Fail(Fault::UnexpectedEndOfFile, std::string(what) + " needs " + std::to_string(n) +
                                       " bytes at offset " + std::to_string(at) + ", " +
                                       std::to_string(left) + " left");
}

}  // namespace qm
