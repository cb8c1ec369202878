// frmErrorDialog on Win32: a modal dialog whose handlers call ErrorDialog; a
// failure in any of them ends the program silently (EndOnFailure, through the
// dialog procedure).

#include <windows.h>

#include <string>

#include "1-platform/Utf16_win.h"
#include "4-behaviour/ErrorDialog.h"
#include "5-windows/DialogKit_win.h"
#include "5-windows/Windows_win.h"
#include "5-windows/resource.h"

namespace qm {

namespace {

using namespace dialogwin;

class FrmErrorDialog final : public ErrorView, private Dialog {
 public:
  FrmErrorDialog(const ErrorDialogServices& services, EndOnFailure& fatal, const IffError& error)
      : Dialog(fatal), dialog_(*this, services), error_(error) {}

  void ShowModal();

  // ErrorView
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetMessageText(const std::string& text) override { SetText(IDC_ERROR_TXTMESSAGE, text); }
  std::string GetMessageText() override { return Text(IDC_ERROR_TXTMESSAGE); }
  void FocusCmdFocus() override { Focus(IDC_ERROR_CMDFOCUS); }
  void ResetPointer() override { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }

 private:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnInitDialog();
  void OnClick(int id);

  ErrorDialog dialog_;
  const IffError& error_;
};

// Owned by the window the player is using, like the program's message boxes,
// so that Windows disables it (and the window that it in turn owns) until
// this one closes.
void FrmErrorDialog::ShowModal() {
  RegisterDialogClass(L"" QM_ERROR_CLASS);
  if (RunModal(IDD_ERROR, GetActiveWindow()) == -1) fatal_.Fatal(0, "");
}

INT_PTR FrmErrorDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
  // clang-format off
  switch (msg) {
    case WM_INITDIALOG: OnInitDialog(); return FALSE;
    case WM_COMMAND:    if (HIWORD(wp) == BN_CLICKED) OnClick(LOWORD(wp)); return TRUE;
    case WM_ACTIVATE:   if (LOWORD(wp) != WA_INACTIVE) dialog_.OnActivate(); return TRUE;
    case WM_CLOSE:      EndDialog(hwnd_, 0); return TRUE;  // Alt+F4: the caller goes on
  }
  // clang-format on
  return FALSE;
}

// Loads the window (texts, report, log) while it is hidden. A window that
// cannot load ends the program silently, through the dialog procedure.
void FrmErrorDialog::OnInitDialog() {
  SetWindowTextW(hwnd_, Utf16(ErrorDialog::Caption()).c_str());
  SetText(IDC_ERROR_LABEL1, ErrorDialog::Notice());
  SetText(IDC_ERROR_CMDMAILTO, ErrorDialog::MailToCaption());
  SetText(IDC_ERROR_CMDWEBPAGE, ErrorDialog::WebPageCaption());
  SetText(IDC_ERROR_CMDCOPY, ErrorDialog::CopyCaption());
  SetText(IDC_ERROR_CMDEND, ErrorDialog::EndCaption());
  dialog_.OnLoad(error_);
}

// Enter and Esc (IDOK, IDCANCEL) and cmdFocus do nothing.
void FrmErrorDialog::OnClick(int id) {
  // clang-format off
  switch (id) {
    case IDC_ERROR_CMDCOPY:    dialog_.OnCopy(); break;
    case IDC_ERROR_CMDMAILTO:  dialog_.OnMailTo(); break;
    case IDC_ERROR_CMDWEBPAGE: dialog_.OnWebPage(); break;
    case IDC_ERROR_CMDEND:     dialog_.OnEnd(); break;
  }
  // clang-format on
}

}  // namespace

void Win32ErrorWindow::Show(const IffError& error) {
  static bool showing = false;
  if (showing) return;  // a failure inside the error window: it is already up
  showing = true;
  {
    EndOnFailure fatal(services_.process);
    FrmErrorDialog window(services_, fatal, error);
    window.ShowModal();
  }
  showing = false;
}

}  // namespace qm
