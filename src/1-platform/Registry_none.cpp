// Natively there is no Windows registry: every key is missing.

#include "1-platform/Registry.h"

namespace qm {

namespace {

constexpr long kFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
constexpr long kInvalidHandle = 6;  // ERROR_INVALID_HANDLE

class EmptyRegistry final : public RegistryApi {
 public:
  long OpenKey(RegHandle, const std::string&, uint32_t, uint32_t, RegHandle& key) override {
    key = 0;
    return kFileNotFound;
  }
  long QueryValue(RegHandle, const std::string&, uint32_t&, uint8_t*, uint32_t&) override {
    return kInvalidHandle;
  }
  long CloseKey(RegHandle) override { return kInvalidHandle; }
};

}  // namespace

RegistryApi& SystemRegistry() {
  static EmptyRegistry registry;
  return registry;
}

}  // namespace qm
