// The regular-expression engine: case folding that is the same on every
// build, the ECMAScript details the program's patterns depend on, UTF-16
// positions, and failure instead of a crash on hostile input.
#include "support/reg_exp.h"

#include <gtest/gtest.h>

#include <string>

#include "support/failure.h"

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
