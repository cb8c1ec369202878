#pragma once
// Recording fakes of the window and platform services the editor uses:
// the main window's controls, message boxes, settings, the registry, the
// fatal-error exit and the retry pause.

#include <cstdint>
#include <cstring>
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

// A registry of keys (by hive and path) holding values (type and raw bytes),
// answering as advapi32's 8-bit entry points do, and recording every call.
class FakeRegistry final : public RegistryApi {
 public:
  static constexpr long kFileNotFound = 2;
  static constexpr long kInvalidHandle = 6;
  static constexpr long kMoreData = 234;

  struct Value {
    uint32_t type = kRegSz;
    std::string bytes;  // as stored, terminator included when there is one
  };
  struct OpenCall {
    RegHandle hive;
    std::string keyPath;
    uint32_t options;
    uint32_t sam;
  };
  struct QueryCall {
    RegHandle key;
    std::string valueName;
    uint32_t typeIn;
    uint32_t sizeIn;
    std::string bufferIn;  // the buffer's bytes as handed in
  };

  // A REG_SZ value holding `text` and its terminating zero.
  void SetString(RegHandle hive, const std::string& keyPath, const std::string& name,
                 const std::string& text) {
    SetValue(hive, keyPath, name, kRegSz, text + std::string(1, '\0'));
  }
  void SetValue(RegHandle hive, const std::string& keyPath, const std::string& name, uint32_t type,
                std::string bytes) {
    keys_[{hive, keyPath}][name] = Value{type, std::move(bytes)};
  }
  void AddKey(RegHandle hive, const std::string& keyPath) { keys_[{hive, keyPath}]; }

  std::vector<OpenCall> opens;
  std::vector<QueryCall> queries;
  std::vector<RegHandle> closes;
  std::vector<std::string> order;  // "open", "query", "close"
  uint32_t typeReported = 0;       // type of the last value queried

  long OpenKey(RegHandle hive, const std::string& keyPath, uint32_t options, uint32_t sam,
               RegHandle& key) override {
    opens.push_back({hive, keyPath, options, sam});
    order.push_back("open");
    auto it = keys_.find({hive, keyPath});
    if (it == keys_.end()) return kFileNotFound;
    handles_.push_back(&it->second);
    key = 0x1000 + handles_.size();
    return 0;
  }

  long QueryValue(RegHandle key, const std::string& valueName, uint32_t& type, uint8_t* buffer,
                  uint32_t& size) override {
    queries.push_back(
        {key, valueName, type, size, std::string(reinterpret_cast<const char*>(buffer), size)});
    order.push_back("query");
    const auto* values = Lookup(key);
    if (values == nullptr) return kInvalidHandle;
    auto it = values->find(valueName);
    if (it == values->end()) return kFileNotFound;
    const Value& value = it->second;
    type = value.type;
    typeReported = value.type;
    const uint32_t needed = static_cast<uint32_t>(value.bytes.size());
    if (needed > size) {
      size = needed;
      return kMoreData;
    }
    std::memcpy(buffer, value.bytes.data(), needed);
    size = needed;
    return 0;
  }

  long CloseKey(RegHandle key) override {
    closes.push_back(key);
    order.push_back("close");
    return Lookup(key) == nullptr ? kInvalidHandle : 0;
  }

 private:
  using Values = std::map<std::string, Value>;
  const Values* Lookup(RegHandle key) const {
    if (key <= 0x1000 || key > 0x1000 + handles_.size()) return nullptr;
    return handles_[key - 0x1001];
  }
  std::map<std::pair<RegHandle, std::string>, Values> keys_;
  std::vector<Values*> handles_;
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
