// quillmark.exe end to end with its two dialogs: a corrupt live.iff brings
// up the error window (report, log, copy, end button), and the Set Path
// dialog refuses a folder without the game and takes one with it. The
// program runs as a user would start it; this process drives its windows
// through messages.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "2-iff/BinarySupport.h"
#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "4-behaviour/NameEditor.h"
#include "5-windows/resource.h"
#include "tests/wine/E2eSupport.h"

namespace qm {
namespace {

using namespace e2e;

std::string ClipboardText() {
  std::string text = "<none>";
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// The image with every name of the seven lists beginning with "B" instead:
// a second game that shares no name with the first.
std::string RenamedNames(const std::string& image) {
  IffFile file;
  gsReadIFFImage(file, image);
  for (const NameListInfo& list : kNameListInfo) {
    StringTable table;
    gsReadSTRSegment(file, table, HexTextToBytes(list.idText), false);
    for (StringEntry& entry : table.Entries) entry.Value[0] = 'B';
    gsWriteSTRSegment(file, table, HexTextToBytes(list.idText), false);
  }
  Bytes renamed;
  gsWriteIFFImage(file, renamed);
  return renamed;
}

// The registry's install folder holds a demo game; beside it are a folder
// without one and room for a second game.
class Games : public GameFolder {
 public:
  Games() { fs::create_directories(NoGame()); }
  fs::path Game() const { return Folder(); }
  fs::path OtherGame() const { return Root() / "Copy of The Sims"; }
  fs::path NoGame() const { return Root() / "Empty"; }
};

class ErrorWindowE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    // Cut short inside its chunks: the reader fails on the first start.
    const std::string image = ReadFileBytes(games.Live());
    corrupt = image.substr(0, image.size() / 2);
    WriteFileBytes(games.Live(), corrupt);
    fs::remove(logPath);
    app.Start();
    window = app.WaitForWindow(QM_ERROR_CLASS);
  }
  void TearDown() override {
    app.Kill();
    std::error_code ignored;
    fs::remove(logPath, ignored);
  }

  Games games;
  Quillmark app;
  std::string corrupt;
  fs::path logPath = fs::path(ProgramFolder()) / "errorlog.txt";
  HWND window = nullptr;
};

TEST_F(ErrorWindowE2e, CorruptLiveFileHaltsInErrorWindowWithReportAndLog) {
  ASSERT_NE(window, nullptr) << "no error window";
  const std::string report = ControlText(GetDlgItem(window, IDC_ERROR_TXTMESSAGE));
  EXPECT_EQ(report.rfind(std::string(kMainCaption) + "\r\n\r\nError: ", 0), 0u) << report;
  EXPECT_NE(report.find("\r\nModule: modIFFsupport\r\nProcedure: gs"), std::string::npos);
  EXPECT_NE(report.find("\r\nInstall Path: " + ProgramFolder() + "\r\n"), std::string::npos)
      << report;
  const std::string simsLine = "\r\nSims Path: " + games.Game().string();
  EXPECT_EQ(report.substr(report.size() - simsLine.size()), simsLine);
  EXPECT_EQ(ReadFileBytes(logPath), report + "\r\n");

  PostMessageW(GetDlgItem(window, IDC_ERROR_CMDEND), BM_CLICK, 0, 0);
  EXPECT_TRUE(app.WaitForExit());
  EXPECT_EQ(ReadFileBytes(games.Live()), corrupt);
}

TEST_F(ErrorWindowE2e, CopyPutsTheReportOnTheClipboard) {
  ASSERT_NE(window, nullptr) << "no error window";
  const std::string report = ControlText(GetDlgItem(window, IDC_ERROR_TXTMESSAGE));
  ASSERT_FALSE(report.empty());
  PostMessageW(GetDlgItem(window, IDC_ERROR_CMDCOPY), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return ClipboardText() == report; })) << ClipboardText();
  EXPECT_TRUE(IsWindow(window));
}

class SetPathE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Start();
    main = app.WaitForWindow(QM_MAIN_CLASS);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ListCount() == 51; }));
  }
  void TearDown() override { app.Kill(); }

  int ListCount() {
    return static_cast<int>(SendMessageW(GetDlgItem(main, IDC_MAIN_LSTNAMES), LB_GETCOUNT, 0, 0));
  }
  // Opens Set Path from the menu; the registry is read as it opens.
  HWND OpenSetPath(const fs::path& installPath) {
    SetInstallPath(installPath.string());
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_SETPATH, 0), 0);
    return app.WaitForWindow(QM_SETPATH_CLASS);
  }
  void Click(HWND dlg, int id) { PostMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

  Games games;
  Quillmark app;
  HWND main = nullptr;
};

TEST_F(SetPathE2e, RefusesFolderWithoutSimsExeAndTakesADemoGame) {
  HWND dlg = OpenSetPath(games.NoGame());
  ASSERT_NE(dlg, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main));
  EXPECT_EQ(ControlText(GetDlgItem(dlg, IDC_SETPATH_TXTREGISTRY)), games.NoGame().string());
  Click(dlg, IDC_SETPATH_CMDUSEREG);
  Click(dlg, IDC_SETPATH_CMDOK);
  HWND box = app.WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowTitle(box), "Selected Location Invalid");
  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  EXPECT_TRUE(IsWindow(dlg));
  EXPECT_EQ(Setting(), games.Game().string());
  Click(dlg, IDC_SETPATH_CMDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dlg); }));

  ASSERT_EQ(demo::WriteDemoGame(games.OtherGame().string()), "");
  dlg = OpenSetPath(games.OtherGame());
  ASSERT_NE(dlg, nullptr);
  Click(dlg, IDC_SETPATH_CMDUSEREG);
  Click(dlg, IDC_SETPATH_CMDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dlg); }));
  EXPECT_EQ(Setting(), games.OtherGame().string());
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(WaitFor([&] { return ListCount() == 51; }));
  EXPECT_TRUE(fs::exists(games.OtherGame() / "GameData" / "original_live.iff"));
}

// Game A is shown with an unsaved edit in list 3; Set Path switches to game
// B (Use, OK) and Save writes B: B keeps every one of its names, A is
// untouched.
TEST_F(SetPathE2e, SwitchingGamesSavesOnlyTheNamesOfTheGameNowInUse) {
  ASSERT_EQ(demo::WriteDemoGame(games.OtherGame().string()), "");
  const fs::path liveB = games.OtherGame() / "GameData" / "live.iff";
  WriteFileBytes(liveB, RenamedNames(ReadFileBytes(liveB)));
  const std::string bytesA = ReadFileBytes(games.Live());
  const std::string bytesB = ReadFileBytes(liveB);

  app.WaitForMain();
  app.ClickOption(3);
  ASSERT_TRUE(WaitFor([&] { return app.ListItem(4) == Widen(demo::DemoNames(3).at(4)); }));
  app.ChooseName(4);
  app.Type(L"Zed");
  ASSERT_EQ(app.ListItem(4), L"Zed");

  HWND dlg = OpenSetPath(games.OtherGame());
  ASSERT_NE(dlg, nullptr);
  Click(dlg, IDC_SETPATH_CMDUSEREG);
  Click(dlg, IDC_SETPATH_CMDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dlg); }));
  std::string firstOfB = demo::DemoNames(0).at(0);
  firstOfB[0] = 'B';
  ASSERT_TRUE(WaitFor([&] { return app.ListItem(0) == Widen(firstOfB); }))
      << Narrow(app.ListItem(0));

  app.ClickSave();
  const MessageBoxSeen saved = app.WaitForMessageBox();
  ASSERT_NE(saved.box, nullptr);
  EXPECT_EQ(Narrow(saved.title), "Operation Complete");
  Quillmark::PressOk(saved.box);
  EXPECT_TRUE(ReadFileBytes(liveB) == bytesB) << "B's live.iff changed";
  EXPECT_TRUE(ReadFileBytes(games.Live()) == bytesA) << "A's live.iff changed";
}

}  // namespace
}  // namespace qm
