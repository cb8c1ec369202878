#pragma once
// frmMain, the main window: a Win32 window whose procedure turns messages into
// calls on NameEditor, and which carries out NameEditor's requests on its
// controls (MainView).

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "1-platform/Shell.h"
#include "4-behaviour/Layout.h"
#include "4-behaviour/NameEditor.h"
#include "5-windows/WindowKit_win.h"

namespace qm {

class FrmMain final : public MainView {
 public:
  // `browser` serves the Set Path dialog.
  FrmMain(const EditorServices& services, FolderBrowser& browser);
  ~FrmMain() override;
  FrmMain(const FrmMain&) = delete;
  FrmMain& operator=(const FrmMain&) = delete;

  // Creates the window and its controls, runs the load step, shows the window
  // and queues the first activation step. False when Windows refused to
  // create the window.
  bool Create(HINSTANCE instance, int showCommand);

  HWND Handle() const { return hwnd_; }

  // Keyboard navigation between the controls (Tab, arrow keys). True when
  // the message has been handled.
  bool PreTranslate(MSG& msg);

  // MainView
  void SetCaption(const std::string& text) override;
  void Repaint() override;
  void SetListItems(const std::vector<std::string>& items) override;
  void SetListItem(int row, const std::string& text) override;
  void SetNameText(const std::string& text) override;
  std::string GetNameText() override;
  void EnableName(bool enabled) override;
  void SelectAllNameAndFocus() override;
  void CheckOption(int index) override;

 private:
  friend LRESULT CALLBACK dialogwin::WindowProcThunk<FrmMain>(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK NameBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleNameBox(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  void OnCreate();
  void OnCommand(int id, int code);
  void OnActivateMessage();
  void OnWindowActivated(bool active, bool minimized);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnSave();
  void OnExit();
  void OnSetPath();
  void OnOptionClicked(int index);
  void OnListSelectionChanged();
  bool OnNameChar(WPARAM& ch);
  void OnNameChanged();

  void CreateControls();
  layout::WindowLayout Layout(UINT dpi);
  void FocusShownOption();

  NameEditor editor_;
  FatalErrors& fatal_;
  EditorServices services_;
  FolderBrowser& browser_;
  HWND hwnd_ = nullptr;
  HWND frame_ = nullptr;
  std::array<HWND, 7> options_{};
  HWND label1_ = nullptr;
  HWND txtName_ = nullptr;
  HWND label2_ = nullptr;
  HWND lstNames_ = nullptr;
  HWND cmdSave_ = nullptr;
  HWND cmdExit_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<HWND> tabOrder_;  // the option group by its first option
  HWND lastFocus_ = nullptr;    // restored when the window is activated again
  int checkedOption_ = -1;      // none is selected until the first list selection
  bool settingName_ = false;    // SetNameText is putting text into the name box
};

// Runs the message loop until the program quits; returns the exit code.
int RunMessageLoop(FrmMain& main);

}  // namespace qm
