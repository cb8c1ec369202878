// frmSetPath on Win32: a modal dialog whose handlers call SetPathDialog; the
// dialog procedure catches what they throw. Windows runs the modal loop and
// disables the owner meanwhile.

#include <string>

#include "4-behaviour/SetPath.h"
#include "5-windows/DialogKit_win.h"
#include "5-windows/Windows_win.h"
#include "5-windows/resource.h"

namespace qm {

namespace {

using namespace dialogwin;

class FrmSetPath final : public SetPathView, private Dialog {
 public:
  explicit FrmSetPath(const SetPathServices& services)
      : Dialog(services.fatal), dialog_(*this, services) {}

  void ShowModal(HWND owner);

  // SetPathView
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(hwnd_); }
  void SetRegistryText(const std::string& text) override { SetText(IDC_SETPATH_TXTREGISTRY, text); }
  std::string GetRegistryText() override { return Text(IDC_SETPATH_TXTREGISTRY); }
  void SetLocationText(const std::string& text) override { SetText(IDC_SETPATH_TXTLOCATION, text); }
  std::string GetLocationText() override { return Text(IDC_SETPATH_TXTLOCATION); }
  void FocusCmdFocus() override { Focus(IDC_SETPATH_CMDFOCUS); }
  void Close() override { EndDialog(hwnd_, 0); }

 private:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnInitDialog();
  void OnClick(int id);

  SetPathDialog dialog_;
};

void FrmSetPath::ShowModal(HWND owner) {
  RegisterDialogClass(L"" QM_SETPATH_CLASS, L"QM_SETPATH");  // the icon: setpath.rc
  if (RunModal(IDD_SETPATH, owner) == -1) {
    fatal_.Fatal(static_cast<int32_t>(GetLastError()), "The Set Path dialog could not be created.");
  }
}

INT_PTR FrmSetPath::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
  // clang-format off
  switch (msg) {
    case WM_INITDIALOG: OnInitDialog(); return FALSE;
    case WM_COMMAND:    if (HIWORD(wp) == BN_CLICKED) OnClick(LOWORD(wp)); return TRUE;
    case WM_CLOSE:      dialog_.OnCancel(); return TRUE;  // the close box, Alt+F4
  }
  // clang-format on
  return FALSE;
}

// The load step fills both boxes before the dialog appears; the focus starts
// in the first box, with nothing selected.
void FrmSetPath::OnInitDialog() {
  CentreOn(hwnd_, GetWindow(hwnd_, GW_OWNER));
  dialog_.OnLoad();
  SetFocus(Item(IDC_SETPATH_TXTREGISTRY));
}

// Enter and Esc (IDOK, IDCANCEL) and cmdFocus do nothing.
void FrmSetPath::OnClick(int id) {
  // clang-format off
  switch (id) {
    case IDC_SETPATH_CMDUSEREG:   dialog_.OnUse(); break;
    case IDC_SETPATH_CMDFINDPATH: dialog_.OnFind(); break;
    case IDC_SETPATH_CMDOK:       dialog_.OnOK(); break;
    case IDC_SETPATH_CMDCANCEL:   dialog_.OnCancel(); break;
  }
  // clang-format on
}

}  // namespace

void ShowSetPathDialog(HWND owner, const SetPathServices& services) {
  FrmSetPath(services).ShowModal(owner);
}

}  // namespace qm
