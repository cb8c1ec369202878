#include "tools/qmnames/Qmnames.h"

#include <chrono>
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
#include "4-behaviour/GameSearch.h"
#include "4-behaviour/NamePack.h"
#include "4-behaviour/NameStore.h"

namespace qm::qmnames {

namespace {

const char* const kUsageText =
    "Usage: qmnames [--codepage N] COMMAND [GAME] [FILE]\n"
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
    "\n"
    "Options:\n"
    "  --codepage N          the game's code page for names (default 1252)\n"
    "  --help                show this help and exit\n"
    "  --version             show the version and exit\n"
    "\n"
    "import and restore make the backup original_live.iff first when it is\n"
    "missing, then replace live.iff in one step. Quit the game first.\n"
    "\n"
    "Exit status: 0 done; 1 the name pack was rejected (nothing written);\n"
    "2 a file could not be read or written (live.iff is as it was); 64 bad arguments.\n";

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

struct Command {
  std::string name;
  std::string game;
  std::string file;
  unsigned codePage = 1252;
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
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      err << "qmnames: unknown option " << args[i] << "\n";
      return false;
    } else {
      words.push_back(args[i]);
    }
  }
  const bool withFile = !words.empty() && (words[0] == "export" || words[0] == "import");
  const bool withoutFile = !words.empty() && (words[0] == "list" || words[0] == "restore");
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
  const bool writes = command.name == "import" || command.name == "restore";
  if (writes && !CanWriteGameData(files, game)) {
    err << "qmnames: " << game
        << ": its gamedata folder may only be read, not written: " << kGetRights << "\n";
    return kFileError;
  }
  NameLists lists;
  if (!store.Load(game, lists)) return kFileError;

  if (command.name == "list" || command.name == "export") {
    const std::string pack = WriteNamePack(lists, codePage);
    if (command.name == "list") {
      out << pack.substr(3);  // without the byte-order mark
      return kOk;
    }
    std::unique_ptr<OutputFile> file;
    SysCode code = files.Create(command.file, file);
    if (code == syserr::kOk) code = file->Write(pack);
    if (code == syserr::kOk) code = file->Commit();
    if (code != syserr::kOk) {
      err << "qmnames: " << command.file << ": error " << code << ": " << SystemErrorText(code)
          << "\n";
      return kFileError;
    }
    return kOk;
  }

  if (command.name == "import") {
    std::string pack;
    const SysCode code = files.ReadAllUpTo(command.file, kMaxPackBytes, pack);
    if (code == syserr::kFileTooLarge) {
      err << "qmnames: " << PackTooLargeText(command.file) << "\n";
      return kFileError;
    }
    if (code != syserr::kOk) {
      err << "qmnames: " << command.file << ": error " << code << ": " << SystemErrorText(code)
          << "\n";
      return kFileError;
    }
    PackReading reading = ReadNamePack(pack, lists, codePage);
    if (!reading.isPack) {
      err << "qmnames: " << command.file << " is not a name pack: it has no list heading\n";
      return kPackRejected;
    }
    if (reading.codePage != 0) {
      err << "qmnames: " << command.file << " is not UTF-8: it was read as text in code page "
          << reading.codePage << "\n";
    }
    if (!reading.rejected.empty()) {
      for (const PackRejection& rejection : reading.rejected) {
        err << command.file << ":" << rejection.line << ": " << rejection.reason << "\n";
      }
      err << "qmnames: " << reading.rejected.size() << " lines rejected; nothing was written\n";
      return kPackRejected;
    }
    lists = std::move(reading.lists);
    out << reading.taken << " names taken.\n";
  } else {  // restore
    std::string why;
    if (!store.ReadListsFrom(game + kBackupTail, lists, why)) {
      err << "qmnames: " << why << "\n";
      return kFileError;
    }
  }
  if (!store.MakeBackup(game)) return kFileError;
  const SaveResult saved = store.Save(game, lists);
  if (saved == SaveResult::Changed) {
    err << "qmnames: " << game << kLiveTail
        << " changed while qmnames was working on it (another program wrote it); nothing was "
           "written. Run the command again.\n";
  }
  if (saved != SaveResult::Saved) return kFileError;
  out << "Names saved.\n";
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
