// The environment natively: the paths are Linux paths already.

#include <cstdlib>

#include "1-platform/Environment.h"

namespace qm {

namespace {

class PosixEnvironment final : public Environment {
 public:
  std::string Variable(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
  }
  char Separator() override { return '/'; }
  std::string UnixHome() override { return FromUnixPath(Variable("HOME")); }
  std::string FromUnixPath(const std::string& path) override {
    return !path.empty() && path[0] == '/' ? path : "";
  }
};

}  // namespace

Environment& SystemEnvironment() {
  static PosixEnvironment environment;
  return environment;
}

}  // namespace qm
