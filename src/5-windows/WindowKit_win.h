#pragma once
// What the program's Win32 windows share: the window procedure trampoline,
// window classes, fonts fitted to the DPI, placing and centring, the Tab key,
// the dialog keys and the modal loop.

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "1-platform/Ui.h"
#include "4-behaviour/Layout.h"

namespace qm {

namespace dialogwin {

// Inside a catch block: reports the exception being handled through `fatal`
// with its own number and description (in the program, a message box, then
// the program ends).
void ReportUnhandledFailure(FatalErrors& fatal);

// The window procedure of a class whose windows are T objects created with
// `this` as their creation parameter: it keeps the object in the window's
// user data from WM_NCCREATE to WM_NCDESTROY, sets and clears T::hwnd_, and
// hands every message in between to T::HandleMessage. T makes it a friend.
template <class T>
LRESULT CALLBACK WindowProcThunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    // Nothing may unwind into user32: a failure that reaches a window
    // procedure was not expected, and ends the program through T::fatal_.
    ReportUnhandledFailure(self->fatal_);
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

// Registers the window class `name` (arrow cursor, button-face background)
// unless it is registered already. False when Windows refused.
bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, HICON icon = nullptr,
                         HICON smallIcon = nullptr);

// The text of `window`, in the ANSI code page.
std::string WindowText(HWND window);

// The DPI of `hwnd` (per monitor where Windows offers it), else the system's.
UINT WindowDpi(HWND hwnd);

// The system's message font at `tenths` of a point for `dpi`; the caller
// deletes it.
HFONT MessageFont(UINT dpi, int tenths);

// A control whose text must fit inside `width` by `height` pixels when
// wrapped at word breaks.
struct TextRoom {
  HWND control;
  int width;
  int height;
};

// The message font at 8 points, made smaller (down to 6) while some text
// would not fit its room.
HFONT FitMessageFont(HWND window, UINT dpi, const std::vector<TextRoom>& rooms);

// Sizes `hwnd` so that its client area is `clientWidth` by `clientHeight`
// pixels (below its menu bar, if it has one) and centres it on `over`
// (screen coordinates), kept inside the work area of the monitor there.
void SizeAndCentre(HWND hwnd, int clientWidth, int clientHeight, UINT dpi, const RECT& over);

// Moves every control of `layout` to its place in `window` and gives it the
// message font fitted to `rooms`, which replaces `font` (the old one is
// deleted).
void PlaceControls(HWND window, const layout::WindowLayout& layout, UINT dpi,
                   const std::vector<TextRoom>& rooms, HFONT& font);

// WM_DPICHANGED: the window takes the rectangle Windows suggests for the
// new DPI.
void MoveToSuggested(HWND hwnd, const RECT& suggested);

// The work area of the primary monitor.
RECT PrimaryWorkArea();

// Tab and Shift+Tab in `window`, unless the focused control takes Tab
// itself: the focus moves to the next (previous) control of `tabOrder` that
// is enabled and visible, the order wrapping round; from a control outside
// it, to the first (last). `tabOrder` holds the tab stops in order, which
// need not be their stacking order. `optionGroup`, when given, is a group of
// option buttons that is one stop: `tabOrder` holds its first, the focus
// enters it at its checked option (the first when none is) and leaves it
// from any. True when `msg` is such a key.
bool HandleTabKey(const MSG& msg, HWND window, const std::vector<HWND>& tabOrder,
                  std::span<const HWND> optionGroup = {});

// Tab and Shift+Tab as HandleTabKey; Enter clicks the focused button. True
// when `msg` has been handled.
bool HandleDialogKey(const MSG& msg, HWND window, const std::vector<HWND>& tabOrder);

// WM_CTLCOLORSTATIC: labels and read-only text boxes on the button face.
LRESULT ButtonFaceColours(HDC dc);

// Runs messages until `done` is true. A WM_QUIT met on the way is posted
// again for the outer loop. `window` and `tabOrder` get the dialog keys.
void RunModalLoop(const bool& done, HWND window, const std::vector<HWND>& tabOrder);

}  // namespace dialogwin

}  // namespace qm
