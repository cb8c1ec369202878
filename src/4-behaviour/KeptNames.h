#pragma once
// The names a player last saved into a game, kept as a name pack in the
// user's own data folder, so that a game update or a file check that puts
// the game's own live.iff back does not lose them. One file per game folder
// and language; a marker beside it records that the player declined to put
// them back, until the next save.

#include <string>

#include "1-platform/CodePage.h"
#include "1-platform/Environment.h"
#include "1-platform/FileSystem.h"
#include "3-state/AppState.h"
#include "4-behaviour/NamePack.h"
#include "4-behaviour/NameStore.h"

namespace qm {

// The user's data folder for Quillmark: %APPDATA%\Quillmark on Windows,
// $XDG_DATA_HOME/quillmark natively, else ~/.local/share/quillmark. Empty
// when the environment names none: nothing is kept then.
std::string KeptNamesFolder(Environment& environment);

// Whether the seven lists hold the same names.
bool SameNames(const NameLists& a, const NameLists& b);

class KeptNames {
 public:
  // The kept names of game folder `game` in language `language` (a
  // language code; kMixedLanguages for a one-block table of mixed codes).
  // `codePages`: each list's, as the names of that language are shown.
  KeptNames(FileSystem& files, Environment& environment, const ListCodePages& codePages,
            const std::string& game, int language);

  int Language() const { return language_; }

  // The kept names' file: "<folder's name> <hash of its path> <language>.txt"
  // in the data folder; empty when there is no data folder.
  const std::string& Path() const { return path_; }

  // After a successful save of `saved` into the game: writes them to Path()
  // (temporary file, flush, rename), or removes the kept file when they are
  // `own`, the game's own names (null when unknown). Either way the
  // declined marker goes. kOk, or the failure of the step on `failedPath`.
  SysCode Keep(const NameLists& saved, const NameLists* own, std::string& failedPath);

  // The kept file read over `current`: kOk, kFileNotFound when nothing is
  // kept, or the failure of reading it.
  SysCode Read(const NameLists& current, PackReading& reading);

  // The player answered No to putting the kept names back.
  bool Declined();
  void Decline();

 private:
  FileSystem& files_;
  ListCodePages codePages_;
  std::string game_;
  int language_;
  char separator_;
  std::string folder_;
  std::string path_;
  std::string marker_;
};

// The game's own names in `language`: those of original_live.iff. False
// when there is no readable backup.
bool ReadGameOwnNames(NameStore& store, const std::string& game, int language, NameLists& own);

// The kept names to offer back: true when live.iff's names `live` are the
// game's own again (the backup's, or `live` itself when the game has no
// backup yet) while names are kept that differ from them and the player has
// not declined them.
bool KeptNamesToOffer(KeptNames& kept, NameStore& store, FileSystem& files, const std::string& game,
                      const NameLists& live, NameLists& offered);

}  // namespace qm
