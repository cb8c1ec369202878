// qmnames: the name-pack console tool. See Qmnames.h, or run qmnames --help.

#include <iostream>
#include <string>
#include <vector>

#include "tools/qmnames/Qmnames.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return qm::qmnames::Run(args, std::cout, std::cerr);
}
