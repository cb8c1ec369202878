#include "4-behaviour/NamePack.h"

#include <algorithm>
#include <cctype>

#include "4-behaviour/Languages.h"

namespace qm {

namespace {

const std::string kByteOrderMark = "\xEF\xBB\xBF";

// What the name box accepts when typing, and letters of the game's scripts.
bool IsNameCharacter(char32_t c) {
  return (c >= '0' && c <= '9') || c == '-' || c == ' ' || c == '"' || IsNameLetter(c);
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The list a heading names, -1 for none.
int ListOfHeading(std::string_view heading) {
  const std::string name = Lower(heading);
  for (int k = 0; k < kListCount; ++k) {
    if (name == Lower(kNameListInfo[static_cast<size_t>(k)].caption) || name == std::to_string(k)) {
      return k;
    }
  }
  return -1;
}

const char* const kHeader =
    "# Quillmark name pack: one name per line under each list; a line that begins with a "
    "backslash holds an escaped name.";
// The header of the packs written before escapes existed: such a pack is read
// without them.
const char* const kHeaderWithoutEscapes =
    "# Quillmark name pack: one name per line under each list.";

// Not a control character (C0, DEL or C1): what a line may show as it is.
bool IsShown(char32_t c) { return c >= 0x20 && !(c >= 0x7F && c <= 0x9F); }

struct Line {
  int number;
  std::string text;  // UTF-8 when `bad` is empty
  std::string bad;   // why the line is not text in the pack's encoding
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  int number = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(at, end - at));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back({++number, std::move(line), {}});
    at = end + 1;
  }
  return lines;
}

// The lines as UTF-8. With the byte-order mark every line must be UTF-8;
// without it, a text that is not UTF-8 is in the code page.
std::vector<Line> DecodeLines(std::string_view pack, CodePage& codePage, unsigned& readIn) {
  const bool marked = pack.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  if (marked) pack.remove_prefix(kByteOrderMark.size());
  std::vector<Line> lines = SplitLines(pack);
  readIn = marked || IsValidUtf8(pack) ? 0 : codePage.Number();
  for (Line& line : lines) {
    std::string utf8;
    if (readIn == 0 && !IsValidUtf8(line.text)) {
      line.bad = "not UTF-8 text, as the file's byte-order mark says it is";
    } else if (readIn != 0 && !codePage.ToUtf8(line.text, utf8)) {
      line.bad = "a byte that is no character in code page " + std::to_string(readIn);
    } else if (readIn != 0) {
      line.text = std::move(utf8);
    }
  }
  return lines;
}

bool IsHeading(const std::string& line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes of name line `text` (UTF-8) in the code page, escapes read when
// `escapes`; why not when it cannot be.
std::string NameBytes(const std::string& text, bool escapes, CodePage& codePage,
                      std::string& bytes) {
  const std::string noPlace = "the game's code page has no place for a character";
  if (!escapes || text.empty() || text.front() != '\\') {
    return codePage.FromUtf8(text, bytes) ? "" : noPlace;
  }
  bytes.clear();
  std::string literal;
  auto flush = [&] {
    std::string part;
    if (!codePage.FromUtf8(literal, part)) return false;
    bytes += part;
    literal.clear();
    return true;
  };
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] != '\\') {
      literal += text[i];
      continue;
    }
    const bool hex = i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0 &&
                     HexDigit(text[i + 3]) >= 0;
    if (!hex && (i + 1 == text.size() || text[i + 1] != '\\')) {
      return "a backslash that begins neither \\\\ nor \\x and two hex digits";
    }
    if (!flush()) return noPlace;
    bytes += hex ? static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3])) : '\\';
    i += hex ? 3 : 1;
  }
  return flush() ? "" : noPlace;
}

// Why `bytes` cannot be the name in row `row` of `list`; empty when it can.
std::string CheckName(const std::string& bytes, const NameLists& current, int list, int row,
                      CodePage& codePage) {
  if (bytes == current.Cell(list, row)) return {};  // unchanged
  std::string utf8;
  if (!codePage.ToUtf8(bytes, utf8)) return "a byte that is no character in the game's code page";
  for (char32_t c : DecodeUtf8(utf8)) {
    if (!IsNameCharacter(c)) {
      if (c < 0x80 && std::isprint(static_cast<int>(c))) {
        return std::string("'") + static_cast<char>(c) + "' cannot be part of a name";
      }
      return "a character that cannot be part of a name";
    }
  }
  if (bytes.size() > static_cast<size_t>(kMaxNameLength)) {
    return "longer than " + std::to_string(kMaxNameLength) + " characters";
  }
  return {};
}

// How many bytes at `at` make one character that can stand for itself in
// an escaped name (one byte, or two in a double-byte code page), with that
// character as UTF-8; 0 when none do.
size_t ShownCharacterAt(const std::string& bytes, size_t at, CodePage& codePage,
                        std::string& utf8) {
  for (size_t length = 1; length <= 2 && at + length <= bytes.size(); ++length) {
    const std::string piece = bytes.substr(at, length);
    std::string back;
    if (!codePage.ToUtf8(piece, utf8) || !codePage.FromUtf8(utf8, back) || back != piece) continue;
    const std::u32string characters = DecodeUtf8(utf8);
    if (characters.size() == 1 && IsShown(characters[0]) && characters[0] != '\\') return length;
  }
  return 0;
}

std::string Escaped(const std::string& bytes, CodePage& codePage) {
  static const char* const kHex = "0123456789ABCDEF";
  const size_t first = bytes.find_first_not_of(' ');
  const size_t last = bytes.find_last_not_of(' ');
  std::string out = "\\";
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const bool outerSpace = byte == ' ' && (first == std::string::npos || i < first || i > last);
    std::string utf8;
    const size_t length = outerSpace ? 0 : ShownCharacterAt(bytes, i, codePage, utf8);
    if (byte == '\\') {
      out += "\\\\";
      i += 1;
    } else if (length > 0) {
      out += utf8;
      i += length;
    } else {
      out += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 0xF];
      i += 1;
    }
  }
  return out;
}

// Name `bytes` as its line: plain UTF-8 when that reads back as the same
// bytes, escaped otherwise.
std::string NameLine(const std::string& bytes, bool lastOfList, CodePage& codePage) {
  std::string utf8;
  std::string back;
  if (!codePage.ToUtf8(bytes, utf8) || !codePage.FromUtf8(utf8, back) || back != bytes) {
    return Escaped(bytes, codePage);
  }
  if (utf8.empty()) return lastOfList ? "\\" : "";
  const std::u32string characters = DecodeUtf8(utf8);
  const bool plain = std::string_view("#[\\ ").find(utf8.front()) == std::string_view::npos &&
                     utf8.back() != ' ' &&
                     std::all_of(characters.begin(), characters.end(), IsShown);
  return plain ? utf8 : Escaped(bytes, codePage);
}

}  // namespace

std::string WriteNamePack(const NameLists& lists, CodePage& codePage) {
  ListCodePages pages;
  pages.fill(&codePage);
  return WriteNamePack(lists, pages);
}

PackReading ReadNamePack(std::string_view pack, const NameLists& current, CodePage& codePage) {
  ListCodePages pages;
  pages.fill(&codePage);
  return ReadNamePack(pack, current, pages);
}

std::string WriteNamePack(const NameLists& lists, const ListCodePages& codePages,
                          std::string_view language) {
  const std::string crlf = "\r\n";
  std::string out = kByteOrderMark + kHeader + crlf;
  if (!language.empty()) out += "# Language: " + std::string(language) + crlf;
  for (int k = 0; k < kListCount; ++k) {
    const NameListInfo& info = kNameListInfo[static_cast<size_t>(k)];
    out += crlf + "[" + info.caption + "]" + crlf;
    for (int r = 0; r < info.namesUsed; ++r) {
      out +=
          NameLine(lists.Cell(k, r), r + 1 == info.namesUsed, *codePages[static_cast<size_t>(k)]) +
          crlf;
    }
  }
  return out;
}

PackReading ReadNamePack(std::string_view pack, const NameLists& current,
                         const ListCodePages& codePages) {
  PackReading reading;
  reading.lists = current;
  const std::vector<Line> lines = DecodeLines(pack, *codePages[0], reading.codePage);
  const bool escapes = lines.empty() || lines.front().text != kHeaderWithoutEscapes;
  std::vector<bool> seen(kListCount, false);
  size_t i = 0;
  auto reject = [&](const Line& line, std::string reason) {
    reading.rejected.push_back({line.number, line.bad.empty() ? std::move(reason) : line.bad});
  };
  auto isComment = [](const Line& line) { return !line.text.empty() && line.text[0] == '#'; };
  // Lines before the first heading may only be comments or empty.
  for (; i < lines.size() && !IsHeading(lines[i].text); ++i) {
    if (!lines[i].bad.empty() || (!lines[i].text.empty() && !isComment(lines[i]))) {
      reject(lines[i], "a name before the first list heading");
    }
  }
  while (i < lines.size()) {
    const Line& heading = lines[i++];
    reading.isPack = true;
    std::vector<const Line*> rows;
    for (; i < lines.size() && !IsHeading(lines[i].text); ++i) {
      if (!isComment(lines[i])) {
        rows.push_back(&lines[i]);
      } else if (!lines[i].bad.empty()) {
        reject(lines[i], {});
      }
    }
    while (!rows.empty() && rows.back()->text.empty()) rows.pop_back();

    const int list =
        ListOfHeading(std::string_view(heading.text).substr(1, heading.text.size() - 2));
    std::string why;
    if (list < 0) why = "not the name of a list";
    if (list >= 0 && seen[static_cast<size_t>(list)]) why = "the list's second section";
    if (!why.empty() || !heading.bad.empty()) {
      reject(heading, why);
      for (const Line* row : rows) reject(*row, "in a section that is not read");
      continue;
    }
    seen[static_cast<size_t>(list)] = true;
    const int used = kNameListInfo[static_cast<size_t>(list)].namesUsed;
    for (size_t r = 0; r < rows.size(); ++r) {
      if (r >= static_cast<size_t>(used)) {
        reject(*rows[r], "beyond the list's " + std::to_string(used) + " names");
        continue;
      }
      std::string bytes;
      why = rows[r]->bad;
      CodePage& codePage = *codePages[static_cast<size_t>(list)];
      if (why.empty()) why = NameBytes(rows[r]->text, escapes, codePage, bytes);
      if (why.empty()) why = CheckName(bytes, current, list, static_cast<int>(r), codePage);
      if (!why.empty()) {
        reject(*rows[r], why);
        continue;
      }
      reading.lists.Cell(list, static_cast<int>(r)) = bytes;
      ++reading.taken;
    }
  }
  return reading;
}

std::string DescribeReading(const PackReading& reading, size_t linesShown) {
  std::string text = std::to_string(reading.taken) + (reading.taken == 1 ? " name" : " names") +
                     " taken, " + std::to_string(reading.rejected.size()) + " rejected.";
  if (reading.codePage != 0) {
    text += "\r\nThe file is not UTF-8: it was read as text in code page " +
            std::to_string(reading.codePage) + ".";
  }
  const size_t shown = std::min(linesShown, reading.rejected.size());
  for (size_t i = 0; i < shown; ++i) {
    text +=
        "\r\nLine " + std::to_string(reading.rejected[i].line) + ": " + reading.rejected[i].reason;
  }
  if (shown < reading.rejected.size()) text += "\r\n...";
  return text;
}

std::string PackTooLargeText(const std::string& path) {
  return "The name pack " + path + " is larger than " + std::to_string(kMaxPackBytes >> 20) +
         " MiB, far more than seven lists of names: it was not read.";
}

}  // namespace qm
