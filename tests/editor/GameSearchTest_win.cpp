// GameSearch on Windows' own file system, in folders whose names no single
// ANSI code page can spell: Steam's list names its libraries in UTF-8.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "4-behaviour/GameSearch.h"
#include "platform/TempFolder.h"
#include "support/UiFakes.h"

namespace qm::test {
namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  const std::filesystem::path file = TempFolder::FsPath(path);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

TEST(GameSearchOnWindows, FindsTheGameInASteamLibraryNamedBeyondTheCodePage) {
  const TempFolder root;  // its own name is beyond the code page too
  const std::string steam = root.Path("Steam");
  const std::string library = root.Path(
      "Biblioteka \xC5\x81\xC3\xB3"
      "d\xC5\xBA \xE6\x97\xA5\xE6\x9C\xAC");
  std::string escaped;
  for (char c : library) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  WriteFile(steam + "\\steamapps\\libraryfolders.vdf",
            "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + escaped + "\"\n\t}\n}\n");
  const std::string game = library + "\\steamapps\\common\\The Sims Legacy Collection";
  WriteFile(game + "\\Sims.exe", "MZ");
  WriteFile(game + "\\GameData\\live.iff", "IFF");
  FakeRegistry registry;
  registry.SetString(RegistryHive::CurrentUser, "Software\\Valve\\Steam", "SteamPath", steam);

  EXPECT_EQ(SearchKnownPlaces({registry, SystemFileSystem(), SystemEnvironment()}), game);
}

}  // namespace
}  // namespace qm::test
