#pragma once
// What the program's three windows share: each is a dialog made from its
// template in windows.rc and a C++ object behind one dialog procedure; their
// window classes; centring.

#include <windows.h>

#include <string>

#include "1-platform/Ui.h"

namespace qm::dialogwin {

// A dialog as an object. The dialog procedure keeps the object from
// WM_INITDIALOG to WM_NCDESTROY and hands every message in between to
// HandleMessage, whose result is its own. Nothing may unwind into user32: a
// failure that reaches the procedure was not expected, and ends the program
// through `fatal_`.
class Dialog {
 public:
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

 protected:
  explicit Dialog(FatalErrors& fatal) : fatal_(fatal) {}
  virtual ~Dialog() = default;
  virtual INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;

  // The template `id` as a modeless dialog (false when Windows refused), or
  // as a modal one over `owner` (-1 when refused; else EndDialog's result).
  bool CreateModeless(int id);
  INT_PTR RunModal(int id, HWND owner);

  // Control `id`; its text and setting it, both UTF-8; giving it the focus
  // as the dialog manager does, which keeps the default button's frame where
  // it belongs.
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  std::string Text(int id) const;
  void SetText(int id, const std::string& text) const;
  void Focus(int id) const;

  HWND hwnd_ = nullptr;
  FatalErrors& fatal_;

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

// Registers the window class `name` that a dialog template names: Windows'
// own dialog window procedure, with the icon resource `icon` when given.
void RegisterDialogClass(const wchar_t* name, const wchar_t* icon = nullptr);

// Centres `window` on `owner` (screen coordinates), kept inside the work area
// of the monitor there.
void CentreOn(HWND window, HWND owner);

}  // namespace qm::dialogwin
