#pragma once
// The Win32 side of Elevation.h.

#include "1-platform/Elevation.h"

namespace qm {

// ShellExecuteW with the "runas" verb on the module's own file name.
class Win32Elevation final : public Elevation {
 public:
  SysCode RestartAsAdministrator(const std::string& params) override;
};

}  // namespace qm
