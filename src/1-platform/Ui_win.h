#pragma once
// The Win32 side of the small platform services the main window uses:
// message boxes, per-user settings in the registry, the fatal-error box and
// waiting.

#include <string>

#include "1-platform/Ui.h"

namespace qm {

// MessageBoxW with one OK button and the icon of `icon`, owned by the
// program's active window.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  void Show(const std::string& text, const std::string& title, MessageIcon icon) override;
  bool Ask(const std::string& text, const std::string& title) override;
};

// HKEY_CURRENT_USER\Software\<app>\<section>, a REG_SZ value named <key>.
class Win32Settings final : public Settings {
 public:
  std::string Get(const std::string& app, const std::string& section,
                  const std::string& key) override;
  void Save(const std::string& app, const std::string& section, const std::string& key,
            const std::string& value) override;
};

// A critical message box "Error N", CR LF, the description, titled
// "Unexpected Error"; then the process ends with exit code 1.
class Win32FatalErrors final : public FatalErrors {
 public:
  [[noreturn]] void Fatal(int32_t number, const std::string& description) override;
};

class Win32Sleeper final : public Sleeper {
 public:
  void SleepMs(int milliseconds) override;
};

}  // namespace qm
