#pragma once
// The windows' handlers run inside Guarded, so that no C++ exception unwinds
// through user32: a failure that reaches a handler is unexpected and goes to
// FatalErrors, which ends the program.

#include <utility>

#include "errortrap/Failure.h"
#include "platform/Ui.h"

namespace qm {

template <typename F>
void Guarded(FatalErrors& fatal, F&& handler) {
  try {
    std::forward<F>(handler)();
  } catch (...) {
    const CaughtFailure failure = CurrentFailure();
    fatal.Fatal(failure.number, failure.description);
  }
}

}  // namespace qm
