#include "4-behaviour/SetPath.h"

#include <cstdint>

#include "3-state/AppState.h"
#include "4-behaviour/GameFolder.h"
#include "4-behaviour/GameSearch.h"

namespace qm {

SetPathDialog::SetPathDialog(SetPathView& view, const SetPathServices& services)
    : view_(view), services_(services) {}

// Both boxes start from the registry and the stored setting each time the
// dialog opens. A registry value that cannot be read shows as "ERROR".
void SetPathDialog::OnLoad() {
  view_.SetRegistryText(RegistryInstallPath(services_.registry));
  view_.SetLocationText(services_.settings.Get(kSettingsApp, kSettingsSection, kSettingsKey));
}

// Copies the registry's folder into the location box; the folder is tested
// only by OK.
void SetPathDialog::OnUse() {
  view_.FocusCmdFocus();
  const std::string registry = view_.GetRegistryText();
  if (registry == kRegistryError || registry.empty()) {
    services_.messages.Show("Registry value invalid. Please find the path manually.",
                            "Path Invalid", MessageIcon::Warning);
    return;
  }
  view_.SetLocationText(registry);
}

// The browser opens at the folder in the location box when it holds the
// game, else at the registry's folder or one found in the known places, else
// at the location box's folder as it is (the top of the tree when there is
// no such folder). A folder for which the shell has no path arrives as the
// untouched buffer of spaces; OK then refuses it like any folder without the
// game.
void SetPathDialog::OnFind() {
  view_.FocusCmdFocus();
  const SearchServices search{services_.registry, services_.files, services_.environment};
  std::string start = view_.GetLocationText();
  if (!HoldsSimsExe(start, search)) {
    const std::string found = LocateGame(view_.GetRegistryText(), search);
    if (!found.empty()) start = found;
  }
  if (start == kRegistryError) start.clear();
  std::string path;
  if (!services_.browser.Browse(view_.Handle(), kSetPathBrowseTitle, kSetPathBrowseFlags, start,
                                path)) {
    return;
  }
  view_.SetLocationText(path);
}

// The folder is taken unchanged: a drive's root keeps its backslash, so the
// paths built on it hold two in a row, which Windows accepts.
void SetPathDialog::OnOK() {
  view_.FocusCmdFocus();
  const std::string location = view_.GetLocationText();
  if (!services_.files.IsNormalFile(location + kSimsExeTail)) {
    services_.messages.Show(
        "The Sims was not found in:\r\n" + location + "\r\nThe selected location was invalid",
        "Selected Location Invalid", MessageIcon::Warning);
    return;
  }
  gSimsPath = location;
  StoreGameFolderSetting(services_.settings, services_.messages, location);
  view_.Close();
}

void SetPathDialog::OnCancel() {
  view_.FocusCmdFocus();
  view_.Close();
}

}  // namespace qm
