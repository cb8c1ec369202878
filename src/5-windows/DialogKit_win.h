#pragma once
// What the program's three windows share: they are dialogs made from the
// templates in windows.rc, each a C++ object behind one dialog procedure;
// their window classes; their controls' texts in UTF-8; centring.

#include <windows.h>

#include <string>

#include "1-platform/Ui.h"

namespace qm::dialogwin {

// Inside a catch block: reports the exception being handled through `fatal`
// with its own number and description (in the program, a message box, then
// the program ends).
void ReportUnhandledFailure(FatalErrors& fatal);

// The dialog procedure of dialogs that are T objects, created with the
// object as their parameter (CreateDialogParamW, DialogBoxParamW): it keeps
// the object from WM_INITDIALOG to WM_NCDESTROY, sets and clears T::hwnd_,
// and hands every message in between to T::HandleMessage, whose result is
// the dialog procedure's. T makes it a friend.
template <class T>
INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    reinterpret_cast<T*>(lp)->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  }
  auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    return FALSE;
  }
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    // Nothing may unwind into user32: a failure that reaches a dialog
    // procedure was not expected, and ends the program through T::fatal_.
    ReportUnhandledFailure(self->fatal_);
    return FALSE;
  }
}

// Registers the window class `name` that a dialog template names: Windows'
// own dialog window procedure, with the icon resource `icon` when given.
void RegisterDialogClass(const wchar_t* name, const wchar_t* icon = nullptr);

// The text of control `id`, and setting it; both UTF-8.
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);

// Gives control `id` the focus as the dialog manager does, which also keeps
// the default button's frame where it belongs.
void FocusItem(HWND dialog, int id);

// Centres `window` on `owner` (screen coordinates), kept inside the work area
// of the monitor there.
void CentreOn(HWND window, HWND owner);

}  // namespace qm::dialogwin
