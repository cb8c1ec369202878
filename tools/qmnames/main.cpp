// qmnames: the name-pack console tool. See Qmnames.h, or run qmnames --help.

#include <iostream>
#include <string>
#include <vector>

#include "tools/qmnames/Qmnames.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include "1-platform/Utf16_win.h"

// The arguments as typed, in UTF-8: argv holds them in the ANSI code page,
// which cannot spell every folder's name.
std::vector<std::string> Arguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) args.push_back(qm::Utf8(wide[i]));
    LocalFree(wide);
  }
  return args;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }
#endif

int main(int argc, char** argv) {
  return qm::qmnames::Run(Arguments(argc, argv), std::cout, std::cerr);
}
