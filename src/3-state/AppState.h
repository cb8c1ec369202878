#pragma once
// Program-wide state shared by the windows.

#include <array>
#include <string>

#include "Version.h"

namespace qm {

inline constexpr int kListCount = 7;
inline constexpr int kNameRows = 51;  // the longest list, list 0

struct NameListInfo {
  const char* caption;  // the option button's caption
  const char* idText;   // the chunk's id-and-flags text
  int namesUsed;        // how many entries the list shows
};

// The seven lists in list-number order, which is the order of loading and saving.
inline constexpr std::array<NameListInfo, kListCount> kNameListInfo = {{
    {"Male Townie First Names", "00 96 00 10", 51},
    {"Female Townie First Names", "00 97 00 10", 50},
    {"Male Tourists First Names", "00 A1 00 10", 50},
    {"Female Tourirst First Names", "00 A2 00 10", 50},
    {"M Child Tourists First Names", "00 A3 00 10", 50},
    {"F Child Tourist First Names", "00 A4 00 10", 50},
    {"Tourists Last Names", "00 A0 00 10", 50},
}};

inline constexpr int kMaxNameLength = 25;

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
