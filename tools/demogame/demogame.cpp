// demogame FOLDER: writes a made-up game folder (Sims.exe and
// GameData/live.iff) for trying Quillmark out.

#include <cstdio>
#include <string>

#include "2-iff/IffFile.h"
#include "tools/demogame/DemoGame.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demogame FOLDER\n");
    return 2;
  }
  const std::string error = qm::demo::WriteDemoGame(argv[1]);
  if (!error.empty()) {
    std::fprintf(stderr, "demogame: %s\n", error.c_str());
    return 1;
  }
  std::printf("demo game written to %s\n", argv[1]);
  return 0;
}
