// How a failure leaves a gs* procedure: one IffError with the procedure's
// name, the stage it reached, and the failure's number and description.

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "2-iff/IffError.h"
#include "ExpectIffError.h"

namespace qm {
namespace {

using test::ExpectIffError;

TEST(IffError, FailureLeavesTheProcedureWithItsStageAndNestedErrorsPassUnchanged) {
  bool after = false;
  const auto failing = [&] {
    RunProcedure("gsReadIFF", [&](Stage& stage) {
      stage.code = 1000;
      stage.code = 2000;
      Fail(Fault::UnexpectedEndOfFile, "chunk header at 0x40");
      after = true;
    });
  };
  const IffError error = ExpectIffError(failing, "gsReadIFF", 2000, Fault::UnexpectedEndOfFile);
  EXPECT_FALSE(after);
  EXPECT_EQ(error.description(), "Unexpected end of file: chunk header at 0x40");
  // A procedure calling the failing one passes its error on as it is.
  ExpectIffError(
      [&] {
        RunProcedure("gsWriteIFF", [&](Stage& stage) {
          stage.code = 3000;
          failing();
        });
      },
      "gsReadIFF", 2000, Fault::UnexpectedEndOfFile);
}

TEST(IffError, StandardExceptionsMapToFaults) {
  struct Case {
    std::function<void()> body;
    int32_t number;
    std::string description;  // its beginning
  };
  const Case cases[] = {
      {[] { throw std::bad_alloc(); }, 8, "Out of memory"},
      {[] { std::vector<int>().reserve(std::vector<int>().max_size() + 1); }, 8, "Out of memory"},
      {[] { (void)std::string("abc").at(5); }, 1413, "Subscript out of range: "},
      {[] { throw std::overflow_error("sum"); }, 534, "Overflow: sum"},
      {[] { throw std::runtime_error("odd"); }, 87, "Invalid argument: odd"},
      {[] { throw 42; }, 87, "Invalid argument"},
  };
  for (const Case& c : cases) {
    const IffError error = ExpectIffError(
        [&] { RunProcedure("gsReadRSMP", [&](Stage&) { c.body(); }); }, "gsReadRSMP", 0, c.number);
    EXPECT_EQ(error.description().rfind(c.description, 0), 0u) << error.description();
  }
}

TEST(Failure, FaultNumbersAndDescriptions) {
  try {
    Fail(Fault::SubscriptOutOfRange, "label 12");
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), 1413);
    EXPECT_EQ(f.description(), "Subscript out of range: label 12");
    EXPECT_STREQ(f.what(), "Subscript out of range: label 12");
  }
  try {
    FailIo(syserr::kFileNotFound, "C:\\g\\live.iff");
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), 2);
    EXPECT_EQ(f.description(), SystemErrorText(2) + " (C:\\g\\live.iff)");
  }
  EXPECT_THROW(Fail(Fault::OutOfMemory, ""), Failure);
}

}  // namespace
}  // namespace qm
