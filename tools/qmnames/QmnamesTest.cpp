// qmnames on a demo game folder on the disk: a player's journeys from the
// console, checked on the bytes of live.iff.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "testkit/IffParts.h"
#include "tools/demogame/DemoGame.h"
#include "tools/qmnames/Qmnames.h"

namespace qm::qmnames {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class Qmnames : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            (std::string("qm-qmnames-") +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    game_ = root_ / "The Sims";
    ASSERT_EQ(demo::WriteDemoGame(game_.string()), "");
    live_ = game_ / "GameData" / "live.iff";
    // The user's data folder, where saved names are kept, inside the test's.
    data_ = root_ / "data";
#ifdef _WIN32
    SetEnvironmentVariableW(L"APPDATA", data_.wstring().c_str());
#else
    setenv("XDG_DATA_HOME", data_.c_str(), 1);
#endif
  }
  void TearDown() override { fs::remove_all(root_); }

  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return qmnames::Run(args, out_, err_);
  }

  fs::path root_, game_, live_, data_;
  std::ostringstream out_, err_;
};

TEST_F(Qmnames, ExportEditImportSaveAndListReadsTheNamesBack) {
  const std::string original = Read(live_);
  const std::string pack = (root_ / "names.txt").string();
  ASSERT_EQ(Run({"export", game_.string(), pack}), kOk) << err_.str();

  // Unedited, the pack gives back the same file.
  ASSERT_EQ(Run({"import", game_.string(), pack}), kOk) << err_.str();
  EXPECT_TRUE(Read(live_) == original) << "live.iff changed";
  EXPECT_TRUE(Read(game_ / "GameData" / "original_live.iff") == original);

  // Edited in a text editor as UTF-8: the first name of list 0 becomes "Zoë".
  std::string text = Read(pack);
  const std::string first = demo::DemoNames(0).at(0);
  const size_t at = text.find("[Male Townie First Names]\r\n") + 27;
  ASSERT_EQ(text.compare(at, first.size(), first), 0) << text.substr(at, 40);
  text.replace(at, first.size(), "Zo\xC3\xAB");
  Write(pack, text);
  ASSERT_EQ(Run({"import", game_.string(), pack}), kOk) << err_.str();
  EXPECT_NE(Read(live_).find(std::string("\x01Zo\xEB\x00", 5)), std::string::npos);

  ASSERT_EQ(Run({"list", game_.string()}), kOk) << err_.str();
  EXPECT_NE(out_.str().find("[Male Townie First Names]\r\nZo\xC3\xAB\r\n"), std::string::npos);

  ASSERT_EQ(Run({"restore", game_.string()}), kOk) << err_.str();
  EXPECT_TRUE(Read(live_) == original) << "restore did not give back the original names";
}

// The demo's blocks: US English, French to Finnish, then Portuguese,
// Japanese, Polish (the 13th block) ...
TEST_F(Qmnames, PolishNamesGoOutAndComeBackInCodePage1250) {
  const std::string original = Read(live_);
  ASSERT_EQ(Run({"languages", game_.string()}), kOk) << err_.str();
  EXPECT_NE(out_.str().find("16\tPolish\tPolish\t1250\n"), std::string::npos) << out_.str();

  const std::string pack = (root_ / "polish.txt").string();
  ASSERT_EQ(Run({"export", "--language", "polish", game_.string(), pack}), kOk) << err_.str();
  std::string text = Read(pack);
  EXPECT_NE(text.find("# Language: Polish\r\n"), std::string::npos);
  ASSERT_EQ(Run({"import", "--language", "16", game_.string(), pack}), kOk) << err_.str();
  EXPECT_TRUE(Read(live_) == original) << "an unchanged pack changed live.iff";

  // "Łucja" typed as UTF-8 over the first Polish name of list 0.
  const size_t at = text.find("[Male Townie First Names]\r\n") + 27;
  text.replace(at, text.find("\r\n", at) - at, "\xC5\x81ucja");
  Write(pack, text);
  ASSERT_EQ(Run({"import", "--language", "Polish", game_.string(), pack}), kOk) << err_.str();
  IffFile file;
  gsReadIFFImage(file, Read(live_));
  StringTable table;
  gsReadSTRSegment(file, table, Bytes("\x00\x96\x00\x10", 4), false);
  EXPECT_EQ(table.Entries.at(12 * demo::kNamesPerBlock).Value, "\xA3ucja");
  EXPECT_EQ(Run({"list", "--language", "Klingon", game_.string()}), kUsage);
}

TEST_F(Qmnames, RejectedPackIsReportedByLineAndNothingIsWritten) {
  const std::string original = Read(live_);
  const std::string pack = (root_ / "bad.txt").string();
  Write(pack, "[Tourists Last Names]\nSmith\nO'Brien\n");
  EXPECT_EQ(Run({"import", game_.string(), pack}), kPackRejected);
  EXPECT_NE(err_.str().find(pack + ":3: ''' cannot be part of a name"), std::string::npos)
      << err_.str();
  EXPECT_TRUE(Read(live_) == original);
  EXPECT_FALSE(fs::exists(game_ / "GameData" / "original_live.iff"));
}

TEST_F(Qmnames, FileErrorsAndBadArgumentsHaveTheirOwnStatus) {
  EXPECT_EQ(Run({"restore", game_.string()}), kFileError);  // no backup yet
  EXPECT_NE(err_.str().find("original_live.iff was not found"), std::string::npos) << err_.str();
  EXPECT_EQ(Run({"list", root_.string()}), kFileError);  // no sims.exe there
  Write(live_, Read(live_).substr(0, 100));
  EXPECT_EQ(Run({"list", game_.string()}), kFileError);
  EXPECT_NE(err_.str().find("qmnames: gsReadIFF: error 38: "), std::string::npos) << err_.str();
  EXPECT_EQ(Run({"reapply", game_.string()}), kFileError);  // nothing saved, nothing kept
  EXPECT_EQ(Run({"import"}), kUsage);
  EXPECT_EQ(Run({"--help"}), kOk);
  EXPECT_NE(out_.str().find("Exit status"), std::string::npos);
}

TEST_F(Qmnames, ReapplyPutsTheSavedNamesBackAfterAFileCheck) {
  const std::string pack = (root_ / "names.txt").string();
  Write(pack, "[Tourists Last Names]\nZed\n");
  ASSERT_EQ(Run({"import", game_.string(), pack}), kOk) << err_.str();
  const std::string edited = Read(live_);
  Write(live_, Read(game_ / "GameData" / "original_live.iff"));  // the file check

  ASSERT_EQ(Run({"status", game_.string()}), kOk) << err_.str();
  EXPECT_NE(out_.str().find("live.iff holds: the game's own names\nKept names: " + data_.string()),
            std::string::npos)
      << out_.str();
  ASSERT_EQ(Run({"reapply", game_.string()}), kOk) << err_.str();
  EXPECT_TRUE(Read(live_) == edited) << "the saved names are not back";
  ASSERT_EQ(Run({"status", game_.string()}), kOk) << err_.str();
  EXPECT_NE(out_.str().find("live.iff holds: the kept names"), std::string::npos) << out_.str();
}

#ifndef _WIN32
// Natively only: processes by fork, and a file system that tells letter case
// apart.

// Imports at once on one game (several qmnames, or qmnames and the window),
// on a live.iff of a real one's size: whoever reads live.iff meanwhile finds
// one writer's complete file.
TEST_F(Qmnames, ImportsAtOnceNeverLeaveAMixedFile) {
  IffFile padded;
  gsReadIFFImage(padded, Read(live_));
  padded.Chunks.push_back(test::ModelChunk("BMP_", 0x7000, 0, "Pad", std::string(2 << 20, 'p')));
  std::string original;
  gsWriteIFFImage(padded, original);
  Write(live_, original);
  std::set<std::string> whole = {original};
  std::vector<std::string> packs;
  for (const char* who : {"Ann", "Bobby", "Christopher"}) {
    std::string pack = "[0]\n";
    for (int row = 0; row < 51; ++row) pack += who + std::to_string(row) + "\n";
    packs.push_back((root_ / who).string());
    Write(packs.back(), pack);
    ASSERT_EQ(Run({"import", game_.string(), packs.back()}), kOk) << err_.str();
    whole.insert(Read(live_));
    Write(live_, original);
  }

  std::vector<pid_t> writers;
  for (const std::string& pack : packs) {
    writers.push_back(fork());
    if (writers.back() == 0) {
      std::ostringstream ignored;
      for (int i = 0; i < 30; ++i) qmnames::Run({"import", game_.string(), pack}, ignored, ignored);
      _exit(0);
    }
  }
  int reads = 0;
  int mixed = 0;
  for (pid_t writer : writers) {
    for (; waitpid(writer, nullptr, WNOHANG) == 0; ++reads) mixed += whole.count(Read(live_)) == 0;
  }
  EXPECT_EQ(mixed, 0) << "of " << reads << " reads";
  EXPECT_EQ(whole.count(Read(live_)), 1u);
}

// A user's own file is taken as named: exporting to names.txt beside a
// NAMES.TXT writes names.txt and leaves NAMES.TXT alone.
TEST_F(Qmnames, ExportWritesTheFileNamedInItsLetterCase) {
  Write(root_ / "NAMES.TXT", "my notes");
  const fs::path pack = root_ / "names.txt";
  ASSERT_EQ(Run({"export", game_.string(), pack.string()}), kOk) << err_.str();
  EXPECT_EQ(Read(root_ / "NAMES.TXT"), "my notes");
  EXPECT_NE(Read(pack).find("[Male Townie First Names]"), std::string::npos);
}
#endif

}  // namespace
}  // namespace qm::qmnames
