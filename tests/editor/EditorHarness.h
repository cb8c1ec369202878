#pragma once
// NameEditor wired to fakes and an in-memory file system, for tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "3-state/AppState.h"
#include "4-behaviour/NameEditor.h"
#include "editor/GameFixture.h"
#include "support/DialogFakes.h"
#include "support/FakeEnvironment.h"
#include "support/MemoryFileSystem.h"
#include "support/UiFakes.h"

namespace qm::test {

// What a successful save says.
inline const std::string kSavedText = "Names saved.";

// The error window: records the procedure of each failure it is shown, and
// the last one's description.
class FakeErrorWindow final : public ErrorWindow {
 public:
  explicit FakeErrorWindow(std::vector<std::string>& shown) : shown_(shown) {}
  void Show(const IffError& error) override {
    shown_.push_back(error.procedure());
    lastDescription = error.description();
  }
  std::string lastDescription;

 private:
  std::vector<std::string>& shown_;
};

// The restart as administrator: records each command line, answers `result`.
class FakeElevation final : public Elevation {
 public:
  std::vector<std::string> restarts;
  SysCode result = syserr::kOk;
  SysCode RestartAsAdministrator(const std::string& params) override {
    restarts.push_back(params);
    return result;
  }
};

// One NameEditor wired to fakes and an in-memory file system. Creating it
// resets the program-wide state; `traps` records what the error window shows.
class EditorRig {
 public:
  EditorRig() {
    gSimsPath.clear();
    gNameLists.Clear();
  }
  EditorRig(const EditorRig&) = delete;
  EditorRig& operator=(const EditorRig&) = delete;

  // The stored setting already names the game folder.
  void UseSetting(const std::string& folder) {
    settings.values[{kSettingsApp, kSettingsSection, kSettingsKey}] = folder;
  }
  std::string Setting() { return settings.Get(kSettingsApp, kSettingsSection, kSettingsKey); }

  // A name's bytes as the window shows them: UTF-8.
  std::string Shown(const std::string& bytes) {
    std::string text;
    EXPECT_TRUE(codePage->ToUtf8(bytes, text)) << bytes;
    return text;
  }

  // The user picks row `row` and types `keys` (each through the key filter,
  // each a change of the box's text).
  void Edit(int row, const std::string& keys) {
    editor.OnChooseName(row);
    for (char key : keys) {
      int16_t c = static_cast<int16_t>(static_cast<unsigned char>(key));
      if (NameEditor::FilterKey(c)) view.TypeIntoBox(static_cast<char>(c));
      editor.OnNameChanged();
    }
  }

  Journal journal;
  MemoryFileSystem fs;
  FakeMainView view{&journal};
  FakeMessageBoxes messages{&journal};
  FakeSettings settings;
  FakeRegistry registry;
  FakeFatal fatal;
  NoSleep sleeper;
  FakeFileDialogs dialogs;
  std::unique_ptr<CodePage> codePage = SystemCodePage(1252);
  FakeEnvironment environment;
  std::vector<std::string> traps;
  FakeErrorWindow errorWindow{traps};
  FakeElevation elevation;
  NameEditor editor{view, EditorServices{fs, messages, settings, registry, fatal, sleeper, dialogs,
                                         *codePage, environment, errorWindow, elevation}};
};

class EditorHarness : public ::testing::Test, public EditorRig {
 protected:
  // Program start on an installed game whose folder the setting holds.
  void StartOnGame(const GameLayout& layout = {}) {
    InstallGame(fs, layout);
    UseSetting(kGameRoot);
    editor.OnLoad();
    editor.OnActivate();
  }

  std::string Live() { return fs.Contents(kLivePath).value_or("<missing>"); }

  // The file-system log from entry `from` on.
  std::vector<std::string> LogFrom(size_t from) {
    return {fs.Log().begin() + static_cast<std::ptrdiff_t>(from), fs.Log().end()};
  }
};

}  // namespace qm::test
