#include "errortrap/Failure.h"

namespace qm {

Failure::Failure(int32_t number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

namespace {

const char* FaultName(Fault fault) {
  switch (fault) {
    case Fault::InvalidArgument:
      return "Invalid argument";
    case Fault::Overflow:
      return "Overflow";
    case Fault::SubscriptOutOfRange:
      return "Subscript out of range";
    case Fault::UnexpectedEndOfFile:
      return "Unexpected end of file";
    case Fault::OutOfMemory:
      return "Out of memory";
  }
  return "Failure";
}

}  // namespace

void Fail(Fault fault, const std::string& detail) {
  std::string description = FaultName(fault);
  if (!detail.empty()) description += ": " + detail;
  throw Failure(static_cast<int32_t>(fault), std::move(description));
}

void FailIo(SysCode code, const std::string& path) {
  throw Failure(static_cast<int32_t>(code), SystemErrorText(code) + " (" + path + ")");
}

}  // namespace qm
