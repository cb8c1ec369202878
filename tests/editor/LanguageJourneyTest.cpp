// A multilingual live.iff: the window opens on the game's language, keeps
// each language's edits while another is shown, converts and filters names
// in the language's own code page, and saves only the names edited.

#include <gtest/gtest.h>

#include <algorithm>

#include "editor/EditorHarness.h"

namespace qm::test {
namespace {

class LanguageJourney : public EditorHarness {
 protected:
  void ChooseLanguage(const std::string& name) {
    const auto& menu = view.languageMenu;
    const auto it = std::find(menu.begin(), menu.end(), name);
    ASSERT_NE(it, menu.end()) << name;
    editor.OnChooseLanguage(static_cast<int>(it - menu.begin()));
  }
  bool Passes(char16_t c) {
    auto key = static_cast<int16_t>(c);
    return editor.FilterNameKey(key);
  }
};

// The original file written back with one entry of one table changed.
Bytes Rewritten(const Bytes& original, int list, size_t entry, const std::string& value) {
  IffFile file = ReadBack(original);
  StringTable table = NameTable(file, list);
  table.Entries.at(entry).Value = value;
  gsWriteSTRSegment(file, table, HexTextToBytes(kNameListInfo[list].idText), false);
  Bytes image;
  gsWriteIFFImage(file, image);
  return image;
}

TEST_F(LanguageJourney, FrenchGameOpensInFrenchKeepsEditsAcrossLanguagesAndSavesOnlyThem) {
  registry.SetString(RegistryHive::CurrentUser, "Software\\Electronic Arts\\The Sims 25",
                     "SIMS_LANGUAGE", " french ");
  const Bytes original = BuildLiveIff({.multilingual = true});
  StartOnGame({.multilingual = true});
  EXPECT_EQ(view.items[0], LanguageNameUtf8(3, 0, 0));
  EXPECT_EQ(view.languageText, "Names in French");
  ASSERT_EQ(view.languageMenu.size(), 17u);
  EXPECT_EQ(view.languageMenu.at(static_cast<size_t>(view.languageChecked)), "French");
  Edit(2, "Zoe");

  // Japanese names through Shift-JIS; list 6 lacks them and shows US English.
  ChooseLanguage("Japanese");
  EXPECT_EQ(view.items[0], LanguageNameUtf8(15, 0, 0));
  editor.OnSelectList(6);
  EXPECT_EQ(view.items[0], LanguageNameUtf8(1, 6, 0));
  EXPECT_EQ(view.languageText, "Names in English (US) (this list has no Japanese names)");
  editor.OnSelectList(0);
  ChooseLanguage("French");
  EXPECT_EQ(view.items[2], "Zoe");

  // Saved while another language is shown.
  ChooseLanguage("Japanese");
  editor.SaveNameLists();
  EXPECT_TRUE(Live() == Rewritten(original, 0, 51 + 2, "Zoe"));
  EXPECT_EQ(settings.Get(kSettingsApp, kSettingsSection, "Language " + kGameRoot), "Japanese");
}

TEST_F(LanguageJourney, TypingTakesTheLettersOfTheLanguagesCodePageUpTo25Bytes) {
  StartOnGame({.multilingual = true});
  EXPECT_EQ(view.languageText, "Names in English (US)");
  EXPECT_FALSE(Passes(u'\u0142'));  // US English keeps its filter: no "ł"
  ChooseLanguage("Polish");
  EXPECT_TRUE(Passes(u'\u0142'));
  EXPECT_FALSE(Passes(u'\u30A2'));  // katakana: not in code page 1250
  EXPECT_FALSE(Passes(u'!'));
  ChooseLanguage("Japanese");
  EXPECT_TRUE(Passes(u'\u30A2'));
  EXPECT_FALSE(Passes(u'\u0142'));
  EXPECT_FALSE(Passes(u'\u3001'));  // the ideographic comma is no letter

  // Thirteen double-byte characters are 26 bytes: the name keeps twelve.
  editor.OnChooseName(4);
  std::string typed;
  for (int i = 0; i < 13; ++i) typed += "\xE3\x82\xA2";  // ア
  view.nameText = typed;
  editor.OnNameChanged();
  EXPECT_EQ(view.nameText, typed.substr(0, 12 * 3));  // the box shows what is kept
  editor.SaveNameLists();
  const StringTable table = NameTable(ReadBack(Live()), 0);
  std::string expected;
  for (int i = 0; i < 12; ++i) expected += "\x83\x41";  // ア in Shift-JIS
  EXPECT_EQ(table.Entries.at(51 * 11 + 4).Value, expected);
}

}  // namespace
}  // namespace qm::test
