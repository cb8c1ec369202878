#pragma once
// The behaviour of the Set Path dialog frmSetPath: the user takes the
// registry's folder or browses for one, and a folder is accepted only when
// the game's executable is in it. The window procedure turns messages into
// calls on this class; everything it does to the screen goes through
// SetPathView.

#include <string>

#include "1-platform/Environment.h"
#include "1-platform/FileSystem.h"
#include "1-platform/Registry.h"
#include "1-platform/Shell.h"
#include "1-platform/Ui.h"

namespace qm {

class SetPathView {
 public:
  virtual ~SetPathView() = default;
  virtual WindowHandle Handle() = 0;
  virtual void SetRegistryText(const std::string& text) = 0;
  virtual std::string GetRegistryText() = 0;
  virtual void SetLocationText(const std::string& text) = 0;
  virtual std::string GetLocationText() = 0;
  virtual void FocusCmdFocus() = 0;
  // Unloads the dialog, which ends the opener's wait.
  virtual void Close() = 0;
};

struct SetPathServices {
  FileSystem& files;
  MessageBoxes& messages;
  Settings& settings;
  Registry& registry;
  FolderBrowser& browser;
  FatalErrors& fatal;
  Environment& environment;
};

inline constexpr const char* kSetPathBrowseTitle = "Select the location of The Sims.";
inline constexpr uint32_t kSetPathBrowseFlags = kBifReturnOnlyFsDirs | kBifDontGoBelowDomain;

class SetPathDialog {
 public:
  SetPathDialog(SetPathView& view, const SetPathServices& services);

  void OnLoad();
  void OnUse();     // cmdUseReg
  void OnFind();    // cmdFindPath
  void OnOK();      // cmdOK
  void OnCancel();  // cmdCancel and the title bar's close button

 private:
  SetPathView& view_;
  SetPathServices services_;
};

}  // namespace qm
