// The handler protocol of the trapping procedures: what RunTrapped leaves in
// the error context and when it calls the error window.

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "1-platform/Failure.h"
#include "2-iff/ErrorTrap.h"

namespace qm {
namespace {

// What the error window would have seen each time it was shown.
struct Shown {
  int32_t number;
  std::string description;
  std::string module;
  std::string procedure;
  int32_t location;
};

class RunTrappedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetErrorContext();
    previous_ = SetErrorTrapHook([this] {
      shown_.push_back({gErrNumber, gErrDescription, gErrModule, gErrProcedure, gErrLocation});
    });
  }
  void TearDown() override {
    SetErrorTrapHook(std::move(previous_));
    ResetErrorContext();
  }

  std::vector<Shown> shown_;
  ErrorTrapHook previous_;
};

TEST_F(RunTrappedTest, FailureFillsTheContextThenShowsTheWindowOnce) {
  bool after = false;
  bool ok = RunTrapped("modIFFsupport", "gsReadIFF", TrapLocation::Keep, [&] {
    gErrLocation = 1000;
    gErrLocation = 2000;
    Fail(Fault::UnexpectedEndOfFile, "chunk header at 0x40");
    after = true;
  });
  EXPECT_FALSE(ok);
  EXPECT_FALSE(after);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].number, 38);
  EXPECT_EQ(shown_[0].description, "Unexpected end of file: chunk header at 0x40");
  EXPECT_EQ(shown_[0].module, "modIFFsupport");
  EXPECT_EQ(shown_[0].procedure, "gsReadIFF");
  EXPECT_EQ(shown_[0].location, 2000);
  // The context keeps the values after the window has returned.
  EXPECT_EQ(gErrNumber, 38);
  EXPECT_EQ(gErrProcedure, "gsReadIFF");
  EXPECT_EQ(gErrLocation, 2000);
}

TEST_F(RunTrappedTest, KeepLeavesALocationSetByAnEarlierProcedure) {
  gErrLocation = 3000;  // left by gsReadRSMP, say
  EXPECT_FALSE(RunTrapped("modIFFsupport", "gsWriteIFF", TrapLocation::Keep,
                          [] { throw Failure(-2147024784, "There is not enough space"); }));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].location, 3000);
  EXPECT_EQ(shown_[0].number, -2147024784);
}

TEST_F(RunTrappedTest, ResetSetsTheLocationToZeroBeforeShowing) {
  for (const char* procedure : {"gsWriteSTRSegment", "gsUpdateRsmp"}) {
    shown_.clear();
    gErrLocation = 8000;
    EXPECT_FALSE(RunTrapped("modIFFsupport", procedure, TrapLocation::Reset,
                            [] { Fail(Fault::Overflow, "string length 70000"); }));
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].location, 0) << procedure;
    EXPECT_EQ(shown_[0].procedure, procedure);
    EXPECT_EQ(shown_[0].number, 534);
    EXPECT_EQ(shown_[0].description, "Overflow: string length 70000");
    EXPECT_EQ(gErrLocation, 0);
  }
}

TEST_F(RunTrappedTest, SuccessReturnsTrueAndTouchesNothing) {
  gErrNumber = 5;
  gErrDescription = "earlier";
  gErrModule = "modIFFsupport";
  gErrProcedure = "gsReadIFF";
  gErrLocation = 2000;
  bool ran = false;
  EXPECT_TRUE(
      RunTrapped("modIFFsupport", "gsUpdateRsmp", TrapLocation::Reset, [&] { ran = true; }));
  EXPECT_TRUE(ran);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(gErrNumber, 5);
  EXPECT_EQ(gErrDescription, "earlier");
  EXPECT_EQ(gErrModule, "modIFFsupport");
  EXPECT_EQ(gErrProcedure, "gsReadIFF");
  EXPECT_EQ(gErrLocation, 2000);
  // Stage codes a successful procedure sets stay after it returns.
  EXPECT_TRUE(
      RunTrapped("modIFFsupport", "gsReadRSMP", TrapLocation::Keep, [] { gErrLocation = 4000; }));
  EXPECT_EQ(gErrLocation, 4000);
}

TEST_F(RunTrappedTest, ASecondFailureReplacesTheWholeContext) {
  RunTrapped("modIFFsupport", "gsReadSTRSegment", TrapLocation::Keep, [] {
    gErrLocation = 7000;
    throw Failure(1413, "Invalid index.\r\nsecond line");
  });
  RunTrapped("modIFFsupport", "gsWriteSTRSegment", TrapLocation::Reset,
             [] { throw Failure(112, "Full"); });
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(gErrNumber, 112);
  EXPECT_EQ(gErrDescription, "Full");
  EXPECT_EQ(gErrProcedure, "gsWriteSTRSegment");
  EXPECT_EQ(gErrLocation, 0);
}

TEST_F(RunTrappedTest, StandardExceptionsMapToFaults) {
  RunTrapped("modIFFsupport", "gsReadIFF", TrapLocation::Keep, [] { throw std::bad_alloc(); });
  RunTrapped("modIFFsupport", "gsReadIFF", TrapLocation::Keep, [] {
    std::vector<int> huge;
    huge.reserve(huge.max_size() + 1);  // length_error
  });
  RunTrapped("modIFFsupport", "gsReadRSMP", TrapLocation::Keep,
             [] { (void)std::string("abc").at(5); });
  RunTrapped("modIFFsupport", "gsReadRSMP", TrapLocation::Keep,
             [] { throw std::overflow_error("sum"); });
  RunTrapped("modIFFsupport", "gsReadRSMP", TrapLocation::Keep,
             [] { throw std::runtime_error("odd"); });
  RunTrapped("modIFFsupport", "gsReadRSMP", TrapLocation::Keep, [] { throw 42; });
  ASSERT_EQ(shown_.size(), 6u);
  EXPECT_EQ(shown_[0].number, 8);
  EXPECT_EQ(shown_[0].description, "Out of memory");
  EXPECT_EQ(shown_[1].number, 8);
  EXPECT_EQ(shown_[2].number, 1413);
  EXPECT_EQ(shown_[2].description.rfind("Subscript out of range", 0), 0u) << shown_[2].description;
  EXPECT_EQ(shown_[3].number, 534);
  EXPECT_EQ(shown_[3].description, "Overflow: sum");
  EXPECT_EQ(shown_[4].number, 87);
  EXPECT_EQ(shown_[4].description, "Invalid argument: odd");
  EXPECT_EQ(shown_[5].number, 87);
  EXPECT_EQ(shown_[5].description, "Invalid argument");
  for (const Shown& s : shown_) EXPECT_EQ(s.module, "modIFFsupport");
}

TEST_F(RunTrappedTest, WithoutAHookTheProcedureJustReturns) {
  SetErrorTrapHook(nullptr);
  EXPECT_FALSE(RunTrapped("modIFFsupport", "gsReadIFF", TrapLocation::Keep,
                          [] { Fail(Fault::InvalidArgument, ""); }));
  EXPECT_EQ(gErrNumber, 87);
  EXPECT_EQ(gErrDescription, "Invalid argument");
}

TEST_F(RunTrappedTest, AHookMayReplaceItselfWhileRunning) {
  const std::string capturedText(100, 'x');  // long enough to live on the heap
  std::string seen;
  SetErrorTrapHook([capturedText, &seen] {
    SetErrorTrapHook(nullptr);
    seen = capturedText;
  });
  RunTrapped("modIFFsupport", "gsReadIFF", TrapLocation::Keep, [] { Fail(Fault::Overflow, ""); });
  EXPECT_EQ(seen, capturedText);
  seen.clear();
  ShowErrorTrap();
  EXPECT_TRUE(seen.empty());
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
