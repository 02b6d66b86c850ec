#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::size_t npos = std::u16string_view::npos;

TEST(TextCase, FoldsSingleCodePoints) {
  const struct {
    const char* name;
    char32_t from;
    char32_t to;
  } cases[] = {
      {"ASCII", U'Q', U'q'},
      {"ASCII punctuation", U'@', U'@'},
      {"Latin-1", U'\u00C0', U'\u00E0'},
      {"micro sign", U'\u00B5', U'\u03BC'},
      {"Cyrillic Io", U'\u0401', U'\u0451'},
      {"Cyrillic I", U'\u0406', U'\u0456'},
      {"final sigma", U'\u03C2', U'\u03C3'},
      {"capital sigma", U'\u03A3', U'\u03C3'},
      {"capital sharp s is simple", U'\u1E9E', U'\u00DF'},
      {"sharp s has no simple fold", U'\u00DF', U'\u00DF'},
      {"dotted capital I is Turkic only", U'\u0130', U'\u0130'},
      {"dotless i stays", U'\u0131', U'\u0131'},
      {"Kelvin sign", U'\u212A', U'k'},
      {"Cherokee folds to upper case", U'\uAB70', U'\u13A0'},
      {"fold far below in the BMP", U'\uA7AE', U'\u026A'},
      {"Deseret", U'\U00010400', U'\U00010428'},
      {"Adlam, last block", U'\U0001E921', U'\U0001E943'},
      {"emoji", U'\U0001F600', U'\U0001F600'},
      {"surrogate code point", char32_t{0xD801}, char32_t{0xD801}},
      {"largest code point", U'\U0010FFFF', U'\U0010FFFF'},
      {"beyond Unicode", char32_t{0x110041}, char32_t{0x110041}},
  };
  for (const auto& c : cases) EXPECT_EQ(foldCase(c.from), c.to) << c.name;
}

// The committed table against the Unicode data it was generated from: every
// code point, so a stale or hand-edited table shows up here.
TEST(TextCase, TableMatchesCaseFoldingTxt) {
  std::ifstream source("/usr/share/unicode/CaseFolding.txt");
  if (!source) source.open("Z:/usr/share/unicode/CaseFolding.txt");  // under Wine
  if (!source) GTEST_SKIP() << "CaseFolding.txt not installed (package unicode-data)";
  std::map<char32_t, char32_t> expected;
  std::string line;
  while (std::getline(source, line)) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::string code, status, target;
    if (!std::getline(fields, code, ';') || !std::getline(fields, status, ';') ||
        !std::getline(fields, target, ';')) {
      continue;
    }
    if (status == " C" || status == " S") {
      expected[static_cast<char32_t>(std::stoul(code, nullptr, 16))] =
          static_cast<char32_t>(std::stoul(target, nullptr, 16));
    }
  }
  ASSERT_GT(expected.size(), 1400u);
  int wrong = 0;
  auto next = expected.begin();
  for (char32_t cp = 0; cp < 0x110000 && wrong < 10; ++cp) {
    char32_t want = cp;
    if (next != expected.end() && next->first == cp) want = (next++)->second;
    if (foldCase(cp) != want) {
      ++wrong;
      ADD_FAILURE() << "U+" << std::hex << std::uint32_t{cp};
    }
  }
}

TEST(TextCase, FoldsTextKeepingItsLength) {
  EXPECT_EQ(foldCase(u"Straße \u1E9E ΣΑΣ Ёж"), u"straße ß σασ ёж");
  EXPECT_EQ(foldCase(u"\U00010400x\U00010401"), u"\U00010428x\U00010429");
  // Lone and reversed surrogates stay as they are.
  const std::u16string broken = u"\xDC00\xD801\xD801";
  EXPECT_EQ(foldCase(broken), broken);
  EXPECT_EQ(foldCase(u""), u"");
}

TEST(TextCase, EqualsNoCase) {
  const struct {
    std::u16string a;
    std::u16string b;
    bool equal;
  } cases[] = {
      {u"", u"", true},
      {u"C:\\Program Files\\A.EXE", u"c:\\program files\\a.exe", true},
      {u"ЁЛКА і", u"ёлка І", true},
      {u"ΣΑΣ", u"σας", true},
      {u"\u212A", u"K", true},
      {u"\U00010400\U00010401", u"\U00010428\U00010429", true},
      {u"x\xD801", u"X\xD801", true},
      {u"abc", u"abd", false},
      {u"abc", u"ab", false},
      {u"ß", u"ss", false},
      {u"\u0130", u"i", false},
      {u"I", u"\u0131", false},
      {u"\xD801", u"\xD802", false},
      // A pair and two BMP units with the same length never match.
      {u"\U00010400", u"\u0428\u0428", false},
      // Same high surrogate, different pairs.
      {u"\U00010400", u"\U00010401", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(equalsNoCase(c.a, c.b), c.equal) << testing::PrintToString(c.a);
    EXPECT_EQ(equalsNoCase(c.b, c.a), c.equal) << testing::PrintToString(c.b);
  }
}

TEST(TextCase, StartsAndEndsWithNoCase) {
  EXPECT_TRUE(startsWithNoCase(u"HTTP://x", u"http:"));
  EXPECT_TRUE(startsWithNoCase(u"abc", u""));
  EXPECT_TRUE(startsWithNoCase(u"ÀB", u"àb"));
  EXPECT_FALSE(startsWithNoCase(u"ab", u"abc"));
  EXPECT_FALSE(startsWithNoCase(u"xabc", u"abc"));
  EXPECT_TRUE(startsWithNoCase(u"\U00010400z", u"\U00010428"));
  EXPECT_TRUE(endsWithNoCase(u"Setup.EXE", u".exe"));
  EXPECT_TRUE(endsWithNoCase(u"", u""));
  EXPECT_TRUE(endsWithNoCase(u"a.Ёж", u"ЁЖ"));
  EXPECT_FALSE(endsWithNoCase(u"exe", u".exe"));
  EXPECT_FALSE(endsWithNoCase(u"a.exe ", u".exe"));
  EXPECT_TRUE(endsWithNoCase(u"z\U00010400", u"\U00010428"));
  // A suffix made of the low half of a pair compares with the pair folded.
  EXPECT_TRUE(endsWithNoCase(u"\U00010400", u"\xDC28"));
}

TEST(TextCase, FindNoCaseAtBoundaries) {
  const struct {
    const char* name;
    std::u16string text;
    std::u16string needle;
    std::size_t from;
    std::size_t found;
  } cases[] = {
      {"at start", u"Halvestry  by", u"HALVESTRY", 0, 0},
      {"at end", u"c:\\a\\B.LNK", u".lnk", 0, 6},
      {"whole text", u"ab", u"AB", 0, 0},
      {"needle longer", u"ab", u"abc", 0, npos},
      {"from skips a match", u"xAxa", u"a", 2, 3},
      {"from at the match", u"xAxa", u"XA", 2, 2},
      {"from at end, empty needle", u"ab", u"", 2, 2},
      {"from past end, empty needle", u"ab", u"", 3, npos},
      {"from past end", u"ab", u"a", 7, npos},
      {"from npos", u"ab", u"a", npos, npos},
      {"empty text", u"", u"a", 0, npos},
      {"overlapping start", u"aaaab", u"AAB", 0, 2},
      {"periodic needle", u"abababac", u"ABAC", 0, 4},
      {"Cyrillic", u"Папка ЁЛКИ", u"ёлки", 0, 6},
      {"final sigma", u"ΟΔΟΣ", u"οδος", 0, 0},
      {"non-BMP", u"a\U00010400\U00010401", u"\U00010429", 0, 3},
      {"no fold across cases", u"strasse", u"ß", 0, npos},
  };
  for (const auto& c : cases) EXPECT_EQ(findNoCase(c.text, c.needle, c.from), c.found) << c.name;
}

// findNoCase must give exactly what searching the folded text gives. Every
// text and needle over a small alphabet up to a length reaches the periodic,
// non-periodic and short-needle paths of the search.
TEST(TextCase, FindNoCaseAgreesWithSearchingFoldedText) {
  const std::u16string alphabet = u"aAb";
  auto spell = [&](std::size_t number, std::size_t length) {
    std::u16string out;
    for (std::size_t i = 0; i < length; ++i, number /= alphabet.size()) {
      out.push_back(alphabet[number % alphabet.size()]);
    }
    return out;
  };
  std::vector<std::u16string> needles;
  for (std::size_t length = 1, count = 3; length <= 4; ++length, count *= 3) {
    for (std::size_t n = 0; n < count; ++n) needles.push_back(spell(n, length));
  }
  for (std::size_t n = 0; n < 729; ++n) {  // 3^6 texts of length 6
    const std::u16string text = spell(n, 6);
    const std::u16string folded = foldCase(text);
    for (const std::u16string& needle : needles) {
      for (std::size_t from : {std::size_t{0}, std::size_t{2}}) {
        ASSERT_EQ(findNoCase(text, needle, from), folded.find(foldCase(needle), from))
            << testing::PrintToString(text) << " " << testing::PrintToString(needle);
      }
    }
  }

  // Longer random texts with pairs and lone surrogates.
  const std::vector<std::u16string> pieces = {
      u"a", u"B", u"b", u"\U00010400", u"\U00010428", u"\xD801", u"\xDC00", u"Σ", u"ς"};
  std::mt19937 random(12345);
  auto make = [&](std::size_t pieceCount) {
    std::u16string out;
    for (std::size_t i = 0; i < pieceCount; ++i) out += pieces[random() % pieces.size()];
    return out;
  };
  for (int round = 0; round < 20000; ++round) {
    std::u16string text = make(random() % 40);
    std::u16string needle = make(1 + random() % 6);
    if (round % 3 == 0 && text.size() > 4) needle = text.substr(random() % (text.size() - 3), 3);
    if (round % 100 == 0) {  // needles too long to be folded on the stack
      text = make(400);
      needle = text.substr(random() % 200, 130 + random() % 100);
      if (round % 200 == 0) needle[needle.size() / 2] = u'\xDC00';
    }
    const std::size_t from = random() % 4;
    ASSERT_EQ(findNoCase(text, needle, from), foldCase(text).find(foldCase(needle), from))
        << testing::PrintToString(text) << " " << testing::PrintToString(needle);
  }
}

TEST(TextCase, FindNoCaseStaysLinearOnHostileInput) {
  // A naive search would compare ~5e9 units here.
  const std::u16string text(200000, u'a');
  std::u16string needle(50000, u'A');
  needle.push_back(u'b');
  EXPECT_EQ(findNoCase(text, needle), npos);
  EXPECT_EQ(findNoCase(text + needle, needle), text.size());
}

TEST(TextCase, ReplaceAllNoCase) {
  EXPECT_EQ(replaceAllNoCase(u"http://a HTTP://b hTtPs", u"http", u"hxxp"),
            u"hxxp://a hxxp://b hxxps");
  EXPECT_EQ(replaceAllNoCase(u"AaAa", u"aa", u"x"), u"xx");
  EXPECT_EQ(replaceAllNoCase(u"abc", u"", u"x"), u"abc");
  EXPECT_EQ(replaceAllNoCase(u"abc", u"B", u""), u"ac");
}

}  // namespace
}  // namespace tolvaran
