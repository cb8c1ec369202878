// Fault injection on saving: every file-system call that a save makes is
// failed in turn (with several Windows errors, and as a short write where the
// call is a write), on a fresh session each time. After each failure live.iff
// must hold the old or the new complete image, never a partial one; the
// user's edits must still be in the editor; and a retry once the fault has
// passed must save, leaving no temporary file behind.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "3-state/AppState.h"
#include "4-behaviour/NameEditor.h"
#include "editor/EditorHarness.h"
#include "editor/GameFixture.h"
#include "support/MemoryFileSystem.h"
#include "support/UiFakes.h"

namespace qm::test {
namespace {

struct NameEdit {
  int list;
  int row;
  std::string name;
};

// Edits in three lists; list 3's is still in the list box when saving.
const std::vector<NameEdit> kEdits = {{0, 0, "Abe"}, {6, 10, "Cole"}, {3, 49, "Bea Q"}};

const std::string kNotSavedTitle = "Names Not Saved";

enum class Setup {
  Clean,         // a game folder as installed
  StaleTemp,     // an earlier run left a partial, read-only Dorvane_live.iff
  ReadOnlyLive,  // live.iff is marked read-only
};

const char* SetupName(Setup setup) {
  switch (setup) {
    case Setup::Clean:
      return "clean";
    case Setup::StaleTemp:
      return "stale temp";
    case Setup::ReadOnlyLive:
      return "read-only live";
  }
  return "?";
}

// The image a save of kEdits must produce, computed from the old image with
// the IFF library alone, without the editor.
Bytes NewImage(const Bytes& oldImage) {
  IffFile file = ReadBack(oldImage);
  for (size_t k = 0; k < kNameListInfo.size(); ++k) {
    StringTable table = NameTable(file, static_cast<int>(k));
    for (const NameEdit& edit : kEdits) {
      if (edit.list == static_cast<int>(k)) table.Entries.at(edit.row).Value = edit.name;
    }
    gsWriteSTRSegment(file, table, HexTextToBytes(kNameListInfo[k].idText), false);
  }
  Bytes image;
  gsWriteIFFImage(file, image);
  return image;
}

// One program run: the game loaded through the editor, kEdits made, nothing
// saved yet. What the error window shows is recorded while the session lives.
class Session : public EditorRig {
 public:
  explicit Session(Setup setup) {
    InstallGame(fs);
    if (setup == Setup::StaleTemp) {
      fs.AddFile(kTempPath, BuildLiveIff().substr(0, 300));
      fs.SetReadOnly(kTempPath);
    }
    if (setup == Setup::ReadOnlyLive) fs.SetReadOnly(kLivePath);
    UseSetting(kGameRoot);
    oldImage = fs.Contents(kLivePath).value();
    editor.OnLoad();
    editor.OnActivate();
    for (const NameEdit& edit : kEdits) {
      editor.OnSelectList(static_cast<int16_t>(edit.list));
      Edit(edit.row, edit.name);
    }
    callsBeforeSave = fs.CallCount();
  }

  // Reports of a failed save: error windows and "Names Not Saved" boxes.
  int FailureReports() const {
    int reports = static_cast<int>(traps.size());
    for (const ShownMessage& m : messages.shown) reports += m.title == kNotSavedTitle ? 1 : 0;
    return reports;
  }
  bool SavedShown() const {
    for (const ShownMessage& m : messages.shown) {
      if (m.text == kSavedText) return true;
    }
    return false;
  }

  void ExpectEditsKept() const {
    EXPECT_EQ(editor.ShownList(), 3);
    ASSERT_EQ(editor.Items().size(), 50u);
    EXPECT_EQ(editor.Items()[49], "Bea Q");
    EXPECT_EQ(view.items.at(49), "Bea Q");
    for (const NameEdit& edit : kEdits) {
      EXPECT_EQ(gNameLists.Cell(edit.list, edit.row), edit.name);
      EXPECT_EQ(editor.ListTable(edit.list).Entries.at(edit.row).Value, edit.name);
    }
    // An unedited name is untouched too.
    EXPECT_EQ(gNameLists.Cell(0, 1), FixtureName(0, 1));
  }

  Bytes oldImage;
  int callsBeforeSave = 0;
};

// The calls of a save that meets no fault, as the log names them.
std::vector<std::string> SaveCalls(Setup setup) {
  Session s(setup);
  s.editor.SaveNameLists();
  EXPECT_TRUE(s.SavedShown());
  EXPECT_EQ(s.fs.Contents(kLivePath), NewImage(s.oldImage))
      << "fault-free save of " << SetupName(setup);
  return {s.fs.Log().begin() + s.callsBeforeSave, s.fs.Log().end()};
}

struct InjectedFault {
  SysCode code = 0;      // 0: a short write (half the bytes stored, then kDiskFull)
  bool lasting = false;  // every later call of the save fails the same way
};

std::string FaultName(const InjectedFault& fault) {
  const std::string what = fault.code == 0 ? "short write" : "error " + std::to_string(fault.code);
  return what + (fault.lasting ? " from then on" : " once");
}

// A lasting fault covers this many calls, more than any failed save makes.
constexpr int kLastingSpan = 64;

// Fails call `k` (1-based, counted from the save's first call) of a save,
// checks what the failure left, then saves again with the fault gone.
// `failed` tells whether the faulty save failed (rather than waiting the
// fault out).
void FaultThenRetry(Setup setup, int k, const InjectedFault& fault, bool& failed) {
  Session s(setup);
  const Bytes newImage = NewImage(s.oldImage);
  ASSERT_NE(newImage, s.oldImage);
  const int at = s.callsBeforeSave + k;
  const int last = fault.lasting ? at + kLastingSpan - 1 : at;
  for (int j = at; j <= last; ++j) {
    if (fault.code == 0) {
      s.fs.ShortWrite(j);
    } else {
      s.fs.FailCall(j, fault.code);
    }
  }

  s.editor.SaveNameLists();
  ASSERT_GE(s.fs.CallCount(), at) << "the save never reached the failing call";
  ASSERT_LE(s.fs.CallCount(), fault.lasting ? last : at + kLastingSpan)
      << "the failed save ran past its fault plan";

  const std::optional<Bytes> live = s.fs.Contents(kLivePath);
  ASSERT_TRUE(live.has_value()) << "live.iff is missing";
  const bool isOld = *live == s.oldImage;
  const bool isNew = *live == newImage;
  ASSERT_TRUE(isOld || isNew) << "live.iff is neither image (" << live->size() << " bytes)";
  failed = isOld;
  EXPECT_EQ(s.fs.Contents(kBackupPath), s.oldImage);
  EXPECT_TRUE(s.fatal.calls.empty());
  EXPECT_FALSE(s.fs.IsOpenForWriting(kTempPath));
  if (isNew) {
    // The fault was waited out (a sharing violation) or harmless (a file
    // reported absent): the save went through.
    EXPECT_TRUE(s.SavedShown());
    EXPECT_EQ(s.FailureReports(), 0);
    EXPECT_FALSE(s.fs.Exists(kTempPath));
  } else {
    EXPECT_FALSE(s.SavedShown());
    EXPECT_EQ(s.FailureReports(), 1);
    // A step told that a file is absent goes on, and the report names the
    // failure of the step after it.
    const bool absent = fault.code == syserr::kFileNotFound;
    for (const ShownMessage& m : s.messages.shown) {
      if (fault.code != 0 && !absent) {
        EXPECT_NE(
            m.text.find("Error " + std::to_string(fault.code) + ": " + SystemErrorText(fault.code)),
            std::string::npos)
            << m.text;
      }
    }
    for (const std::string& procedure : s.traps) EXPECT_EQ(procedure, "gsWriteIFF");
  }
  s.ExpectEditsKept();

  // The fault has passed: a lasting one has its remaining planned calls
  // spent by harmless look-ups before the retry.
  while (s.fs.CallCount() < last) s.fs.IsNormalFile(kSimsExePath);
  s.messages.shown.clear();
  s.traps.clear();
  s.editor.SaveNameLists();
  ASSERT_EQ(s.messages.shown.size(), 1u);
  EXPECT_EQ(s.messages.shown[0].text, kSavedText);
  EXPECT_TRUE(s.traps.empty());
  EXPECT_EQ(s.fs.Contents(kLivePath), newImage);
  EXPECT_FALSE(s.fs.Exists(kTempPath));
  EXPECT_EQ(s.fs.Paths(), (std::vector<std::string>{kLockPath, kLivePath, kBackupPath,
                                                    kGameRoot + "\\Sims.exe"}));
  s.ExpectEditsKept();
}

bool FailCallAndRetry(Setup setup, int k, const std::string& call, const InjectedFault& fault) {
  SCOPED_TRACE(std::string(SetupName(setup)) + ", call " + std::to_string(k) + " (" + call + "), " +
               FaultName(fault));
  bool failed = false;
  FaultThenRetry(setup, k, fault, failed);
  return failed;
}

const std::vector<SysCode> kCodes = {syserr::kFileNotFound, syserr::kAccessDenied,
                                     syserr::kSharingViolation, syserr::kDiskFull};

struct Outcomes {
  int runs = 0;
  int failed = 0;  // saves that reported the fault and left the old file
};

// Every call of the save, each code, once and lasting; a short write where
// the call is a write.
Outcomes FailEveryCall(Setup setup) {
  const std::vector<std::string> calls = SaveCalls(setup);
  EXPECT_GE(calls.size(), 6u);
  Outcomes outcomes;
  for (size_t i = 0; i < calls.size(); ++i) {
    const int k = static_cast<int>(i) + 1;
    for (SysCode code : kCodes) {
      for (bool lasting : {false, true}) {
        outcomes.failed += FailCallAndRetry(setup, k, calls[i], InjectedFault{code, lasting});
        ++outcomes.runs;
      }
    }
    if (calls[i].rfind("Write ", 0) == 0) {
      for (bool lasting : {false, true}) {
        outcomes.failed += FailCallAndRetry(setup, k, calls[i], InjectedFault{0, lasting});
        ++outcomes.runs;
      }
    }
  }
  return outcomes;
}

// Most faults stop the save; sharing violations that clear, and files
// reported absent where absence is fine, are waited out or passed over.
void ExpectBothOutcomes(const Outcomes& outcomes) {
  EXPECT_GT(outcomes.failed, outcomes.runs / 2);
  EXPECT_LT(outcomes.failed, outcomes.runs);
}

TEST(SaveFaultInjection, FaultFreeSaveMakesTheExpectedCalls) {
  const std::string temp = kTempPath;
  const std::string live = kLivePath;
  const std::vector<std::string> clean = SaveCalls(Setup::Clean);
  ASSERT_EQ(clean.size(), 10u);
  EXPECT_EQ(clean[0], "Lock " + kLockPath);
  EXPECT_EQ(clean[1], "SetNormal " + temp);
  EXPECT_EQ(clean[2], "Create " + temp);
  EXPECT_EQ(clean[3].rfind("Write " + temp + " ", 0), 0u);
  EXPECT_EQ(clean[4], "Commit " + temp);
  EXPECT_EQ(clean[5], "Stamp " + live);
  EXPECT_EQ(clean[6].rfind("ReadAllUpTo " + live, 0), 0u);
  EXPECT_EQ(clean[7], "SetNormal " + live);
  EXPECT_EQ(clean[8], "Replace " + temp + " -> " + live);
  EXPECT_EQ(clean[9], "Stamp " + live);
  // A stale temporary file is removed first.
  const std::vector<std::string> stale = SaveCalls(Setup::StaleTemp);
  ASSERT_EQ(stale.size(), 11u);
  EXPECT_EQ(stale[2], "Remove " + temp);
}

TEST(SaveFaultInjection, EveryCallOfASaveFailingLeavesAWholeFileAndARetrySaves) {
  const Outcomes outcomes = FailEveryCall(Setup::Clean);
  EXPECT_EQ(outcomes.runs, 10 * 8 + 2);
  ExpectBothOutcomes(outcomes);
}

TEST(SaveFaultInjection, EveryCallFailingWithAStaleTempFileLeftBehind) {
  const Outcomes outcomes = FailEveryCall(Setup::StaleTemp);
  EXPECT_EQ(outcomes.runs, 11 * 8 + 2);
  ExpectBothOutcomes(outcomes);
}

TEST(SaveFaultInjection, EveryCallFailingWithAReadOnlyLiveFile) {
  const Outcomes outcomes = FailEveryCall(Setup::ReadOnlyLive);
  EXPECT_EQ(outcomes.runs, 10 * 8 + 2);
  ExpectBothOutcomes(outcomes);
}

}  // namespace
}  // namespace qm::test
