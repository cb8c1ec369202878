#pragma once
// Recording fakes of the window and platform services the editor uses:
// the main window's controls, message boxes, settings, the registry, the
// fatal-error exit and the retry pause.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "1-platform/Registry.h"
#include "1-platform/Ui.h"
#include "4-behaviour/NameEditor.h"

namespace qm::test {

// One ordered record of what the fakes were asked to do, shared by those
// that are given it, so that tests can check the order across them.
using Journal = std::vector<std::string>;

// The main window's controls: a list box, a name box, seven options.
class FakeMainView final : public MainView {
 public:
  explicit FakeMainView(Journal* journal = nullptr) : journal_(journal) {}

  // When on, GetNameText gives every character outside ASCII back as '?',
  // as a box that cannot show those characters would.
  bool lossyCodePage = false;

  std::string caption;
  std::vector<std::string> items;
  std::string nameText;
  bool nameEnabled = true;
  bool nameSelectedAll = false;
  bool nameFocused = false;
  int checkedOption = -1;
  int repaints = 0;
  std::vector<std::string> calls;
  std::string languageText;
  std::vector<std::string> languageMenu;
  int languageChecked = -1;

  // Not journaled: the language label and menu follow every list shown.
  void SetLanguageText(const std::string& text) override { languageText = text; }
  void SetLanguageMenu(const std::vector<std::string>& names, int checked) override {
    languageMenu = names;
    languageChecked = checked;
  }

  void SetCaption(const std::string& text) override {
    caption = text;
    Record("SetCaption " + text);
  }
  void Repaint() override {
    ++repaints;
    Record("Repaint");
  }
  void SetListItems(const std::vector<std::string>& newItems) override {
    items = newItems;
    Record("SetListItems " + std::to_string(newItems.size()));
  }
  void SetListItem(int row, const std::string& text) override {
    items.at(static_cast<size_t>(row)) = text;
    Record("SetListItem " + std::to_string(row) + " " + text);
  }
  void SetNameText(const std::string& text) override {
    nameText = text;
    nameSelectedAll = false;
    Record("SetNameText " + text);
  }
  std::string GetNameText() override {
    if (!lossyCodePage) return nameText;
    std::string shown;
    for (char c : nameText) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x80) shown += c;
      if (byte >= 0xC0) shown += '?';  // the first byte of a UTF-8 sequence
    }
    return shown;
  }
  void EnableName(bool enabled) override {
    nameEnabled = enabled;
    Record(enabled ? "EnableName 1" : "EnableName 0");
  }
  void SelectAllNameAndFocus() override {
    nameSelectedAll = true;
    nameFocused = true;
    Record("SelectAllNameAndFocus");
  }
  void CheckOption(int index) override {
    checkedOption = index;
    Record("CheckOption " + std::to_string(index));
  }

  // The user types one character into the name box the way an edit control
  // limited to 25 characters takes it: a selected whole text is replaced,
  // backspace removes the last character. What reaches the box is what the
  // box would show (a lossy code page turns the old bytes into '?').
  void TypeIntoBox(char c) {
    std::string text = GetNameText();
    if (nameSelectedAll) {
      text.clear();  // typing or backspace replaces the selected whole name
    } else if (c == '\b' && !text.empty()) {
      text.pop_back();
    }
    nameSelectedAll = false;
    if (c != '\b' && text.size() < static_cast<size_t>(kMaxNameLength)) text.push_back(c);
    nameText = text;
  }

 private:
  void Record(std::string entry) {
    calls.push_back(entry);
    if (journal_ != nullptr) journal_->push_back("view: " + entry);
  }
  Journal* journal_;
};

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
};

class FakeMessageBoxes final : public MessageBoxes {
 public:
  explicit FakeMessageBoxes(Journal* journal = nullptr) : journal_(journal) {}

  std::vector<ShownMessage> shown;
  // Runs while the box is "open", e.g. to let the user close the game.
  std::function<void(const ShownMessage&)> onShow;

  void Show(const std::string& text, const std::string& title, MessageIcon icon) override {
    shown.push_back({text, title, icon});
    if (journal_ != nullptr) journal_->push_back("message: " + title);
    if (onShow) onShow(shown.back());
  }

  // Questions asked, and the answer the user gives to each.
  std::vector<ShownMessage> asked;
  bool answer = true;
  bool Ask(const std::string& text, const std::string& title) override {
    asked.push_back({text, title, MessageIcon::Warning});
    if (journal_ != nullptr) journal_->push_back("question: " + title);
    return answer;
  }
  // The answer to every three-way question.
  Choice choice = Choice::Yes;
  Choice AskYesNoCancel(const std::string& text, const std::string& title) override {
    Ask(text, title);
    return choice;
  }

 private:
  Journal* journal_;
};

class FakeSettings final : public Settings {
 public:
  using Key = std::tuple<std::string, std::string, std::string>;
  std::map<Key, std::string> values;
  int saves = 0;
  SysCode failWith = syserr::kOk;  // what Save answers; nothing is stored unless kOk

  std::string Get(const std::string& app, const std::string& section,
                  const std::string& key) override {
    auto it = values.find({app, section, key});
    return it == values.end() ? std::string() : it->second;
  }
  SysCode Save(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override {
    ++saves;
    if (failWith == syserr::kOk) values[{app, section, key}] = value;
    return failWith;
  }
};

// A registry of string values by hive, key and name, recording each read
// as "key\\name".
class FakeRegistry final : public Registry {
 public:
  void SetString(RegistryHive hive, const std::string& keyPath, const std::string& name,
                 const std::string& text) {
    values_[{hive, keyPath, name}] = text;
  }
  std::vector<std::string> reads;

  std::string ReadString(RegistryHive hive, const std::string& keyPath,
                         const std::string& valueName) override {
    reads.push_back(keyPath + "\\" + valueName);
    const auto it = values_.find({hive, keyPath, valueName});
    return it == values_.end() ? kRegistryError : it->second;
  }

 private:
  std::map<std::tuple<RegistryHive, std::string, std::string>, std::string> values_;
};

// Thrown by FakeFatal where the program would have ended.
struct ProgramEnded {};

class FakeFatal final : public FatalErrors {
 public:
  struct Call {
    int32_t number;
    std::string description;
  };
  std::vector<Call> calls;
  [[noreturn]] void Fatal(int32_t number, const std::string& description) override {
    calls.push_back({number, description});
    throw ProgramEnded{};
  }
};

// Records the pauses instead of waiting; `onSleep` can change the world
// between two tries.
class NoSleep final : public Sleeper {
 public:
  std::vector<int> pauses;
  std::function<void(int count)> onSleep;
  void SleepMs(int milliseconds) override {
    pauses.push_back(milliseconds);
    if (onSleep) onSleep(static_cast<int>(pauses.size()));
  }
  int TotalMs() const {
    int total = 0;
    for (int ms : pauses) total += ms;
    return total;
  }
};

}  // namespace qm::test
