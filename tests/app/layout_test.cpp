// The three windows laid out from their twips tables: pixel rounding, the
// client areas, and at 96, 144 and 192 DPI every visible control inside the
// client area with no unintended overlap.

#include "4-behaviour/Layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "4-behaviour/ErrorControls.h"
#include "4-behaviour/MainControls.h"
#include "4-behaviour/SetPathControls.h"

namespace qm::layout {
namespace {

TEST(LayoutMulDiv, RoundsHalfAwayFromZero) {
  EXPECT_EQ(MulDiv(195, 144, 1440), 20);  // 19.5
  EXPECT_EQ(MulDiv(105, 96, 1440), 7);    // 7.0
  EXPECT_EQ(MulDiv(97, 96, 1440), 6);     // 6.47
  EXPECT_EQ(MulDiv(98, 96, 1440), 7);     // 6.53
  EXPECT_EQ(MulDiv(-7, 1, 2), -4);        // -3.5
  EXPECT_EQ(MulDiv(7, -1, 2), -4);
  EXPECT_EQ(MulDiv(7, 1, -2), -4);
  EXPECT_EQ(MulDiv(-7, 1, -2), 4);
  EXPECT_EQ(MulDiv(-5, 1, 3), -2);  // -1.67
}

TEST(LayoutMulDiv, ProductWiderThan32BitsStillDividesExactly) {
  EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
  EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
}

TEST(LayoutMulDiv, ZeroDivisorAndOverflowGiveMinusOne) {
  EXPECT_EQ(MulDiv(5, 7, 0), -1);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(-INT_MAX, 1, 1), -INT_MAX);
}

TEST(LayoutFont, EightPointsAtEachDpi) {
  EXPECT_EQ(FontHeight(80, 96), -11);   // 10.67
  EXPECT_EQ(FontHeight(80, 120), -13);  // 13.33
  EXPECT_EQ(FontHeight(80, 144), -16);
  EXPECT_EQ(FontHeight(80, 192), -21);  // 21.33
  EXPECT_EQ(LayOut(MainWindow(), 144).fontHeight, -16);
}

TEST(LayoutClientArea, TwipsOfEachWindowInPixels) {
  const WindowLayout main96 = LayOut(MainWindow(), 96);
  EXPECT_EQ(std::make_pair(main96.clientWidth, main96.clientHeight), std::make_pair(373, 520));
  const WindowLayout main144 = LayOut(MainWindow(), 144);
  EXPECT_EQ(std::make_pair(main144.clientWidth, main144.clientHeight), std::make_pair(560, 780));
  const WindowLayout setPath192 = LayOut(SetPathWindow(), 192);
  EXPECT_EQ(std::make_pair(setPath192.clientWidth, setPath192.clientHeight),
            std::make_pair(978, 450));
  const WindowLayout error96 = LayOut(ErrorWindow(), 96);
  EXPECT_EQ(std::make_pair(error96.clientWidth, error96.clientHeight), std::make_pair(501, 353));
}

// Label1 of frmMain is 195 twips high at 2460: 246..265.5 at 144 DPI, so its
// edges become 246 and 266 and its height 20.
TEST(LayoutControls, EdgesRoundedSoThatHeightsFollow) {
  const WindowLayout at144 = LayOut(MainWindow(), 144);
  const PlacedControl* label = at144.Find(mainctl::kLabel1);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->rect.left, 12);
  EXPECT_EQ(label->rect.top, 246);
  EXPECT_EQ(label->rect.width, 158);  // 12..169.5: 1575 twips are 157.5
  EXPECT_EQ(label->rect.height, 20);
}

TEST(LayoutControls, OptionsPlacedRelativeToFrame1) {
  const WindowLayout at96 = LayOut(MainWindow(), 96);
  // Index 3: 2820, 780 inside the frame at 120, 120.
  const PlacedControl* option = at96.Find(mainctl::kOptList0 + 3);
  ASSERT_NE(option, nullptr);
  EXPECT_EQ(option->rect.left, 196);  // 2940 twips
  EXPECT_EQ(option->rect.top, 60);    // 900 twips
}

TEST(LayoutControls, EveryTableControlOnceInTableOrder) {
  const WindowLayout setPath = LayOut(SetPathWindow(), 96);
  ASSERT_EQ(setPath.controls.size(), 10u);
  EXPECT_EQ(setPath.controls.front().id, setpathctl::kLabel1);
  EXPECT_EQ(setPath.controls.back().id, setpathctl::kCmdFocus);
  EXPECT_EQ(LayOut(MainWindow(), 96).controls.size(), 14u);
  EXPECT_EQ(LayOut(ErrorWindow(), 96).controls.size(), 7u);
  EXPECT_EQ(setPath.Find(mainctl::kCmdSave), nullptr);
}

// ---- every window at every DPI

struct Window {
  const char* name;
  const WindowTable& (*table)();
  int hiddenId;
  // Pairs drawn on top of each other on purpose: (upper, lower).
  std::vector<std::pair<int, int>> stacked;
};

std::vector<std::pair<int, int>> OptionsInFrame() {
  std::vector<std::pair<int, int>> pairs;
  for (int i = 0; i < mainctl::kOptionCount; ++i) {
    pairs.emplace_back(mainctl::kOptList0 + i, mainctl::kFrame1);
  }
  return pairs;
}

const Window kWindows[] = {
    {"Main", &MainWindow, 0, OptionsInFrame()},
    {"SetPath",
     &SetPathWindow,
     setpathctl::kCmdFocus,
     {{setpathctl::kCmdUseReg, setpathctl::kTxtRegistry},
      {setpathctl::kCmdFindPath, setpathctl::kTxtLocation}}},
    {"Error", &ErrorWindow, errorctl::kCmdFocus, {}},
};

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

bool Inside(const PixelRect& inner, const PixelRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right() <= outer.right() &&
         inner.bottom() <= outer.bottom();
}

class WindowAtDpi : public ::testing::TestWithParam<std::tuple<int, int>> {
 protected:
  const Window& window() const { return kWindows[std::get<0>(GetParam())]; }
  int dpi() const { return std::get<1>(GetParam()); }
  WindowLayout layout() const { return LayOut(window().table(), dpi()); }
  bool Stacked(int a, int b) const {
    for (const auto& [upper, lower] : window().stacked) {
      if ((a == upper && b == lower) || (a == lower && b == upper)) return true;
    }
    return false;
  }
};

TEST_P(WindowAtDpi, VisibleControlsInsideClientAreaAndCmdFocusBelowIt) {
  const WindowLayout l = layout();
  const PixelRect client{0, 0, l.clientWidth, l.clientHeight};
  int hidden = 0;
  for (const PlacedControl& c : l.controls) {
    EXPECT_GT(c.rect.width, 0) << c.id;
    EXPECT_GT(c.rect.height, 0) << c.id;
    if (c.hidden) {
      ++hidden;
      EXPECT_EQ(c.id, window().hiddenId);
      EXPECT_GE(c.rect.top, l.clientHeight) << "cmdFocus shows at " << dpi() << " DPI";
    } else {
      EXPECT_TRUE(Inside(c.rect, client)) << "control " << c.id << " leaves the client area";
    }
  }
  EXPECT_EQ(hidden, window().hiddenId != 0 ? 1 : 0);
}

TEST_P(WindowAtDpi, NoVisibleControlsOverlapUnlessStackedOnPurpose) {
  const WindowLayout l = layout();
  for (size_t i = 0; i < l.controls.size(); ++i) {
    for (size_t j = i + 1; j < l.controls.size(); ++j) {
      const PlacedControl& a = l.controls[i];
      const PlacedControl& b = l.controls[j];
      if (a.hidden || b.hidden || Stacked(a.id, b.id)) continue;
      EXPECT_FALSE(Overlap(a.rect, b.rect)) << a.id << " overlaps " << b.id;
    }
  }
}

// The exceptions above are real: Use and Find cover their boxes' right ends
// (and stay inside them vertically within their own extra height), and every
// option lies wholly inside Frame1.
TEST_P(WindowAtDpi, StackedControlsLieWhereTheTableSays) {
  const WindowLayout l = layout();
  for (const auto& [upper, lower] : window().stacked) {
    const PixelRect& top = l.Find(upper)->rect;
    const PixelRect& under = l.Find(lower)->rect;
    EXPECT_TRUE(Overlap(top, under)) << upper << " and " << lower;
    if (lower == mainctl::kFrame1) {
      EXPECT_TRUE(Inside(top, under)) << "option " << upper << " leaves Frame1";
    } else {
      EXPECT_EQ(top.top, under.top);
      EXPECT_LE(top.right(), under.right());
    }
  }
}

TEST_P(WindowAtDpi, PixelsScaleLinearlyFromTwipsWithinOnePixel) {
  const WindowLayout l = layout();
  const WindowTable& t = window().table();
  const double scale = dpi() / 1440.0;
  EXPECT_LE(std::abs(l.clientWidth - t.clientWidth * scale), 0.5);
  EXPECT_LE(std::abs(l.clientHeight - t.clientHeight * scale), 0.5);
  ASSERT_EQ(l.controls.size(), t.controls.size());
  for (size_t i = 0; i < t.controls.size(); ++i) {
    const ControlPlace& c = t.controls[i];
    const PixelRect& r = l.controls[i].rect;
    EXPECT_EQ(l.controls[i].id, c.id);
    EXPECT_LE(std::abs(r.left - c.left * scale), 0.5) << c.id;
    EXPECT_LE(std::abs(r.top - c.top * scale), 0.5) << c.id;
    EXPECT_LE(std::abs(r.width - c.width * scale), 1.0) << c.id;
    EXPECT_LE(std::abs(r.height - c.height * scale), 1.0) << c.id;
  }
}

// Twice the DPI gives twice the size, give or take a pixel of rounding.
TEST_P(WindowAtDpi, SizesAgreeWith96DpiScaled) {
  const WindowLayout l = layout();
  const WindowLayout base = LayOut(window().table(), 96);
  const double factor = dpi() / 96.0;
  for (size_t i = 0; i < l.controls.size(); ++i) {
    EXPECT_LE(std::abs(l.controls[i].rect.width - base.controls[i].rect.width * factor),
              1.0 + factor / 2)
        << l.controls[i].id;
    EXPECT_LE(std::abs(l.controls[i].rect.height - base.controls[i].rect.height * factor),
              1.0 + factor / 2)
        << l.controls[i].id;
  }
}

std::string Name(const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
  return std::string(kWindows[std::get<0>(info.param)].name) + "At" +
         std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(AllWindows, WindowAtDpi,
                         ::testing::Combine(::testing::Values(0, 1, 2),
                                            ::testing::Values(96, 144, 192)),
                         Name);

}  // namespace
}  // namespace qm::layout
