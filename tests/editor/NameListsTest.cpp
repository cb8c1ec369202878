// The name lists: selecting a list, choosing a name, the key filter, copying
// the name box into the list, and the program-wide table behind them.

#include <gtest/gtest.h>

#include <set>

#include "1-platform/Failure.h"
#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

using ListSelection = EditorHarness;
using NameBox = EditorHarness;

TEST_F(ListSelection, SwitchingListsKeepsEdits) {
  StartOnGame();
  editor.OnSelectList(2);
  Edit(4, "Maple");
  EXPECT_EQ(view.items[4], "Maple");
  EXPECT_EQ(gNameLists.Cell(2, 4), FixtureName(2, 4));  // not written back yet

  editor.OnSelectList(5);
  EXPECT_EQ(gNameLists.Cell(2, 4), "Maple");
  EXPECT_EQ(view.items[4], FixtureName(5, 4));
  EXPECT_EQ(editor.ShownList(), 5);

  editor.OnSelectList(2);
  EXPECT_EQ(view.items[4], "Maple");
  EXPECT_EQ(view.items[3], Shown(FixtureName(2, 3)));
  EXPECT_EQ(view.items.size(), 50u);
}

TEST_F(ListSelection, ReselectingTheShownListKeepsEditsAndEmptiesTheNameBox) {
  StartOnGame();
  Edit(50, "Last");
  EXPECT_TRUE(view.nameEnabled);
  editor.OnSelectList(0);
  EXPECT_EQ(view.items.size(), 51u);
  EXPECT_EQ(view.items[50], "Last");
  EXPECT_EQ(gNameLists.Cell(0, 50), "Last");
  EXPECT_EQ(view.nameText, "");
  EXPECT_FALSE(view.nameEnabled);
}

TEST_F(ListSelection, SelectionDisablesTheNameBoxBeforeFillingTheList) {
  StartOnGame();
  view.calls.clear();
  editor.OnSelectList(3);
  EXPECT_EQ(view.calls,
            (std::vector<std::string>{"SetNameText ", "EnableName 0", "SetListItems 50"}));
  EXPECT_THROW(editor.OnSelectList(7), Failure);
  EXPECT_THROW(editor.OnSelectList(-1), Failure);
}

TEST_F(NameBox, ChoosingANameEnablesFillsSelectsAndFocuses) {
  StartOnGame();
  view.calls.clear();
  editor.OnChooseName(9);
  EXPECT_EQ(view.calls,
            (std::vector<std::string>{"EnableName 1", "SetNameText " + Shown(FixtureName(0, 9)),
                                      "SelectAllNameAndFocus"}));
  EXPECT_EQ(editor.EditRow(), 9);
  // The first character that passes replaces the whole name.
  Edit(9, "Q");
  EXPECT_EQ(view.items[9], "Q");
}

TEST_F(NameBox, FilterPassesLettersDigitsHyphenSpaceQuoteAndBackspaceOnly) {
  const std::string allowed =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789- \"\b";
  const std::set<int> pass(allowed.begin(), allowed.end());
  for (int code = -300; code <= 300; ++code) {
    int16_t c = static_cast<int16_t>(code);
    const bool passed = NameEditor::FilterKey(c);
    EXPECT_EQ(passed, pass.count(code) == 1) << "code " << code;
    EXPECT_EQ(c, passed ? code : 0) << "code " << code;
  }
  for (int16_t code : {int16_t{13}, int16_t{'!'}, int16_t{'_'}, int16_t{'.'}, int16_t{0xE9},
                       int16_t{-23}, int16_t{3}, int16_t{22}, int16_t{24}, int16_t{32767}}) {
    int16_t c = code;
    EXPECT_FALSE(NameEditor::FilterKey(c)) << code;
    EXPECT_EQ(c, 0);
  }
}

TEST_F(NameBox, TypedNameIsTakenExactlyAndRejectedKeysChangeNothing) {
  StartOnGame();
  Edit(1, "Mary-Jo 2\"x\"");
  EXPECT_EQ(view.items[1], "Mary-Jo 2\"x\"");
  Edit(1,
       "A!_.\r\xE9"
       "b");
  EXPECT_EQ(view.items[1], "Ab");
  // Backspace deletes; an emptied name stays empty and is written back so.
  Edit(1, "Z\b");
  EXPECT_EQ(view.items[1], "");
  editor.OnSelectList(1);
  EXPECT_EQ(gNameLists.Cell(0, 1), "");
}

TEST_F(NameBox, KeyReleaseCopiesAtMost25Characters) {
  StartOnGame();
  Edit(0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");  // the box stops taking keys at 25
  EXPECT_EQ(view.items[0], "ABCDEFGHIJKLMNOPQRSTUVWXY");
  // Text that reached the box some other way (pasted) is cut at 25 too.
  view.nameText = "Pasted!Text_That.Is-Far_Too_Long";
  editor.OnNameKeyUp();
  EXPECT_EQ(view.items[0], "Pasted!Text_That.Is-Far_T");
  EXPECT_EQ(view.calls.back(), "SetListItem 0 Pasted!Text_That.Is-Far_T");
}

TEST_F(NameBox, UneditedNameKeepsItsBytesThroughALossyCodePage) {
  view.lossyCodePage = true;
  StartOnGame();
  const std::string name = FixtureName(0, 3);  // "S\xF8ren-a3"
  ASSERT_EQ(name, "S\xF8ren-a3");
  editor.OnChooseName(3);
  EXPECT_EQ(view.GetNameText(), "S?ren-a3");
  editor.OnNameKeyUp();  // an arrow key: the text did not change
  EXPECT_EQ(editor.Items()[3], name);
  // Typed away and typed back the same as shown: still the original bytes.
  view.nameText = "S?ren-a";
  editor.OnNameKeyUp();
  EXPECT_EQ(view.items[3], "S?ren-a");
  view.nameText = "S?ren-a3";
  editor.OnNameKeyUp();
  EXPECT_EQ(editor.Items()[3], name);
  editor.OnSelectList(1);
  EXPECT_EQ(gNameLists.Cell(0, 3), name);
}

// The box holds UTF-8; what the user leaves in it goes back into the game's
// code page, '?' standing for a character the code page has no place for.
TEST_F(NameBox, TextInTheBoxGoesBackIntoTheCodePage) {
  StartOnGame();
  editor.OnChooseName(3);
  EXPECT_EQ(view.nameText, "S\xC3\xB8ren-a3");  // "Søren-a3", stored as S\xF8ren-a3
  view.nameText = "Zo\xC3\xAB \xC5\x81ucja";    // "Zoë Łucja" pasted: no Ł in 1252
  editor.OnNameKeyUp();
  EXPECT_EQ(view.items[3], "Zo\xC3\xAB ?ucja");
  editor.OnSelectList(1);
  EXPECT_EQ(gNameLists.Cell(0, 3), "Zo\xEB ?ucja");
}

TEST(NameLists, CellsOutsideTheTableAreSubscriptFailures) {
  NameLists lists;
  lists.Cell(6, 50) = "Edge";
  EXPECT_EQ(lists.Cell(6, 50), "Edge");
  EXPECT_EQ(lists.Cell(0, 0), "");
  for (auto [list, row] : {std::pair{7, 0}, std::pair{-1, 0}, std::pair{0, 51}, std::pair{0, -1}}) {
    try {
      lists.Cell(list, row);
      ADD_FAILURE() << list << "," << row;
    } catch (const Failure& f) {
      EXPECT_EQ(f.number(), 1413);
    }
  }
  const NameLists& shown = lists;
  EXPECT_THROW(shown.Cell(0, 51), Failure);
  lists.Clear();
  EXPECT_EQ(lists.Cell(6, 50), "");
}

}  // namespace
}  // namespace qm::test
