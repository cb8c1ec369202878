#include "4-behaviour/NameEditor.h"

#include <functional>
#include <memory>
#include <string>

#include "1-platform/Failure.h"
#include "2-iff/BinarySupport.h"
#include "3-state/AppState.h"
#include "4-behaviour/GameFolder.h"

namespace qm {

namespace {

const std::string kCrLf = "\r\n";
const std::string kPathTitle = "Path to The Sims not found!";
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

std::string Caption() {
  return std::string(kProductName) + " - Version " + std::to_string(kVersionMajor) + "." +
         std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

// Empty when gSimsPath names a folder to try.
std::string FolderMessage(const std::string& simsPath) {
  const std::string useSetPath =
      "Please use the Set Path option on the Options menu to locate The Sims.";
  if (simsPath.empty()) {
    return "The path to The Sims was not found in the registry." + kCrLf + useSetPath;
  }
  if (simsPath == kRegistryError) {
    return "GetRegistryString failed on error." + kCrLf + "The path to The Sims can not be found." +
           kCrLf + useSetPath;
  }
  return {};
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

}  // namespace

NameEditor::NameEditor(MainView& view, const EditorServices& services)
    : view_(view), services_(services) {}

void NameEditor::OnLoad() {
  const std::string fromRegistry = RegistryInstallPath(services_.registry, services_.fatal);
  // The registry only seeds the setting; once set, the setting decides.
  std::string setting = services_.settings.Get(kSettingsApp, kSettingsSection, kSettingsKey);
  if (setting.empty()) {
    services_.settings.Save(kSettingsApp, kSettingsSection, kSettingsKey, fromRegistry);
    setting = fromRegistry;
  }
  gSimsPath = setting;
}

void NameEditor::OnActivate() {
  // What was loaded or shown so far belongs to the folder in use until now:
  // none of it may reach the tables loaded below, nor be saved into this
  // folder when its tests fail.
  ForgetLoadedGame();

  view_.SetCaption(Caption());
  view_.Repaint();

  const std::string folderMessage = FolderMessage(gSimsPath);
  if (!folderMessage.empty()) {
    services_.messages.Show(folderMessage, kPathTitle, MessageIcon::Critical);
  }

  if (!services_.files.IsNormalFile(gSimsPath + kSimsExeTail)) {
    services_.messages.Show(
        "The file SIMS.EXE was not found in the path specified in the registry." + kCrLf +
            "Please use the Set Path menu option to locate The Sims.",
        "SIMS.EXE Not Found!", MessageIcon::Critical);
  } else {
    if (!gSimsPath.empty()) {
      const std::string backup = gSimsPath + kBackupTail;
      if (!services_.files.IsNormalFile(backup)) {
        // A backup that exists but is hidden is still a backup: never replace it.
        const std::string live = gSimsPath + kLiveTail;
        const SysCode code = services_.files.CopyNoOverwrite(live, backup);
        if (code != syserr::kOk && code != syserr::kFileExists) {
          services_.fatal.Fatal(static_cast<int32_t>(code), SystemErrorText(code) + " (copying " +
                                                                live + " to " + backup + ")");
        }
      }
    }
    // A failed load has been reported through the error trap; should its
    // window close without ending the program, nothing half-loaded stays.
    if (!LoadNameLists()) {
      ForgetLoadedGame();
      view_.SetListItems(mItems);
      return;
    }
  }

  // An option button that takes the focus selects itself on Windows but not
  // under Wine: select and show list 0 explicitly.
  view_.CheckOption(0);
  OnSelectList(0);
}

void NameEditor::ForgetLoadedGame() {
  mLiveFile = IffFile{};
  mListTables = {};
  gNameLists.Clear();
  mItems.clear();
  mEditRow = 0;
  mNameBytes.clear();
  mNameShownAs.clear();
}

bool NameEditor::LoadNameLists() {
  if (!gsReadIFF(mLiveFile, gSimsPath + kLiveTail, services_.files)) return false;
  for (int k = 0; k < kListCount; ++k) {
    const NameListInfo& info = kNameListInfo[static_cast<size_t>(k)];
    StringTable& table = mListTables[static_cast<size_t>(k)];
    if (!gsReadSTRSegment(mLiveFile, table, HexTextToBytes(info.idText), false)) return false;
    if (const std::string why = ShortTableText(mLiveFile, table, k); !why.empty()) {
      services_.fatal.Fatal(static_cast<int32_t>(Fault::SubscriptOutOfRange), why);
    }
    for (int r = 0; r < info.namesUsed; ++r) {
      gNameLists.Cell(k, r) = table.Entries[static_cast<size_t>(r)].Value;
    }
  }
  return true;
}

void NameEditor::WriteBack() {
  for (size_t i = 0; i < mItems.size(); ++i) {
    gNameLists.Cell(mShownList, static_cast<int>(i)) = mItems[i];
  }
}

void NameEditor::OnSelectList(int16_t index) {
  if (index < 0 || index >= kListCount) {
    Fail(Fault::SubscriptOutOfRange, "name list " + std::to_string(index));
  }
  // The list shown so far keeps its edits.
  WriteBack();

  mItems.clear();
  mNameBytes.clear();
  mNameShownAs.clear();
  view_.SetNameText("");
  view_.EnableName(false);

  const int count = kNameListInfo[static_cast<size_t>(index)].namesUsed;
  for (int r = 0; r < count; ++r) mItems.push_back(gNameLists.Cell(index, r));
  view_.SetListItems(mItems);
  mShownList = index;
}

void NameEditor::OnChooseName(int row) {
  if (row < 0 || static_cast<size_t>(row) >= mItems.size()) return;
  const std::string& item = mItems[static_cast<size_t>(row)];
  view_.EnableName(true);
  view_.SetNameText(item);
  // The box may show the bytes differently (through the code page); remember
  // both so that an unedited name is kept as it was.
  mNameBytes = item;
  mNameShownAs = view_.GetNameText();
  mEditRow = static_cast<int16_t>(row);
  view_.SelectAllNameAndFocus();
}

bool NameEditor::FilterKey(int16_t& c) {
  const bool passes = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == ' ' || c == '"' || c == 8;
  if (!passes) c = 0;
  return passes;
}

void NameEditor::OnNameKeyUp() {
  if (mEditRow < 0 || static_cast<size_t>(mEditRow) >= mItems.size()) return;
  const std::string text = view_.GetNameText();
  std::string& item = mItems[static_cast<size_t>(mEditRow)];
  if (text == mNameShownAs) {
    item = mNameBytes;
  } else {
    item = text.substr(0, kMaxNameLength);
  }
  view_.SetListItem(mEditRow, item);
}

void NameEditor::SaveNameLists() {
  if (mItems.empty()) return;
  WriteBack();

  // Tables that were never loaded cannot take the names: say so before
  // anything changes, and keep running.
  for (int k = 0; k < kListCount; ++k) {
    const std::string why = ShortTableText(mLiveFile, mListTables[static_cast<size_t>(k)], k);
    if (!why.empty()) {
      services_.messages.Show("The names could not be saved." + kCrLf + "Error " +
                                  std::to_string(static_cast<int32_t>(Fault::SubscriptOutOfRange)) +
                                  ": " + why,
                              kNotSavedTitle, MessageIcon::Critical);
      return;
    }
  }

  for (int k = 0; k < kListCount; ++k) {
    const NameListInfo& info = kNameListInfo[static_cast<size_t>(k)];
    StringTable& table = mListTables[static_cast<size_t>(k)];
    for (int r = 0; r < info.namesUsed; ++r) {
      table.Entries[static_cast<size_t>(r)].Value = gNameLists.Cell(k, r);
    }
    if (!gsWriteSTRSegment(mLiveFile, table, HexTextToBytes(info.idText), false)) return;
  }

  FileSystem& files = services_.files;
  const std::string temp = gSimsPath + kTempTail;
  const std::string live = gSimsPath + kLiveTail;

  // A leftover temporary file goes first, even a read-only or hidden one.
  SysCode code = WithRetry(services_.sleeper, [&] { return files.SetNormal(temp); });
  if (code == syserr::kOk) code = WithRetry(services_.sleeper, [&] { return files.Remove(temp); });
  if (code != syserr::kOk && !IsAbsent(code)) {
    ReportFileStep(services_.messages, code, temp);
    return;
  }

  // The writer builds the image under its error trap; putting the image on
  // disk is a file step like the others, so that a full disk or a write
  // error is reported and the edits are kept.
  Bytes image;
  if (!gsWriteIFFImage(mLiveFile, image)) return;
  code = WriteNewFile(temp, image);
  if (code != syserr::kOk) {
    ReportFileStep(services_.messages, code, temp);
    files.Remove(temp);
    return;
  }

  if (!ReplaceLiveFile(temp, live)) {
    files.Remove(temp);
    return;
  }
  services_.messages.Show("Names saved.", "Operation Complete", MessageIcon::Information);
}

// Writes `image` to a new file at `path` and flushes it to the device.
SysCode NameEditor::WriteNewFile(const std::string& path, const Bytes& image) {
  std::unique_ptr<OutputFile> out;
  SysCode code = WithRetry(services_.sleeper, [&] { return services_.files.Create(path, out); });
  if (code != syserr::kOk) return code;
  code = out->Write(image);
  if (code != syserr::kOk) return code;
  return out->Commit();
}

// Puts the complete new file in place of live.iff in one step, so that at
// every moment one of the two names holds a complete file.
bool NameEditor::ReplaceLiveFile(const std::string& temp, const std::string& live) {
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
