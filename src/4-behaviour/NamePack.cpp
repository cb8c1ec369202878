#include "4-behaviour/NamePack.h"

#include <algorithm>
#include <cctype>

namespace qm {

namespace {

const std::string kByteOrderMark = "\xEF\xBB\xBF";

// Letters beyond ASCII in the scripts of the game's code pages: Latin-1 and
// Latin Extended (é, ñ, ü, š, œ ...), Greek and Cyrillic.
bool IsLetterBeyondAscii(char32_t c) {
  return (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7) || (c >= 0x386 && c <= 0x3FF) ||
         (c >= 0x400 && c <= 0x52F) || (c >= 0x1E00 && c <= 0x1EFF);
}

// What the name box accepts when typing, and letters beyond ASCII.
bool IsNameCharacter(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == ' ' || c == '"' || IsLetterBeyondAscii(c);
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

struct Line {
  int number;
  std::string text;
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
    lines.push_back({++number, std::move(line)});
    at = end + 1;
  }
  return lines;
}

bool IsHeading(const std::string& line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// Why `utf8` cannot be the name in row `row` of `list`; empty when it can,
// with `bytes` the name in the code page.
std::string CheckName(const std::string& utf8, const NameLists& current, int list, int row,
                      CodePage& codePage, std::string& bytes) {
  if (!codePage.FromUtf8(utf8, bytes)) return "the game's code page has no place for a character";
  if (bytes == current.Cell(list, row)) return {};  // unchanged
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

}  // namespace

bool WriteNamePack(const NameLists& lists, CodePage& codePage, std::string& pack,
                   std::string& why) {
  const std::string crlf = "\r\n";
  std::string out =
      kByteOrderMark + "# Quillmark name pack: one name per line under each list." + crlf;
  for (int k = 0; k < kListCount; ++k) {
    const NameListInfo& info = kNameListInfo[static_cast<size_t>(k)];
    out += crlf + "[" + info.caption + "]" + crlf;
    for (int r = 0; r < info.namesUsed; ++r) {
      std::string utf8;
      if (!codePage.ToUtf8(lists.Cell(k, r), utf8)) {
        why = "Name " + std::to_string(r + 1) + " of " + info.caption +
              " holds a byte that the code page does not define.";
        return false;
      }
      out += utf8 + crlf;
    }
  }
  pack = std::move(out);
  return true;
}

PackReading ReadNamePack(std::string_view pack, const NameLists& current, CodePage& codePage) {
  PackReading reading;
  reading.lists = current;
  if (pack.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    pack.remove_prefix(kByteOrderMark.size());
  }
  std::string text(pack);
  if (!IsValidUtf8(text) && !codePage.ToUtf8(pack, text)) return reading;

  const std::vector<Line> lines = SplitLines(text);
  std::vector<bool> seen(kListCount, false);
  size_t i = 0;
  auto reject = [&](const Line& line, std::string reason) {
    reading.rejected.push_back({line.number, std::move(reason)});
  };
  // Lines before the first heading may only be comments or empty.
  for (; i < lines.size() && !IsHeading(lines[i].text); ++i) {
    if (!lines[i].text.empty() && lines[i].text.front() != '#') {
      reject(lines[i], "a name before the first list heading");
    }
  }
  while (i < lines.size()) {
    const Line& heading = lines[i++];
    reading.isPack = true;
    std::vector<const Line*> rows;
    for (; i < lines.size() && !IsHeading(lines[i].text); ++i) {
      if (lines[i].text.empty() || lines[i].text.front() != '#') rows.push_back(&lines[i]);
    }
    while (!rows.empty() && rows.back()->text.empty()) rows.pop_back();

    const int list =
        ListOfHeading(std::string_view(heading.text).substr(1, heading.text.size() - 2));
    std::string why;
    if (list < 0) why = "not the name of a list";
    if (list >= 0 && seen[static_cast<size_t>(list)]) why = "the list's second section";
    if (!why.empty()) {
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
      why = CheckName(rows[r]->text, current, list, static_cast<int>(r), codePage, bytes);
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
  const size_t shown = std::min(linesShown, reading.rejected.size());
  for (size_t i = 0; i < shown; ++i) {
    text +=
        "\r\nLine " + std::to_string(reading.rejected[i].line) + ": " + reading.rejected[i].reason;
  }
  if (shown < reading.rejected.size()) text += "\r\n...";
  return text;
}

}  // namespace qm
