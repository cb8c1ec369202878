// frmErrorDialog on Win32: a modal dialog (dialogwin::ModalDialog) whose
// handlers call ErrorDialog; a failure in any of them ends the program
// silently (EndOnFailure, through the window procedure). The geometry comes
// from the twips table beside the control identifiers, converted at the
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

// Owner-less, with no icon. The controls are in tab order; their places are
// in layout::ErrorWindow().
dialogwin::DialogDesign Design() {
  using dialogwin::ControlKind;
  return {kClass,
          ErrorDialog::Caption(),
          kWindowStyle,
          nullptr,
          layout::ErrorWindow(),
          {
              {kLabel1, ControlKind::Label, ErrorDialog::Notice()},
              {kCmdMailTo, ControlKind::Button, ErrorDialog::MailToCaption(), BS_MULTILINE},
              {kCmdWebPage, ControlKind::Button, ErrorDialog::WebPageCaption(), BS_MULTILINE},
              {kCmdCopy, ControlKind::Button, ErrorDialog::CopyCaption(), BS_MULTILINE},
              {kCmdEnd, ControlKind::Button, ErrorDialog::EndCaption(), BS_MULTILINE},
              {kTxtMessage, ControlKind::TextBox, "", WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL},
              {kCmdFocus, ControlKind::Button, "Command1", BS_MULTILINE},
          }};
}

// The thread's visible, enabled top-level windows other than `except`.
std::vector<HWND> OtherThreadWindows(HWND except) {
  struct State {
    HWND except;
    std::vector<HWND> found;
  } state{except, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<State*>(lp);
        if (hwnd != s->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
          s->found.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&state));
  return state.found;
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

class FrmErrorDialog final : public ErrorView, dialogwin::ModalDialog {
 public:
  FrmErrorDialog(const ErrorWindowServices& services, EndOnFailure& fatal)
      : ModalDialog(fatal), services_(services), fatal_(fatal) {}

  void ShowModal(const IffError& error);

  // ErrorView
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(Window()); }
  void SetMessageText(const std::string& text) override;
  std::string GetMessageText() override;
  void FocusCmdFocus() override { SetFocus(GetDlgItem(Window(), kCmdFocus)); }
  void ResetPointer() override {
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  }

 private:
  // ModalDialog
  std::vector<dialogwin::TextRoom> TextRooms(const layout::WindowLayout& placed, UINT dpi) override;
  void OnShown() override { SetForegroundWindow(Window()); }
  void OnClick(int id) override;
  void OnActivate(bool active) override;
  void OnClose() override { EndModal(); }

  ErrorWindowServices services_;
  EndOnFailure& fatal_;
  std::optional<Win32Clipboard> clipboard_;
  std::optional<ErrorDialog> dialog_;
};

// Loads the window (report, log, box) while hidden, then shows it with the
// rest of the program disabled until it closes. Closed other than by the end
// button (Alt+F4), the program's windows take input again and the caller
// goes on.
void FrmErrorDialog::ShowModal(const IffError& error) {
  if (!Create(Design(), nullptr)) fatal_.Fatal(0, "");
  clipboard_.emplace(Window());
  dialog_.emplace(*this, ErrorDialogServices{services_.files, services_.messages, services_.shell,
                                             *clipboard_, services_.program, services_.process});
  try {
    dialog_->OnLoad(error);
  } catch (...) {
    fatal_.Fatal(0, "");  // a window that cannot load ends the program silently
  }
  RunModal(OtherThreadWindows(Window()));
}

// The notice must fit its label and each caption its button (on two lines
// at most, inside the button's edges).
std::vector<dialogwin::TextRoom> FrmErrorDialog::TextRooms(const layout::WindowLayout& placed,
                                                           UINT dpi) {
  const int edge = layout::MulDiv(6, static_cast<int>(dpi), 96);
  const auto room = [&](int id, int widthInset, int heightInset) {
    const layout::PixelRect& r = placed.Find(id)->rect;
    return dialogwin::TextRoom{GetDlgItem(Window(), id), r.width - widthInset,
                               r.height - heightInset};
  };
  std::vector<dialogwin::TextRoom> rooms{room(kLabel1, 0, 0)};
  for (int id : {kCmdMailTo, kCmdWebPage, kCmdCopy, kCmdEnd}) {
    rooms.push_back(room(id, 2 * edge, edge));
  }
  return rooms;
}

void FrmErrorDialog::OnClick(int id) {
  if (!dialog_) return;
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

void FrmErrorDialog::SetMessageText(const std::string& text) {
  SetWindowTextA(GetDlgItem(Window(), kTxtMessage), text.c_str());
}

std::string FrmErrorDialog::GetMessageText() {
  return dialogwin::WindowText(GetDlgItem(Window(), kTxtMessage));
}

}  // namespace

void ShowErrorDialogModal(const ErrorWindowServices& services, const IffError& error) {
  static bool showing = false;
  if (showing) return;  // a failure inside the error window: it is already up
  showing = true;
  {
    EndOnFailure fatal(services.process);
    FrmErrorDialog window(services, fatal);
    window.ShowModal(error);
  }
  showing = false;
}

}  // namespace qm
