#include "5-windows/WindowKit_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "1-platform/Failure.h"
#include "1-platform/Utf16_win.h"

namespace qm {

namespace dialogwin {

void ReportUnhandledFailure(FatalErrors& fatal) {
  const CaughtFailure failure = CurrentFailure();
  fatal.Fatal(failure.number, failure.description);
}

namespace {

// The per-monitor DPI functions of Windows 10, looked up at run time so that
// the program also starts on systems without them.
struct DpiApi {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  using SpiForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  GetDpiForWindowFn getDpiForWindow = nullptr;
  AdjustForDpiFn adjustWindowRectExForDpi = nullptr;
  SpiForDpiFn systemParametersInfoForDpi = nullptr;

  DpiApi() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32) return;
    getDpiForWindow = Get<GetDpiForWindowFn>(user32, "GetDpiForWindow");
    adjustWindowRectExForDpi = Get<AdjustForDpiFn>(user32, "AdjustWindowRectExForDpi");
    systemParametersInfoForDpi = Get<SpiForDpiFn>(user32, "SystemParametersInfoForDpi");
  }
  template <typename Fn>
  static Fn Get(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  }
};

const DpiApi& Dpi() {
  static const DpiApi api;
  return api;
}

bool IsPushButton(HWND control) {
  char name[16] = {};
  GetClassNameA(control, name, sizeof(name));
  if (lstrcmpiA(name, "Button") != 0) return false;
  const LONG_PTR type = GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, HICON icon,
                         HICON smallIcon) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return Utf8(text);
}

UINT WindowDpi(HWND hwnd) {
  if (Dpi().getDpiForWindow && hwnd) {
    const UINT dpi = Dpi().getDpiForWindow(hwnd);
    if (dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// SystemParametersInfoForDpi exists only for the wide structures: handed a
// NONCLIENTMETRICSA it writes a NONCLIENTMETRICSW's worth of bytes into it.
HFONT MessageFont(UINT dpi, int tenths) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  const bool ok =
      Dpi().systemParametersInfoForDpi
          ? Dpi().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                             dpi) != FALSE
          : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) != FALSE;
  LOGFONTW face{};
  if (ok) {
    face = metrics.lfMessageFont;
  } else {
    lstrcpynW(face.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
  }
  face.lfHeight = layout::FontHeight(tenths, static_cast<int>(dpi));
  face.lfWidth = 0;
  face.lfWeight = FW_NORMAL;
  face.lfCharSet = DEFAULT_CHARSET;
  face.lfQuality = CLEARTYPE_QUALITY;
  return CreateFontIndirectW(&face);
}

namespace {

bool TextsFit(HDC dc, HFONT font, const std::vector<TextRoom>& rooms) {
  HGDIOBJ previous = SelectObject(dc, font);
  bool fit = true;
  for (const TextRoom& room : rooms) {
    const std::wstring text = Utf16(WindowText(room.control));
    if (text.empty()) continue;
    RECT rc{0, 0, room.width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (rc.right - rc.left > room.width || rc.bottom - rc.top > room.height) fit = false;
  }
  SelectObject(dc, previous);
  return fit;
}

}  // namespace

HFONT FitMessageFont(HWND window, UINT dpi, const std::vector<TextRoom>& rooms) {
  HDC dc = GetDC(window);
  HFONT font = nullptr;
  for (int tenths = 80; tenths >= 60; tenths -= 5) {
    font = MessageFont(dpi, tenths);
    if (!font || TextsFit(dc, font, rooms) || tenths == 60) break;
    DeleteObject(font);
    font = nullptr;
  }
  ReleaseDC(window, dc);
  return font;
}

void SizeAndCentre(HWND hwnd, int clientWidth, int clientHeight, UINT dpi, const RECT& over) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
  const BOOL menu = GetMenu(hwnd) != nullptr ? TRUE : FALSE;
  RECT rc{0, 0, clientWidth, clientHeight};
  if (Dpi().adjustWindowRectExForDpi) {
    Dpi().adjustWindowRectExForDpi(&rc, style, menu, exStyle, dpi);
  } else {
    AdjustWindowRectEx(&rc, style, menu, exStyle);
  }
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  int left = over.left + (over.right - over.left - width) / 2;
  int top = over.top + (over.bottom - over.top - height) / 2;

  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoA(MonitorFromRect(&over, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    left = std::max<int>(work.left, std::min<int>(left, work.right - width));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
  }
  SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceControls(HWND window, const layout::WindowLayout& layout, UINT dpi,
                   const std::vector<TextRoom>& rooms, HFONT& font) {
  HFONT old = font;
  font = FitMessageFont(window, dpi, rooms);
  for (const layout::PlacedControl& c : layout.controls) {
    HWND control = GetDlgItem(window, c.id);
    if (!control) continue;
    SetWindowPos(control, nullptr, c.rect.left, c.rect.top, c.rect.width, c.rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  InvalidateRect(window, nullptr, TRUE);
  if (old) DeleteObject(old);
}

RECT PrimaryWorkArea() {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  const POINT origin{0, 0};
  if (GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    work = monitor.rcWork;
  }
  return work;
}

namespace {

// The checked option of `group`, else its first.
HWND CheckedOption(std::span<const HWND> group) {
  for (HWND option : group) {
    if (SendMessageA(option, BM_GETCHECK, 0, 0) == BST_CHECKED) return option;
  }
  return group.front();
}

}  // namespace

bool HandleTabKey(const MSG& msg, HWND window, const std::vector<HWND>& tabOrder,
                  std::span<const HWND> optionGroup) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
  if (msg.hwnd != window && !IsChild(window, msg.hwnd)) return false;
  if (SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
      DLGC_WANTTAB) {
    return false;
  }
  if (tabOrder.empty()) return true;
  const bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  HWND focus = GetFocus();
  if (std::find(optionGroup.begin(), optionGroup.end(), focus) != optionGroup.end()) {
    focus = optionGroup.front();
  }
  const auto at = std::find(tabOrder.begin(), tabOrder.end(), focus);
  size_t index = at == tabOrder.end() ? (back ? 0 : tabOrder.size() - 1)
                                      : static_cast<size_t>(at - tabOrder.begin());
  for (size_t step = 0; step < tabOrder.size(); ++step) {
    index = back ? (index + tabOrder.size() - 1) % tabOrder.size() : (index + 1) % tabOrder.size();
    HWND next = tabOrder[index];
    if (IsWindowEnabled(next) && IsWindowVisible(next)) {
      // Windows would select an option that takes the focus (Wine does not).
      if (!optionGroup.empty() && next == optionGroup.front()) next = CheckedOption(optionGroup);
      SetFocus(next);
      break;
    }
  }
  return true;
}

namespace {

// Tab and Shift+Tab move along `tabOrder`; Enter clicks the focused push
// button. True when `msg` has been handled.
bool HandleDialogKey(const MSG& msg, HWND window, const std::vector<HWND>& tabOrder) {
  if (HandleTabKey(msg, window, tabOrder)) return true;
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
  if (msg.hwnd != window && !IsChild(window, msg.hwnd)) return false;
  HWND focus = GetFocus();
  if (focus == nullptr || !IsChild(window, focus) || !IsPushButton(focus)) return false;
  SendMessageA(focus, BM_CLICK, 0, 0);
  return true;
}

// WM_CTLCOLORSTATIC: labels and read-only text boxes on the button face.
LRESULT ButtonFaceColours(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// Runs messages until `done` is true. A WM_QUIT met on the way is posted
// again for the outer loop. `window` and `tabOrder` get the dialog keys.
void RunModalLoop(const bool& done, HWND window, const std::vector<HWND>& tabOrder) {
  MSG msg;
  while (!done) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (got < 0) return;
    if (HandleDialogKey(msg, window, tabOrder)) continue;
    if (IsWindow(window) && IsDialogMessageA(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

// The window is let go of before it is destroyed: the derived window is gone
// by now, and the messages of its destruction must not reach it.
ModalDialog::~ModalDialog() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (font_) DeleteObject(font_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

bool ModalDialog::Create(const DialogDesign& design, HWND owner) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterWindowClass(instance, design.windowClass, &WindowProcThunk<ModalDialog>)) {
    return false;
  }
  if (!CreateWindowExA(0, design.windowClass, design.caption.c_str(), design.style, CW_USEDEFAULT,
                       CW_USEDEFAULT, 100, 100, owner, nullptr, instance, this)) {
    return false;
  }
  table_ = design.table;
  CreateControls(design.controls);
  if (design.iconName) LoadIcons(design.iconName);
  const UINT dpi = WindowDpi(owner ? owner : hwnd_);
  const layout::WindowLayout placed = Layout(dpi);
  RECT over{};
  if (!owner || !GetWindowRect(owner, &over)) over = PrimaryWorkArea();
  SizeAndCentre(hwnd_, placed.clientWidth, placed.clientHeight, dpi, over);
  return true;
}

// The controls are created in tab order, with no place yet: Layout places
// them.
void ModalDialog::CreateControls(const std::vector<DialogControl>& controls) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const DialogControl& c : controls) {
    const char* cls = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE | c.style;
    DWORD exStyle = 0;
    switch (c.kind) {
      case ControlKind::Label:
        style |= SS_LEFT | SS_NOPREFIX;
        break;
      case ControlKind::TextBox:
        cls = "EDIT";
        style |= WS_TABSTOP | ES_LEFT | ES_READONLY;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::Button:
        cls = "BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    }
    HWND control =
        CreateWindowExA(exStyle, cls, c.caption.c_str(), style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    if (c.kind != ControlKind::Label) tabOrder_.push_back(control);
  }
}

void ModalDialog::LoadIcons(const char* name) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  bigIcon_ = static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON, 32, 32, 0));
  smallIcon_ = static_cast<HICON>(LoadImageA(
      instance, name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (bigIcon_) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  if (smallIcon_) {
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  }
}

layout::WindowLayout ModalDialog::Layout(UINT dpi) {
  layout::WindowLayout placed = layout::LayOut(table_, static_cast<int>(dpi));
  PlaceControls(hwnd_, placed, dpi, TextRooms(placed, dpi), font_);
  return placed;
}

void ModalDialog::RunModal(std::vector<HWND> others) {
  disabled_ = std::move(others);
  for (HWND window : disabled_) EnableWindow(window, FALSE);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  OnShown();
  RunModalLoop(closed_, hwnd_, tabOrder_);
  if (!closed_) EndModal();  // the program is quitting
}

// The disabled windows are enabled first, so that the owner becomes the
// active window again.
void ModalDialog::EndModal() {
  closed_ = true;
  for (HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  disabled_.clear();
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT ModalDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  // clang-format off
  switch (msg) {
    case WM_COMMAND:        if (HIWORD(wp) == BN_CLICKED) OnClick(LOWORD(wp)); return 0;
    case WM_CTLCOLORSTATIC: return ButtonFaceColours(reinterpret_cast<HDC>(wp));
    case WM_ACTIVATE:       OnActivate(LOWORD(wp) != WA_INACTIVE); return 0;
    case WM_CLOSE:          OnClose(); return 0;
    case WM_DPICHANGED:     OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
  }
  // clang-format on
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

void ModalDialog::OnDpiChanged(UINT dpi, const RECT& suggested) {
  const layout::WindowLayout placed = Layout(dpi);
  SizeAndCentre(hwnd_, placed.clientWidth, placed.clientHeight, dpi, suggested);
}

}  // namespace dialogwin

}  // namespace qm
