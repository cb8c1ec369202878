#pragma once
// The Win32 side of the shell services the Set Path dialog and the error
// window use: shell, clipboard, folder browser, the program's identity and
// ending the process.

#include <windows.h>

#include <string>
#include <utility>

#include "1-platform/Shell.h"

namespace qm {

// ShellExecuteW, with COM initialised around the call as the shell asks.
class Win32Shell final : public Shell {
 public:
  intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                   const std::string& params, const std::string& folder, int show) override;
};

// The clipboard, opened on behalf of the window the player is using (which
// becomes the clipboard's owner when it is cleared, as SetClipboardData
// requires).
class Win32Clipboard final : public Clipboard {
 public:
  SysCode Clear() override;
  SysCode SetText(const std::string& text) override;
};

// SHBrowseForFolderW, selecting the start folder once it has opened, then
// SHGetPathFromIDListW into 260 spaces.
class Win32FolderBrowser final : public FolderBrowser {
 public:
  bool Browse(WindowHandle owner, const std::string& title, uint32_t flags,
              const std::string& startFolder, std::string& path) override;
};

// The executable's version resource (ProductName and the file version's
// first three numbers), else `builtIn`; its folder.
class Win32ProgramInfo final : public ProgramInfo {
 public:
  explicit Win32ProgramInfo(ProgramVersion builtIn) : builtIn_(std::move(builtIn)) {}
  ProgramVersion Version() override;
  std::string Folder() override;

 private:
  ProgramVersion builtIn_;
};

// GetSaveFileNameW and GetOpenFileNameW, owned by `owner` or, for 0, by the
// active window.
class Win32FileDialogs final : public FileDialogs {
 public:
  bool ChooseSave(WindowHandle owner, const FileKind& kind, std::string& path) override;
  bool ChooseOpen(WindowHandle owner, const FileKind& kind, std::string& path) override;
};

// ExitProcess with exit code 1: the run ended on a failure.
class Win32ProcessEnd final : public ProcessEnd {
 public:
  void EndNow() override;
};

}  // namespace qm
