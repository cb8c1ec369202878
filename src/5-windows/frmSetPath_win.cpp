// frmSetPath on Win32. The window procedure is a switch of one-line cases;
// each handler calls SetPathDialog, and the window procedure catches what
// they throw (dialogwin::WindowProcThunk). The geometry comes from the twips
// table in app/Layout, converted at the window's DPI, again on every DPI
// change.

#include "5-windows/frmSetPath_win.h"

#include <string>
#include <vector>

#include "4-behaviour/SetPath.h"
#include "5-windows/WindowKit_win.h"

namespace qm {

namespace {

using namespace setpathctl;

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

// The controls in tab order; their places are in layout::SetPathWindow().
struct Control {
  int id;
  Kind kind;
  const char* text;
};

constexpr Control kControls[] = {
    {kLabel1, Kind::Label, kNote},
    {kLabel2, Kind::Label, "Location of The Sims found in the registry:"},
    {kTxtRegistry, Kind::TextBox, ""},
    {kCmdUseReg, Kind::Button, "Use"},
    {kCmdFindPath, Kind::Button, "Find"},
    {kTxtLocation, Kind::TextBox, ""},
    {kLabel3, Kind::Label, "Location of The Sims used by this program:"},
    {kCmdOK, Kind::Button, "OK"},
    {kCmdCancel, Kind::Button, "Cancel"},
    {kCmdFocus, Kind::Button, "Command1"},
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
  friend LRESULT CALLBACK dialogwin::WindowProcThunk<FrmSetPath>(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  bool Create(HWND owner);
  void CreateControls();
  layout::WindowLayout Layout(UINT dpi);
  void OnCommand(int id, int code);
  void OnActivate(bool active);
  void OnClose();
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void SetText(int id, const std::string& text);
  std::string GetText(int id);

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

// The load step fills both boxes before the dialog appears; the owner takes
// no input until the dialog has closed.
void FrmSetPath::ShowModal(HWND owner) {
  if (!Create(owner)) {
    fatal_.Fatal(static_cast<int32_t>(GetLastError()), "The Set Path dialog could not be created.");
  }
  dialog_.OnLoad();
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
  if (!dialogwin::RegisterWindowClass(instance, kClass, &dialogwin::WindowProcThunk<FrmSetPath>)) {
    return false;
  }

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
  const layout::WindowLayout placed = Layout(dpi);
  RECT over{};
  if (!owner || !GetWindowRect(owner, &over)) over = dialogwin::PrimaryWorkArea();
  dialogwin::SizeAndCentre(hwnd_, placed.clientWidth, placed.clientHeight, dpi, over);
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

// The note must fit its label; the one-line labels need only their width
// (a font a pixel taller than the label only trims its descent).
layout::WindowLayout FrmSetPath::Layout(UINT dpi) {
  layout::WindowLayout placed = layout::LayOut(layout::SetPathWindow(), static_cast<int>(dpi));
  constexpr int kAnyHeight = 1 << 20;
  const auto room = [&](int id, bool anyHeight) {
    const layout::PixelRect& r = placed.Find(id)->rect;
    return dialogwin::TextRoom{GetDlgItem(hwnd_, id), r.width, anyHeight ? kAnyHeight : r.height};
  };
  dialogwin::PlaceControls(hwnd_, placed, dpi,
                           {room(kLabel1, false), room(kLabel2, true), room(kLabel3, true)}, font_);
  return placed;
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
      OnClose();
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
      dialog_.OnUse();
      break;
    case kCmdFindPath:
      dialog_.OnFind();
      break;
    case kCmdOK:
      dialog_.OnOK();
      break;
    case kCmdCancel:
      dialog_.OnCancel();
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

void FrmSetPath::OnClose() { dialog_.OnCancel(); }

void FrmSetPath::OnDpiChanged(UINT dpi, const RECT& suggested) {
  Layout(dpi);
  dialogwin::MoveToSuggested(hwnd_, suggested);
}

void FrmSetPath::SetText(int id, const std::string& text) {
  SetWindowTextA(GetDlgItem(hwnd_, id), text.c_str());
}

std::string FrmSetPath::GetText(int id) { return dialogwin::WindowText(GetDlgItem(hwnd_, id)); }

}  // namespace

void ShowSetPathDialog(HWND owner, const SetPathServices& services) {
  FrmSetPath window(services);
  window.ShowModal(owner);
}

}  // namespace qm
