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
// failure it fills the error context (number, description, module
// "modIFFsupport", `procedure`, the location per `location`), calls
// ShowErrorTrap and returns false; otherwise returns true.
bool RunTrapped(const char* procedure, TrapLocation location, const std::function<void()>& body);

// What the report needs besides the error context.
struct ReportFacts {
  std::string title;  // application title, "Quillmark"
  int major = 0;
  int minor = 0;
  int revision = 0;
  std::string programFolder;  // folder that holds the executable
  std::string simsPath;       // gSimsPath, unchanged
};

// The eleven-line error report from the current error context, lines
// separated by CR LF, no line break after the last.
std::string BuildErrorReport(const ReportFacts& facts);

// The error log's path: the program folder followed by "\errorlog.txt".
std::string ErrorLogPath(const std::string& programFolder);

}  // namespace qm
