#pragma once
// Recording fakes of the shell, the clipboard, the folder browser, the
// program's identity and the process end, for the dialogs' tests.

#include <cstdint>
#include <string>
#include <vector>

#include "1-platform/FileSystem.h"
#include "1-platform/Shell.h"
#include "4-behaviour/SetPath.h"
#include "support/UiFakes.h"

namespace qm::test {

class FakeShell final : public Shell {
 public:
  struct ExecuteCall {
    WindowHandle owner;
    std::string verb;
    std::string file;
    std::string params;
    std::string folder;
    int show;
  };
  std::vector<ExecuteCall> executes;
  intptr_t executeResult = 42;

  intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                   const std::string& params, const std::string& folder, int show) override {
    executes.push_back({owner, verb, file, params, folder, show});
    return executeResult;
  }
};

class FakeClipboard final : public Clipboard {
 public:
  std::vector<std::string> calls;  // "Clear", "SetText <text>"
  std::string text = "earlier contents";
  SysCode clearResult = 0;
  SysCode setResult = 0;

  SysCode Clear() override {
    calls.push_back("Clear");
    if (clearResult == 0) text.clear();
    return clearResult;
  }
  SysCode SetText(const std::string& newText) override {
    calls.push_back("SetText " + newText);
    if (setResult == 0) text = newText;
    return setResult;
  }
};

// The Open and Save dialogs: the user picks `chosenPath`, or cancels.
class FakeFileDialogs final : public FileDialogs {
 public:
  std::string chosenPath;
  bool choose = true;
  std::vector<std::string> opened;  // "save" or "open", with the kind's pattern

  bool ChooseSave(WindowHandle, const FileKind& kind, std::string& path) override {
    return Choose("save " + kind.pattern, path);
  }
  bool ChooseOpen(WindowHandle, const FileKind& kind, std::string& path) override {
    return Choose("open " + kind.pattern, path);
  }

 private:
  bool Choose(const std::string& what, std::string& path) {
    opened.push_back(what);
    if (!choose) return false;
    path = chosenPath;
    return true;
  }
};

class FakeFolderBrowser final : public FolderBrowser {
 public:
  struct Call {
    WindowHandle owner;
    std::string title;
    uint32_t flags;
    std::string startFolder;
  };
  std::vector<Call> calls;
  bool choose = true;  // false: the user cancels
  std::string chosenPath;

  bool Browse(WindowHandle owner, const std::string& title, uint32_t flags,
              const std::string& startFolder, std::string& path) override {
    calls.push_back({owner, title, flags, startFolder});
    if (!choose) return false;
    path = chosenPath;
    return true;
  }
};

inline constexpr WindowHandle kSetPathHandle = 0x5E7;

// The Set Path dialog's controls: the two boxes' texts and whether it closed.
class FakeSetPathView final : public SetPathView {
 public:
  explicit FakeSetPathView(Journal& journal) : journal_(journal) {}
  std::string registryText;
  std::string locationText;
  bool closed = false;

  WindowHandle Handle() override { return kSetPathHandle; }
  void SetRegistryText(const std::string& text) override { registryText = text; }
  std::string GetRegistryText() override { return registryText; }
  void SetLocationText(const std::string& text) override {
    locationText = text;
    journal_.push_back("location " + text);
  }
  std::string GetLocationText() override { return locationText; }
  void FocusCmdFocus() override { journal_.push_back("focus"); }
  void Close() override {
    closed = true;
    journal_.push_back("close");
  }

 private:
  Journal& journal_;
};

class FakeProgramInfo final : public ProgramInfo {
 public:
  ProgramVersion version{"Quillmark", 1, 0, 0};
  std::string folder = "C:\\Program Files\\Quillmark";

  ProgramVersion Version() override { return version; }
  std::string Folder() override { return folder; }
};

class FakeProcessEnd final : public ProcessEnd {
 public:
  int ends = 0;
  void EndNow() override { ++ends; }
};

}  // namespace qm::test
