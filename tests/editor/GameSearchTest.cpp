// Finding the game when the registry names none: Steam's libraries first,
// then the Linux user's (under Wine through drive Z:, natively as they are),
// then the EA app's and the classic folders. A stored setting or a registry
// folder that holds the game leaves all of it unlooked at.

#include <gtest/gtest.h>

#include <string>

#include "4-behaviour/GameSearch.h"
#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

const std::string kSteamGame = "\\steamapps\\common\\The Sims Legacy Collection";

// libraryfolders.vdf as Steam writes it, one library block per path (each
// given as it appears in the file, backslashes escaped).
std::string LibraryFolders(const std::vector<std::string>& escapedPaths) {
  std::string text = "\"libraryfolders\"\n{\n";
  for (size_t i = 0; i < escapedPaths.size(); ++i) {
    text += "\t\"" + std::to_string(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + escapedPaths[i] +
            "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"1024\"\n\t\t}\n"
            "\t}\n";
  }
  return text + "}\n";
}

class GameSearchTest : public EditorHarness {
 protected:
  void SetUp() override {
    environment.variables = {{"ProgramW6432", "C:\\Program Files"},
                             {"ProgramFiles", "C:\\Program Files"},
                             {"ProgramFiles(x86)", "C:\\Program Files (x86)"}};
  }
  // The fixture's game, copied to `folder`; `withLive` false leaves out live.iff.
  void GameAt(const std::string& folder, bool withLive = true) {
    fs.AddFile(folder + "\\Sims.exe", "MZ");
    if (withLive) fs.AddFile(folder + "\\GameData\\live.iff", *fs.Contents(kLivePath));
  }
  SearchServices Services() { return {registry, fs, environment}; }
};

TEST_F(GameSearchTest, FirstSteamLibraryHoldingBothFilesSeedsTheSettingAndLoadsWithoutMessage) {
  InstallGame(fs);  // only the source of live.iff: the registry names no folder
  registry.SetString(RegistryHive::CurrentUser, "Software\\Valve\\Steam", "SteamPath",
                     "c:/program files (x86)/steam");
  fs.AddFile("C:\\Program Files (x86)\\Steam\\steamapps\\libraryfolders.vdf",
             LibraryFolders({"C:\\\\Program Files (x86)\\\\Steam", "D:\\\\SteamLibrary",
                             "E:\\\\Games\\\\Steam"}));
  GameAt("D:\\SteamLibrary" + kSteamGame, false);  // no live.iff: passed over
  const std::string steamGame = "E:\\Games\\Steam" + kSteamGame;
  GameAt(steamGame);
  GameAt("C:\\Program Files (x86)\\Maxis\\The Sims");  // a classic folder comes after Steam

  editor.OnLoad();
  EXPECT_EQ(Setting(), steamGame);
  editor.OnActivate();
  EXPECT_TRUE(messages.shown.empty()) << messages.shown.at(0).title;
  EXPECT_EQ(view.items.at(0), FixtureName(0, 0));

  // Without the Steam game, the classic folder in Program Files (x86).
  fs.Erase(steamGame + "\\Sims.exe");
  EXPECT_EQ(SearchKnownPlaces(Services()), "C:\\Program Files (x86)\\Maxis\\The Sims");
}

TEST_F(GameSearchTest, LinuxLibrariesThroughDriveZUnderWineAndAsTheyAreNatively) {
  const std::string lists[] = {"/home/deck/.steam/steam/steamapps/libraryfolders.vdf",
                               "/home/deck/.local/share/Steam/steamapps/libraryfolders.vdf"};
  const std::string card = "/run/media/mmcblk0p1/steamapps/common/The Sims Legacy Collection";
  for (const bool wine : {true, false}) {
    SCOPED_TRACE(wine ? "under Wine" : "natively");
    MemoryFileSystem files;
    const auto path = [wine](std::string linux) {
      if (!wine) return linux;
      for (char& c : linux) c = c == '/' ? '\\' : c;
      return "Z:" + linux;
    };
    if (wine) {
      environment.UnderWine("/home/deck");
    } else {
      environment.Native("/home/deck");
    }
    files.AddFile(path(lists[0]),
                  "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\"/mnt");  // cut off
    files.AddFile(path(lists[1]),
                  LibraryFolders({"/home/deck/.local/share/Steam", "/run/media/mmcblk0p1"}));
    files.AddFile(path(card + "/Sims.exe"), "MZ");
    files.AddFile(path(card + "/GameData/live.iff"), "IFF");
    EXPECT_EQ(SearchKnownPlaces({registry, files, environment}), path(card));
  }
}

TEST_F(GameSearchTest, StoredSettingIsKeptAndNothingIsSearched) {
  InstallGame(fs);
  registry.SetString(RegistryHive::CurrentUser, "Software\\Valve\\Steam", "SteamPath", "D:/Steam");
  GameAt("D:\\Steam" + kSteamGame);
  UseSetting("C:\\Games\\Old Copy");
  editor.OnLoad();
  EXPECT_EQ(gSimsPath, "C:\\Games\\Old Copy");
  EXPECT_EQ(settings.saves, 0);
  EXPECT_TRUE(fs.Log().empty());
  EXPECT_TRUE(environment.asked.empty());
  EXPECT_EQ(registry.reads, std::vector<std::string>{"Software\\Maxis\\The Sims\\InstallPath"});
}

}  // namespace
}  // namespace qm::test
