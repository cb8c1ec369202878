#include "4-behaviour/GameFolder.h"

#include <cstdint>

#include "1-platform/Failure.h"

namespace qm {

std::string RegistryInstallPath(RegistryApi& registry, FatalErrors& fatal) {
  int32_t bufferSize = 0;  // the lookup's default size
  std::string folder;
  try {
    folder = GetRegistryString(kHkeyLocalMachine, "Software\\Maxis\\The Sims", "InstallPath",
                               bufferSize, registry);
  } catch (const Failure& failure) {
    fatal.Fatal(failure.number(), failure.description());
  }
  return folder;
}

}  // namespace qm
