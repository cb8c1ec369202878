#pragma once
// Checks that a gs* procedure fails with the one IffError a test expects.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "2-iff/IffError.h"

namespace qm::test {

// Runs `step`, which must throw an IffError of `procedure` at `location`
// with error `number`; returns it for further checks.
template <class Step>
IffError ExpectIffError(Step&& step, const char* procedure, int32_t location, int32_t number) {
  try {
    step();
  } catch (const IffError& error) {
    EXPECT_EQ(error.module(), "modIFFsupport");
    EXPECT_EQ(error.procedure(), procedure) << error.description();
    EXPECT_EQ(error.location(), location) << error.description();
    EXPECT_EQ(error.number(), number) << error.description();
    EXPECT_FALSE(error.description().empty());
    return error;
  }
  ADD_FAILURE() << "no failure; expected one of " << procedure;
  return IffError(0, "", "", 0);
}

template <class Step>
IffError ExpectIffError(Step&& step, const char* procedure, int32_t location, Fault fault) {
  return ExpectIffError(step, procedure, location, static_cast<int32_t>(fault));
}

// The IffError `step` throws, if any.
template <class Step>
std::optional<IffError> CatchIffError(Step&& step) {
  try {
    step();
  } catch (const IffError& error) {
    return error;
  }
  return std::nullopt;
}

}  // namespace qm::test
