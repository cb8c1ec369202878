#include "app/Layout.h"

#include "editor/MainControls.h"
#include "errortrap/ErrorControls.h"
#include "location/SetPathControls.h"

namespace qm::layout {

namespace {

// frmMain: the options sit inside Frame1 (left 120, top 120) and are placed
// relative to it.
constexpr int kFrameLeft = 120;
constexpr int kFrameTop = 120;

constexpr ControlPlace kMainControls[] = {
    {mainctl::kFrame1, 120, 120, 5355, 2175},
    {mainctl::kOptList0 + 0, kFrameLeft + 300, kFrameTop + 360, 2415, 315},
    {mainctl::kOptList0 + 1, kFrameLeft + 2820, kFrameTop + 360, 2415, 315},
    {mainctl::kOptList0 + 2, kFrameLeft + 300, kFrameTop + 780, 2355, 315},
    {mainctl::kOptList0 + 3, kFrameLeft + 2820, kFrameTop + 780, 2415, 315},
    {mainctl::kOptList0 + 4, kFrameLeft + 300, kFrameTop + 1200, 2415, 315},
    {mainctl::kOptList0 + 5, kFrameLeft + 2820, kFrameTop + 1200, 2415, 315},
    {mainctl::kOptList0 + 6, kFrameLeft + 300, kFrameTop + 1620, 2415, 315},
    {mainctl::kLabel1, 120, 2460, 1575, 195},
    {mainctl::kTxtName, 120, 2700, 2655, 285},
    // Drawn 255 high, Label2 would reach 15 twips into lstNames below it;
    // it ends where the list begins (its one line of text needs 195).
    {mainctl::kLabel2, 120, 3180, 1515, 240},
    {mainctl::kLstNames, 120, 3420, 5355, 3765},
    {mainctl::kCmdSave, 1560, 7320, 1095, 375},
    {mainctl::kCmdExit, 2940, 7320, 1095, 375},
};

// frmSetPath: "Use" and "Find" lie over the right ends of their text boxes.
constexpr ControlPlace kSetPathControls[] = {
    {setpathctl::kLabel1, 120, 120, 7095, 1035},
    {setpathctl::kLabel2, 120, 1380, 3615, 195},
    {setpathctl::kTxtRegistry, 120, 1620, 7110, 285},
    {setpathctl::kCmdUseReg, 6780, 1620, 435, 315},
    {setpathctl::kLabel3, 120, 2160, 3675, 195},
    {setpathctl::kTxtLocation, 120, 2400, 7110, 285},
    {setpathctl::kCmdFindPath, 6780, 2400, 435, 315},
    {setpathctl::kCmdOK, 2880, 2940, 675, 315},
    {setpathctl::kCmdCancel, 3780, 2940, 675, 315},
    {setpathctl::kCmdFocus, 3240, 4200, 495, 315, true},
};

constexpr ControlPlace kErrorControls[] = {
    {errorctl::kLabel1, 120, 120, 7275, 615},
    {errorctl::kTxtMessage, 120, 840, 7275, 3195},
    {errorctl::kCmdWebPage, 120, 4200, 3555, 435},
    {errorctl::kCmdCopy, 3840, 4200, 3555, 435},
    {errorctl::kCmdMailTo, 120, 4740, 3555, 435},
    {errorctl::kCmdEnd, 3840, 4740, 3555, 435},
    {errorctl::kCmdFocus, 3480, 6240, 615, 435, true},
};

constexpr WindowTable kMainWindow{5595, 7800, kMainControls};
constexpr WindowTable kSetPathWindow{7335, 3375, kSetPathControls};
constexpr WindowTable kErrorWindow{7515, 5295, kErrorControls};

}  // namespace

const PlacedControl* WindowLayout::Find(int id) const {
  for (const PlacedControl& control : controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

// The divisor's sign moves to the dividend; half the divisor is added to or
// taken from the product so that the division rounds away from zero.
int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(number) * numerator;
  int64_t divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  const int64_t half = divisor / 2;
  const int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<int>(result);
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

int FontHeight(int tenths, int dpi) { return -MulDiv(tenths, dpi, 720); }

// Edges are converted, not sizes, so that controls that meet in twips still
// meet in pixels; a width is the difference of its two converted edges.
WindowLayout LayOut(const WindowTable& table, int dpi) {
  WindowLayout out{TwipsToPixels(table.clientWidth, dpi),
                   TwipsToPixels(table.clientHeight, dpi),
                   FontHeight(kFontTenths, dpi),
                   {}};
  out.controls.reserve(table.controls.size());
  for (const ControlPlace& c : table.controls) {
    const int left = TwipsToPixels(c.left, dpi);
    const int top = TwipsToPixels(c.top, dpi);
    const int right = TwipsToPixels(c.left + c.width, dpi);
    const int bottom = TwipsToPixels(c.top + c.height, dpi);
    out.controls.push_back({c.id, {left, top, right - left, bottom - top}, c.hidden});
  }
  return out;
}

const WindowTable& MainWindow() { return kMainWindow; }
const WindowTable& SetPathWindow() { return kSetPathWindow; }
const WindowTable& ErrorWindow() { return kErrorWindow; }

}  // namespace qm::layout
