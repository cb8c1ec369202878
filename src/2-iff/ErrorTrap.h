#pragma once
// The error context and the error trap: the single channel through which the
// file-format procedures report unexpected failures.

#include <cstdint>
#include <functional>
#include <string>

namespace qm {

// The error context, empty or zero at program start.
extern std::string gErrModule;
extern std::string gErrProcedure;
extern int32_t gErrLocation;
extern int32_t gErrNumber;
extern std::string gErrDescription;

void ResetErrorContext();

// Shows the error window modally. The program replaces what it does through
// SetErrorTrapHook: the Windows program shows frmErrorDialog, tests record,
// iffdump prints. With no hook installed it returns at once.
void ShowErrorTrap();

using ErrorTrapHook = std::function<void()>;
// Installs `hook` and returns the one it replaces.
ErrorTrapHook SetErrorTrapHook(ErrorTrapHook hook);

// How a trapping procedure's handler treats gErrLocation.
enum class TrapLocation {
  Keep,   // leave the last stage code reached
  Reset,  // set it to 0 (gsWriteSTRSegment, gsUpdateRsmp)
};

// Runs the body of a trapping procedure under its one error handler. On a
// failure it fills the error context (number, description, `module`,
// `procedure`, the location per `location`), calls ShowErrorTrap and returns
// false; otherwise returns true.
bool RunTrapped(const char* module, const char* procedure, TrapLocation location,
                const std::function<void()>& body);

}  // namespace qm
