#pragma once
// The Windows shell, the clipboard, the folder browser and facts about the
// running program, behind interfaces so that the dialogs' behaviour runs
// natively against fakes. Win32 implementations: Shell_win.cpp.

#include <cstdint>
#include <string>

#include "1-platform/FileSystem.h"

namespace qm {

// A window handle (HWND) as portable code carries it; 0 is no window.
using WindowHandle = uintptr_t;

// shell32's entry points, with texts in UTF-8. Results as the shell gives them: greater
// than 32 is success.
class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecute; empty params or folder are passed as none.
  virtual intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                           const std::string& params, const std::string& folder, int show) = 0;
};

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

// The system clipboard. Each returns 0 or a Windows system error code.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Removes everything the clipboard holds, in every format.
  virtual SysCode Clear() = 0;
  // Puts `text` on the clipboard as Unicode text (CF_UNICODETEXT, from which
  // Windows offers the plain-text formats too).
  virtual SysCode SetText(const std::string& text) = 0;
};

// The system's folder browser (SHBrowseForFolder).
inline constexpr uint32_t kBifReturnOnlyFsDirs = 0x0001;
inline constexpr uint32_t kBifDontGoBelowDomain = 0x0002;

class FolderBrowser {
 public:
  virtual ~FolderBrowser() = default;
  // Shows the browser owned by `owner`, with `startFolder` selected (the
  // desktop when it is empty or no such folder exists). False when the user
  // cancels. Otherwise `path` is the chosen folder's path as read from a
  // 260-character buffer of spaces up to its first NUL (the whole buffer when
  // the shell wrote nothing into it).
  virtual bool Browse(WindowHandle owner, const std::string& title, uint32_t flags,
                      const std::string& startFolder, std::string& path) = 0;
};

// The system's standard Open and Save dialogs (GetOpenFileName,
// GetSaveFileName), for files of one kind.
struct FileKind {
  std::string description;  // "Name packs (*.txt)"
  std::string pattern;      // "*.txt"
  std::string extension;    // "txt": added to a name typed without one
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // False when the user cancels; otherwise `path` is the file chosen. What
  // `path` holds on the way in is offered as the file's name. Save asks
  // before a file is replaced; Open takes only a file that exists.
  virtual bool ChooseSave(WindowHandle owner, const FileKind& kind, std::string& path) = 0;
  virtual bool ChooseOpen(WindowHandle owner, const FileKind& kind, std::string& path) = 0;
};

// The running program's identity as its executable's version resource gives it.
struct ProgramVersion {
  std::string title;  // ProductName
  int major = 0;
  int minor = 0;
  int revision = 0;  // the third number of the file version
};

class ProgramInfo {
 public:
  virtual ~ProgramInfo() = default;
  virtual ProgramVersion Version() = 0;
  // The folder that holds the executable, as the platform reports it (a
  // drive's root keeps its trailing backslash).
  virtual std::string Folder() = 0;
};

// Ends the process at once: no window closes, nothing is saved.
class ProcessEnd {
 public:
  virtual ~ProcessEnd() = default;
  virtual void EndNow() = 0;
};

// The text of a fixed-length buffer that the platform filled: everything
// before its first NUL, or the whole buffer when it holds none.
inline std::string TextUpToNul(const std::string& buffer) {
  return buffer.substr(0, buffer.find('\0'));
}

}  // namespace qm
