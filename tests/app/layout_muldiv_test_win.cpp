// The layout's MulDiv agrees with Windows' own for the values windows use:
// twips and points at common DPIs, and signed values around the rounding
// boundaries.

#include <windows.h>

#include <gtest/gtest.h>

#include "4-behaviour/Layout.h"

namespace qm::layout {
namespace {

TEST(LayoutMulDivOnWindows, TwipsAndPointsAtCommonDpisAsWindows) {
  for (int dpi : {72, 96, 120, 144, 168, 192, 240, 288}) {
    for (int twips = 0; twips <= 8000; ++twips) {
      ASSERT_EQ(MulDiv(twips, dpi, 1440), ::MulDiv(twips, dpi, 1440)) << twips << " at " << dpi;
    }
    for (int tenths = 40; tenths <= 120; ++tenths) {
      ASSERT_EQ(FontHeight(tenths, dpi), -::MulDiv(tenths, dpi, 720)) << tenths << " at " << dpi;
    }
  }
}

TEST(LayoutMulDivOnWindows, SignsDivisorsAndOverflowAsWindows) {
  const int values[] = {-2147483647, -1000001, -7, -5, -3, -1, 0, 1, 3, 5, 7, 1000001, 2147483647};
  for (int a : values) {
    for (int b : values) {
      for (int c : {-7, -2, -1, 0, 1, 2, 3, 7, 1440}) {
        ASSERT_EQ(MulDiv(a, b, c), ::MulDiv(a, b, c)) << a << " * " << b << " / " << c;
      }
    }
  }
}

}  // namespace
}  // namespace qm::layout
