#include "4-behaviour/Layout.h"

namespace qm::layout {

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

}  // namespace qm::layout
