#pragma once
// Starting this program again with administrator rights, behind an interface
// so that the editor's offer to do so runs against a fake in tests. Win32
// implementation: Elevation_win.cpp.

#include <string>

#include "1-platform/FileSystem.h"

namespace qm {

class Elevation {
 public:
  virtual ~Elevation() = default;
  // Starts the running executable again through the shell's "runas" verb
  // (Windows asks the user for an administrator's consent) with `params` as
  // its command line. kOk once the new copy has started; otherwise the
  // system's code (ERROR_CANCELLED when the user said no).
  virtual SysCode RestartAsAdministrator(const std::string& params) = 0;
};

}  // namespace qm
