#include "4-behaviour/NameStore.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>

#include "1-platform/Failure.h"
#include "2-iff/BinarySupport.h"
#include "4-behaviour/GameFolder.h"

namespace qm {

namespace {

const std::string kCrLf = "\r\n";
const std::string kNotSavedTitle = "Names Not Saved";
const std::string kNotLoadedTitle = "Names Not Loaded";

// A file step that meets another process holding the file is tried again
// for about a second and a half before it counts as failed.
constexpr int kFileStepTries = 8;
constexpr int kFileStepPauseMs = 200;
// Another save holds the lock for as long as its own steps take, retries
// included: it is waited for, looking often, for about five seconds.
constexpr int kLockTries = 500;
constexpr int kLockPauseMs = 10;

// Replacing a file that another process holds open fails with access denied
// rather than a sharing violation, so the replace also retries that.
SysCode WithRetry(Sleeper& sleeper, const std::function<SysCode()>& step,
                  bool retryAccessDenied = false) {
  SysCode code = step();
  for (int attempt = 1; attempt < kFileStepTries; ++attempt) {
    const bool transient = code == syserr::kSharingViolation || code == syserr::kLockViolation ||
                           (retryAccessDenied && code == syserr::kAccessDenied);
    if (!transient) break;
    sleeper.SleepMs(kFileStepPauseMs);
    code = step();
  }
  return code;
}

SysCode TakeLock(FileSystem& files, Sleeper& sleeper, const std::string& path,
                 std::unique_ptr<FileLock>& lock) {
  SysCode code = files.Lock(path, lock);
  for (int attempt = 1; attempt < kLockTries && code == syserr::kLockViolation; ++attempt) {
    sleeper.SleepMs(kLockPauseMs);
    code = files.Lock(path, lock);
  }
  return code;
}

bool IsAbsent(SysCode code) {
  return code == syserr::kFileNotFound || code == syserr::kPathNotFound;
}

void ReportFileStep(MessageBoxes& messages, SysCode code, const std::string& path,
                    const std::string& detail = {}) {
  messages.Show("The names could not be saved." + kCrLf + detail + "Error " + std::to_string(code) +
                    ": " + SystemErrorText(code) + kCrLf + "File: " + path,
                kNotSavedTitle, MessageIcon::Critical);
}

// Why the game file at `path` was not read.
std::string ReadFailureText(SysCode code, const std::string& path) {
  if (code == syserr::kFileTooLarge) {
    return "The file " + path + " is larger than " + std::to_string(kMaxGameFileBytes >> 20) +
           " MiB, far larger than the game's own (about 1.2 MB): it was not read.";
  }
  return "The file " + path + " could not be read." + kCrLf + "Error " + std::to_string(code) +
         ": " + SystemErrorText(code);
}

// FNV-1a: enough to tell another program's file from the one loaded.
uint64_t Hash(std::string_view bytes) {
  uint64_t hash = 0xCBF29CE484222325u;
  for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
  return hash;
}

bool HasChunk(const IffFile& file, const Bytes& idFlags) {
  for (const IffChunk& chunk : file.Chunks) {
    if (chunk.Type == "STR#" && chunk.IdFlags == idFlags) return true;
  }
  return false;
}

// Why list `list`'s table cannot supply its names; empty when it can.
std::string ShortTableText(const IffFile& file, const StringTable& table, int list) {
  const NameListInfo& info = kNameListInfo[static_cast<size_t>(list)];
  const size_t held = table.Entries.size();
  if (held >= static_cast<size_t>(info.namesUsed)) return {};
  std::string text = "Subscript out of range: name list " + std::to_string(list) + " (" +
                     info.caption + ", STR# chunk " + info.idText + ") ";
  if (!HasChunk(file, HexTextToBytes(info.idText))) return text + "is missing";
  return text + "holds " + std::to_string(held) + " names, needs " + std::to_string(info.namesUsed);
}

// The first entry of list `list`'s names in `language`: its table's block of
// that language, or its first block.
size_t ListStart(const LanguageBlocks& blocks, int language) {
  return blocks.Locate(language).first;
}

// Decodes the seven name tables of `file` into `tables` with their language
// blocks, and their names in `language` into `lists`; `why` says which table
// cannot supply its names, if any.
void DecodeLists(const IffFile& file, std::array<StringTable, kListCount>& tables,
                 std::array<LanguageBlocks, kListCount>& blocks, int language, NameLists& lists,
                 std::string& why) {
  for (int k = 0; k < kListCount; ++k) {
    const NameListInfo& info = kNameListInfo[static_cast<size_t>(k)];
    StringTable& table = tables[static_cast<size_t>(k)];
    gsReadSTRSegment(file, table, HexTextToBytes(info.idText), false);
    why = ShortTableText(file, table, k);
    if (!why.empty()) return;
    blocks[static_cast<size_t>(k)] = FindLanguageBlocks(table, static_cast<size_t>(info.namesUsed));
    const size_t start = ListStart(blocks[static_cast<size_t>(k)], language);
    for (int r = 0; r < info.namesUsed; ++r) {
      lists.Cell(k, r) = table.Entries[start + static_cast<size_t>(r)].Value;
    }
  }
}

}  // namespace

bool NameStore::MakeBackup(const std::string& folder) {
  const std::string backup = folder + kBackupTail;
  if (services_.files.IsNormalFile(backup)) return true;
  // A backup that exists but is hidden is still a backup: never replace it.
  const std::string live = folder + kLiveTail;
  const SysCode code = services_.files.CopyNoOverwrite(live, backup);
  if (code == syserr::kOk || code == syserr::kFileExists) return true;
  const std::string what = SystemErrorText(code) + " (copying " + live + " to " + backup + ")";
  // A missing right is no fault of the program nor of the file: reported.
  if (code != syserr::kAccessDenied) services_.fatal.Fatal(static_cast<int32_t>(code), what);
  services_.messages.Show("The backup of the game's names could not be made." + kCrLf + "Error " +
                              std::to_string(code) + ": " + what,
                          "Backup Not Made", MessageIcon::Warning);
  return false;
}

bool NameStore::Load(const std::string& folder, NameLists& lists, int language) {
  Forget();
  const std::string live = folder + kLiveTail;
  FileStamp stamp;
  std::string image;
  SysCode code = services_.files.Stamp(live, stamp);
  if (code == syserr::kOk) code = services_.files.ReadAllUpTo(live, kMaxGameFileBytes, image);
  if (code != syserr::kOk) {
    services_.messages.Show(ReadFailureText(code, live), kNotLoadedTitle, MessageIcon::Critical);
    return false;
  }
  std::string why;
  try {
    gsReadIFFImage(liveFile_, image);
    DecodeLists(liveFile_, tables_, blocks_, language, lists, why);
  } catch (const IffError&) {
    Forget();
    throw;
  }
  if (!why.empty()) {
    services_.fatal.Fatal(static_cast<int32_t>(Fault::SubscriptOutOfRange), why);
  }
  known_ = {image.size(), stamp.lastWrite, true, Hash(image)};
  return true;
}

bool NameStore::ReadListsFrom(const std::string& path, NameLists& lists, std::string& why,
                              int language) {
  if (!services_.files.IsNormalFile(path)) {
    why = "The file " + path + " was not found.";
    return false;
  }
  std::string image;
  const SysCode code = services_.files.ReadAllUpTo(path, kMaxGameFileBytes, image);
  if (code != syserr::kOk) {
    why = ReadFailureText(code, path);
    return false;
  }
  // The file is only looked at: a failure in it is reported here, not by
  // the error window that halts the program.
  IffFile file;
  std::array<StringTable, kListCount> tables;
  std::array<LanguageBlocks, kListCount> blocks;
  NameLists read;
  try {
    gsReadIFFImage(file, image);
    DecodeLists(file, tables, blocks, language, read, why);
  } catch (const IffError& error) {
    why = "The file " + path + " could not be read." + kCrLf + "Error " +
          std::to_string(error.number()) + ": " + error.description();
    return false;
  }
  if (!why.empty()) {
    why = "The file " + path + " does not hold the seven name lists." + kCrLf + why;
    return false;
  }
  lists = read;
  return true;
}

void NameStore::Forget() {
  liveFile_ = IffFile{};
  tables_ = {};
  blocks_ = {};
  known_ = {};
}

std::vector<int> NameStore::Languages() const {
  std::vector<int> held;
  for (const LanguageBlocks& blocks : blocks_) {
    if (blocks.codes.size() < 2) continue;
    for (int code : blocks.codes) {
      if (std::find(held.begin(), held.end(), code) == held.end()) held.push_back(code);
    }
  }
  std::sort(held.begin(), held.end());
  return held;
}

int NameStore::ShownLanguage(int list, int language) const {
  const LanguageBlocks& blocks = blocks_.at(static_cast<size_t>(list));
  if (blocks.codes.size() < 2) return kMixedLanguages;
  return blocks.codes[ListStart(blocks, language) / blocks.length];
}

void NameStore::ReadLanguage(int language, NameLists& lists) const {
  for (int k = 0; k < kListCount; ++k) {
    const StringTable& table = tables_[static_cast<size_t>(k)];
    const size_t start = ListStart(blocks_[static_cast<size_t>(k)], language);
    for (int r = 0; r < kNameListInfo[static_cast<size_t>(k)].namesUsed; ++r) {
      const size_t at = start + static_cast<size_t>(r);
      lists.Cell(k, r) = at < table.Entries.size() ? table.Entries[at].Value : std::string();
    }
  }
}

void NameStore::PutNames(int language, const NameLists& lists, const NameLists* before) {
  for (int k = 0; k < kListCount; ++k) {
    StringTable& table = tables_[static_cast<size_t>(k)];
    const BlockStart start = blocks_[static_cast<size_t>(k)].Locate(language);
    // A block that stands in for another language's is also another
    // language's own: only the names edited in this language go into it.
    const bool onlyEdited = before && !start.held;
    for (int r = 0; r < kNameListInfo[static_cast<size_t>(k)].namesUsed; ++r) {
      const size_t at = start.first + static_cast<size_t>(r);
      if (at >= table.Entries.size()) break;
      if (onlyEdited && before->Cell(k, r) == lists.Cell(k, r)) continue;
      table.Entries[at].Value = lists.Cell(k, r);
    }
  }
}

SaveResult NameStore::Save(const std::string& folder, const NameLists& lists, bool overChanges,
                           int language) {
  // A table too short to hold the names is refused by SaveTables before
  // anything changes.
  for (int k = 0; k < kListCount; ++k) {
    if (!ShortTableText(liveFile_, tables_[static_cast<size_t>(k)], k).empty()) {
      return SaveTables(folder, overChanges);
    }
  }
  PutNames(language, lists);
  return SaveTables(folder, overChanges);
}

SaveResult NameStore::SaveTables(const std::string& folder, bool overChanges) {
  // Tables that were never loaded cannot take the names: say so before
  // anything changes.
  for (int k = 0; k < kListCount; ++k) {
    const std::string why = ShortTableText(liveFile_, tables_[static_cast<size_t>(k)], k);
    if (!why.empty()) {
      services_.messages.Show("The names could not be saved." + kCrLf + "Error " +
                                  std::to_string(static_cast<int32_t>(Fault::SubscriptOutOfRange)) +
                                  ": " + why,
                              kNotSavedTitle, MessageIcon::Critical);
      return SaveResult::NotSaved;
    }
  }

  for (int k = 0; k < kListCount; ++k) {
    gsWriteSTRSegment(liveFile_, tables_[static_cast<size_t>(k)],
                      HexTextToBytes(kNameListInfo[static_cast<size_t>(k)].idText), false);
  }
  // The writer builds the image in memory; putting the image on disk is a
  // file step like the others, so that a full disk or a write error is
  // reported and the edits are kept.
  Bytes image;
  gsWriteIFFImage(liveFile_, image);

  FileSystem& files = services_.files;
  const std::string temp = folder + kTempTail;
  const std::string live = folder + kLiveTail;
  const std::string lockPath = folder + kLockTail;

  std::unique_ptr<FileLock> lock;
  SysCode code = TakeLock(files, services_.sleeper, lockPath, lock);
  if (code != syserr::kOk) {
    ReportFileStep(services_.messages, code, lockPath,
                   code == syserr::kLockViolation
                       ? "Another save into this game (Quillmark or qmnames) has not finished; "
                         "try again once it has." +
                             kCrLf
                       : "");
    return SaveResult::NotSaved;
  }

  // A leftover temporary file goes first, even a read-only or hidden one.
  code = WithRetry(services_.sleeper, [&] { return files.SetNormal(temp); });
  if (code == syserr::kOk) code = WithRetry(services_.sleeper, [&] { return files.Remove(temp); });
  if (code != syserr::kOk && !IsAbsent(code)) {
    ReportFileStep(services_.messages, code, temp);
    return SaveResult::NotSaved;
  }

  code = WriteNewFile(temp, image);
  if (code != syserr::kOk) {
    ReportFileStep(services_.messages, code, temp);
    files.Remove(temp);
    return SaveResult::NotSaved;
  }

  bool changed = false;
  if (!overChanges) code = LookForChanges(live, changed);
  if (code != syserr::kOk || changed) {
    if (code != syserr::kOk) ReportFileStep(services_.messages, code, live);
    files.Remove(temp);
    return changed ? SaveResult::Changed : SaveResult::NotSaved;
  }

  if (!ReplaceLiveFile(temp, live)) {
    files.Remove(temp);
    return SaveResult::NotSaved;
  }
  // What was written is now the file to compare with.
  FileStamp stamp;
  const bool stamped = files.Stamp(live, stamp) == syserr::kOk;
  known_ = {image.size(), stamp.lastWrite, stamped, Hash(image)};
  return SaveResult::Saved;
}

// Whether live.iff differs from the file loaded or last saved: in size, in
// last-write time (when known) or in its bytes. A live.iff that is gone, or
// has grown past any game file, has changed too.
SysCode NameStore::LookForChanges(const std::string& live, bool& changed) {
  FileSystem& files = services_.files;
  FileStamp stamp;
  SysCode code = WithRetry(services_.sleeper, [&] { return files.Stamp(live, stamp); });
  if (code == syserr::kOk &&
      (stamp.size != known_.size || (known_.timeKnown && stamp.lastWrite != known_.lastWrite))) {
    changed = true;
    return syserr::kOk;
  }
  std::string bytes;
  if (code == syserr::kOk) {
    code = WithRetry(services_.sleeper,
                     [&] { return files.ReadAllUpTo(live, kMaxGameFileBytes, bytes); });
  }
  if (IsAbsent(code) || code == syserr::kFileTooLarge) {
    changed = true;
    return syserr::kOk;
  }
  changed = code == syserr::kOk && Hash(bytes) != known_.hash;
  return code;
}

// Writes `image` to a new file at `path` and flushes it to the device.
SysCode NameStore::WriteNewFile(const std::string& path, const Bytes& image) {
  std::unique_ptr<OutputFile> out;
  SysCode code = WithRetry(services_.sleeper, [&] { return services_.files.Create(path, out); });
  if (code != syserr::kOk) return code;
  code = out->Write(image);
  if (code != syserr::kOk) return code;
  return out->Commit();
}

// Puts the complete new file in place of live.iff in one step, so that at
// every moment one of the two names holds a complete file.
bool NameStore::ReplaceLiveFile(const std::string& temp, const std::string& live) {
  FileSystem& files = services_.files;
  SysCode code = WithRetry(services_.sleeper, [&] { return files.SetNormal(live); });
  if (code != syserr::kOk && !IsAbsent(code)) {
    ReportFileStep(services_.messages, code, live);
    return false;
  }
  code = WithRetry(
      services_.sleeper, [&] { return files.Replace(temp, live); }, true);
  if (code != syserr::kOk) {
    ReportFileStep(services_.messages, code, live);
    return false;
  }
  return true;
}

}  // namespace qm
