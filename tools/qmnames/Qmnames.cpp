#include "tools/qmnames/Qmnames.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <new>
#include <ostream>
#include <thread>
#include <utility>

#include "1-platform/CodePage.h"
#include "1-platform/Environment.h"
#include "1-platform/FileSystem.h"
#include "1-platform/Registry.h"
#include "1-platform/Ui.h"
#include "2-iff/IffError.h"
#include "3-state/AppState.h"
#include "4-behaviour/GameAccess.h"
#include "4-behaviour/GameFolder.h"
#include "4-behaviour/GameLanguage.h"
#include "4-behaviour/GameSearch.h"
#include "4-behaviour/KeptNames.h"
#include "4-behaviour/Languages.h"
#include "4-behaviour/NamePack.h"
#include "4-behaviour/NameStore.h"

namespace qm::qmnames {

namespace {

const char* const kUsageText =
    "Usage: qmnames [--language NAME|CODE] [--codepage N] COMMAND [GAME] [FILE]\n"
    "Lists, exports, imports and restores the townie and tourist name lists in\n"
    "GAME\\gamedata\\live.iff. GAME is the game's folder, the one holding sims.exe;\n"
    "without it, qmnames looks where the game is installed (the registry's\n"
    "install folder, Steam libraries, the EA app's and the classic folders).\n"
    "\n"
    "Commands:\n"
    "  list [GAME]           print the seven lists as a name pack\n"
    "  export [GAME] FILE    write the seven lists to the name pack FILE\n"
    "  import [GAME] FILE    put the names of the name pack FILE into live.iff\n"
    "  restore [GAME]        put the names of gamedata\\original_live.iff into live.iff\n"
    "  languages [GAME]      list the languages whose names live.iff holds\n"
    "  status [GAME]         say the language, whether live.iff holds the game's own\n"
    "                        names, the kept names or others, and where those are kept\n"
    "  reapply [GAME]        put the kept names (the ones last saved) into live.iff\n"
    "\n"
    "Options:\n"
    "  --language NAME|CODE  the language of the names (French, Japanese, 15, ...;\n"
    "                        default: the game's language setting, else US English)\n"
    "  --codepage N          the code page of a file with names in one language only\n"
    "                        (default 1252)\n"
    "  --help                show this help and exit\n"
    "  --version             show the version and exit\n"
    "\n"
    "import, restore and reapply make the backup original_live.iff first when it is\n"
    "missing, then replace live.iff in one step. Quit the game first. Every save\n"
    "keeps the names saved in the user's data folder (%APPDATA%\\Quillmark, or\n"
    "$XDG_DATA_HOME/quillmark, else ~/.local/share/quillmark), for when a game update\n"
    "or a file check puts the game's own live.iff back: reapply writes them again.\n"
    "\n"
    "Exit status: 0 done; 1 the name pack was rejected (nothing written);\n"
    "2 a file could not be read or written, or no names are kept (live.iff is as it\n"
    "was); 64 bad arguments.\n";

// What a user who may not write the game's folder can do.
#ifdef _WIN32
const char* const kGetRights =
    "Windows protects it; run qmnames from a command prompt opened with \"Run as "
    "administrator\"";
#else
const char* const kGetRights =
    "run qmnames as the folder's owner, or ask its owner for write access";
#endif

// The tool ends with this status; thrown where the window would show its
// error window or end the program.
struct Stop {
  int status;
};

// Message boxes as lines on the error stream.
class ConsoleMessages final : public MessageBoxes {
 public:
  explicit ConsoleMessages(std::ostream& err) : err_(err) {}
  void Show(const std::string& text, const std::string& title, MessageIcon) override {
    std::string line = text;
    for (size_t at = 0; (at = line.find("\r\n", at)) != std::string::npos;)
      line.replace(at, 2, "\n  ");
    err_ << "qmnames: " << title << ": " << line << "\n";
  }
  bool Ask(const std::string&, const std::string&) override { return true; }
  Choice AskYesNoCancel(const std::string&, const std::string&) override { return Choice::Cancel; }

 private:
  std::ostream& err_;
};

class ConsoleFatal final : public FatalErrors {
 public:
  explicit ConsoleFatal(std::ostream& err) : err_(err) {}
  [[noreturn]] void Fatal(int32_t number, const std::string& description) override {
    err_ << "qmnames: error " << number << ": " << description << "\n";
    throw Stop{kFileError};
  }

 private:
  std::ostream& err_;
};

class ThreadSleeper final : public Sleeper {
 public:
  void SleepMs(int milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

// One line per language the tables hold: code, name, setting string, code
// page, and the lists whose tables lack it.
void PrintLanguages(const NameStore& store, std::ostream& out) {
  const std::vector<int> held = store.Languages();
  if (held.empty()) {
    out << "live.iff holds its names in one language only.\n";
    return;
  }
  for (int code : held) {
    const Language* language = LanguageOfCode(code);
    out << code << "\t" << LanguageName(code) << "\t"
        << (language ? std::string(language->setting) : std::string("-")) << "\t"
        << (language ? language->codePage : 0u);
    std::string lacking;
    for (int k = 0; k < kListCount; ++k) {
      if (store.ShownLanguage(k, code) != code) {
        lacking += std::string(lacking.empty() ? "" : ", ") +
                   kNameListInfo[static_cast<size_t>(k)].caption;
      }
    }
    if (!lacking.empty()) out << "\tnot in: " << lacking;
    out << "\n";
  }
}

struct Command {
  std::string name;
  std::string game;
  std::string file;
  unsigned codePage = 1252;
  int language = 0;  // 0: the game's setting
};

// The command line, or a usage error on `err`.
bool Parse(const std::vector<std::string>& args, Command& command, std::ostream& err) {
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--codepage") {
      if (i + 1 == args.size() || args[i + 1].empty() ||
          args[i + 1].find_first_not_of("0123456789") != std::string::npos ||
          args[i + 1].size() > 5) {
        err << "qmnames: --codepage takes a code page number\n";
        return false;
      }
      command.codePage = static_cast<unsigned>(std::stoul(args[++i]));
    } else if (args[i] == "--language") {
      command.language = i + 1 < args.size() ? LanguageCodeOf(args[i + 1]) : 0;
      if (command.language == 0) {
        err << "qmnames: --language takes a language's name or code, such as French or 3\n";
        return false;
      }
      ++i;
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      err << "qmnames: unknown option " << args[i] << "\n";
      return false;
    } else {
      words.push_back(args[i]);
    }
  }
  const bool withFile = !words.empty() && (words[0] == "export" || words[0] == "import");
  const bool withoutFile =
      !words.empty() && (words[0] == "list" || words[0] == "restore" || words[0] == "languages" ||
                         words[0] == "status" || words[0] == "reapply");
  // GAME may be left out: the command then has one word fewer.
  const size_t full = withFile ? 3 : 2;
  if (!(withFile || withoutFile) || words.size() < full - 1 || words.size() > full) {
    if (words.empty()) {
      err << "qmnames: no command given\n";
    } else if (!withFile && !withoutFile) {
      err << "qmnames: unknown command " << words[0] << "\n";
    } else {
      err << "qmnames: " << words[0] << " takes " << (withFile ? "[GAME] FILE" : "[GAME]") << "\n";
    }
    return false;
  }
  command.name = words[0];
  if (words.size() == full) command.game = words[1];
  if (withFile) command.file = words.back();
  return true;
}

// The folder as a full path, for a folder named relative to the current one
// to keep its names in the same place as when named in full.
std::string AbsoluteFolder(const std::string& game) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(
      std::filesystem::path(std::u8string(game.begin(), game.end())), error);
  if (error) return game;
  const std::u8string full = path.lexically_normal().u8string();
  return std::string(full.begin(), full.end());
}

bool IsAbsent(SysCode code) {
  return code == syserr::kFileNotFound || code == syserr::kPathNotFound;
}

int Status(NameStore& store, KeptNames& kept, FileSystem& files, const std::string& game,
           const NameLists& live, std::ostream& out) {
  PackReading reading;
  const bool isKept = kept.Read(live, reading) == syserr::kOk && reading.isPack;
  NameLists own = live;  // a live.iff without a backup holds the game's own names
  bool ownKnown = true;
  if (files.IsNormalFile(game + kBackupTail)) {
    ownKnown = ReadGameOwnNames(store, game, kept.Language(), own);
  }
  out << "Game: " << game << "\n"
      << "Language: "
      << (kept.Language() == kMixedLanguages ? "one list of mixed languages"
                                             : LanguageName(kept.Language()))
      << "\n"
      << "live.iff holds: ";
  if (isKept && SameNames(reading.lists, live)) {
    out << "the kept names\n";
  } else if (ownKnown && SameNames(own, live)) {
    out << "the game's own names\n";
  } else {
    out << "other names\n";
  }
  out << "Kept names: ";
  if (!isKept) {
    out << "none (kept in " << (kept.Path().empty() ? "no folder" : kept.Path())
        << " once saved)\n";
  } else {
    out << kept.Path() << (kept.Declined() ? " (declined in Quillmark until the next save)" : "")
        << "\n";
  }
  return kOk;
}

int Execute(const Command& command, CodePage& codePage, std::ostream& out, std::ostream& err) {
  FileSystem& files = SystemFileSystem();
  ConsoleMessages messages(err);
  ConsoleFatal fatal(err);
  ThreadSleeper sleeper;
  NameStore store({files, messages, fatal, sleeper});
  std::string game = command.game;
  if (game.empty()) {
    const SearchServices search{SystemRegistry(), files, SystemEnvironment()};
    game = LocateGame(RegistryInstallPath(search.registry), search);
    if (game.empty()) {
      err << "qmnames: the game was not found where it is usually installed; name its folder\n";
      return kFileError;
    }
    err << "qmnames: the game's folder: " << game << "\n";
  }

  if (!files.IsNormalFile(game + kSimsExeTail)) {
    err << "qmnames: " << game << " is not the game's folder: it holds no sims.exe\n";
    return kFileError;
  }
  const bool writes =
      command.name == "import" || command.name == "restore" || command.name == "reapply";
  if (writes && !CanWriteGameData(files, game)) {
    err << "qmnames: " << game
        << ": its gamedata folder may only be read, not written: " << kGetRights << "\n";
    return kFileError;
  }
  NameLists lists;
  if (!store.Load(game, lists)) return kFileError;
  const std::vector<int> held = store.Languages();
  if (command.name == "languages") {
    PrintLanguages(store, out);
    return kOk;
  }
  const int language =
      command.language != 0 ? command.language : DefaultLanguage(SystemRegistry(), held);
  if (!held.empty() && std::find(held.begin(), held.end(), language) == held.end()) {
    err << "qmnames: live.iff holds no " << LanguageName(language)
        << " names: its US English names are used, as the game does\n";
  }
  store.ReadLanguage(language, lists);
  // Each list's names in their language's code page; a one-block table's
  // in --codepage.
  std::array<std::unique_ptr<CodePage>, kListCount> owned;
  ListCodePages pages;
  for (int k = 0; k < kListCount; ++k) {
    const Language* shown = LanguageOfCode(store.ShownLanguage(k, language));
    if (store.ShownLanguage(k, language) != kMixedLanguages && shown) {
      owned[static_cast<size_t>(k)] = SystemCodePage(shown->codePage);
    }
    pages[static_cast<size_t>(k)] =
        owned[static_cast<size_t>(k)] ? owned[static_cast<size_t>(k)].get() : &codePage;
  }
  KeptNames kept(files, SystemEnvironment(), pages, AbsoluteFolder(game),
                 held.empty() ? kMixedLanguages : language);
  if (command.name == "status") return Status(store, kept, files, game, lists, out);

  if (command.name == "list" || command.name == "export") {
    const std::string pack =
        WriteNamePack(lists, pages, held.empty() ? std::string() : LanguageName(language));
    if (command.name == "list") {
      out << pack.substr(3);  // without the byte-order mark
      return kOk;
    }
    if (const SysCode code = WriteWholeFile(files, command.file, pack); code != syserr::kOk) {
      err << "qmnames: " << command.file << ": error " << code << ": " << SystemErrorText(code)
          << "\n";
      return kFileError;
    }
    return kOk;
  }

  if (command.name == "import" || command.name == "reapply") {
    const std::string file = command.name == "import" ? command.file : kept.Path();
    std::string pack;
    const SysCode code = files.ReadAllUpTo(file, kMaxPackBytes, pack);
    if (command.name == "reapply" && (file.empty() || IsAbsent(code))) {
      err << "qmnames: no names are kept for " << game << " (" << LanguageName(language)
          << "): nothing but the game's own names was saved into it\n";
      return kFileError;
    }
    if (code == syserr::kFileTooLarge) {
      err << "qmnames: " << PackTooLargeText(file) << "\n";
      return kFileError;
    }
    if (code != syserr::kOk) {
      err << "qmnames: " << file << ": error " << code << ": " << SystemErrorText(code) << "\n";
      return kFileError;
    }
    PackReading reading = ReadNamePack(pack, lists, pages);
    if (!reading.isPack) {
      err << "qmnames: " << file << " is not a name pack: it has no list heading\n";
      return kPackRejected;
    }
    if (reading.codePage != 0) {
      err << "qmnames: " << file << " is not UTF-8: it was read as text in code page "
          << reading.codePage << "\n";
    }
    if (!reading.rejected.empty()) {
      for (const PackRejection& rejection : reading.rejected) {
        err << file << ":" << rejection.line << ": " << rejection.reason << "\n";
      }
      err << "qmnames: " << reading.rejected.size() << " lines rejected; nothing was written\n";
      return kPackRejected;
    }
    lists = std::move(reading.lists);
    out << reading.taken << " names taken.\n";
  } else {  // restore
    std::string why;
    if (!store.ReadListsFrom(game + kBackupTail, lists, why, language)) {
      err << "qmnames: " << why << "\n";
      return kFileError;
    }
  }
  if (!store.MakeBackup(game)) return kFileError;
  const SaveResult saved = store.Save(game, lists, false, language);
  if (saved == SaveResult::Changed) {
    err << "qmnames: " << game << kLiveTail
        << " changed while qmnames was working on it (another program wrote it); nothing was "
           "written. Run the command again.\n";
  }
  if (saved != SaveResult::Saved) return kFileError;
  out << "Names saved.\n";
  NameLists own;
  const bool ownKnown = ReadGameOwnNames(store, game, language, own);
  std::string failedPath;
  const SysCode code = kept.Keep(lists, ownKnown ? &own : nullptr, failedPath);
  if (code != syserr::kOk) {
    err << "qmnames: the names were saved, but no copy of them could be kept: " << failedPath
        << ": error " << code << ": " << SystemErrorText(code) << "\n";
  }
  return kOk;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (arg == "--help") {
      out << kUsageText;
      return kOk;
    }
    if (arg == "--version") {
      out << "qmnames " << kVersionMajor << "." << kVersionMinor << "." << kVersionRevision << "\n";
      return kOk;
    }
  }
  Command command;
  if (!Parse(args, command, err)) {
    err << kUsageText;
    return kUsage;
  }
  const std::unique_ptr<CodePage> codePage = SystemCodePage(command.codePage);
  if (!codePage) {
    err << "qmnames: code page " << command.codePage << " is not available here\n";
    return kUsage;
  }
  try {
    return Execute(command, *codePage, out, err);
  } catch (const Stop& stop) {
    return stop.status;
  } catch (const IffError& error) {
    // A file the format procedures cannot read or write ends the command.
    err << "qmnames: " << error.procedure() << ": error " << error.number() << ": "
        << error.description() << "\n";
    return kFileError;
  } catch (const std::bad_alloc&) {
    err << "qmnames: not enough memory; live.iff is as it was\n";
    return kFileError;
  }
}

}  // namespace qm::qmnames
