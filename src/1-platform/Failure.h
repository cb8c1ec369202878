#pragma once
// The one vocabulary of failures. Every failure carries a number and a
// description: Windows system error codes throughout, with the platform's
// text for I/O failures and this program's own wording for format faults.
//
// How failures travel, by layer, and why:
// - SysCode (FileSystem.h): the platform's calls return the system's code.
//   Their callers decide: saving retries, reports and keeps the edits; the
//   backup copy reports a refusal for want of rights and treats any other
//   failure as unexpected (Fatal).
// - Failure, thrown: inside the IFF library, where a malformed byte deep in
//   a read must abandon the whole procedure at once. It leaves a gs*
//   procedure as IffError (IffError.h), which adds the procedure's name and
//   stage. The one caller that shows the error window catches it (the
//   editor's load and save); Restore's backup read and qmnames catch it and
//   give a message of their own.
// - FatalErrors::Fatal (Ui.h): a failure the program has no answer for
//   outside the IFF procedures (a failed backup copy, a name table too
//   short). It shows the number and text and ends the program; it never
//   returns. Anything thrown that reaches a window procedure or WinMain
//   ends the same way.
// - kRegistryError (Registry.h): the registry lookup's result for a key or
//   value that cannot be read. It is a value, not a failure: it is stored as
//   the setting and reported by the start-up messages, and a stored one
//   counts as no setting on the next start.

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
