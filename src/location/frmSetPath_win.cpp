// frmSetPath on Win32. The window procedure is a switch of one-line cases;
// each handler calls SetPathDialog inside Guarded, so that no C++ exception
// unwinds through user32. Geometry is held in twips and converted with the
// window's DPI.

#include "location/frmSetPath_win.h"

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/DialogServices_win.h"
#include "errortrap/Failure.h"
#include "location/SetPath.h"

namespace qm {

namespace {

using namespace setpathctl;
using dialogwin::Twips;

constexpr int kClientWidth = 7335;  // twips
constexpr int kClientHeight = 3375;
constexpr DWORD kWindowStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // fixed border, no min/max box
constexpr DWORD kWindowExStyle = 0;                        // owned, so not in the task bar

constexpr const char* kNote =
    "Note: This program uses the InstallPath registry entry as the default location for The "
    "Sims. This is correct 95% of the time. Some non-English versions of The Sims do not have "
    "the InstallPath registry key. If the location of The Sims can not be determined from the "
    "registry, this window will allow you to set the path manually. Object creators who run "
    "multiple copies of The Sims can use this window to point this program at the desired copy.";

enum class Kind { Label, TextBox, Button };

// The controls in tab order, each placed in twips from the client area's
// top left corner.
struct Control {
  int id;
  Kind kind;
  const char* text;
  int left, top, width, height;
};

constexpr Control kControls[] = {
    {kLabel1, Kind::Label, kNote, 120, 120, 7095, 1035},
    {kLabel2, Kind::Label, "Location of The Sims found in the registry:", 120, 1380, 3615, 195},
    {kTxtRegistry, Kind::TextBox, "", 120, 1620, 7110, 285},
    {kCmdUseReg, Kind::Button, "Use", 6780, 1620, 435, 315},
    {kCmdFindPath, Kind::Button, "Find", 6780, 2400, 435, 315},
    {kTxtLocation, Kind::TextBox, "", 120, 2400, 7110, 285},
    {kLabel3, Kind::Label, "Location of The Sims used by this program:", 120, 2160, 3675, 195},
    {kCmdOK, Kind::Button, "OK", 2880, 2940, 675, 315},
    {kCmdCancel, Kind::Button, "Cancel", 3780, 2940, 675, 315},
    {kCmdFocus, Kind::Button, "Command1", 3240, 4200, 495, 315},
};

class FrmSetPath final : public SetPathView {
 public:
  explicit FrmSetPath(const SetPathServices& services)
      : dialog_(*this, services), fatal_(services.fatal) {}
  ~FrmSetPath() override;
  FrmSetPath(const FrmSetPath&) = delete;
  FrmSetPath& operator=(const FrmSetPath&) = delete;

  void ShowModal(HWND owner);

  // SetPathView
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetRegistryText(const std::string& text) override { SetText(kTxtRegistry, text); }
  std::string GetRegistryText() override { return GetText(kTxtRegistry); }
  void SetLocationText(const std::string& text) override { SetText(kTxtLocation, text); }
  std::string GetLocationText() override { return GetText(kTxtLocation); }
  void FocusCmdFocus() override { SetFocus(GetDlgItem(hwnd_, kCmdFocus)); }
  void Close() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  bool Create(HWND owner);
  void CreateControls();
  void Layout(UINT dpi);
  void OnCommand(int id, int code);
  void OnActivate(bool active);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void SetText(int id, const std::string& text);
  std::string GetText(int id);
  template <typename F>
  void Guarded(F&& handler);

  SetPathDialog dialog_;
  FatalErrors& fatal_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  HFONT font_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HWND lastFocus_ = nullptr;
  std::vector<HWND> tabOrder_;
  bool closed_ = false;
};

FrmSetPath::~FrmSetPath() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
  if (bigIcon_) DestroyIcon(bigIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

// A failure that reaches a handler is unexpected: it ends the program.
template <typename F>
void FrmSetPath::Guarded(F&& handler) {
  try {
    handler();
  } catch (const Failure& f) {
    fatal_.Fatal(f.number(), f.description());
  } catch (const std::bad_alloc&) {
    fatal_.Fatal(static_cast<int32_t>(Fault::OutOfMemory), "Out of memory");
  } catch (const std::exception& e) {
    fatal_.Fatal(static_cast<int32_t>(Fault::InvalidArgument), e.what());
  } catch (...) {
    fatal_.Fatal(static_cast<int32_t>(Fault::InvalidArgument), "Unexpected failure");
  }
}

// The load step fills both boxes before the dialog appears; the owner takes
// no input until the dialog has closed.
void FrmSetPath::ShowModal(HWND owner) {
  if (!Create(owner)) {
    fatal_.Fatal(static_cast<int32_t>(GetLastError()), "The Set Path dialog could not be created.");
    return;
  }
  Guarded([&] { dialog_.OnLoad(); });
  if (owner_) EnableWindow(owner_, FALSE);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetFocus(tabOrder_.front());
  dialogwin::RunModalLoop(closed_, hwnd_, tabOrder_);
  if (!closed_) Close();  // the program is quitting
}

void FrmSetPath::Close() {
  closed_ = true;
  // The owner is enabled first so that it becomes the active window again.
  if (owner_) EnableWindow(owner_, TRUE);
  if (hwnd_) DestroyWindow(hwnd_);
}

bool FrmSetPath::Create(HWND owner) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &FrmSetPath::WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

  owner_ = owner;
  if (!CreateWindowExA(kWindowExStyle, kClass, kCaption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                       100, 100, owner, nullptr, instance, this)) {
    return false;
  }
  CreateControls();
  bigIcon_ = static_cast<HICON>(LoadImageA(instance, kIconName, IMAGE_ICON, 32, 32, 0));
  smallIcon_ =
      static_cast<HICON>(LoadImageA(instance, kIconName, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                    GetSystemMetrics(SM_CYSMICON), 0));
  if (bigIcon_) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  if (smallIcon_) {
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  }
  const UINT dpi = dialogwin::WindowDpi(owner ? owner : hwnd_);
  Layout(dpi);
  RECT over{};
  if (!owner || !GetWindowRect(owner, &over)) over = dialogwin::PrimaryWorkArea();
  dialogwin::SizeAndCentre(hwnd_, Twips(kClientWidth, dpi), Twips(kClientHeight, dpi), dpi, over);
  return true;
}

// Created in tab order; "Use" and "Find" are then raised above the text
// boxes whose right ends they cover, and the boxes clip them out.
void FrmSetPath::CreateControls() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const Control& c : kControls) {
    const char* cls = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (c.kind) {
      case Kind::Label:
        style |= SS_LEFT | SS_NOPREFIX;
        break;
      case Kind::TextBox:
        cls = "EDIT";
        style |= WS_TABSTOP | WS_CLIPSIBLINGS | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::Button:
        cls = "BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    }
    HWND control =
        CreateWindowExA(exStyle, cls, c.text, style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    if (c.kind != Kind::Label) tabOrder_.push_back(control);
  }
  for (int id : {kCmdUseReg, kCmdFindPath}) {
    SetWindowPos(GetDlgItem(hwnd_, id), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void FrmSetPath::Layout(UINT dpi) {
  HWND note = GetDlgItem(hwnd_, kLabel1);
  HFONT old = font_;
  // The note must fit its label; the one-line labels need only their width
  // (a font a pixel taller than the label only trims its descent).
  constexpr int kAnyHeight = 1 << 20;
  font_ = dialogwin::FitMessageFont(hwnd_, dpi,
                                    {{note, Twips(7095, dpi), Twips(1035, dpi)},
                                     {GetDlgItem(hwnd_, kLabel2), Twips(3615, dpi), kAnyHeight},
                                     {GetDlgItem(hwnd_, kLabel3), Twips(3675, dpi), kAnyHeight}});
  for (const Control& c : kControls) {
    HWND control = GetDlgItem(hwnd_, c.id);
    SetWindowPos(control, nullptr, Twips(c.left, dpi), Twips(c.top, dpi), Twips(c.width, dpi),
                 Twips(c.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  if (old) DeleteObject(old);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT CALLBACK FrmSetPath::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<FrmSetPath*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<FrmSetPath*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  return self->HandleMessage(msg, wp, lp);
}

LRESULT FrmSetPath::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_CTLCOLORSTATIC:
      return dialogwin::ButtonFaceColours(reinterpret_cast<HDC>(wp));
    case WM_ACTIVATE:
      OnActivate(LOWORD(wp) != WA_INACTIVE);
      return 0;
    case WM_CLOSE:
      Guarded([&] { dialog_.OnCancel(); });
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    default:
      return DefWindowProcA(hwnd_, msg, wp, lp);
  }
}

void FrmSetPath::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kCmdUseReg:
      Guarded([&] { dialog_.OnUse(); });
      break;
    case kCmdFindPath:
      Guarded([&] { dialog_.OnFind(); });
      break;
    case kCmdOK:
      Guarded([&] { dialog_.OnOK(); });
      break;
    case kCmdCancel:
      Guarded([&] { dialog_.OnCancel(); });
      break;
    default:
      break;  // cmdFocus: Enter and Space on it do nothing
  }
}

// The focus comes back to the control that had it when the dialog was left.
void FrmSetPath::OnActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return;
  }
  SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : tabOrder_.front());
}

void FrmSetPath::OnDpiChanged(UINT dpi, const RECT& suggested) {
  Layout(dpi);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmSetPath::SetText(int id, const std::string& text) {
  SetWindowTextA(GetDlgItem(hwnd_, id), text.c_str());
}

std::string FrmSetPath::GetText(int id) {
  HWND control = GetDlgItem(hwnd_, id);
  const int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace

void ShowSetPathDialog(HWND owner, FileSystem& files, MessageBoxes& messages, Settings& settings,
                       RegistryApi& registry, FatalErrors& fatal) {
  Win32FolderBrowser browser;
  FrmSetPath window({files, messages, settings, registry, browser, fatal});
  window.ShowModal(owner);
}

}  // namespace qm
