#pragma once
// Program-wide state shared by the windows.

#include <array>
#include <string>

#include "Version.h"

namespace qm {

inline constexpr int kListCount = 7;
inline constexpr int kNameRows = 51;

// The game folder in use; may also hold the empty text or "ERROR".
extern std::string gSimsPath;

// Seven lists (columns 0 to 6) by 51 rows of names, each a byte string.
// Cell access outside 0..6 / 0..50 is a subscript-out-of-range failure.
class NameLists {
 public:
  std::string& Cell(int list, int row);
  const std::string& Cell(int list, int row) const;
  void Clear();

 private:
  std::array<std::array<std::string, kNameRows>, kListCount> cells_;
};
extern NameLists gNameLists;

// The program's version, shown in the caption and the error report; set by
// project(VERSION) in CMakeLists.txt.
inline constexpr int kVersionMajor = QM_VERSION_MAJOR;
inline constexpr int kVersionMinor = QM_VERSION_MINOR;
inline constexpr int kVersionRevision = QM_VERSION_PATCH;
inline constexpr const char* kProductName = "Quillmark";

// The stored setting that remembers the game folder.
inline constexpr const char* kSettingsApp = "Dorvane";
inline constexpr const char* kSettingsSection = "Settings";
inline constexpr const char* kSettingsKey = "Sims Location";

}  // namespace qm
