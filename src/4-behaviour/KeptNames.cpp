#include "4-behaviour/KeptNames.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#include "4-behaviour/GameFolder.h"
#include "4-behaviour/LanguageBlocks.h"
#include "4-behaviour/Languages.h"

namespace qm {

namespace {

const std::string kCrLf = "\r\n";

bool IsAbsent(SysCode code) {
  return code == syserr::kFileNotFound || code == syserr::kPathNotFound;
}

// The game folder's path as one key: one separator, none at the end, and on
// Windows (where letter case does not matter) in lower case.
std::string FolderKey(const std::string& game, char separator) {
  std::string key;
  for (char c : game) {
    if (c == '/' || c == '\\') c = separator;
    if (separator == '\\' && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == separator && !key.empty() && key.back() == separator) continue;
    key += c;
  }
  while (key.size() > 1 && key.back() == separator) key.pop_back();
  return key;
}

// FNV-1a, 32 bits: enough to tell a player's few game folders apart.
std::string HashText(const std::string& text) {
  uint32_t hash = 0x811C9DC5u;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x01000193u;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(hash));
  return hex;
}

// The folder's own name, for a file name that says which game it is: ASCII
// letters, digits, spaces, '-', '_' and '.'; anything else becomes '_'.
std::string ReadableName(const std::string& key, char separator) {
  const size_t slash = key.find_last_of(separator);
  std::string name = slash == std::string::npos ? key : key.substr(slash + 1);
  for (char& c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == ' ' || c == '-' || c == '_' || c == '.';
    if (!plain) c = '_';
  }
  if (name.size() > 40) name.resize(40);
  return name.empty() ? "game" : name;
}

// The language in a file name: its setting string ("USEnglish").
std::string LanguageFileName(int language) {
  if (language == kMixedLanguages) return "OneBlock";
  const Language* known = LanguageOfCode(language);
  return known ? std::string(known->setting) : "Language" + std::to_string(language);
}

}  // namespace

std::string KeptNamesFolder(Environment& environment) {
  if (environment.Separator() == '\\') {
    const std::string appData = environment.Variable("APPDATA");
    return appData.empty() ? "" : appData + "\\Quillmark";
  }
  // XDG: a relative value is to be ignored.
  const std::string data = environment.Variable("XDG_DATA_HOME");
  if (!data.empty() && data[0] == '/') return data + "/quillmark";
  const std::string home = environment.Variable("HOME");
  return home.empty() ? "" : home + "/.local/share/quillmark";
}

bool SameNames(const NameLists& a, const NameLists& b) {
  for (int k = 0; k < kListCount; ++k) {
    for (int r = 0; r < kNameListInfo[static_cast<size_t>(k)].namesUsed; ++r) {
      if (a.Cell(k, r) != b.Cell(k, r)) return false;
    }
  }
  return true;
}

KeptNames::KeptNames(FileSystem& files, Environment& environment, const ListCodePages& codePages,
                     const std::string& game, int language)
    : files_(files),
      codePages_(codePages),
      game_(game),
      language_(language),
      separator_(environment.Separator()) {
  folder_ = KeptNamesFolder(environment);
  if (folder_.empty()) return;
  const char separator = separator_;
  const std::string key = FolderKey(game, separator);
  const std::string stem = folder_ + separator + ReadableName(key, separator) + " " +
                           HashText(key) + " " + LanguageFileName(language);
  path_ = stem + ".txt";
  marker_ = stem + ".declined";
}

SysCode KeptNames::Keep(const NameLists& saved, const NameLists* own, std::string& failedPath) {
  if (path_.empty()) return syserr::kOk;
  SysCode code = syserr::kOk;
  if (own != nullptr && SameNames(saved, *own)) {
    code = files_.Remove(path_);
    failedPath = path_;
  } else {
    // The pack's first line is its header; the lines naming the game follow.
    const bool oneBlock = language_ == kMixedLanguages;
    std::string pack = WriteNamePack(saved, codePages_, oneBlock ? "" : LanguageName(language_));
    const size_t afterHeader = pack.find(kCrLf) + kCrLf.size();
    std::string live = game_ + kLiveTail;
    for (char& c : live) c = c == '\\' || c == '/' ? separator_ : c;
    pack.insert(afterHeader, "# The names last saved into " + live + "." + kCrLf +
                                 "# Kept by Quillmark for when a game update or a file check "
                                 "replaces that file; copy it to share it as a name pack." +
                                 kCrLf);
    const std::string temp = path_ + ".new";
    failedPath = folder_;
    code = files_.CreateFolders(folder_);
    if (code == syserr::kOk) {
      failedPath = temp;
      code = WriteWholeFile(files_, temp, pack);
    }
    if (code == syserr::kOk) {
      failedPath = path_;
      code = files_.Replace(temp, path_);
    }
    if (code != syserr::kOk) {
      files_.Remove(temp);
      return code;
    }
  }
  if (code != syserr::kOk && !IsAbsent(code)) return code;
  failedPath = marker_;
  code = files_.Remove(marker_);
  return IsAbsent(code) ? syserr::kOk : code;
}

SysCode KeptNames::Read(const NameLists& current, PackReading& reading) {
  if (path_.empty()) return syserr::kFileNotFound;
  std::string pack;
  const SysCode code = files_.ReadAllUpTo(path_, kMaxPackBytes, pack);
  if (code == syserr::kOk) reading = ReadNamePack(pack, current, codePages_);
  return code;
}

bool KeptNames::Declined() { return !marker_.empty() && files_.IsNormalFile(marker_); }

// A marker that cannot be written only means the question comes again.
void KeptNames::Decline() {
  if (!marker_.empty()) WriteWholeFile(files_, marker_, "");
}

bool ReadGameOwnNames(NameStore& store, const std::string& game, int language, NameLists& own) {
  std::string why;
  return store.ReadListsFrom(game + kBackupTail, own, why, language);
}

bool KeptNamesToOffer(KeptNames& kept, NameStore& store, FileSystem& files, const std::string& game,
                      const NameLists& live, NameLists& offered) {
  if (kept.Declined()) return false;
  PackReading reading;
  if (kept.Read(live, reading) != syserr::kOk || !reading.isPack || !reading.rejected.empty() ||
      SameNames(reading.lists, live)) {
    return false;
  }
  NameLists own = live;
  if (files.IsNormalFile(game + kBackupTail) &&
      !ReadGameOwnNames(store, game, kept.Language(), own)) {
    return false;
  }
  if (!SameNames(own, live)) return false;
  offered = reading.lists;
  return true;
}

}  // namespace qm
