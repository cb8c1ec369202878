#pragma once
// What the fuzz targets share: the error trap's hook counts reports instead
// of showing a window, and a broken property ends the run with abort(),
// which libFuzzer and the replay program both report as a finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "2-iff/ErrorTrap.h"

namespace qm::fuzz {

// Reports shown through the error trap since the last ResetTraps().
inline int gTrapCount = 0;

inline void ResetTraps() {
  static const bool installed = [] {
    SetErrorTrapHook([] {
      // Every report names the procedure that failed and what went wrong.
      if (gErrModule.empty() || gErrProcedure.empty() || gErrDescription.empty()) {
        std::fprintf(stderr, "error trap shown with an empty context\n");
        std::abort();
      }
      ++gTrapCount;
    });
    return true;
  }();
  (void)installed;
  gTrapCount = 0;
  ResetErrorContext();
}

[[noreturn]] inline void Broken(const std::string& what) {
  std::fprintf(stderr, "fuzz property broken: %s\n", what.c_str());
  if (gTrapCount > 0) {
    std::fprintf(stderr, "last trap: %s @%d #%d %s\n", gErrProcedure.c_str(),
                 static_cast<int>(gErrLocation), static_cast<int>(gErrNumber),
                 gErrDescription.c_str());
  }
  std::abort();
}

inline void Require(bool holds, const char* what) {
  if (!holds) Broken(what);
}

inline std::string_view AsBytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace qm::fuzz
