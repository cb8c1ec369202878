#pragma once
// What the program's Win32 windows share: the window procedure trampoline,
// window classes, fonts fitted to the DPI, placing and centring, the Tab key,
// and the modal dialog the Set Path and error windows are made on.

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

// The text of `window`, in UTF-8.
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
// On WM_DPICHANGED `over` is the rectangle Windows suggests, which is not
// taken as it is: it is the old window scaled by the ratio of the DPIs, and
// caption, menu bar, borders and the layout's rounding do not scale exactly.
void SizeAndCentre(HWND hwnd, int clientWidth, int clientHeight, UINT dpi, const RECT& over);

// Moves every control of `layout` to its place in `window` and gives it the
// message font fitted to `rooms`, which replaces `font` (the old one is
// deleted).
void PlaceControls(HWND window, const layout::WindowLayout& layout, UINT dpi,
                   const std::vector<TextRoom>& rooms, HFONT& font);

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

// The kinds of control a modal dialog is made of; the kind gives the window
// class, the base style and whether the control is a tab stop.
enum class ControlKind {
  Label,    // static text, no tab stop
  TextBox,  // a read-only edit box with a sunken edge
  Button,   // a push button
};

// One control of a modal dialog; `style` is added to its kind's.
struct DialogControl {
  int id;
  ControlKind kind;
  std::string caption;
  DWORD style = 0;
};

// What a modal dialog window is made of.
struct DialogDesign {
  const char* windowClass;
  std::string caption;
  DWORD style;                          // the window's; its extended style is none
  const char* iconName;                 // an icon resource, or none
  layout::WindowTable table;            // where the controls go
  std::vector<DialogControl> controls;  // in tab order
};

// A window shown modally: made from a DialogDesign at its owner's DPI and
// centred on it, laid out again on every DPI change, shown while other
// windows are disabled, until EndModal. Tab, Shift+Tab and Enter move along
// and click its controls. The window that derives from it keeps what is its
// own: the rooms its texts need, and what clicks, activation and closing do.
class ModalDialog {
 public:
  // `fatal` hears of any failure that reaches the window procedure.
  explicit ModalDialog(FatalErrors& fatal) : fatal_(fatal) {}
  virtual ~ModalDialog();
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

 protected:
  // Creates the window hidden, with its controls, font and icons, owned by
  // `owner` and centred on it (on the primary monitor's work area when there
  // is none). False when Windows refused.
  bool Create(const DialogDesign& design, HWND owner);

  // Disables `others`, shows the window, calls OnShown, then runs messages
  // until EndModal (or until the program quits, which ends the dialog too).
  void RunModal(std::vector<HWND> others);

  // Enables the disabled windows again, then destroys the window.
  void EndModal();

  HWND Window() const { return hwnd_; }
  HWND FirstTabStop() const { return tabOrder_.empty() ? nullptr : tabOrder_.front(); }

  // The room each text must fit at `dpi`, its controls placed as in `placed`.
  virtual std::vector<TextRoom> TextRooms(const layout::WindowLayout& placed, UINT dpi) = 0;
  // The window has just been shown.
  virtual void OnShown() {}
  // A button has been clicked (or IsDialogMessage sent IDOK or IDCANCEL).
  virtual void OnClick(int id) = 0;
  virtual void OnActivate(bool active) = 0;
  // WM_CLOSE: the close box, Alt+F4.
  virtual void OnClose() = 0;

 private:
  friend LRESULT CALLBACK WindowProcThunk<ModalDialog>(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControls(const std::vector<DialogControl>& controls);
  void LoadIcons(const char* name);
  layout::WindowLayout Layout(UINT dpi);
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  FatalErrors& fatal_;
  layout::WindowTable table_{};
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::vector<HWND> tabOrder_;
  std::vector<HWND> disabled_;
  bool closed_ = false;
};

}  // namespace dialogwin

}  // namespace qm
