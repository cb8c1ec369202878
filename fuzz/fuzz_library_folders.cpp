// Steam's library list: any input is read or refused, never a crash or a
// hang. A list that reads keeps within the limits, and written back the way
// Steam writes it, it reads back to the same paths.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "4-behaviour/LibraryFolders.h"
#include "FuzzSupport.h"

namespace qm::fuzz {
namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

int RunLibraryFolders(std::string_view input) {
  std::vector<std::string> paths{"stale"};
  if (!ParseLibraryFolders(input, paths)) {
    Require(paths.empty(), "a refused list names no library");
    return 0;
  }
  Require(input.size() <= kLibraryFoldersMaxBytes, "a list that reads is within the size limit");
  Require(paths.size() <= kLibraryFoldersMaxLibraries, "no more libraries than the limit");
  std::string again = "\"libraryfolders\"\n{\n";
  for (size_t i = 0; i < paths.size(); ++i) {
    Require(!paths[i].empty() && paths[i].size() <= kLibraryFoldersMaxPathBytes,
            "each path is within the path limit");
    again += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + Escaped(paths[i]) +
             "\"\n\t}\n";
  }
  again += "}\n";
  std::vector<std::string> back;
  Require(ParseLibraryFolders(again, back), "a list written back reads");
  Require(back == paths, "a list written back reads as the same paths");
  return 0;
}

}  // namespace
}  // namespace qm::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return qm::fuzz::RunLibraryFolders(qm::fuzz::AsBytes(data, size));
}
