#include "2-iff/ErrorTrap.h"

#include "1-platform/Failure.h"

namespace qm {

std::string gErrModule;
std::string gErrProcedure;
int32_t gErrLocation = 0;
int32_t gErrNumber = 0;
std::string gErrDescription;

namespace {
ErrorTrapHook& Hook() {
  static ErrorTrapHook hook;
  return hook;
}
}  // namespace

void ResetErrorContext() {
  gErrModule.clear();
  gErrProcedure.clear();
  gErrLocation = 0;
  gErrNumber = 0;
  gErrDescription.clear();
}

void ShowErrorTrap() {
  // Called through a copy: the hook may install another one while it runs.
  ErrorTrapHook hook = Hook();
  if (hook) hook();
}

ErrorTrapHook SetErrorTrapHook(ErrorTrapHook hook) {
  ErrorTrapHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

bool RunTrapped(const char* module, const char* procedure, TrapLocation location,
                const std::function<void()>& body) {
  CaughtFailure failure;
  try {
    body();
    return true;
  } catch (...) {
    failure = CurrentFailure();
  }
  gErrNumber = failure.number;
  gErrDescription = std::move(failure.description);
  gErrModule = module;
  gErrProcedure = procedure;
  if (location == TrapLocation::Reset) gErrLocation = 0;
  ShowErrorTrap();
  return false;
}

}  // namespace qm
