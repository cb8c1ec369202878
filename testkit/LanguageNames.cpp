#include "testkit/LanguageNames.h"

#include <memory>
#include <stdexcept>
#include <string_view>

#include "1-platform/CodePage.h"

namespace qm::test {

namespace {

// A language's names: every stem with every ending. Each name fits the name
// box: at most 25 bytes in its code page, letters of its script only.
struct NameParts {
  unsigned codePage;
  std::array<std::string_view, 10> stems;
  std::array<std::string_view, 6> endings;
};

// Indexed by language code - 1.
const std::array<NameParts, 20> kParts = {{
    {1252,
     {"Al", "Bren", "Cal", "Dor", "Ed", "Fen", "Gar", "Hal", "Ivo", "Jor"},
     {"an", "ric", "ton", "vin", "do", "ey"}},
    {1252,
     {"Ash", "Bram", "Cliff", "Dun", "Ely", "Finch", "Gil", "Hart", "Ivor", "Jem"},
     {"ley", "ton", "by", "well", "more", "wick"}},
    {1252,  // French
     {"Ren", "Andr", "Fran", "Hél", "Gér", "Céc", "Zo", "Léon", "Mich", "Jér"},
     {"é", "ée", "ois", "ine", "çois", "ôme"}},
    {1252,  // German
     {"Jürg", "Günt", "Mül", "Bärb", "Grüß", "Lud", "Frie", "Wolf", "Hein", "Öz"},
     {"en", "er", "ler", "chen", "rich", "gard"}},
    {1252,  // Italian
     {"Gian", "Lor", "Franc", "Giusepp", "Marc", "Ales", "Chiar", "Matt", "Nicol", "Fabr"},
     {"o", "a", "ino", "etta", "ò", "è"}},
    {1252,  // Spanish
     {"Jos", "Mar", "Ín", "Ram", "Agust", "Begoñ", "Nuñ", "Pat", "Luc", "Sof"},
     {"é", "ía", "ón", "in", "o", "a"}},
    {1252,  // Dutch
     {"Jan", "Piet", "Bram", "Daan", "Noë", "Maart", "Wouter", "IJs", "Eef", "Joost"},
     {"", "je", "en", "ke", "ina", "ij"}},
    {1252,  // Danish
     {"Søren", "Åse", "Bjør", "Mads", "Frej", "Sørin", "Kjær", "Æbel", "Lærk", "Jens"},
     {"", "n", "sen", "gaard", "ø", "e"}},
    {1252,  // Swedish
     {"Björ", "Åsa", "Maj", "Lö", "Sköld", "Gös", "Kar", "Ulla", "Öst", "Torst"},
     {"n", "en", "berg", "ström", "a", "sson"}},
    {1252,  // Norwegian
     {"Øyv", "Ås", "Bjør", "Kjell", "Sølv", "Trygv", "Haak", "Gudr", "Ingr", "Lars"},
     {"ind", "e", "n", "un", "id", "sen"}},
    {1252,  // Finnish
     {"Äi", "Päiv", "Jyrk", "Mäk", "Hämä", "Aino", "Sirk", "Väin", "Yrjö", "Tuul"},
     {"ä", "i", "kki", "nen", "lä", "ö"}},
    {1255,  // Hebrew
     {"דו", "שר", "מי", "יוס", "אב", "רח", "נע", "אל", "תמ", "גל"},
     {"ד", "ה", "כל", "ף", "ן", "י"}},
    {1251,  // Russian
     {"Иван", "Ольг", "Серге", "Наташ", "Дмитр", "Ёлк", "Юри", "Светлан", "Алекс", "Екатерин"},
     {"", "а", "ий", "ей", "ин", "ова"}},
    {1252,  // Portuguese
     {"João", "Conceiç", "Gonç", "Sebast", "Inês", "Mar", "Lu", "Ant", "Beatr", "Tom"},
     {"ão", "alo", "a", "inho", "es", "ô"}},
    {932,  // Japanese
     {"美", "花", "健", "大", "翔", "陽", "由", "真", "優", "春"},
     {"子", "太郎", "奈", "斗", "香", "ひろ"}},
    {1250,  // Polish
     {"Łucj", "Małgorz", "Grzeg", "Wojciech", "Ździsł", "Jadwig", "Bożen", "Ćwik", "Józef", "Dąbr"},
     {"", "a", "ek", "ęta", "oś", "ński"}},
    {936,  // Simplified Chinese
     {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周"},
     {"伟", "芳", "娜", "敏", "静", "丽"}},
    {950,  // Traditional Chinese
     {"王", "李", "張", "劉", "陳", "楊", "黃", "趙", "吳", "周"},
     {"偉", "芳", "娜", "敏", "靜", "麗"}},
    {874,  // Thai
     {"สม", "วิ", "ประ", "สุ", "นง", "มา", "กิ", "อรุ", "ชา", "พร"},
     {"ชาย", "ไล", "ภา", "ดา", "ศักดิ์", "ณี"}},
    {949,  // Korean
     {"김", "이", "박", "최", "정", "강", "조", "윤", "장", "임"},
     {"민준", "서연", "지호", "하은", "도윤", "수빈"}},
}};

const NameParts& PartsOf(int code) {
  if (code < 1 || code > static_cast<int>(kParts.size())) {
    throw std::out_of_range("no names for language " + std::to_string(code));
  }
  return kParts[static_cast<size_t>(code - 1)];
}

}  // namespace

unsigned NamesCodePage(int code) { return PartsOf(code).codePage; }

std::string LanguageNameUtf8(int code, int list, int row) {
  const NameParts& parts = PartsOf(code);
  const size_t endings = parts.endings.size();
  const size_t at = static_cast<size_t>(row) % (parts.stems.size() * endings);
  // Each list starts at another stem.
  const size_t stem = (at / endings + static_cast<size_t>(list)) % parts.stems.size();
  return std::string(parts.stems[stem]) + std::string(parts.endings[at % endings]);
}

std::vector<TableEntry> LanguageBlock(int code, int list, int count) {
  const std::unique_ptr<CodePage> codePage = SystemCodePage(NamesCodePage(code));
  if (!codePage) {
    throw std::runtime_error("no converter for code page " + std::to_string(NamesCodePage(code)));
  }
  std::vector<TableEntry> entries;
  for (int row = 0; row < count; ++row) {
    const std::string name = LanguageNameUtf8(code, list, row);
    TableEntry& entry = entries.emplace_back();
    entry.language = static_cast<char>(code);
    if (!codePage->FromUtf8(name, entry.value)) {
      throw std::runtime_error("'" + name + "' has no place in code page " +
                               std::to_string(NamesCodePage(code)));
    }
  }
  return entries;
}

std::vector<TableEntry> MultilingualEntries(int list, int perBlock,
                                            std::vector<TableEntry> usEnglish) {
  std::vector<TableEntry> entries = usEnglish.empty()
                                        ? LanguageBlock(kGameLanguageCodes[0], list, perBlock)
                                        : std::move(usEnglish);
  for (size_t k = 1; k < kGameLanguageCodes.size(); ++k) {
    for (TableEntry& entry : LanguageBlock(kGameLanguageCodes[k], list, perBlock)) {
      entries.push_back(std::move(entry));
    }
  }
  return entries;
}

}  // namespace qm::test
