// The regular-expression engine: case folding that is the same on every
// build, the ECMAScript details the program's patterns depend on, UTF-16
// positions, letters of every script, and failure instead of a crash on
// hostile input.
#include "support/reg_exp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/failure.h"
#include "support/text.h"

namespace tolvaran {
namespace {

struct Case {
  const char16_t* pattern;
  const char16_t* text;
  bool matches;
};

void expectCases(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(RegExp(c.pattern).Test(c.text), c.matches)
        << "pattern index " << (&c - cases.begin());
  }
}

TEST(RegExpFolding, LettersOfEveryScriptMatchTheirOtherCase) {
  expectCases({
      {u"привет", u"ПРИВЕТ", true},
      {u"ЁЛКА", u"ёлка", true},
      {u"їжак", u"ЇЖАК", true},    // Ukrainian
      {u"σοφία", u"ΣΟΦΊΑ", true},  // Greek
      {u"ς", u"Σ", true},          // final sigma folds like sigma
      {u"élan", u"ÉLAN", true},
      {u"\U00010428", u"\U00010400", true},  // Deseret: a surrogate pair each
      {u"lnk", u"LN\u212A", true},           // KELVIN SIGN folds to k
      {u"[а-я]", u"Ж", true},                // ranges compare folded characters
      {u"[а-я]", u"ё", false},               // ё lies outside а-я, as in any ECMAScript engine
      {u"ß", u"ss", false},                  // only one-to-one folds
  });
  RegExp exact(u"привет", false);
  EXPECT_FALSE(exact.Test(u"ПРИВЕТ"));
  exact.setIgnoreCase(true);
  EXPECT_TRUE(exact.Test(u"ПРИВЕТ"));
}

TEST(RegExpSyntax, EcmaScriptDetailsThePatternsRelyOn) {
  expectCases({
      // "." stops at line breaks, a negated class does not.
      {u"a.c", u"a\nc", false},
      {u"a.c", u"a\rc", false},
      {u"a.c", u"a\u2028c", false},
      {u"a.c", u"a\tc", true},
      {u"a[^\"]c", u"a\nc", true},
      // No multi-line mode: anchors only at the ends of the whole text.
      {u"^b", u"a\nb", false},
      {u"a$", u"a\nb", false},
      {u"c$", u"abc\n", false},
      {u"^abc$", u"abc", true},
      // Escapes and classes.
      {u"\\d\\w\\s", u"1_ ", true},
      {u"\\w", u"ж", false},
      {u"\\s", u"\u00A0", true},
      {u"\\bexe\\b", u"x.exe", true},
  });
}

TEST(RegExpSyntax, UnicodeEscapesBecomeTheirCharacters) {
  expectCases({
      {u"\\u2014", u"a\u2014b", true},
      {u"\\u0418", u"и", true},       // folding applies to escaped letters too
      {u"x\\u002Ey", u"xzy", false},  // an escaped "." is a literal dot
      {u"x\\u002Ey", u"x.y", true},
      {u"[\\u0430-\\u044F]+", u"ЖУК", true},
      {u"[a\\u002Dz]", u"-", true},  // inside a class it stays a literal too
      {u"[a\\u002Dz]", u"b", false},
      {u"\\\\u0041", u"\\u0041", true},  // an escaped backslash, then plain text
      {u"\\\\u0041", u"A", false},
  });
  EXPECT_EQ(decodeUnicodeEscapes(u"a\\u2014b"), u"a\u2014b");
  EXPECT_EQ(decodeUnicodeEscapes(u"\\u002e\\u0031"), u"\\x{2E}\\x{31}");
  EXPECT_EQ(decodeUnicodeEscapes(u"\\\\u2014"), u"\\\\u2014");
  EXPECT_EQ(decodeUnicodeEscapes(u"\\u201"), u"\\u201");  // too short: left alone
  EXPECT_EQ(decodeUnicodeEscapes(u"end\\"), u"end\\");
}

TEST(UnicodeLetter, LettersOfEveryScriptAndNothingElse) {
  const struct {
    const char* name;
    char32_t c;
    bool letter;
  } cases[] = {
      {"Latin", U'g', true},
      {"Latin-1", U'\u00E9', true},
      {"Cyrillic", U'\u042F', true},
      {"CJK ideograph", U'\u730E', true},
      {"Hangul syllable, inside a First/Last range", U'\uAC01', true},
      {"modifier letter (Lm)", U'\u02B0', true},
      {"titlecase (Lt)", U'\u01C5', true},
      {"supplementary: Deseret", U'\U00010400', true},
      {"CJK Extension B, last of its range", U'\U0002A6DF', true},
      {"digit", U'2', false},
      {"Arabic-Indic digit", U'\u0663', false},
      {"hyphen", U'-', false},
      {"space", U' ', false},
      {"no-break space", U'\u00A0', false},
      {"em dash", U'\u2014', false},
      {"combining acute", U'\u0301', false},
      {"emoji", U'\U0001F600', false},
      {"surrogate", char32_t{0xD800}, false},
      {"private use", U'\uE000', false},
      {"unassigned after CJK Extension B", U'\U0002A6E0', false},
      {"beyond Unicode", char32_t{0x110041}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(isUnicodeLetter(c.c), c.letter) << c.name;
}

// The committed table against the Unicode data it was generated from, every
// code point; and the one place where folding changes letterhood, which
// case-insensitive [[:letter:]] relies on.
TEST(UnicodeLetter, TableMatchesUnicodeData) {
  std::ifstream source("/usr/share/unicode/UnicodeData.txt");
  if (!source) source.open("Z:/usr/share/unicode/UnicodeData.txt");  // under Wine
  if (!source) GTEST_SKIP() << "UnicodeData.txt not installed (package unicode-data)";
  std::vector<bool> expected(0x110000);
  std::string line;
  char32_t rangeFirst = 0;
  while (std::getline(source, line)) {
    const std::size_t semi1 = line.find(';');
    const std::size_t semi2 = line.find(';', semi1 + 1);
    if (semi2 == std::string::npos) continue;
    const auto code = static_cast<char32_t>(std::stoul(line.substr(0, semi1), nullptr, 16));
    const std::string name = line.substr(semi1 + 1, semi2 - semi1 - 1);
    if (name.ends_with(", First>")) {
      rangeFirst = code;
      continue;
    }
    const char32_t first = name.ends_with(", Last>") ? rangeFirst : code;
    if (line[semi2 + 1] == 'L') {
      for (char32_t c = first; c <= code; ++c) expected[c] = true;
    }
  }
  int wrong = 0;
  for (char32_t cp = 0; cp < 0x110000 && wrong < 10; ++cp) {
    if (isUnicodeLetter(cp) != expected[cp]) {
      ++wrong;
      ADD_FAILURE() << "U+" << std::hex << std::uint32_t{cp};
    }
    if (cp != 0x0345 && isUnicodeLetter(foldCase(cp)) != expected[cp]) {
      ++wrong;
      ADD_FAILURE() << "folding changes letterhood at U+" << std::hex << std::uint32_t{cp};
    }
  }
}

TEST(RegExpLetters, ABrowserWordStandsAsAWordOfTheName) {
  const char16_t* word = u"(?<![[:letter:]])chrome(?![[:letter:]])";
  expectCases({
      {word, u"Google Chrome", true},
      {word, u"work - chrome", true},
      {word, u"chrome2", true},
      {word, u"Chrome—Work", true},
      {word, u"😀chrome", true},  // an emoji is no letter
      {word, u"Monochrome Studio", false},
      {word, u"Chromebook", false},
      {word, u"ЯChrome", false},
      {word, u"𠀀chrome", false},  // a letter given as a surrogate pair
      {u"^[[:letter:]]+$", u"Яндекс", true},
      {u"^[[:letter:]]+$", u"猎豹𠀀", true},
      {u"^[^[:letter:]]+$", u"2 - —_", true},
      {u"^[^[:letter:]]+$", u"2x", false},
  });
  EXPECT_FALSE(RegExp(word, false).Test(u"Google Chrome"));
  EXPECT_TRUE(RegExp(word, false).Test(u"Google chrome"));
}

TEST(RegExpExecute, PositionsAreUtf16UnitsAndGroupsAreReported) {
  RegExp regex(u"(b+)(x)?");
  const auto matches = regex.Execute(u"\U0001F600abbbc");  // a surrogate pair first
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].firstIndex, 3u);
  EXPECT_EQ(matches[0].length, 3u);
  EXPECT_EQ(matches[0].value, u"bbb");
  EXPECT_EQ(matches[0].subMatches, (std::vector<std::u16string>{u"bbb", u""}));

  // "." takes a whole surrogate pair.
  const auto pair = RegExp(u"a.b").Execute(u"a\U0001F600b");
  ASSERT_EQ(pair.size(), 1u);
  EXPECT_EQ(pair[0].length, 4u);
}

TEST(RegExpExecute, GlobalGivesEveryMatchFirstAlternativeWins) {
  RegExp regex(u"\\.(doc|docx)", true, true);
  const auto matches = regex.Execute(u"a.DOCX b.doc \U00010400.doc");
  ASSERT_EQ(matches.size(), 3u);
  EXPECT_EQ(matches[0].value, u".DOC");  // "doc" is tried first and suffices
  EXPECT_EQ(matches[1].firstIndex, 8u);
  EXPECT_EQ(matches[2].firstIndex, 15u);
  regex.setGlobal(false);
  EXPECT_EQ(regex.Execute(u"a.doc b.doc").size(), 1u);

  // An empty match moves on by one character instead of looping.
  EXPECT_EQ(RegExp(u"x*", true, true).Execute(u"ab").size(), 3u);
  EXPECT_TRUE(RegExp().Test(u""));
}

TEST(RegExpFailures, BadPatternFailsWhenUsed) {
  RegExp regex(u"(unclosed");
  EXPECT_FALSE(regex.compileError().empty());
  try {
    (void)regex.Test(u"x");
    FAIL() << "no failure";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.failure().number, regexp_error::kSyntaxError);
  }
  EXPECT_THROW((void)regex.Execute(u"x"), RuntimeError);
}

TEST(RegExpFailures, RunawayBacktrackingFailsInsteadOfHanging) {
  try {
    (void)RegExp(u"(a+a+)+b").Test(std::u16string(1000, u'a'));
    FAIL() << "no failure";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.failure().number, regexp_error::kRegExpTooComplex);
  }
}

TEST(RegExpLongInput, OneMegabyteLineMatchesWithoutRecursion) {
  // A recursive matcher needs one stack frame per character here.
  const std::u16string line = u"a" + std::u16string(1 << 20, u'b') + u"z";
  const auto matches = RegExp(u"A[^\"]*Z").Execute(line);
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].length, line.size());
  EXPECT_FALSE(RegExp(u"\"?.:\\\\[^\"]*\\.(exe)\"?").Test(line));
}

}  // namespace
}  // namespace tolvaran
