#include "4-behaviour/GameFolder.h"

namespace qm {

std::string RegistryInstallPath(Registry& registry) {
  return registry.ReadString(RegistryHive::LocalMachine, "Software\\Maxis\\The Sims",
                             "InstallPath");
}

}  // namespace qm
