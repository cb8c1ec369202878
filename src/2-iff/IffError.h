#pragma once
// The one failure the file-format procedures (gs*) throw: a Failure that
// also names the module and procedure that failed and the stage it reached.
// The error window's report and errorlog.txt are built from it.

#include <cstdint>
#include <string>
#include <utility>

#include "1-platform/Failure.h"

namespace qm {

// The module name the error report gives the gs* procedures.
inline constexpr const char* kIffModule = "modIFFsupport";

class IffError : public Failure {
 public:
  IffError(int32_t number, std::string description, std::string procedure, int32_t location)
      : Failure(number, std::move(description)),
        procedure_(std::move(procedure)),
        location_(location) {}
  const std::string& module() const { return module_; }
  const std::string& procedure() const { return procedure_; }
  // The stage code the procedure had reached: 1000, 2000, ..., or 0 in a
  // procedure without stages.
  int32_t location() const { return location_; }

 private:
  std::string module_ = kIffModule;
  std::string procedure_;
  int32_t location_;
};

// The stage a running procedure has reached; each procedure keeps its own.
struct Stage {
  int32_t code = 0;
};

// Call only inside a catch block: the failure being handled as procedure
// `procedure`'s IffError at `location`.
[[noreturn]] void ThrowIffError(const char* procedure, int32_t location);

// Runs `body(stage)` as the procedure `procedure`: whatever it throws leaves
// as an IffError with the stage code reached, except that the IffError of a
// procedure it called passes on unchanged.
template <class Body>
void RunProcedure(const char* procedure, Body&& body) {
  Stage stage;
  try {
    body(stage);
  } catch (const IffError&) {
    throw;
  } catch (...) {
    ThrowIffError(procedure, stage.code);
  }
}

}  // namespace qm
