// frmSetPath on Win32: a modal dialog (dialogwin::ModalDialog) whose
// handlers call SetPathDialog; the window procedure catches what they throw.
// The geometry comes from the twips table beside the control identifiers,
// converted at the window's DPI, again on every DPI change.

#include "5-windows/frmSetPath_win.h"

#include <string>
#include <vector>

#include "1-platform/Utf16_win.h"
#include "4-behaviour/SetPath.h"
#include "5-windows/WindowKit_win.h"

namespace qm {

namespace {

using namespace setpathctl;

constexpr DWORD kWindowStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // fixed border, no min/max box

constexpr const char* kNote =
    "Note: This program uses the InstallPath registry entry as the default location for The "
    "Sims. This is correct 95% of the time. Some non-English versions of The Sims do not have "
    "the InstallPath registry key. If the location of The Sims can not be determined from the "
    "registry, this window will allow you to set the path manually. Object creators who run "
    "multiple copies of The Sims can use this window to point this program at the desired copy.";

// Owned by the main window, so not in the task bar. The controls are in tab
// order; their places are in layout::SetPathWindow().
dialogwin::DialogDesign Design() {
  using dialogwin::ControlKind;
  constexpr DWORD kPathBox = WS_CLIPSIBLINGS | ES_AUTOHSCROLL;
  return {kClass,
          kCaption,
          kWindowStyle,
          kIconName,
          layout::SetPathWindow(),
          {
              {kLabel1, ControlKind::Label, kNote},
              {kLabel2, ControlKind::Label, "Location of The Sims found in the registry:"},
              {kTxtRegistry, ControlKind::TextBox, "", kPathBox},
              {kCmdUseReg, ControlKind::Button, "Use"},
              {kCmdFindPath, ControlKind::Button, "Find"},
              {kTxtLocation, ControlKind::TextBox, "", kPathBox},
              {kLabel3, ControlKind::Label, "Location of The Sims used by this program:"},
              {kCmdOK, ControlKind::Button, "OK"},
              {kCmdCancel, ControlKind::Button, "Cancel"},
              {kCmdFocus, ControlKind::Button, "Command1"},
          }};
}

class FrmSetPath final : public SetPathView, dialogwin::ModalDialog {
 public:
  explicit FrmSetPath(const SetPathServices& services)
      : ModalDialog(services.fatal), dialog_(*this, services), fatal_(services.fatal) {}

  void ShowModal(HWND owner);

  // SetPathView
  WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(Window()); }
  void SetRegistryText(const std::string& text) override { SetText(kTxtRegistry, text); }
  std::string GetRegistryText() override { return GetText(kTxtRegistry); }
  void SetLocationText(const std::string& text) override { SetText(kTxtLocation, text); }
  std::string GetLocationText() override { return GetText(kTxtLocation); }
  void FocusCmdFocus() override { SetFocus(GetDlgItem(Window(), kCmdFocus)); }
  void Close() override { EndModal(); }

 private:
  // ModalDialog
  std::vector<dialogwin::TextRoom> TextRooms(const layout::WindowLayout& placed, UINT dpi) override;
  void OnShown() override { SetFocus(FirstTabStop()); }
  void OnClick(int id) override;
  void OnActivate(bool active) override;
  void OnClose() override { dialog_.OnCancel(); }

  void SetText(int id, const std::string& text);
  std::string GetText(int id);

  SetPathDialog dialog_;
  FatalErrors& fatal_;
  HWND lastFocus_ = nullptr;
};

// The load step fills both boxes before the dialog appears; "Use" and "Find"
// are raised above the text boxes whose right ends they cover, and the boxes
// clip them out. The owner takes no input until the dialog has closed.
void FrmSetPath::ShowModal(HWND owner) {
  if (!Create(Design(), owner)) {
    fatal_.Fatal(static_cast<int32_t>(GetLastError()), "The Set Path dialog could not be created.");
  }
  for (int id : {kCmdUseReg, kCmdFindPath}) {
    SetWindowPos(GetDlgItem(Window(), id), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  dialog_.OnLoad();
  RunModal(owner ? std::vector<HWND>{owner} : std::vector<HWND>{});
}

// The note must fit its label; the one-line labels need only their width
// (a font a pixel taller than the label only trims its descent).
std::vector<dialogwin::TextRoom> FrmSetPath::TextRooms(const layout::WindowLayout& placed, UINT) {
  constexpr int kAnyHeight = 1 << 20;
  const auto room = [&](int id, bool anyHeight) {
    const layout::PixelRect& r = placed.Find(id)->rect;
    return dialogwin::TextRoom{GetDlgItem(Window(), id), r.width,
                               anyHeight ? kAnyHeight : r.height};
  };
  return {room(kLabel1, false), room(kLabel2, true), room(kLabel3, true)};
}

void FrmSetPath::OnClick(int id) {
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
    if (focus && IsChild(Window(), focus)) lastFocus_ = focus;
    return;
  }
  SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : FirstTabStop());
}

void FrmSetPath::SetText(int id, const std::string& text) {
  SetWindowTextW(GetDlgItem(Window(), id), Utf16(text).c_str());
}

std::string FrmSetPath::GetText(int id) { return dialogwin::WindowText(GetDlgItem(Window(), id)); }

}  // namespace

void ShowSetPathDialog(HWND owner, const SetPathServices& services) {
  FrmSetPath window(services);
  window.ShowModal(owner);
}

}  // namespace qm
