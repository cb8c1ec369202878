#include "4-behaviour/LanguageBlocks.h"

#include <array>

#include "4-behaviour/Languages.h"

namespace qm {

BlockStart LanguageBlocks::Locate(int code) const {
  const int wanted = NormalLanguageCode(code);
  for (size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] == wanted) return {i * length, true};
  }
  return {0, false};
}

LanguageBlocks FindLanguageBlocks(const StringTable& table, size_t namesShown) {
  struct Run {
    int code;
    size_t length;
  };
  std::vector<Run> runs;
  for (const StringEntry& entry : table.Entries) {
    const int code = NormalLanguageCode(
        entry.LanguageCode.empty() ? 0 : static_cast<unsigned char>(entry.LanguageCode[0]));
    if (runs.empty() || runs.back().code != code) runs.push_back({code, 0});
    ++runs.back().length;
  }

  LanguageBlocks blocks;
  if (runs.empty()) return blocks;
  const size_t length = runs.front().length;
  bool split = runs.size() >= 2 && length >= namesShown;
  std::array<bool, 256> seen{};
  for (const Run& run : runs) {
    split = split && run.length == length && !seen[static_cast<size_t>(run.code)];
    seen[static_cast<size_t>(run.code)] = true;
  }
  if (split) {
    for (const Run& run : runs) blocks.codes.push_back(run.code);
    blocks.length = length;
  } else {
    blocks.codes.push_back(runs.size() == 1 ? runs.front().code : kMixedLanguages);
    blocks.length = table.Entries.size();
  }
  return blocks;
}

}  // namespace qm
