#include "4-behaviour/LibraryFolders.h"

namespace qm {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// One pass over the text, no recursion: the nesting is a counter, so neither
// depth nor length can exhaust the stack, and every step consumes input.
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  // The root key, its block, and nothing but white space after it. Inside,
  // each key is followed by a value or a block; the libraries' blocks are at
  // depth 2.
  bool Parse(std::vector<std::string>& paths) {
    std::string key;
    if (!String(key) || !SameIgnoringCase(key, "libraryfolders")) return false;
    SkipSpace();
    if (!Take('{')) return false;
    int depth = 1;
    while (depth > 0) {
      SkipSpace();
      if (Take('}')) {
        --depth;
        continue;
      }
      if (!String(key)) return false;
      SkipSpace();
      if (Take('{')) {
        if (++depth > kLibraryFoldersMaxDepth) return false;
        continue;
      }
      std::string value;
      if (!String(value)) return false;
      if (depth == 2 && SameIgnoringCase(key, "path") && !value.empty()) {
        if (value.size() > kLibraryFoldersMaxPathBytes) return false;
        if (paths.size() == kLibraryFoldersMaxLibraries) return false;
        paths.push_back(std::move(value));
      }
    }
    SkipSpace();
    return pos_ == text_.size();
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\n')) {
      ++pos_;
    }
  }

  bool Take(char c) {
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  // A quoted string on one line, with the escapes \\ \" \n \t \r; any other
  // escape or control character makes the file damaged.
  bool String(std::string& out) {
    SkipSpace();
    if (!Take('"')) return false;
    out.clear();
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ == text_.size()) return false;
      switch (text_[pos_++]) {
        case '\\':
          out += '\\';
          break;
        case '"':
          out += '"';
          break;
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        default:
          return false;
      }
    }
    return false;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

bool ParseLibraryFolders(std::string_view text, std::vector<std::string>& paths) {
  paths.clear();
  if (text.size() > kLibraryFoldersMaxBytes) return false;
  std::vector<std::string> found;
  if (!Parser(text).Parse(found)) return false;
  paths = std::move(found);
  return true;
}

}  // namespace qm
