#pragma once
// A test fixture that records every call of ShowErrorTrap with the error
// context at that moment, and restores the previous hook afterwards.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "1-platform/Failure.h"
#include "2-iff/ErrorTrap.h"

namespace qm::test {

struct TrapRecord {
  std::string module;
  std::string procedure;
  int32_t location = 0;
  int32_t number = 0;
  std::string description;
};

class TrapRecorder : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetErrorContext();
    previous_ = SetErrorTrapHook([this] {
      traps.push_back({gErrModule, gErrProcedure, gErrLocation, gErrNumber, gErrDescription});
    });
  }
  void TearDown() override {
    SetErrorTrapHook(std::move(previous_));
    ResetErrorContext();
  }

  // Exactly one trap was shown, by `procedure` at `location` for `fault`.
  void ExpectOneTrap(const char* procedure, int32_t location, Fault fault) {
    ASSERT_EQ(traps.size(), 1u) << TrapList();
    EXPECT_EQ(traps[0].module, "modIFFsupport");
    EXPECT_EQ(traps[0].procedure, procedure);
    EXPECT_EQ(traps[0].location, location);
    EXPECT_EQ(traps[0].number, static_cast<int32_t>(fault)) << traps[0].description;
    EXPECT_FALSE(traps[0].description.empty());
  }

  std::string TrapList() const {
    std::string s;
    for (const TrapRecord& t : traps) {
      s += t.procedure + " @" + std::to_string(t.location) + " #" + std::to_string(t.number) + " " +
           t.description + "\n";
    }
    return s;
  }

  std::vector<TrapRecord> traps;

 private:
  ErrorTrapHook previous_;
};

}  // namespace qm::test
