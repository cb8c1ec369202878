#pragma once
// The environment the program runs in: its variables, and the Linux side of
// the machine when there is one (the native build, or Windows under Wine),
// behind an interface so that the search for the game runs against a fake.

#include <string>

namespace qm {

class Environment {
 public:
  virtual ~Environment() = default;
  // The value of an environment variable; empty when it is not set.
  virtual std::string Variable(const std::string& name) = 0;
  // The folder separator of the paths the program opens: '\' on Windows
  // (under Wine too), '/' natively.
  virtual char Separator() = 0;
  // The Linux user's home folder as a path the program opens ("Z:\home\ann"
  // under Wine, "/home/ann" natively); empty on Windows itself, or when it
  // cannot be told.
  virtual std::string UnixHome() = 0;
  // An absolute Linux path as a path the program opens: through drive Z:
  // under Wine ("/mnt/games" is "Z:\mnt\games"), unchanged natively; empty on
  // Windows itself and for a path that does not start with '/'.
  virtual std::string FromUnixPath(const std::string& path) = 0;
};

// The environment of the running program.
Environment& SystemEnvironment();

}  // namespace qm
