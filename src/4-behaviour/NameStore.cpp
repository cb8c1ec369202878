#include "4-behaviour/NameStore.h"

#include <functional>
#include <memory>

#include "1-platform/Failure.h"
#include "2-iff/BinarySupport.h"
#include "4-behaviour/GameFolder.h"

namespace qm {

namespace {

const std::string kCrLf = "\r\n";
const std::string kNotSavedTitle = "Names Not Saved";

// A file step that meets another process holding the file is tried again
// for about a second and a half before it counts as failed.
constexpr int kFileStepTries = 8;
constexpr int kFileStepPauseMs = 200;

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

bool IsAbsent(SysCode code) {
  return code == syserr::kFileNotFound || code == syserr::kPathNotFound;
}

void ReportFileStep(MessageBoxes& messages, SysCode code, const std::string& path) {
  messages.Show("The names could not be saved." + kCrLf + "Error " + std::to_string(code) + ": " +
                    SystemErrorText(code) + kCrLf + "File: " + path,
                kNotSavedTitle, MessageIcon::Critical);
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

// Decodes the seven name tables of `file` into `tables` and their names into
// `lists`; `why` says which table cannot supply its names, if any.
void DecodeLists(const IffFile& file, std::array<StringTable, kListCount>& tables, NameLists& lists,
                 std::string& why) {
  for (int k = 0; k < kListCount; ++k) {
    const NameListInfo& info = kNameListInfo[static_cast<size_t>(k)];
    StringTable& table = tables[static_cast<size_t>(k)];
    gsReadSTRSegment(file, table, HexTextToBytes(info.idText), false);
    why = ShortTableText(file, table, k);
    if (!why.empty()) return;
    for (int r = 0; r < info.namesUsed; ++r) {
      lists.Cell(k, r) = table.Entries[static_cast<size_t>(r)].Value;
    }
  }
}

}  // namespace

void NameStore::MakeBackup(const std::string& folder) {
  const std::string backup = folder + kBackupTail;
  if (services_.files.IsNormalFile(backup)) return;
  // A backup that exists but is hidden is still a backup: never replace it.
  const std::string live = folder + kLiveTail;
  const SysCode code = services_.files.CopyNoOverwrite(live, backup);
  if (code != syserr::kOk && code != syserr::kFileExists) {
    services_.fatal.Fatal(static_cast<int32_t>(code),
                          SystemErrorText(code) + " (copying " + live + " to " + backup + ")");
  }
}

void NameStore::Load(const std::string& folder, NameLists& lists) {
  std::string why;
  try {
    gsReadIFF(liveFile_, folder + kLiveTail, services_.files);
    DecodeLists(liveFile_, tables_, lists, why);
  } catch (const IffError&) {
    Forget();
    throw;
  }
  if (!why.empty()) {
    services_.fatal.Fatal(static_cast<int32_t>(Fault::SubscriptOutOfRange), why);
  }
}

bool NameStore::ReadListsFrom(const std::string& path, NameLists& lists, std::string& why) {
  if (!services_.files.IsNormalFile(path)) {
    why = "The file " + path + " was not found.";
    return false;
  }
  // The file is only looked at: a failure in it is reported here, not by
  // the error window that halts the program.
  IffFile file;
  std::array<StringTable, kListCount> tables;
  NameLists read;
  try {
    gsReadIFF(file, path, services_.files);
    DecodeLists(file, tables, read, why);
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
}

bool NameStore::Save(const std::string& folder, const NameLists& lists) {
  // Tables that were never loaded cannot take the names: say so before
  // anything changes.
  for (int k = 0; k < kListCount; ++k) {
    const std::string why = ShortTableText(liveFile_, tables_[static_cast<size_t>(k)], k);
    if (!why.empty()) {
      services_.messages.Show("The names could not be saved." + kCrLf + "Error " +
                                  std::to_string(static_cast<int32_t>(Fault::SubscriptOutOfRange)) +
                                  ": " + why,
                              kNotSavedTitle, MessageIcon::Critical);
      return false;
    }
  }

  for (int k = 0; k < kListCount; ++k) {
    const NameListInfo& info = kNameListInfo[static_cast<size_t>(k)];
    StringTable& table = tables_[static_cast<size_t>(k)];
    for (int r = 0; r < info.namesUsed; ++r) {
      table.Entries[static_cast<size_t>(r)].Value = lists.Cell(k, r);
    }
    gsWriteSTRSegment(liveFile_, table, HexTextToBytes(info.idText), false);
  }

  FileSystem& files = services_.files;
  const std::string temp = folder + kTempTail;
  const std::string live = folder + kLiveTail;

  // A leftover temporary file goes first, even a read-only or hidden one.
  SysCode code = WithRetry(services_.sleeper, [&] { return files.SetNormal(temp); });
  if (code == syserr::kOk) code = WithRetry(services_.sleeper, [&] { return files.Remove(temp); });
  if (code != syserr::kOk && !IsAbsent(code)) {
    ReportFileStep(services_.messages, code, temp);
    return false;
  }

  // The writer builds the image in memory; putting the image on disk is a
  // file step like the others, so that a full disk or a write error is
  // reported and the edits are kept.
  Bytes image;
  gsWriteIFFImage(liveFile_, image);
  code = WriteNewFile(temp, image);
  if (code != syserr::kOk) {
    ReportFileStep(services_.messages, code, temp);
    files.Remove(temp);
    return false;
  }

  if (!ReplaceLiveFile(temp, live)) {
    files.Remove(temp);
    return false;
  }
  return true;
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
