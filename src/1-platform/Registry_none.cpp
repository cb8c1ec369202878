// Natively there is no Windows registry: every key is missing.

#include "1-platform/Registry.h"

namespace qm {

namespace {

class EmptyRegistry final : public Registry {
 public:
  std::string ReadString(RegistryHive, const std::string&, const std::string&) override {
    return kRegistryError;
  }
};

}  // namespace

Registry& SystemRegistry() {
  static EmptyRegistry registry;
  return registry;
}

}  // namespace qm
