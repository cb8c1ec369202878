// frmErrorDialog on Win32. The window procedure is a switch of one-line
// cases; each handler calls ErrorDialog, and a failure in any of them ends
// the program silently (EndOnFailure, through the window procedure). The
// geometry comes from the twips table beside the window's control identifiers, converted at the
// window's DPI, again on every DPI change.

#include "5-windows/frmErrorDialog_win.h"

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "1-platform/Shell_win.h"
#include "1-platform/Ui_win.h"
#include "4-behaviour/ErrorDialog.h"
#include "5-windows/WindowKit_win.h"

namespace qm {

namespace {

using namespace errorctl;

// A fixed single border and a caption, no control box.
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = 0;

enum class Kind { Label, Report, Button };

// The controls in tab order; their places are in layout::ErrorWindow().
struct Control {
  int id;
  Kind kind;
};

constexpr Control kControls[] = {
    {kLabel1, Kind::Label},    {kCmdMailTo, Kind::Button}, {kCmdWebPage, Kind::Button},
    {kCmdCopy, Kind::Button},  {kCmdEnd, Kind::Button},    {kTxtMessage, Kind::Report},
    {kCmdFocus, Kind::Button},
};

std::string ControlText(int id) {
  switch (id) {
    case kLabel1:
      return ErrorDialog::Notice();
    case kCmdWebPage:
      return ErrorDialog::WebPageCaption();
    case kCmdCopy:
      return ErrorDialog::CopyCaption();
    case kCmdMailTo:
      return ErrorDialog::MailToCaption();
    case kCmdEnd:
      return ErrorDialog::EndCaption();
    case kCmdFocus:
      return "Command1";
    default:
      return "";
  }
}

// Disables the thread's visible, enabled top-level windows other than
// `except`; returns them so that they can be enabled again.
std::vector<HWND> DisableThreadWindows(HWND except) {
  struct State {
    HWND except;
    std::vector<HWND> disabled;
  } state{except, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<State*>(lp);
        if (hwnd != s->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
          EnableWindow(hwnd, FALSE);
          s->disabled.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&state));
  return state.disabled;
}

// The error window is the last resort: a failure inside it ends the program
// at once, without another message.
class EndOnFailure final : public FatalErrors {
 public:
  explicit EndOnFailure(ProcessEnd& process) : process_(process) {}
  [[noreturn]] void Fatal(int32_t, const std::string&) override {
    process_.EndNow();
    std::abort();  // EndNow ends the process; nothing may run on after it
  }

 private:
  ProcessEnd& process_;
};

class FrmErrorDialog final : public ErrorView {
 public:
  explicit FrmErrorDialog(const ErrorWindowServices& services) : services_(services) {}
  ~FrmErrorDialog() override;
  FrmErrorDialog(const FrmErrorDialog&) = delete;
  FrmErrorDialog& operator=(const FrmErrorDialog&) = delete;

  void ShowModal();

  // ErrorView
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetMessageText(const std::string& text) override;
  std::string GetMessageText() override;
  void FocusCmdFocus() override { SetFocus(GetDlgItem(hwnd_, kCmdFocus)); }
  void ResetPointer() override {
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  }

 private:
  friend LRESULT CALLBACK dialogwin::WindowProcThunk<FrmErrorDialog>(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  bool Create();
  void CreateControls();
  layout::WindowLayout Layout(UINT dpi);
  void OnCommand(int id, int code);
  void OnActivate(bool active);
  void OnClose();
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  ErrorWindowServices services_;
  EndOnFailure fatal_{services_.process};
  std::optional<Win32Clipboard> clipboard_;
  std::optional<ErrorDialog> dialog_;

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<HWND> tabOrder_;
  std::vector<HWND> disabled_;
  bool closed_ = false;
};

FrmErrorDialog::~FrmErrorDialog() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
}

// Loads the window (report, log, box) while hidden, then shows it with the
// rest of the program disabled until it closes.
void FrmErrorDialog::ShowModal() {
  if (!Create()) fatal_.Fatal(0, "");
  clipboard_.emplace(hwnd_);
  dialog_.emplace(*this, ErrorDialogServices{services_.files, services_.messages, services_.shell,
                                             *clipboard_, services_.program, services_.process});
  try {
    dialog_->OnLoad();
  } catch (...) {
    fatal_.Fatal(0, "");  // a window that cannot load ends the program silently
  }
  disabled_ = DisableThreadWindows(hwnd_);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd_);
  dialogwin::RunModalLoop(closed_, hwnd_, tabOrder_);
  if (!closed_) OnClose();  // the program is quitting
}

// Closed other than by the end button: the program's windows take input
// again and the trapping procedure goes on.
void FrmErrorDialog::OnClose() {
  closed_ = true;
  for (HWND window : disabled_) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  disabled_.clear();
  if (hwnd_) DestroyWindow(hwnd_);
}

bool FrmErrorDialog::Create() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!dialogwin::RegisterWindowClass(instance, kClass,
                                      &dialogwin::WindowProcThunk<FrmErrorDialog>)) {
    return false;
  }

  const std::string caption = ErrorDialog::Caption();
  if (!CreateWindowExA(kWindowExStyle, kClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                       CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, this)) {
    return false;
  }
  CreateControls();
  const UINT dpi = dialogwin::WindowDpi(hwnd_);
  const layout::WindowLayout placed = Layout(dpi);
  dialogwin::SizeAndCentre(hwnd_, placed.clientWidth, placed.clientHeight, dpi,
                           dialogwin::PrimaryWorkArea());
  return true;
}

void FrmErrorDialog::CreateControls() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const Control& c : kControls) {
    const char* cls = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (c.kind) {
      case Kind::Label:
        style |= SS_LEFT | SS_NOPREFIX;
        break;
      case Kind::Report:
        cls = "EDIT";
        style |= WS_TABSTOP | WS_VSCROLL | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::Button:
        cls = "BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
        break;
    }
    const std::string text = ControlText(c.id);
    HWND control =
        CreateWindowExA(exStyle, cls, text.c_str(), style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    if (c.kind != Kind::Label) tabOrder_.push_back(control);
  }
}

// The notice must fit its label and each caption its button (on two lines
// at most, inside the button's edges).
layout::WindowLayout FrmErrorDialog::Layout(UINT dpi) {
  layout::WindowLayout placed = layout::LayOut(layout::ErrorWindow(), static_cast<int>(dpi));
  const int edge = layout::MulDiv(6, static_cast<int>(dpi), 96);
  std::vector<dialogwin::TextRoom> rooms;
  for (const Control& c : kControls) {
    const layout::PixelRect& r = placed.Find(c.id)->rect;
    if (c.kind == Kind::Label) {
      rooms.push_back({GetDlgItem(hwnd_, c.id), r.width, r.height});
    } else if (c.kind == Kind::Button && c.id != kCmdFocus) {
      rooms.push_back({GetDlgItem(hwnd_, c.id), r.width - 2 * edge, r.height - edge});
    }
  }
  dialogwin::PlaceControls(hwnd_, placed, dpi, rooms, font_);
  return placed;
}

LRESULT FrmErrorDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
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

void FrmErrorDialog::OnCommand(int id, int code) {
  if (code != BN_CLICKED || !dialog_) return;
  switch (id) {
    case kCmdCopy:
      dialog_->OnCopy();
      break;
    case kCmdMailTo:
      dialog_->OnMailTo();
      break;
    case kCmdWebPage:
      dialog_->OnWebPage();
      break;
    case kCmdEnd:
      dialog_->OnEnd();
      break;
    default:
      break;  // cmdFocus: Enter and Space on it do nothing
  }
}

void FrmErrorDialog::OnActivate(bool active) {
  if (active && dialog_) dialog_->OnActivate();
}

void FrmErrorDialog::OnDpiChanged(UINT dpi, const RECT& suggested) {
  Layout(dpi);
  dialogwin::MoveToSuggested(hwnd_, suggested);
}

void FrmErrorDialog::SetMessageText(const std::string& text) {
  SetWindowTextA(GetDlgItem(hwnd_, kTxtMessage), text.c_str());
}

std::string FrmErrorDialog::GetMessageText() {
  return dialogwin::WindowText(GetDlgItem(hwnd_, kTxtMessage));
}

}  // namespace

void ShowErrorDialogModal(const ErrorWindowServices& services) {
  static bool showing = false;
  if (showing) return;  // a failure inside the error window: it is already up
  showing = true;
  {
    FrmErrorDialog window(services);
    window.ShowModal();
  }
  showing = false;
}

}  // namespace qm
