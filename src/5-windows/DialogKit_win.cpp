#include "5-windows/DialogKit_win.h"

#include <algorithm>

#include "1-platform/Utf16_win.h"

namespace qm::dialogwin {

// A class that a template names must run DefDlgProc with its extra bytes.
void RegisterDialogClass(const wchar_t* name, const wchar_t* icon) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefDlgProcW;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  if (icon != nullptr) {
    const auto load = [&](int width, int height) {
      return static_cast<HICON>(LoadImageW(instance, icon, IMAGE_ICON, GetSystemMetrics(width),
                                           GetSystemMetrics(height), 0));
    };
    wc.hIcon = load(SM_CXICON, SM_CYICON);
    wc.hIconSm = load(SM_CXSMICON, SM_CYSMICON);
  }
  RegisterClassExW(&wc);  // fails harmlessly when registered already
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    reinterpret_cast<Dialog*>(lp)->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  }
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    return FALSE;
  }
  try {
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    self->fatal_.FatalCaught();
    return FALSE;
  }
}

bool Dialog::CreateModeless(int id) {
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, &Procedure,
                            reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR Dialog::RunModal(int id, HWND owner) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, &Procedure,
                         reinterpret_cast<LPARAM>(this));
}

std::string Dialog::Text(int id) const {
  HWND item = Item(id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

void Dialog::SetText(int id, const std::string& text) const {
  SetDlgItemTextW(hwnd_, id, Utf16(text).c_str());
}

void Dialog::Focus(int id) const {
  SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void CentreOn(HWND window, HWND owner) {
  RECT mine{};
  RECT over{};
  if (!owner || !GetWindowRect(owner, &over) || !GetWindowRect(window, &mine)) return;
  const int width = mine.right - mine.left;
  const int height = mine.bottom - mine.top;
  int left = over.left + (over.right - over.left - width) / 2;
  int top = over.top + (over.bottom - over.top - height) / 2;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    left = std::max<int>(work.left, std::min<int>(left, work.right - width));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
  }
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace qm::dialogwin
