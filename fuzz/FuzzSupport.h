#pragma once
// What the fuzz targets share: a procedure's failure is caught and checked
// instead of reaching the error window, and a broken property ends the run
// with abort(), which libFuzzer and the replay program both report as a
// finding. Anything else thrown escapes, and is a finding too.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "2-iff/IffError.h"

namespace qm::fuzz {

// The last failure caught by Succeeds, for the message of a finding.
inline std::string gLastFailure;

[[noreturn]] inline void Broken(const std::string& what) {
  std::fprintf(stderr, "fuzz property broken: %s\n", what.c_str());
  if (!gLastFailure.empty()) std::fprintf(stderr, "last failure: %s\n", gLastFailure.c_str());
  std::abort();
}

// Runs a gs* procedure: true when it succeeded, false when it threw an
// IffError, which must name its procedure and say what went wrong.
template <class Step>
bool Succeeds(Step&& step) {
  try {
    step();
    return true;
  } catch (const IffError& error) {
    gLastFailure = error.procedure() + " @" + std::to_string(error.location()) + " #" +
                   std::to_string(error.number()) + " " + error.description();
    if (error.module() != kIffModule || error.procedure().empty() || error.description().empty()) {
      Broken("a failure with an empty context");
    }
    return false;
  }
}

inline void Require(bool holds, const char* what) {
  if (!holds) Broken(what);
}

inline std::string_view AsBytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace qm::fuzz
