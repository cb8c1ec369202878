#pragma once
// An environment of the test's choosing: a Windows one by default (no Linux
// side, no variables), a Wine one after UnderWine(home), a Linux one after
// Native(home). Records the variables asked for.

#include <map>
#include <string>
#include <vector>

#include "1-platform/Environment.h"

namespace qm::test {

class FakeEnvironment final : public Environment {
 public:
  std::map<std::string, std::string> variables;
  std::vector<std::string> asked;  // variable names, in order

  // Windows under Wine: Linux paths through drive Z:, the home given as a
  // Linux path ("/home/ann").
  void UnderWine(const std::string& home) {
    separator_ = '\\';
    drive_ = "Z:";
    home_ = home;
  }
  // The native build: Linux paths as they are.
  void Native(const std::string& home) {
    separator_ = '/';
    drive_.clear();
    home_ = home;
  }

  std::string Variable(const std::string& name) override {
    asked.push_back(name);
    auto it = variables.find(name);
    return it == variables.end() ? std::string() : it->second;
  }
  char Separator() override { return separator_; }
  std::string UnixHome() override { return home_.empty() ? "" : FromUnixPath(home_); }
  std::string FromUnixPath(const std::string& path) override {
    if (home_.empty() || path.empty() || path[0] != '/') return "";
    std::string mapped = drive_ + path;
    for (char& c : mapped) {
      if (c == '/') c = separator_;
    }
    return mapped;
  }

 private:
  char separator_ = '\\';
  std::string drive_;
  std::string home_;  // empty: Windows itself, no Linux side
};

}  // namespace qm::test
