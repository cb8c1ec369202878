#include "1-platform/Failure.h"

#include <cstdlib>
#include <new>

#include "1-platform/Ui.h"

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

CaughtFailure CurrentFailure() {
  const auto as = [](Fault fault, std::string description) {
    return CaughtFailure{static_cast<int32_t>(fault), std::move(description)};
  };
  try {
    throw;
  } catch (const Failure& f) {
    return {f.number(), f.description()};
  } catch (const std::bad_alloc&) {
    return as(Fault::OutOfMemory, "Out of memory");
  } catch (const std::length_error&) {
    return as(Fault::OutOfMemory, "Out of memory");
  } catch (const std::out_of_range& e) {
    return as(Fault::SubscriptOutOfRange, std::string("Subscript out of range: ") + e.what());
  } catch (const std::overflow_error& e) {
    return as(Fault::Overflow, std::string("Overflow: ") + e.what());
  } catch (const std::exception& e) {
    return as(Fault::InvalidArgument, std::string("Invalid argument: ") + e.what());
  } catch (...) {
    return as(Fault::InvalidArgument, "Invalid argument");
  }
}

void FatalErrors::FatalCaught() {
  const CaughtFailure failure = CurrentFailure();
  Fatal(failure.number, failure.description);
  std::abort();  // Fatal never returns; the compiler cannot see it through the call
}

}  // namespace qm
