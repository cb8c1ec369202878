// frmMain on Win32. The dialog procedure is a switch of one-line cases; each
// handler is a few lines that call NameEditor. A failure thrown by a handler
// is caught once, where Windows calls in (the dialog procedure and the name
// box's subclass procedure), and ends the program with its number and text.
// Windows' dialog manager does the rest: Tab order, the options' group as one
// tab stop entered at the selected option, arrow keys, and the focus kept
// across activations.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "1-platform/Utf16_win.h"
#include "3-state/AppState.h"
#include "5-windows/DialogKit_win.h"
#include "5-windows/Windows_win.h"
#include "5-windows/resource.h"

namespace qm {

namespace {

using namespace dialogwin;

constexpr UINT kActivateMessage = WM_APP + 1;  // runs the activation step once drawn
constexpr UINT_PTR kNameBoxSubclass = 1;

class FrmMain final : public MainView, private Dialog {
 public:
  FrmMain(const EditorServices& services, FolderBrowser& browser)
      : Dialog(services.fatal), editor_(*this, services), services_(services), browser_(browser) {}
  ~FrmMain() override {
    if (hwnd_) DestroyWindow(hwnd_);
  }

  int Run(int showCommand, const std::string& gameForThisRun);

  // MainView
  void SetCaption(const std::string& text) override { SetWindowTextW(hwnd_, Utf16(text).c_str()); }
  void Repaint() override {
    RedrawWindow(hwnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  void SetListItems(const std::vector<std::string>& items) override;
  void SetListItem(int row, const std::string& text) override;
  // The text the program puts into the name box is not an edit: its
  // EN_CHANGE must not reach the list.
  void SetNameText(const std::string& text) override {
    settingName_ = true;
    SetText(IDC_MAIN_TXTNAME, text);
    SendMessageW(Item(IDC_MAIN_TXTNAME), EM_SETSEL, 9999, 9999);  // typing goes on at the end
    settingName_ = false;
  }
  std::string GetNameText() override { return Text(IDC_MAIN_TXTNAME); }
  void EnableName(bool enabled) override { EnableWindow(Item(IDC_MAIN_TXTNAME), enabled); }
  // The dialog manager selects an edit box's text as it gives it the focus.
  void SelectAllNameAndFocus() override { Focus(IDC_MAIN_TXTNAME); }
  void CheckOption(int index) override {
    CheckRadioButton(hwnd_, IDC_MAIN_OPTLIST0, IDC_MAIN_OPTLIST0 + kListCount - 1,
                     IDC_MAIN_OPTLIST0 + index);
    checkedOption_ = index;
  }
  void SetLanguageText(const std::string& text) override { SetText(IDC_MAIN_LANGUAGE, text); }
  void SetLanguageMenu(const std::vector<std::string>& names, int checked) override;

 private:
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  static LRESULT CALLBACK NameBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR self);
  LRESULT HandleNameBox(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void OnInitDialog();
  void OnCommand(int id, int code);
  void OnActivateMessage();
  void OnSetPath();
  void OnOptionClicked(int index);
  void OnListSelectionChanged();
  void FocusShownOption();

  NameEditor editor_;
  EditorServices services_;
  FolderBrowser& browser_;
  int checkedOption_ = -1;    // none is selected until the first list selection
  bool settingName_ = false;  // SetNameText is putting text into the name box
};

// The dialog keys (Tab, arrows, Enter, Esc) go to the dialog manager.
int FrmMain::Run(int showCommand, const std::string& gameForThisRun) {
  RegisterDialogClass(L"" QM_MAIN_CLASS, L"APPICON");  // the icon: quillmark.rc
  if (!CreateModeless(IDD_MAIN)) {
    fatal_.Fatal(static_cast<int32_t>(GetLastError()), "The main window could not be created.");
  }
  editor_.OnLoad(gameForThisRun);
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  PostMessageW(hwnd_, kActivateMessage, 0, 0);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

INT_PTR FrmMain::HandleMessage(UINT msg, WPARAM wp, LPARAM) {
  // clang-format off
  switch (msg) {
    case WM_INITDIALOG:    OnInitDialog(); return FALSE;  // no focus before the activation step
    case WM_COMMAND:       OnCommand(LOWORD(wp), HIWORD(wp)); return TRUE;
    case kActivateMessage: OnActivateMessage(); return TRUE;
    case WM_CLOSE:         DestroyWindow(hwnd_); return TRUE;
    case WM_DESTROY:       PostQuitMessage(0); return TRUE;
  }
  // clang-format on
  return FALSE;
}

// The options' captions are the lists' names; the name box takes at most 25
// characters and filters the typed ones.
void FrmMain::OnInitDialog() {
  for (int i = 0; i < kListCount; ++i) {
    SetText(IDC_MAIN_OPTLIST0 + i, kNameListInfo[i].caption);
  }
  SendMessageW(Item(IDC_MAIN_TXTNAME), EM_SETLIMITTEXT, kMaxNameLength, 0);
  SetWindowSubclass(Item(IDC_MAIN_TXTNAME), &FrmMain::NameBoxProc, kNameBoxSubclass,
                    reinterpret_cast<DWORD_PTR>(this));
}

// Enter and Esc arrive as IDOK and IDCANCEL, which no control has: they do
// nothing.
void FrmMain::OnCommand(int id, int code) {
  if (id >= IDC_MAIN_OPTLIST0 && id < IDC_MAIN_OPTLIST0 + kListCount) {
    if (code == BN_CLICKED) OnOptionClicked(id - IDC_MAIN_OPTLIST0);
    return;
  }
  if (id >= IDM_LANGUAGE0 && id <= IDM_LANGUAGE_LAST) {
    editor_.OnChooseLanguage(id - IDM_LANGUAGE0);
    return;
  }
  // clang-format off
  switch (id) {
    case IDC_MAIN_LSTNAMES: if (code == LBN_SELCHANGE) OnListSelectionChanged(); break;
    case IDC_MAIN_TXTNAME:  if (code == EN_CHANGE && !settingName_) editor_.OnNameChanged(); break;
    case IDC_MAIN_CMDSAVE:
    case IDM_SAVE:          editor_.SaveNameLists(); break;
    case IDC_MAIN_CMDEXIT:
    case IDM_EXIT:          DestroyWindow(hwnd_); break;
    case IDM_SETPATH:       OnSetPath(); break;
    case IDM_EXPORT:        editor_.OnExportNames(); break;
    case IDM_IMPORT:        editor_.OnImportNames(); break;
    case IDM_RESTORE:       editor_.OnRestoreNames(); break;
  }
  // clang-format on
}

void FrmMain::OnActivateMessage() {
  editor_.OnActivate();
  // An elevated copy has taken over.
  if (editor_.Ending()) {
    DestroyWindow(hwnd_);
    return;
  }
  FocusShownOption();
}

// Closing the Set Path dialog activates the main window again, which runs the
// whole activation step for the folder now in use and shows list 0.
void FrmMain::OnSetPath() {
  ShowSetPathDialog(
      hwnd_, SetPathServices{services_.files, services_.messages, services_.settings,
                             services_.registry, browser_, services_.fatal, services_.environment});
  OnActivateMessage();
}

// An option's click runs the list selection only when the option becomes
// selected: a click on the option already selected changes nothing.
void FrmMain::OnOptionClicked(int index) {
  if (index == checkedOption_) return;
  checkedOption_ = index;
  editor_.OnSelectList(static_cast<int16_t>(index));
}

void FrmMain::OnListSelectionChanged() {
  const LRESULT row = SendMessageW(Item(IDC_MAIN_LSTNAMES), LB_GETCURSEL, 0, 0);
  if (row != LB_ERR) editor_.OnChooseName(static_cast<int>(row));
}

LRESULT CALLBACK FrmMain::NameBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                      DWORD_PTR self) {
  auto* main = reinterpret_cast<FrmMain*>(self);
  try {
    return main->HandleNameBox(hwnd, msg, wp, lp);
  } catch (...) {
    main->fatal_.FatalCaught();
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
}

// The box is a Unicode window: WM_CHAR brings a UTF-16 code unit, which the
// key filter takes as a signed 16-bit number. An input method's characters
// may come as WM_IME_CHAR, which the edit control takes as typed too.
LRESULT FrmMain::HandleNameBox(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CHAR || msg == WM_IME_CHAR) {
    auto c = static_cast<int16_t>(wp);
    if (!editor_.FilterNameKey(c)) return 0;
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &FrmMain::NameBoxProc, kNameBoxSubclass);
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

// The focus goes to the option of the list shown, when it is selected. Windows
// selects an option that takes the focus (Wine does not), so an unselected
// option never gets it from here.
void FrmMain::FocusShownOption() {
  if (!hwnd_ || GetActiveWindow() != hwnd_) return;
  const int option = IDC_MAIN_OPTLIST0 + editor_.ShownList();
  if (IsDlgButtonChecked(hwnd_, option) == BST_CHECKED) {
    Focus(option);
  } else {
    SetFocus(hwnd_);
  }
}

// Options > Language is the second item of the Options menu. A file whose
// tables hold no language blocks has one language: the item says so, grayed.
void FrmMain::SetLanguageMenu(const std::vector<std::string>& names, int checked) {
  HMENU languages = GetSubMenu(GetSubMenu(GetMenu(hwnd_), 1), 1);
  if (!languages) return;
  while (GetMenuItemCount(languages) > 0) DeleteMenu(languages, 0, MF_BYPOSITION);
  if (names.empty()) {
    AppendMenuW(languages, MF_STRING | MF_GRAYED, IDM_LANGUAGE0, L"One language only");
    return;
  }
  for (size_t i = 0; i < names.size() && IDM_LANGUAGE0 + i <= IDM_LANGUAGE_LAST; ++i) {
    const UINT flags = MF_STRING | (static_cast<int>(i) == checked ? MF_CHECKED : MF_UNCHECKED);
    AppendMenuW(languages, flags, IDM_LANGUAGE0 + i, Utf16(names[i]).c_str());
  }
}

void FrmMain::SetListItems(const std::vector<std::string>& items) {
  HWND list = Item(IDC_MAIN_LSTNAMES);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf16(item).c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

// Replaces one item, keeping the selection and the scroll position.
void FrmMain::SetListItem(int row, const std::string& text) {
  HWND list = Item(IDC_MAIN_LSTNAMES);
  const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
  SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(Utf16(text).c_str()));
  if (selected == row) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

int RunMainWindow(int showCommand, const EditorServices& services, FolderBrowser& browser,
                  const std::string& gameForThisRun) {
  return FrmMain(services, browser).Run(showCommand, gameForThisRun);
}

}  // namespace qm
