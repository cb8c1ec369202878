// Runs a fuzz target's entry point over files without libFuzzer: each
// argument is a file or a folder whose files are run in name order. A broken
// property aborts, as it does under the fuzzer. Finding no file at all is a
// failure, so that a mistyped folder cannot pass.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace qm::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesOf(const fs::path& arg) {
  std::vector<fs::path> files;
  if (fs::is_directory(arg)) {
    for (const fs::directory_entry& entry : fs::directory_iterator(arg)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
  } else if (fs::is_regular_file(arg)) {
    files.push_back(arg);
  }
  return files;
}

int Replay(int argc, char** argv) {
  size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::vector<fs::path> files = FilesOf(argv[i]);
    if (files.empty()) {
      std::fprintf(stderr, "%s: no files\n", argv[i]);
      return 1;
    }
    for (const fs::path& path : files) {
      std::ifstream in(path, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
        return 1;
      }
      std::fprintf(stderr, "%s (%zu bytes)\n", path.c_str(), bytes.size());
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++count;
    }
  }
  if (count == 0) {
    std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...\n", argv[0]);
    return 1;
  }
  std::printf("%zu files replayed\n", count);
  return 0;
}

}  // namespace
}  // namespace qm::fuzz

int main(int argc, char** argv) { return qm::fuzz::Replay(argc, argv); }
