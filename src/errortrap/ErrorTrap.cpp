#include "errortrap/ErrorTrap.h"

#include "errortrap/Failure.h"

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

bool RunTrapped(const char* procedure, TrapLocation location, const std::function<void()>& body) {
  CaughtFailure failure;
  try {
    body();
    return true;
  } catch (...) {
    failure = CurrentFailure();
  }
  gErrNumber = failure.number;
  gErrDescription = std::move(failure.description);
  gErrModule = "modIFFsupport";
  gErrProcedure = procedure;
  if (location == TrapLocation::Reset) gErrLocation = 0;
  ShowErrorTrap();
  return false;
}

std::string BuildErrorReport(const ReportFacts& facts) {
  const std::string crlf = "\r\n";
  std::string r;
  r += facts.title + " - Version " + std::to_string(facts.major) + "." +
       std::to_string(facts.minor) + "." + std::to_string(facts.revision) + crlf;
  r += crlf;
  r += "Error: " + std::to_string(gErrNumber) + crlf;
  r += gErrDescription + crlf;
  r += crlf;
  r += "Module: " + gErrModule + crlf;
  r += "Procedure: " + gErrProcedure + crlf;
  r += "Location: " + std::to_string(gErrLocation) + crlf;
  r += crlf;
  r += "Install Path: " + facts.programFolder + crlf;
  r += "Sims Path: " + facts.simsPath;
  return r;
}

std::string ErrorLogPath(const std::string& programFolder) {
  return programFolder + "\\errorlog.txt";
}

}  // namespace qm
