#pragma once
// The behaviour of the main window frmMain: start-up (load and activation
// steps), the seven name lists with their selection and editing, the
// one-time backup and saving. The window procedure turns messages into calls
// on this class; everything it does to the screen goes through MainView.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "1-platform/CodePage.h"
#include "1-platform/Elevation.h"
#include "1-platform/Environment.h"
#include "1-platform/FileSystem.h"
#include "1-platform/Registry.h"
#include "1-platform/Shell.h"
#include "1-platform/Ui.h"
#include "2-iff/IffFile.h"
#include "2-iff/StringTable.h"
#include "3-state/AppState.h"
#include "4-behaviour/ErrorDialog.h"
#include "4-behaviour/KeptNames.h"
#include "4-behaviour/NameStore.h"

namespace qm {

// The main window's controls as the behaviour sees them. List items and the
// name box's text are UTF-8; NameEditor converts the game's names for them.
class MainView {
 public:
  virtual ~MainView() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void Repaint() = 0;  // draw now, before a message box appears
  virtual void SetListItems(const std::vector<std::string>& items) = 0;
  virtual void SetListItem(int row, const std::string& text) = 0;
  virtual void SetNameText(const std::string& text) = 0;
  virtual std::string GetNameText() = 0;
  virtual void EnableName(bool enabled) = 0;
  virtual void SelectAllNameAndFocus() = 0;  // select the whole text, focus the box
  virtual void CheckOption(int index) = 0;   // check option `index`, uncheck the others
  // The label that says which language's names the list shows.
  virtual void SetLanguageText(const std::string& text) = 0;
  // Options > Language: one item per name, item `checked` checked (-1: none).
  virtual void SetLanguageMenu(const std::vector<std::string>& names, int checked) = 0;
};

// The platform services the main window uses.
struct EditorServices {
  FileSystem& files;
  MessageBoxes& messages;
  Settings& settings;
  Registry& registry;
  FatalErrors& fatal;
  Sleeper& sleeper;
  FileDialogs& dialogs;
  CodePage& codePage;  // the one the game's names are in
  Environment& environment;
  ErrorWindow& errorWindow;  // for a failure of the file format
  Elevation& elevation;      // the offer to restart as administrator
};

class NameEditor {
 public:
  NameEditor(MainView& view, const EditorServices& services);

  // Load step, once before the window is shown: while the stored setting is
  // empty, the registry's folder seeds it, or a folder found in the known
  // places when the registry's holds no game (the registry's text when none
  // is found); gSimsPath comes from the setting. A stored "ERROR" or empty
  // value is no setting. `gameForThisRun` (the --game option), when given,
  // is the folder for this run and leaves the setting alone.
  void OnLoad(const std::string& gameForThisRun = {});

  // Activation step (first show, and after the Set Path dialog closes):
  // everything loaded or shown before is dropped, unsaved edits included;
  // caption, folder and game tests, the choice of the VirtualStore copy when
  // there is one, the test whether gamedata may be written, backup,
  // LoadNameLists; then list 0 is selected and shown. On a folder that may
  // not be written the names are shown for reading, and once per folder a
  // question offers to restart as administrator; after a Yes, Ending().
  void OnActivate();

  // The player chose to restart as administrator and the new copy started:
  // this window must close.
  bool Ending() const { return mEnding; }

  // Reads live.iff into mLiveFile, decodes the seven tables, fills
  // gNameLists. False when anything failed (already reported).
  bool LoadNameLists();

  // Option `index` became selected: write the list box back, show list `index`.
  void OnSelectList(int16_t index);

  // The list box item at `row` was clicked.
  void OnChooseName(int row);

  // Name box key press: true when the character passes; otherwise `c` is set
  // to 0 and the character must be dropped.
  static bool FilterKey(int16_t& c);
  // The key filter of the list shown: FilterKey for US English names and a
  // one-block table; for another language also the letters of its script
  // that its code page holds (an input method's characters among them).
  bool FilterNameKey(int16_t& c);

  // Options > Language item `index` was chosen: the names of that language
  // are shown; those of the language shown so far keep their edits until
  // Save or Exit. The choice is remembered for the game folder.
  void OnChooseLanguage(int index);

  // The user changed the name box's text (typing, pasting, deleting): copy
  // it into the list item being edited. The view does not report the text
  // that SetNameText puts in.
  void OnNameChanged();

  // Save button and menu item. When live.iff has changed since it was
  // loaded, a question offers to save over it, to load it again (dropping
  // the edits) or to do nothing.
  void SaveNameLists();

  // File > Export Names...: the seven lists, edits included, to a name pack
  // the user chooses.
  void OnExportNames();
  // File > Import Names...: a name pack's names into the lists in the
  // window (Save writes them), then a box with what was taken and rejected.
  void OnImportNames();
  // File > Restore Original Names: after a question, the lists in the
  // window are those of original_live.iff (Save writes them).
  void OnRestoreNames();

  int16_t ShownList() const { return mShownList; }
  int LanguageShown() const { return language_; }
  int16_t EditRow() const { return mEditRow; }
  const std::vector<std::string>& Items() const { return mItems; }
  const IffFile& LiveFile() const { return store_.LiveFile(); }
  const StringTable& ListTable(int list) const { return store_.ListTable(list); }

 private:
  // Runs `step` on the game's file; a failure of the file format is shown
  // in the error window. False after such a failure.
  bool ShowingFormatFailures(const std::function<void()>& step);
  void WriteBack();
  // The names kept for the game in use, outside the game's folder.
  // For `language` (a code), kMixedLanguages for a file of one block.
  KeptNames Kept(int language);
  // Keeps the names just saved, of every language shown since the load; a
  // failure is a warning (the save stands).
  void KeepSavedNames();
  // When live.iff holds the game's own names again while other names are
  // kept, asks whether to put the kept names back into the window.
  void OfferKeptNames();
  // Drops every edit and loads live.iff again, showing the same list.
  void ReloadNameLists();
  // Runs `step`; running out of memory in it is a message with `title`,
  // never the end of the window.
  void WithoutOutOfMemory(const std::string& title, const std::function<void()>& step);
  void ShowList(int16_t index);
  bool GameLoaded() const;
  // The folder whose gamedata is read and written: the game's, or its copy
  // in the VirtualStore when the player chose that one.
  const std::string& DataFolder() const;
  // Asks which live.iff to edit when the VirtualStore holds a copy.
  std::string ChooseDataFolder();
  // The question after a start on a folder that may not be written.
  void OfferAdministrator();
  // False, after saying why, when the data folder may not be written.
  bool MayWrite(const std::string& title);
  // Drops the loaded image, the tables, gNameLists and the list box's working
  // copy with the row being edited.
  void ForgetLoadedGame();
  // A name's bytes as the window shows them, and the window's text as a
  // name's bytes: through the code page, with '?' for what does not convert.
  std::string Shown(const std::string& bytes);
  std::string Typed(const std::string& text);
  // The code page of list `list`'s names in the language shown.
  CodePage& ListCodePage(int list) { return ListCodePage(list, language_); }
  CodePage& ListCodePage(int list, int language);
  std::array<CodePage*, kListCount> PagesOf(int language);
  std::array<CodePage*, kListCount> ListCodePages() { return PagesOf(language_); }
  // After a load: the start language's names into gNameLists, the menu.
  void ShowStartLanguage();
  void ShowLanguageMenu();
  void ShowLanguageText();
  // The names of every language edited into the store's tables.
  void PutEditedNames();

  MainView& view_;
  EditorServices services_;

  NameStore store_;  // mLiveFile and mListTables
  int16_t mShownList = 0;
  int16_t mEditRow = 0;
  // The list box's working copy as bytes; the list box only displays it.
  std::vector<std::string> mItems;
  // The name as put into the name box, and the text the box gave back for
  // it: an unedited name keeps its bytes even when the code page cannot
  // convert them.
  std::string mNameBytes;
  std::string mNameShownAs;

  // The language shown, its names as loaded (or last saved), and those of
  // the other languages shown since, as loaded and as edited.
  int language_ = kUsEnglish;
  NameLists read_;
  struct LanguageEdits {
    NameLists read;
    NameLists edited;
  };
  std::map<int, LanguageEdits> others_;
  std::vector<int> menuCodes_;  // the Language menu's items
  std::map<unsigned, std::unique_ptr<CodePage>> codePages_;

  std::string mDataFolder;    // empty until an activation chose it
  bool mWritable = true;      // whether gamedata may be written
  std::string mOfferedFor;    // the data folder the restart was offered for
  std::string mCopyAskedFor;  // the VirtualStore copy the player chose for or against
  bool mCopyChosen = false;
  bool mEnding = false;
};

}  // namespace qm
