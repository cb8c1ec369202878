#pragma once
// The one vocabulary of failures. Every failure carries a number and a
// description: Windows system error codes throughout, with the platform's
// text for I/O failures and this program's own wording for format faults.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "1-platform/FileSystem.h"

namespace qm {

enum class Fault : int32_t {
  InvalidArgument = static_cast<int32_t>(syserr::kInvalidParameter),
  Overflow = static_cast<int32_t>(syserr::kArithmeticOverflow),
  SubscriptOutOfRange = static_cast<int32_t>(syserr::kInvalidIndex),
  UnexpectedEndOfFile = static_cast<int32_t>(syserr::kHandleEof),
  OutOfMemory = static_cast<int32_t>(syserr::kNotEnoughMemory),
};

class Failure : public std::runtime_error {
 public:
  Failure(int32_t number, std::string description);
  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  int32_t number_;
  std::string description_;
};

// "Invalid argument: " + detail, "Overflow: " + detail, and so on.
[[noreturn]] void Fail(Fault fault, const std::string& detail);

// A failed file-system call: the system's text for the code, then the path.
[[noreturn]] void FailIo(SysCode code, const std::string& path);

struct CaughtFailure {
  int32_t number = 0;
  std::string description;
};

// The exception being handled, as a failure's number and description: a
// Failure as it is, the standard exceptions as the fault they stand for.
// Call it only inside a catch block.
CaughtFailure CurrentFailure();

}  // namespace qm
