#include "4-behaviour/GameSearch.h"

#include <initializer_list>
#include <set>
#include <vector>

#include "4-behaviour/GameFolder.h"
#include "4-behaviour/LibraryFolders.h"

namespace qm {

namespace {

// Steam's folder as Steam wrote it ("c:/program files (x86)/steam"), or the
// empty text.
std::string SteamFolder(Registry& registry) {
  const std::string value =
      registry.ReadString(RegistryHive::CurrentUser, "Software\\Valve\\Steam", "SteamPath");
  return value == kRegistryError ? "" : value;
}

class Search {
 public:
  explicit Search(const SearchServices& services)
      : services_(services), separator_(services.environment.Separator()) {}

  // The known places in their order; true once a folder holds the game.
  bool Run() {
    Environment& environment = services_.environment;
    if (InSteam(SteamFolder(services_.registry), false)) return true;

    const std::string home = environment.UnixHome();
    if (InSteam(Join(home, {".steam", "steam"}), true) ||
        InSteam(Join(home, {".local", "share", "Steam"}), true)) {
      return true;
    }

    // A 64-bit program sees ProgramW6432 and ProgramFiles both as the 64-bit
    // folder; a 32-bit one sees the latter as the x86 folder.
    const std::string programFiles = environment.Variable("ProgramW6432");
    const std::string programFilesAsSeen = environment.Variable("ProgramFiles");
    const std::string programFilesX86 = environment.Variable("ProgramFiles(x86)");
    return At(Join(programFiles, {"EA Games", "The Sims Legacy"})) ||
           At(Join(programFilesAsSeen, {"EA Games", "The Sims Legacy"})) ||
           At(Join(programFilesX86, {"Maxis", "The Sims"})) ||
           At(Join(programFiles, {"Maxis", "The Sims"})) ||
           At(Join(programFilesAsSeen, {"Maxis", "The Sims"}));
  }

  const std::string& Found() const { return found_; }

  bool HoldsSimsExe(const std::string& folder) const {
    if (folder.empty() || folder == kRegistryError) return false;
    const std::string base = Join(folder, {});
    return !base.empty() && services_.files.IsNormalFile(base + kSimsExeTail);
  }

 private:
  // `path` with the platform's separators and none at its end; a parts list
  // joined onto it. Empty for an empty `path`.
  std::string Join(std::string path, std::initializer_list<const char*> parts) const {
    if (separator_ == '\\') {
      for (char& c : path) {
        if (c == '/') c = '\\';
      }
    }
    while (!path.empty() && path.back() == separator_) path.pop_back();
    if (path.empty()) return "";
    for (const char* part : parts) path += separator_ + std::string(part);
    return path;
  }

  // The libraries Steam in `steam` lists, then `steam` itself. Paths in a
  // Linux Steam's list are Linux paths.
  bool InSteam(const std::string& steam, bool linuxSteam) {
    if (steam.empty()) return false;
    std::string text;
    std::vector<std::string> libraries;
    const std::string list = Join(steam, {"steamapps", "libraryfolders.vdf"});
    if (services_.files.ReadAllUpTo(list, kLibraryFoldersMaxBytes, text) == syserr::kOk) {
      ParseLibraryFolders(text, libraries);  // a damaged list names none
    }
    for (const std::string& library : libraries) {
      if (InLibrary(linuxSteam ? services_.environment.FromUnixPath(library) : library)) {
        return true;
      }
    }
    return InLibrary(steam);
  }

  bool InLibrary(const std::string& library) {
    return At(Join(library, {"steamapps", "common", kSteamGameFolder}));
  }

  // Each folder is looked at once (letter case ignored on Windows).
  bool At(const std::string& folder) {
    if (folder.empty()) return false;
    std::string key = folder;
    if (separator_ == '\\') {
      for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      }
    }
    if (!tried_.insert(key).second) return false;
    if (!services_.files.IsNormalFile(folder + kSimsExeTail) ||
        !services_.files.IsNormalFile(folder + kLiveTail)) {
      return false;
    }
    found_ = folder;
    return true;
  }

  const SearchServices& services_;
  char separator_;
  std::set<std::string> tried_;
  std::string found_;
};

}  // namespace

bool HoldsSimsExe(const std::string& folder, const SearchServices& services) {
  return Search(services).HoldsSimsExe(folder);
}

std::string SearchKnownPlaces(const SearchServices& services) {
  Search search(services);
  return search.Run() ? search.Found() : "";
}

std::string LocateGame(const std::string& registryFolder, const SearchServices& services) {
  if (HoldsSimsExe(registryFolder, services)) return registryFolder;
  return SearchKnownPlaces(services);
}

}  // namespace qm
