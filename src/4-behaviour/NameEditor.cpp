#include "4-behaviour/NameEditor.h"

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "1-platform/Failure.h"
#include "2-iff/BinarySupport.h"
#include "3-state/AppState.h"
#include "4-behaviour/GameAccess.h"
#include "4-behaviour/GameFolder.h"
#include "4-behaviour/GameLanguage.h"
#include "4-behaviour/GameSearch.h"
#include "4-behaviour/Languages.h"
#include "4-behaviour/NamePack.h"

namespace qm {

namespace {

const std::string kCrLf = "\r\n";
const std::string kPathTitle = "Path to The Sims not found!";
const std::string kExportTitle = "Export Names";
const std::string kImportTitle = "Import Names";
const std::string kRestoreTitle = "Restore Original Names";
const std::string kNotSavedTitle = "Names Not Saved";
const std::string kLoadTitle = "Names Not Loaded";
const std::string kKeptTitle = "Your Names";

FileKind PackKind() { return {kNamePackDescription, kNamePackPattern, kNamePackExtension}; }

std::string FileError(SysCode code, const std::string& path) {
  return "Error " + std::to_string(code) + ": " + SystemErrorText(code) + kCrLf + "File: " + path;
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

}  // namespace

NameEditor::NameEditor(MainView& view, const EditorServices& services)
    : view_(view),
      services_(services),
      store_({services.files, services.messages, services.fatal, services.sleeper}) {}

void NameEditor::OnLoad(const std::string& gameForThisRun) {
  if (!gameForThisRun.empty()) {
    gSimsPath = gameForThisRun;
    return;
  }
  const std::string fromRegistry = RegistryInstallPath(services_.registry);
  // The registry, or the search, only seeds the setting; once set, the
  // setting decides and nothing is searched. "ERROR" is what a start before
  // the game was installed stored: no folder at all, so search again.
  std::string setting = services_.settings.Get(kSettingsApp, kSettingsSection, kSettingsKey);
  if (setting.empty() || setting == kRegistryError) {
    const std::string found =
        LocateGame(fromRegistry, {services_.registry, services_.files, services_.environment});
    setting = found.empty() ? fromRegistry : found;
    StoreGameFolderSetting(services_.settings, services_.messages, setting);
  }
  gSimsPath = setting;
}

void NameEditor::OnActivate() {
  // What was loaded or shown so far belongs to the folder in use until now:
  // none of it may reach the tables loaded below, nor be saved into this
  // folder when its tests fail.
  ForgetLoadedGame();
  mDataFolder = gSimsPath;
  mWritable = true;

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
    mDataFolder = ChooseDataFolder();
    // Reading needs no rights: a folder that may not be written is still
    // shown, without a backup.
    if (!gSimsPath.empty()) {
      mWritable = CanWriteGameData(services_.files, mDataFolder);
      if (mWritable) mWritable = store_.MakeBackup(mDataFolder);
    }
    // A failed load has been reported; should the error window close
    // without ending the program, nothing half-loaded stays.
    bool loaded = false;
    WithoutOutOfMemory(kLoadTitle, [&] { loaded = LoadNameLists(); });
    if (!loaded) {
      ForgetLoadedGame();
      view_.SetListItems(mItems);
      return;
    }
  }

  ShowStartLanguage();
  // An option button that takes the focus selects itself on Windows but not
  // under Wine: select and show list 0 explicitly.
  view_.CheckOption(0);
  OnSelectList(0);
  // Kept names are offered only where they can be saved.
  if (!mWritable) OfferAdministrator();
  if (GameLoaded() && mWritable) WithoutOutOfMemory(kLoadTitle, [&] { OfferKeptNames(); });
}

KeptNames NameEditor::Kept(int language) {
  return KeptNames(services_.files, services_.environment, PagesOf(language), gSimsPath,
                   store_.Languages().empty() ? kMixedLanguages : language);
}

void NameEditor::OfferKeptNames() {
  KeptNames kept = Kept(language_);
  NameLists offered;
  if (!KeptNamesToOffer(kept, store_, services_.files, DataFolder(), gNameLists, offered)) return;
  if (!services_.messages.Ask("The game's own names are back in live.iff (a game update or a file "
                              "check replaced it). Put your names back?",
                              kKeptTitle)) {
    kept.Decline();
    return;
  }
  // As an import: the names are in the window, and Save writes them.
  gNameLists = std::move(offered);
  ShowList(mShownList);
}

void NameEditor::KeepSavedNames() {
  std::map<int, const NameLists*> saved{{language_, &gNameLists}};
  for (const auto& [code, names] : others_) saved[code] = &names.edited;
  SysCode code = syserr::kOk;
  std::string failedPath;
  for (const auto& [language, names] : saved) {
    KeptNames kept = Kept(language);
    if (kept.Path().empty()) return;  // no data folder to keep them in
    NameLists own;
    const bool ownKnown = ReadGameOwnNames(store_, DataFolder(), language, own);
    code = kept.Keep(*names, ownKnown ? &own : nullptr, failedPath);
    if (code != syserr::kOk) break;
  }
  if (code == syserr::kOk) return;
  services_.messages.Show(
      "The names were saved into the game, but Quillmark could not keep a copy of them for when a "
      "game update or a file check replaces live.iff." +
          kCrLf + FileError(code, failedPath),
      kKeptTitle, MessageIcon::Warning);
}

const std::string& NameEditor::DataFolder() const {
  return mDataFolder.empty() ? gSimsPath : mDataFolder;
}

// The game reads the VirtualStore's copy, so that is the default; the
// question names both files, and is asked once per copy while the program runs.
std::string NameEditor::ChooseDataFolder() {
  const std::string copy = VirtualStoreFolder(services_.environment, services_.files, gSimsPath);
  if (copy.empty()) return gSimsPath;
  if (copy == mCopyAskedFor) return mCopyChosen ? copy : gSimsPath;
  mCopyAskedFor = copy;
  mCopyChosen = services_.messages.Ask(
      "Windows keeps a copy of the game's names for you, and the game reads that copy, not the "
      "file in its folder:" +
          kCrLf + copy + kLiveTail + kCrLf + kCrLf + "The file in the game's folder:" + kCrLf +
          gSimsPath + kLiveTail + kCrLf + kCrLf +
          "Yes: edit the copy the game reads (its backup is kept beside it)." + kCrLf +
          "No: edit the file in the game's folder; the game does not see those names while the "
          "copy exists.",
      "Which live.iff?");
  return mCopyChosen ? copy : gSimsPath;
}

void NameEditor::OfferAdministrator() {
  if (mOfferedFor == mDataFolder) return;
  mOfferedFor = mDataFolder;
  if (!services_.messages.Ask(ProtectedFolderText(mDataFolder) + kCrLf + kCrLf +
                                  "Start Quillmark again as administrator, so that it may save?" +
                                  kCrLf + "Yes: restart as administrator (Windows asks first)." +
                                  kCrLf + "No: keep this window to read the names.",
                              kProtectedTitle)) {
    return;
  }
  const SysCode code = services_.elevation.RestartAsAdministrator(GameOptionArguments(gSimsPath));
  if (code == syserr::kOk) {
    mEnding = true;
    return;
  }
  services_.messages.Show(
      "Quillmark was not started as administrator; this window stays open "
      "for reading." +
          kCrLf + "Error " + std::to_string(code) + ": " + SystemErrorText(code),
      kProtectedTitle, MessageIcon::Warning);
}

bool NameEditor::MayWrite(const std::string& title) {
  if (mWritable) return true;
  services_.messages.Show(ProtectedFolderText(DataFolder()) + kCrLf + kCrLf +
                              "The names in the window are kept. To save them, export them "
                              "(File > Export Names), start Quillmark as administrator and "
                              "import them there.",
                          title, MessageIcon::Warning);
  return false;
}

void NameEditor::ForgetLoadedGame() {
  store_.Forget();
  gNameLists.Clear();
  mItems.clear();
  mEditRow = 0;
  mNameBytes.clear();
  mNameShownAs.clear();
  read_.Clear();
  others_.clear();
  menuCodes_.clear();
  view_.SetLanguageMenu({}, -1);
  view_.SetLanguageText("");
}

bool NameEditor::LoadNameLists() {
  bool loaded = false;
  ShowingFormatFailures([&] { loaded = store_.Load(DataFolder(), gNameLists, language_); });
  if (loaded) read_ = gNameLists;
  return loaded;
}

void NameEditor::ShowStartLanguage() {
  const std::vector<int> held = store_.Languages();
  const int start = StartLanguage(services_.settings, services_.registry, gSimsPath, held);
  if (start != language_) {
    language_ = start;
    store_.ReadLanguage(language_, gNameLists);
    read_ = gNameLists;
  }
  menuCodes_ = held;
  ShowLanguageMenu();
}

void NameEditor::ShowLanguageMenu() {
  std::vector<std::string> names;
  int checked = -1;
  for (size_t i = 0; i < menuCodes_.size(); ++i) {
    names.push_back(LanguageName(menuCodes_[i]));
    if (menuCodes_[i] == language_) checked = static_cast<int>(i);
  }
  view_.SetLanguageMenu(names, checked);
}

// "Names in French", or which language stands in for the one chosen; nothing
// for a table of one block, which has no language to choose.
void NameEditor::ShowLanguageText() {
  const int shown = store_.ShownLanguage(mShownList, language_);
  if (shown == kMixedLanguages) {
    view_.SetLanguageText("");
    return;
  }
  std::string text = "Names in " + LanguageName(shown);
  if (shown != NormalLanguageCode(language_)) {
    text += " (this list has no " + LanguageName(language_) + " names)";
  }
  view_.SetLanguageText(text);
}

void NameEditor::OnChooseLanguage(int index) {
  if (index < 0 || static_cast<size_t>(index) >= menuCodes_.size()) return;
  const int code = menuCodes_[static_cast<size_t>(index)];
  if (code == language_) return;
  WriteBack();
  others_[language_] = {std::move(read_), gNameLists};
  const auto other = others_.find(code);
  if (other != others_.end()) {
    read_ = std::move(other->second.read);
    gNameLists = std::move(other->second.edited);
    others_.erase(other);
  } else {
    store_.ReadLanguage(code, read_);
    gNameLists = read_;
  }
  language_ = code;
  // Not remembering the choice costs only the next start's language.
  StoreLanguageChoice(services_.settings, gSimsPath, code);
  ShowLanguageMenu();
  ShowList(mShownList);
}

void NameEditor::PutEditedNames() {
  for (const auto& [code, names] : others_) store_.PutNames(code, names.edited, &names.read);
  store_.PutNames(language_, gNameLists, &read_);
}

bool NameEditor::ShowingFormatFailures(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const IffError& error) {
    services_.errorWindow.Show(error);
    return false;
  }
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
  ShowList(index);
}

void NameEditor::OnChooseName(int row) {
  if (row < 0 || static_cast<size_t>(row) >= mItems.size()) return;
  const std::string& item = mItems[static_cast<size_t>(row)];
  view_.EnableName(true);
  view_.SetNameText(Shown(item));
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

bool NameEditor::FilterNameKey(int16_t& c) {
  const int shown = store_.ShownLanguage(mShownList, language_);
  const auto unit = static_cast<char32_t>(static_cast<uint16_t>(c));
  // A surrogate half is no letter of the game's code pages.
  if (shown == kMixedLanguages || shown == kUsEnglish || unit < 0x80 ||
      (unit >= 0xD800 && unit <= 0xDFFF) || !IsNameLetter(unit)) {
    return FilterKey(c);
  }
  std::string utf8;
  if (unit < 0x800) {
    utf8 = {static_cast<char>(0xC0 | (unit >> 6)), static_cast<char>(0x80 | (unit & 0x3F))};
  } else {
    utf8 = {static_cast<char>(0xE0 | (unit >> 12)), static_cast<char>(0x80 | ((unit >> 6) & 0x3F)),
            static_cast<char>(0x80 | (unit & 0x3F))};
  }
  std::string bytes;
  if (ListCodePage(mShownList).FromUtf8(utf8, bytes)) return true;
  c = 0;
  return false;
}

void NameEditor::OnNameChanged() {
  if (mEditRow < 0 || static_cast<size_t>(mEditRow) >= mItems.size()) return;
  const std::string text = view_.GetNameText();
  std::string& item = mItems[static_cast<size_t>(mEditRow)];
  if (text == mNameShownAs) {
    item = mNameBytes;
  } else {
    item = Typed(text);
    // Cut at 25 bytes, or holding a character its code page lacks: the box
    // shows what the list keeps, so that Save writes what the player sees.
    if (Shown(item) != text) view_.SetNameText(Shown(item));
  }
  view_.SetListItem(mEditRow, Shown(item));
}

void NameEditor::SaveNameLists() {
  if (mItems.empty()) return;
  if (!MayWrite(kNotSavedTitle)) return;
  WithoutOutOfMemory(kNotSavedTitle, [&] {
    WriteBack();
    PutEditedNames();
    SaveResult result = SaveResult::NotSaved;
    if (!ShowingFormatFailures([&] { result = store_.SaveTables(DataFolder()); })) return;
    if (result == SaveResult::Changed) {
      const Choice choice = services_.messages.AskYesNoCancel(
          "GameData\\live.iff has changed since Quillmark read it: another program (qmnames, a "
          "second Quillmark, the game or its updater) has written it." +
              kCrLf + kCrLf +
              "Yes: save your names over it; what the other program wrote is lost." + kCrLf +
              "No: read live.iff again; the names you have not saved are dropped." + kCrLf +
              "Cancel: do nothing now.",
          "live.iff Has Changed");
      if (choice == Choice::No) ReloadNameLists();
      if (choice != Choice::Yes) return;
      if (!ShowingFormatFailures([&] { result = store_.SaveTables(DataFolder(), true); })) {
        return;
      }
    }
    if (result == SaveResult::Saved) {
      // What was saved is what the next save compares with.
      for (auto& [code, names] : others_) names.read = names.edited;
      read_ = gNameLists;
      KeepSavedNames();
      services_.messages.Show("Names saved.", "Operation Complete", MessageIcon::Information);
    }
  });
}

void NameEditor::ReloadNameLists() {
  const int16_t shown = mShownList;
  ForgetLoadedGame();
  if (!LoadNameLists()) {
    ForgetLoadedGame();
    view_.SetListItems(mItems);
    return;
  }
  menuCodes_ = store_.Languages();
  ShowLanguageMenu();
  ShowList(shown);
}

void NameEditor::WithoutOutOfMemory(const std::string& title, const std::function<void()>& step) {
  try {
    step();
  } catch (const std::bad_alloc&) {
    services_.messages.Show(
        "There is not enough memory for this. The game's files are as they were, and the names "
        "in "
        "the window are kept.",
        title, MessageIcon::Critical);
  }
}

// Shows list `index` from gNameLists as a list selection does, without
// writing the list box back first.
void NameEditor::ShowList(int16_t index) {
  mShownList = index;  // the list whose code page Shown uses
  mItems.clear();
  mNameBytes.clear();
  mNameShownAs.clear();
  view_.SetNameText("");
  view_.EnableName(false);
  const int count = kNameListInfo[static_cast<size_t>(index)].namesUsed;
  std::vector<std::string> shown;
  for (int r = 0; r < count; ++r) {
    mItems.push_back(gNameLists.Cell(index, r));
    shown.push_back(Shown(mItems.back()));
  }
  view_.SetListItems(shown);
  ShowLanguageText();
}

std::string NameEditor::Shown(const std::string& bytes) {
  std::string text;
  if (ListCodePage(mShownList).ToUtf8(bytes, text)) return text;
  // Piece by piece: a character of one or two bytes where they convert,
  // else '?' for a byte.
  CodePage& codePage = ListCodePage(mShownList);
  text.clear();
  for (size_t at = 0; at < bytes.size();) {
    std::string one;
    size_t length = 1;
    for (; length <= 2 && at + length <= bytes.size(); ++length) {
      if (codePage.ToUtf8(bytes.substr(at, length), one)) break;
    }
    if (length > 2 || at + length > bytes.size()) {
      one = static_cast<unsigned char>(bytes[at]) > 127 ? "?" : bytes.substr(at, 1);
      length = 1;
    }
    text += one;
    at += length;
  }
  return text;
}

// At most 25 bytes, never half a double-byte character; character by
// character when the whole text does not convert or is too long: a UTF-8
// sequence runs from a byte that is not a continuation byte to the next.
std::string NameEditor::Typed(const std::string& text) {
  CodePage& codePage = ListCodePage(mShownList);
  const auto limit = static_cast<size_t>(kMaxNameLength);
  std::string bytes;
  if (codePage.FromUtf8(text, bytes) && bytes.size() <= limit) return bytes;
  bytes.clear();
  for (size_t at = 0; at < text.size();) {
    size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    std::string one;
    const bool converted = codePage.FromUtf8(text.substr(at, end - at), one);
    if (bytes.size() + (converted ? one.size() : 1) > limit) break;
    if (converted) {
      bytes += one;
    } else {
      bytes += '?';
    }
    at = end;
  }
  return bytes;
}

CodePage& NameEditor::ListCodePage(int list, int code) {
  const Language* language = LanguageOfCode(store_.ShownLanguage(list, code));
  if (store_.ShownLanguage(list, code) == kMixedLanguages || !language) {
    return services_.codePage;
  }
  std::unique_ptr<CodePage>& codePage = codePages_[language->codePage];
  if (!codePage) codePage = SystemCodePage(language->codePage);
  return codePage ? *codePage : services_.codePage;
}

std::array<CodePage*, kListCount> NameEditor::PagesOf(int language) {
  std::array<CodePage*, kListCount> pages{};
  for (int k = 0; k < kListCount; ++k) pages[static_cast<size_t>(k)] = &ListCodePage(k, language);
  return pages;
}

void NameEditor::OnExportNames() {
  WriteBack();
  std::string path = "names.txt";
  if (!services_.dialogs.ChooseSave(0, PackKind(), path)) return;
  WithoutOutOfMemory(kExportTitle, [&] {
    const Language* language = LanguageOfCode(language_);
    const std::string pack =
        WriteNamePack(gNameLists, ListCodePages(),
                      menuCodes_.empty() || !language ? std::string_view() : language->name);
    if (const SysCode code = WriteWholeFile(services_.files, path, pack); code != syserr::kOk) {
      services_.messages.Show("The names could not be exported." + kCrLf + FileError(code, path),
                              kExportTitle, MessageIcon::Critical);
      return;
    }
    services_.messages.Show("The names were exported to " + path + ".", kExportTitle,
                            MessageIcon::Information);
  });
}

void NameEditor::OnImportNames() {
  if (!GameLoaded() || !MayWrite(kImportTitle)) return;
  WriteBack();
  std::string path;
  if (!services_.dialogs.ChooseOpen(0, PackKind(), path)) return;
  WithoutOutOfMemory(kImportTitle, [&] {
    std::string pack;
    const SysCode code = services_.files.ReadAllUpTo(path, kMaxPackBytes, pack);
    if (code != syserr::kOk) {
      services_.messages.Show(code == syserr::kFileTooLarge ? PackTooLargeText(path)
                                                            : "The name pack could not be read." +
                                                                  kCrLf + FileError(code, path),
                              kImportTitle, MessageIcon::Critical);
      return;
    }
    PackReading reading = ReadNamePack(pack, gNameLists, ListCodePages());
    if (!reading.isPack) {
      services_.messages.Show(path + " is not a name pack: it has no list heading such as [" +
                                  kNameListInfo[0].caption + "].",
                              kImportTitle, MessageIcon::Critical);
      return;
    }
    gNameLists = std::move(reading.lists);
    ShowList(mShownList);
    services_.messages.Show(
        DescribeReading(reading) + kCrLf + kCrLf + "Press Save to write the names into the game.",
        kImportTitle, reading.rejected.empty() ? MessageIcon::Information : MessageIcon::Warning);
  });
}

void NameEditor::OnRestoreNames() {
  if (!GameLoaded() || !MayWrite(kRestoreTitle)) return;
  if (!services_.messages.Ask("Replace all seven lists with the game's own names from "
                              "original_live.iff?" +
                                  kCrLf + "Names you have not saved will be replaced too.",
                              kRestoreTitle)) {
    return;
  }
  WithoutOutOfMemory(kRestoreTitle, [&] {
    NameLists original;
    std::string why;
    if (!store_.ReadListsFrom(DataFolder() + kBackupTail, original, why, language_)) {
      services_.messages.Show("The original names could not be restored." + kCrLf + why,
                              kRestoreTitle, MessageIcon::Critical);
      return;
    }
    gNameLists = std::move(original);
    ShowList(mShownList);
  });
}

// The lists of a game are loaded: the tables hold every name that a list
// shows. Importing or restoring into nothing would only meet "not saved".
bool NameEditor::GameLoaded() const {
  return store_.ListTable(0).Entries.size() >= static_cast<size_t>(kNameListInfo[0].namesUsed);
}

}  // namespace qm
