#pragma once
// Small platform services the window behaviour needs besides files: message
// boxes and per-user settings. Win32 implementations live in *_win.cpp; tests
// use fakes that record.

#include <cstdint>
#include <string>

#include "1-platform/FileSystem.h"

namespace qm {

enum class MessageIcon { Critical, Warning, Information };
enum class Choice { Yes, No, Cancel };

// Modal message boxes with a title and a single OK button, or a question
// with Yes and No, or with Yes, No and Cancel.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // The question icon, Yes and No; true for Yes.
  virtual bool Ask(const std::string& text, const std::string& title) = 0;
  // The warning icon, Yes, No and Cancel; closing the box is Cancel.
  virtual Choice AskYesNoCancel(const std::string& text, const std::string& title) = 0;
};

// Per-user text settings by application, section and key; an absent value
// reads as the empty text. On Windows: HKCU\Software\<app>\<section>, value <key>.
class Settings {
 public:
  virtual ~Settings() = default;
  virtual std::string Get(const std::string& app, const std::string& section,
                          const std::string& key) = 0;
  // kOk, or the system's code when the value could not be stored.
  virtual SysCode Save(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

// Ends the program after an unexpected failure that no handler catches: shows
// a critical message box with the error number and description, then ends the
// process. It never returns: test fakes record the call and throw.
class FatalErrors {
 public:
  virtual ~FatalErrors() = default;
  [[noreturn]] virtual void Fatal(int32_t number, const std::string& description) = 0;
  // Inside a catch block: Fatal with the number and description of the
  // exception being handled.
  [[noreturn]] void FatalCaught();
};

// Waits between retries of a file step that met a sharing violation.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void SleepMs(int milliseconds) = 0;
};

}  // namespace qm
