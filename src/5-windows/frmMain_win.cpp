// frmMain on Win32. The window procedure is a switch of one-line cases; each
// handler is a few lines that call NameEditor. A failure thrown by a handler
// is caught once, where Windows calls in (the window procedure and the name
// box's subclass procedure), and ends the program with its number and text.
// The geometry comes from the twips table beside the window's control identifiers, converted at the
// window's DPI, again (fonts included) on every DPI change.

#include "5-windows/frmMain_win.h"

#include <commctrl.h>

#include "3-state/AppState.h"
#include "4-behaviour/Layout.h"
#include "4-behaviour/MainControls.h"
#include "5-windows/WindowKit_win.h"
#include "5-windows/frmSetPath_win.h"

namespace qm {

namespace {

using namespace mainctl;

constexpr UINT kActivateMessage = WM_APP + 1;  // runs the activation step once drawn
constexpr UINT_PTR kNameBoxSubclass = 1;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;
constexpr const char* kAppIconName = "APPICON";  // quillmark.rc

// The application icon (quillmark.rc) at the size Windows asks for.
HICON AppIcon(HINSTANCE instance, int sizeMetric) {
  const int size = GetSystemMetrics(sizeMetric);
  return static_cast<HICON>(LoadImageA(instance, kAppIconName, IMAGE_ICON, size, size, 0));
}

bool IsOption(HWND control, const std::array<HWND, 7>& options) {
  for (HWND option : options) {
    if (option == control) return true;
  }
  return false;
}

}  // namespace

FrmMain::FrmMain(const EditorServices& services, FolderBrowser& browser)
    : editor_(*this, services), fatal_(services.fatal), services_(services), browser_(browser) {}

FrmMain::~FrmMain() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (font_) DeleteObject(font_);
}

bool FrmMain::Create(HINSTANCE instance, int showCommand) {
  if (!dialogwin::RegisterWindowClass(instance, kMainClass, &dialogwin::WindowProcThunk<FrmMain>,
                                      AppIcon(instance, SM_CXICON),
                                      AppIcon(instance, SM_CXSMICON))) {
    return false;
  }

  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU options = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kMenuSave, "&Save");
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, kMenuExport, "&Export Names...");
  AppendMenuA(file, MF_STRING, kMenuImport, "&Import Names...");
  AppendMenuA(file, MF_STRING, kMenuRestore, "&Restore Original Names");
  AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(file, MF_STRING, kMenuExit, "E&xit");
  AppendMenuA(options, MF_STRING, kMenuSetPath, "Set &Path...");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(options), "&Options");

  // Created hidden at a provisional size: the real size needs the window's DPI.
  hwnd_ = CreateWindowExA(kWindowExStyle, kMainClass, kProductName, kWindowStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, 400, 600, nullptr, bar, instance, this);
  if (!hwnd_) {
    DestroyMenu(bar);
    return false;
  }
  const UINT dpi = dialogwin::WindowDpi(hwnd_);
  const layout::WindowLayout placed = Layout(dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT screen = dialogwin::PrimaryWorkArea();
  if (GetMonitorInfoA(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    screen = monitor.rcWork;
  }
  dialogwin::SizeAndCentre(hwnd_, placed.clientWidth, placed.clientHeight, dpi, screen);

  editor_.OnLoad();
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  PostMessageA(hwnd_, kActivateMessage, 0, 0);
  return true;
}

LRESULT FrmMain::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  // clang-format off
  switch (msg) {
    case WM_CREATE:        OnCreate(); return 0;
    case WM_COMMAND:       OnCommand(LOWORD(wp), HIWORD(wp)); return 0;
    case kActivateMessage: OnActivateMessage(); return 0;
    case WM_ACTIVATE:      OnWindowActivated(LOWORD(wp) != WA_INACTIVE, HIWORD(wp) != 0); return 0;
    case WM_DPICHANGED:    OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    case WM_DESTROY:       PostQuitMessage(0); return 0;
  }
  // clang-format on
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

void FrmMain::OnCreate() { CreateControls(); }

void FrmMain::OnCommand(int id, int code) {
  if (id >= kOptList0 && id < kOptList0 + kOptionCount) {
    if (code == BN_CLICKED) OnOptionClicked(id - kOptList0);
  } else if (id == kLstNames) {
    if (code == LBN_SELCHANGE) OnListSelectionChanged();
  } else if (id == kTxtName) {
    if (code == EN_CHANGE) OnNameChanged();
  } else if (id == kCmdSave || id == kMenuSave) {
    OnSave();
  } else if (id == kCmdExit || id == kMenuExit) {
    OnExit();
  } else if (id == kMenuSetPath) {
    OnSetPath();
  } else if (id == kMenuExport) {
    editor_.OnExportNames();
  } else if (id == kMenuImport) {
    editor_.OnImportNames();
  } else if (id == kMenuRestore) {
    editor_.OnRestoreNames();
  }
}

void FrmMain::OnActivateMessage() {
  editor_.OnActivate();
  FocusShownOption();
}

// Keeps the keyboard focus on the control that had it when the user comes
// back from another window.
void FrmMain::OnWindowActivated(bool active, bool minimized) {
  if (minimized) return;
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return;
  }
  if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
      !(IsOption(lastFocus_, options_) &&
        SendMessageA(lastFocus_, BM_GETCHECK, 0, 0) != BST_CHECKED)) {
    SetFocus(lastFocus_);
  } else {
    FocusShownOption();
  }
}

// The controls and their font are placed for the new DPI, and the client
// area takes the layout's size, centred on the rectangle Windows suggests.
void FrmMain::OnDpiChanged(UINT dpi, const RECT& suggested) {
  const layout::WindowLayout placed = Layout(dpi);
  dialogwin::SizeAndCentre(hwnd_, placed.clientWidth, placed.clientHeight, dpi, suggested);
}

void FrmMain::OnSave() { editor_.SaveNameLists(); }

void FrmMain::OnExit() { DestroyWindow(hwnd_); }

// Closing the Set Path dialog activates the main window again, which runs the
// whole activation step for the folder now in use and shows list 0.
void FrmMain::OnSetPath() {
  ShowSetPathDialog(
      hwnd_, SetPathServices{services_.files, services_.messages, services_.settings,
                             services_.registry, browser_, services_.fatal, services_.environment});
  editor_.OnActivate();
  FocusShownOption();
}

// An option's click runs the list selection only when the option becomes
// selected: a click on the option already selected changes nothing.
void FrmMain::OnOptionClicked(int index) {
  if (index == checkedOption_) return;
  checkedOption_ = index;
  editor_.OnSelectList(static_cast<int16_t>(index));
}

void FrmMain::OnListSelectionChanged() {
  const LRESULT row = SendMessageA(lstNames_, LB_GETCURSEL, 0, 0);
  if (row == LB_ERR) return;
  editor_.OnChooseName(static_cast<int>(row));
}

bool FrmMain::OnNameChar(WPARAM& ch) {
  auto c = static_cast<int16_t>(ch);
  const bool passes = NameEditor::FilterKey(c);
  ch = static_cast<WPARAM>(static_cast<uint16_t>(c));
  return passes;
}

// Every change of the name box's text (typed, pasted, cut, undone) reaches
// the list; the text the program puts in itself does not.
void FrmMain::OnNameChanged() {
  if (!settingName_) editor_.OnNameChanged();
}

LRESULT CALLBACK FrmMain::NameBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR self) {
  auto* main = reinterpret_cast<FrmMain*>(self);
  try {
    return main->HandleNameBox(hwnd, msg, wp, lp);
  } catch (...) {
    dialogwin::ReportUnhandledFailure(main->fatal_);
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
}

LRESULT FrmMain::HandleNameBox(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CHAR:
      if (!OnNameChar(wp)) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &FrmMain::NameBoxProc, kNameBoxSubclass);
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

// Controls are created in tab order, which is also their order for the
// dialog manager's arrow keys.
void FrmMain::CreateControls() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
  auto make = [&](const char* cls, const char* caption, DWORD style, DWORD exStyle, int id) {
    return CreateWindowExA(exStyle, cls, caption, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  frame_ = make("BUTTON", "Name List Being Edited", BS_GROUPBOX, 0, kFrame1);
  for (int i = 0; i < kOptionCount; ++i) {
    // The group's first option is its tab stop; Tab lands on the selected one.
    const DWORD first = i == 0 ? WS_GROUP | WS_TABSTOP : 0;
    options_[i] =
        make("BUTTON", kNameListInfo[i].caption, BS_AUTORADIOBUTTON | first, 0, kOptList0 + i);
  }
  lstNames_ =
      make("LISTBOX", "", WS_GROUP | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
           WS_EX_CLIENTEDGE, kLstNames);
  txtName_ = make("EDIT", "", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE,
                  kTxtName);
  cmdSave_ = make("BUTTON", "Save", WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 0, kCmdSave);
  cmdExit_ = make("BUTTON", "Exit", WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON, 0, kCmdExit);
  label1_ = make("STATIC", "Name Being Edited", WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, kLabel1);
  label2_ = make("STATIC", "Names In This List", WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, kLabel2);
  tabOrder_ = {options_[0], lstNames_, txtName_, cmdSave_, cmdExit_};

  SendMessageA(txtName_, EM_SETLIMITTEXT, kMaxNameLength, 0);
  SetWindowSubclass(txtName_, &FrmMain::NameBoxProc, kNameBoxSubclass,
                    reinterpret_cast<DWORD_PTR>(this));
}

// Places every control for `dpi` with a font at which every caption fits:
// inside an option, the room right of its circle; inside a button, the room
// within its edges; a frame's caption, the room between its corners.
layout::WindowLayout FrmMain::Layout(UINT dpi) {
  layout::WindowLayout placed = layout::LayOut(layout::MainWindow(), static_cast<int>(dpi));
  const auto px = [&](int px96) { return layout::MulDiv(px96, static_cast<int>(dpi), 96); };
  std::vector<dialogwin::TextRoom> rooms;
  for (const layout::PlacedControl& c : placed.controls) {
    int inset = 0;
    if (c.id >= kOptList0 && c.id < kOptList0 + kOptionCount) inset = px(20);
    if (c.id == kCmdSave || c.id == kCmdExit) inset = px(8);
    if (c.id == kFrame1) inset = px(16);
    // A frame's caption is one line at its top.
    const int height = c.id == kFrame1 ? -placed.fontHeight * 2 : c.rect.height;
    if (c.id != kTxtName && c.id != kLstNames) {
      rooms.push_back({GetDlgItem(hwnd_, c.id), c.rect.width - inset, height});
    }
  }
  dialogwin::PlaceControls(hwnd_, placed, dpi, rooms, font_);
  return placed;
}

// The focus goes to the option of the list shown, when it is selected. Windows
// selects an option that takes the focus (Wine does not), so an unselected
// option never gets it from here.
void FrmMain::FocusShownOption() {
  if (!hwnd_ || GetActiveWindow() != hwnd_) return;
  HWND option = options_[static_cast<size_t>(editor_.ShownList())];
  if (SendMessageA(option, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    SetFocus(option);
  } else {
    SetFocus(hwnd_);
  }
}

// Tab and Shift+Tab: the option group is one stop, entered at its selected
// option; Tab into the name box selects the whole name. Everything else goes
// to the dialog manager.
bool FrmMain::PreTranslate(MSG& msg) {
  if (!hwnd_) return false;
  if (dialogwin::HandleTabKey(msg, hwnd_, tabOrder_, options_)) {
    if (GetFocus() == txtName_) SendMessageA(txtName_, EM_SETSEL, 0, -1);
    return true;
  }
  return IsDialogMessageA(hwnd_, &msg) != FALSE;
}

void FrmMain::SetCaption(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

void FrmMain::Repaint() {
  RedrawWindow(hwnd_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Items go in through the ANSI entry points: names are bytes in the ANSI
// code page.
void FrmMain::SetListItems(const std::vector<std::string>& items) {
  SendMessageA(lstNames_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(lstNames_, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    SendMessageA(lstNames_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageA(lstNames_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(lstNames_, nullptr, TRUE);
}

// Replaces one item, keeping the selection and the scroll position.
void FrmMain::SetListItem(int row, const std::string& text) {
  const LRESULT selected = SendMessageA(lstNames_, LB_GETCURSEL, 0, 0);
  const LRESULT top = SendMessageA(lstNames_, LB_GETTOPINDEX, 0, 0);
  SendMessageA(lstNames_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(lstNames_, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
  SendMessageA(lstNames_, LB_INSERTSTRING, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(text.c_str()));
  if (selected == row) SendMessageA(lstNames_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageA(lstNames_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
  SendMessageA(lstNames_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(lstNames_, nullptr, TRUE);
}

void FrmMain::SetNameText(const std::string& text) {
  settingName_ = true;
  SetWindowTextA(txtName_, text.c_str());
  settingName_ = false;
}

std::string FrmMain::GetNameText() { return dialogwin::WindowText(txtName_); }

void FrmMain::EnableName(bool enabled) { EnableWindow(txtName_, enabled ? TRUE : FALSE); }

void FrmMain::SelectAllNameAndFocus() {
  SendMessageA(txtName_, EM_SETSEL, 0, 9999);
  SetFocus(txtName_);
}

void FrmMain::CheckOption(int index) {
  CheckRadioButton(hwnd_, kOptList0, kOptList0 + kOptionCount - 1, kOptList0 + index);
  checkedOption_ = index;
}

int RunMessageLoop(FrmMain& main) {
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (main.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace qm
