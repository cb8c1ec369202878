#pragma once
// Window geometry: a window's control table in twips (1/1440 inch, from the
// client area's top left corner) converted to pixels at a given DPI. Pure
// arithmetic, so that every layout can be checked without a window. Each
// window's table sits beside its control identifiers (MainControls.h, ...).

#include <cstdint>
#include <span>
#include <vector>

namespace qm::layout {

// A control's place in twips. Option buttons inside Frame1 are already
// resolved to client coordinates.
struct ControlPlace {
  int id;
  int left, top, width, height;
  bool hidden = false;  // cmdFocus: placed below the client area, never seen
};

// A window's client area in twips and its controls in table order.
struct WindowTable {
  int clientWidth;
  int clientHeight;
  std::span<const ControlPlace> controls;
};

struct PixelRect {
  int left, top, width, height;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
};

struct PlacedControl {
  int id;
  PixelRect rect;
  bool hidden;
};

struct WindowLayout {
  int clientWidth;   // pixels
  int clientHeight;  // pixels
  int fontHeight;    // LOGFONT lfHeight of the 8-point font: negative, character height
  std::vector<PlacedControl> controls;  // in table order

  // The control with this id; a null pointer when the table has none.
  const PlacedControl* Find(int id) const;
};

// number * numerator / denominator through 64 bits, rounded half away from
// zero, as Windows' MulDiv; -1 for a zero denominator or a result outside
// 32 bits.
int MulDiv(int number, int numerator, int denominator);

int TwipsToPixels(int twips, int dpi);

// The lfHeight of a font `tenths` tenths of a point high at `dpi`.
int FontHeight(int tenths, int dpi);

inline constexpr int kFontTenths = 80;  // every window's text is 8 points

WindowLayout LayOut(const WindowTable& table, int dpi);

}  // namespace qm::layout
