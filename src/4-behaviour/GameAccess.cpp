#include "4-behaviour/GameAccess.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

#include "4-behaviour/GameFolder.h"

namespace qm {

namespace {

// A name no other program (nor a second Quillmark probing at the same time)
// uses: the time and a random number.
std::string ProbeName() {
  std::random_device device;
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  char name[64];
  std::snprintf(name, sizeof(name), "Dorvane_probe_%llx_%08x.tmp",
                static_cast<unsigned long long>(ticks), static_cast<unsigned>(device()));
  return name;
}

}  // namespace

bool CanWriteGameData(FileSystem& files, const std::string& folder) {
  const std::string probe = folder + kDataTail + "\\" + ProbeName();
  std::unique_ptr<OutputFile> out;
  const SysCode code = files.Create(probe, out);
  if (code != syserr::kOk) return code != syserr::kAccessDenied;
  out.reset();  // closed empty, never committed
  files.Remove(probe);
  return true;
}

std::string ProtectedFolderText(const std::string& folder) {
  return "Quillmark may read but not write the game's folder:\r\n" + folder + kDataTail +
         "\r\n\r\nWindows protects this folder (it lies under Program Files, or its permissions "
         "let you only read it). The names are shown, but they cannot be saved there.";
}

std::string GameOptionArguments(const std::string& game) {
  // A backslash before the closing quote would escape it: double a trailing one.
  std::string folder = game;
  if (!folder.empty() && folder.back() == '\\') folder += '\\';
  return "--game \"" + folder + "\"";
}

std::string VirtualStoreFolder(Environment& environment, FileSystem& files,
                               const std::string& game) {
  if (game.size() < 3 || game[1] != ':' || game[2] != '\\') return {};
  const std::string local = environment.Variable("LOCALAPPDATA");
  if (local.empty()) return {};
  std::string folder = local + "\\VirtualStore" + game.substr(2);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return files.IsNormalFile(folder + kLiveTail) ? folder : std::string();
}

}  // namespace qm
