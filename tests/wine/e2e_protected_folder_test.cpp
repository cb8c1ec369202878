// quillmark.exe started by a user who may only read the game's folder, as a
// standard user may only read Program Files. protected-folder.sh makes that
// user and the folder (QM_PROTECTED_GAME), runs this as the user, and checks
// afterwards that nothing in the folder changed.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/wine/E2eSupport.h"

namespace qm {
namespace {

using namespace e2e;

TEST(ProtectedFolderE2e, NamesAreShownAndSaveRefusesWithoutEnding) {
  const char* game = std::getenv("QM_PROTECTED_GAME");
  if (game == nullptr) GTEST_SKIP() << "QM_PROTECTED_GAME is not set (protected-folder.sh sets it)";
  SetInstallPath(game);
  ClearSetting();
  Quillmark app;
  app.Start();
  ASSERT_NE(app.WaitForMain(), nullptr) << "no window captioned " << kMainCaption;
  const MessageBoxSeen offer = app.WaitForMessageBox();
  ASSERT_NE(offer.box, nullptr);
  EXPECT_EQ(offer.title, L"Game Folder Protected") << Narrow(offer.text);
  SendMessageW(GetDlgItem(offer.box, IDNO), BM_CLICK, 0, 0);  // keep it for reading
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(offer.box); }));
  ASSERT_EQ(app.ListCount(), 51);
  EXPECT_NE(app.ListItem(0), L"");

  app.ChooseName(0);
  app.Type(L"Ada");
  app.ClickSave();
  const MessageBoxSeen refusal = app.WaitForMessageBox();
  ASSERT_NE(refusal.box, nullptr) << "no message after Save";
  EXPECT_EQ(refusal.title, L"Names Not Saved");
  EXPECT_NE(refusal.text.find(L"Windows protects"), std::wstring::npos) << Narrow(refusal.text);
  Quillmark::PressOk(refusal.box);
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(app.ListItem(0), L"Ada");
  app.Close();
  EXPECT_TRUE(app.WaitForExit());
}

}  // namespace
}  // namespace qm
