#pragma once
// The seven name lists of one game folder's live.iff: loading them, the
// one-time backup, reading the backup's lists, and saving. The main window
// and the console tool both use it; the window adds selection and editing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "1-platform/FileSystem.h"
#include "1-platform/Ui.h"
#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "3-state/AppState.h"
#include "4-behaviour/LanguageBlocks.h"
#include "4-behaviour/Languages.h"

namespace qm {

struct GameServices {
  FileSystem& files;
  MessageBoxes& messages;
  FatalErrors& fatal;
  Sleeper& sleeper;
};

// The largest live.iff or original_live.iff read; the game's own is about
// 1.2 MB.
inline constexpr size_t kMaxGameFileBytes = size_t{32} << 20;

enum class SaveResult {
  Saved,
  NotSaved,  // a message has said why
  Changed,   // live.iff is no longer the file loaded: nothing was written
};

class NameStore {
 public:
  explicit NameStore(const GameServices& services) : services_(services) {}

  // Copies live.iff to original_live.iff once: an existing backup, hidden
  // or not, is never replaced. True when the backup is there. A copy that
  // the system refuses for want of rights is reported and gives false; any
  // other failure is unexpected: Fatal.
  bool MakeBackup(const std::string& folder);

  // Each list's names in a language are its table's block of that language,
  // or its first block (US English) where the table lacks it; a one-block
  // table's names are its first entries whatever the language.

  // Reads the folder's live.iff and its seven name tables and puts the
  // names in `language` into `lists`, remembering the file's size, last-write time and
  // bytes. False when the file could not be read (a message has said why):
  // nothing of it is kept. Throws IffError when it is not the game's format,
  // keeping nothing either. A table that is missing or too short ends the
  // program (Fatal).
  bool Load(const std::string& folder, NameLists& lists, int language = kUsEnglish);

  // The seven lists in `language` of the IFF file at `path` (the backup),
  // without keeping it. False with `why` set when it cannot be read or lacks
  // a list.
  bool ReadListsFrom(const std::string& path, NameLists& lists, std::string& why,
                     int language = kUsEnglish);

  // The languages of the loaded tables that hold blocks, by code, ascending.
  std::vector<int> Languages() const;
  // The language of the block that list `list` shows for `language`;
  // kMixedLanguages for a one-block table.
  int ShownLanguage(int list, int language) const;
  // The loaded (or last saved) names in `language`.
  void ReadLanguage(int language, NameLists& lists) const;
  // Puts the names of `lists` into the blocks of `language` in the tables;
  // with `before` (the names as read), a table lacking the language takes
  // only the names that differ from it into its first block.
  void PutNames(int language, const NameLists& lists, const NameLists* before = nullptr);

  // Puts `lists` into the blocks of `language` and the tables into the image, then
  // replaces live.iff: a temporary file beside it, written and flushed, put
  // in its place by one replacing rename, retried while another program
  // holds the file. The whole of it runs under the lock beside live.iff,
  // which every save of this program (window or console) takes, so that two
  // saves never mix their files. Just before the rename, live.iff must still
  // be the file loaded (or last saved): otherwise nothing is written and the
  // result is Changed, unless `overChanges`. NotSaved when a step failed: a
  // "Names Not Saved" message says why, and live.iff is as it was. Throws
  // IffError when the tables or the image cannot be encoded; live.iff is
  // then as it was too.
  SaveResult Save(const std::string& folder, const NameLists& lists, bool overChanges = false,
                  int language = kUsEnglish);
  // Save of the tables as they stand (PutNames has put the names in).
  SaveResult SaveTables(const std::string& folder, bool overChanges = false);

  // Drops the loaded image and tables.
  void Forget();

  const IffFile& LiveFile() const { return liveFile_; }
  const StringTable& ListTable(int list) const { return tables_.at(static_cast<size_t>(list)); }

 private:
  // What live.iff was when loaded or last saved.
  struct Known {
    uint64_t size = 0;
    uint64_t lastWrite = 0;
    bool timeKnown = false;
    uint64_t hash = 0;
  };

  SysCode WriteNewFile(const std::string& path, const Bytes& image);
  // kOk with `changed` set, or the failure of a look at live.iff.
  SysCode LookForChanges(const std::string& live, bool& changed);
  bool ReplaceLiveFile(const std::string& temp, const std::string& live);

  GameServices services_;
  IffFile liveFile_;
  std::array<StringTable, kListCount> tables_;
  std::array<LanguageBlocks, kListCount> blocks_;
  Known known_;
};

}  // namespace qm
