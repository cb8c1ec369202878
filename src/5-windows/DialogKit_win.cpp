#include "5-windows/DialogKit_win.h"

#include <algorithm>

#include "1-platform/Failure.h"
#include "1-platform/Utf16_win.h"

namespace qm::dialogwin {

void ReportUnhandledFailure(FatalErrors& fatal) {
  const CaughtFailure failure = CurrentFailure();
  fatal.Fatal(failure.number, failure.description);
}

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

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

void SetItemText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, Utf16(text).c_str());
}

void FocusItem(HWND dialog, int id) {
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
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
