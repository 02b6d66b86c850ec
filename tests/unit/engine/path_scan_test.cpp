// The linear path finders against the regular-expression engine they stand
// in for: same first match on many random texts, and a few cases spelled out.
#include "engine/path_scan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/reg_exp.h"
#include "support/text.h"

namespace tolvaran {
namespace {

struct Finder {
  const char* name;
  std::u16string_view pattern;
  std::function<std::optional<PathScanMatch>(std::u16string_view)> find;
  PathKind kind;
};

const std::vector<Finder>& finders() {
  static const std::vector<Finder> all = {
      {"executable", kExecutableInTextPattern, findExecutableInText, PathKind::kExecutable},
      {"script", kScriptInTextPattern, findScriptInText, PathKind::kScript},
      {"shortcut", kShortcutPathPattern, findShortcutPath, PathKind::kShortcut},
  };
  return all;
}

// What shorterMatchesAtStart must give, by the engine: every proper prefix of
// the first match that the expression matches whole, longest first, except
// the first match without its closing quote (the same path).
std::vector<PathScanMatch> engineShorter(const RegExp& whole, std::u16string_view text,
                                         const PathScanMatch& first) {
  std::vector<PathScanMatch> out;
  const bool closingQuote = text[first.firstIndex + first.length - 1] == u'"';
  for (std::size_t length = first.length - 1; length > 0; --length) {
    if (closingQuote && length == first.length - 1) continue;
    if (whole.Test(text.substr(first.firstIndex, length))) {
      out.push_back(PathScanMatch{first.firstIndex, length});
    }
  }
  return out;
}

std::optional<PathScanMatch> engineMatch(const RegExp& regex, std::u16string_view text) {
  const auto matches = regex.Execute(text);
  if (matches.empty()) return std::nullopt;
  return PathScanMatch{matches[0].firstIndex, matches[0].length};
}

std::string show(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(static_cast<char>(c));
    } else {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "\\u{%X}", static_cast<unsigned>(c));
      out += escaped;
    }
  }
  return out;
}

// Texts built from pieces of one alphabet; each alphabet stresses one part
// of the expressions. Pieces may be longer than one character so that whole
// drives and extensions turn up often enough.
struct Alphabet {
  const char* name;
  std::vector<std::u16string> pieces;
};

const std::vector<Alphabet>& alphabets() {
  static const std::vector<Alphabet> all = {
      {"quotes", {u"\"", u"\"", u"C:\\", u":\\", u"a", u" ", u".exe", u".bat", u".lnk"}},
      {"backslashes and colons", {u"\\", u":", u"C", u"::\\", u":\\", u".", u"exe", u"js"}},
      {"dots", {u".", u"..", u".e", u"x", u"e", u"C:\\", u"c", u"m", u"d", u"\""}},
      {"extension letters",
       {u"C:\\", u".",         u"exe",         u"EXE",     u"doc", u"docx", u"x",
        u"pptx", u"pdf",       u"txt",         u"ps1",     u"vbs", u"js",   u"lnk",
        u"url",  u"appref-ms", u"application", u"website", u"ico", u"s",    u"\""}},
      {"extensions sharing a start",
       {u"C:\\", u".doc", u".docx", u"x", u".xls", u"s", u".ppt", u".pdf", u" ", u"\""}},
      {"folding",
       {u"C:\\", u".", u"\u212A", u"\u017F", u"LN", u"p", u"1", u"j", u"x", u"E", u"\u00C9",
        u"\u0418", u"\"", u"\u212Ax\u212A", u".\u017Fj"}},
      {"separators and surrogates",
       {u"\n:\\", u"\r:\\", u"\u2028:\\", u"\u0085:\\", u"\f:\\", u"\U0001F600:\\",
        u"\U00012028:\\", u"\xD800:\\", u"\xDC00", u"\n", u"a", u".exe", u".js", u".lnk", u"\""}},
  };
  return all;
}

TEST(PathScan, AgreesWithTheEngineOnRandomTexts) {
  std::mt19937 random(20240611);
  std::vector<RegExp> engines;
  std::vector<RegExp> wholeEngines;
  for (const Finder& finder : finders()) {
    engines.emplace_back(finder.pattern);
    wholeEngines.emplace_back(u"^(?:" + std::u16string(finder.pattern) + u")$");
  }
  for (const Alphabet& alphabet : alphabets()) {
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 14);
    for (int round = 0; round < 1500; ++round) {
      std::u16string text;
      for (int n = length(random); n > 0; --n) text += alphabet.pieces[pick(random)];
      for (std::size_t f = 0; f < engines.size(); ++f) {
        const auto first = finders()[f].find(text);
        ASSERT_EQ(first, engineMatch(engines[f], text))
            << alphabet.name << " / " << finders()[f].name << ": " << show(text);
        if (!first) continue;
        ASSERT_EQ(shorterMatchesAtStart(finders()[f].kind, text, *first, SIZE_MAX),
                  engineShorter(wholeEngines[f], text, *first))
            << alphabet.name << " / " << finders()[f].name << " shorter: " << show(text);
      }
    }
  }
}

TEST(PathScan, SpelledOutCases) {
  struct Case {
    const char16_t* text;
    const char16_t* executable;  // the expected first match; empty for none
  };
  for (const Case& c : {
           Case{u"/c start \"\" \"C:\\Program Files\\X\\x.exe\" --flag",
                u"\"C:\\Program Files\\X\\x.exe\""},
           Case{u"C:\\a\\b.exe C:\\c\\d.exe -x", u"C:\\a\\b.exe C:\\c\\d.exe"},
           Case{u"C:\\a\\report.docx", u"C:\\a\\report.doc"},  // "doc" comes first
           Case{u"\":\\x.exe", u"\":\\x.exe"},                 // the quote as drive letter
           Case{u"C:\\a\nC:\\b.exe", u"C:\\a\nC:\\b.exe"},     // a run may cross a line break
           Case{u"\n:\\b.exe", u""},                           // a line break is no drive letter
       }) {
    const auto found = findExecutableInText(c.text);
    const std::u16string_view text(c.text);
    const std::u16string got =
        found ? std::u16string(text.substr(found->firstIndex, found->length)) : u"";
    EXPECT_EQ(got, c.executable) << show(text);
  }
}

TEST(PathScan, ShorterMatchesAtTheSameStart) {
  struct Case {
    PathKind kind;
    const char16_t* text;
    std::vector<std::u16string> shorter;  // longest first
  };
  for (const Case& c : {
           Case{PathKind::kExecutable,
                u"C:\\a\\report.docx C:\\b.pdf",
                {u"C:\\a\\report.docx", u"C:\\a\\report.doc"}},  // both extensions fit
           Case{PathKind::kExecutable, u"\"C:\\a b\\x.exe\" y.exe", {}},
           Case{PathKind::kExecutable, u"x \"C:\\x.exe.exe\"", {u"\"C:\\x.exe"}},
           Case{PathKind::kScript, u"/c C:\\s\\run.cmd http://ad.test/a.js", {u"C:\\s\\run.cmd"}},
           Case{PathKind::kShortcut, u"C:\\d\\Chrome.lnk.url", {u"C:\\d\\Chrome.lnk"}},
       }) {
    const std::u16string_view text(c.text);
    const auto first = c.kind == PathKind::kExecutable ? findExecutableInText(text)
                       : c.kind == PathKind::kScript   ? findScriptInText(text)
                                                       : findShortcutPath(text);
    ASSERT_TRUE(first) << show(text);
    std::vector<std::u16string> got;
    for (const PathScanMatch& m : shorterMatchesAtStart(c.kind, text, *first, SIZE_MAX)) {
      got.emplace_back(text.substr(m.firstIndex, m.length));
    }
    EXPECT_EQ(got, c.shorter) << show(text);
  }
  // The limit keeps the longest ones.
  const std::u16string_view text = u"C:\\a.exe.exe.exe.exe";
  EXPECT_EQ(shorterMatchesAtStart(PathKind::kExecutable, text, *findExecutableInText(text), 2),
            (std::vector<PathScanMatch>{{0, 16}, {0, 12}}));
}

TEST(PathScan, OneMegabyteLineOfDrivesIsLinear) {
  // The engine needs quadratic time here and gives up; the finders must not.
  std::u16string drives;
  while (drives.size() < (1u << 20)) drives += u"X:\\";
  for (const Finder& finder : finders()) EXPECT_FALSE(finder.find(drives)) << finder.name;
  EXPECT_EQ(findExecutableInText(drives + u".exe"), (PathScanMatch{0, drives.size() + 4}));

  // Shorter matches: a run of dots without extensions is walked once, and
  // many extensions stop at the limit.
  const std::u16string dots = u"C:\\" + std::u16string(1u << 20, u'.') + u".exe";
  EXPECT_TRUE(
      shorterMatchesAtStart(PathKind::kExecutable, dots, *findExecutableInText(dots), SIZE_MAX)
          .empty());
  std::u16string pieces = u"C:\\";
  while (pieces.size() < (1u << 20)) pieces += u"x.exe ";
  EXPECT_EQ(shorterMatchesAtStart(PathKind::kExecutable, pieces, *findExecutableInText(pieces), 32)
                .size(),
            32u);
}

TEST(PathScan, OnlyTheCharactersThemselvesFoldToThePunctuation) {
  // The finders compare quote, colon, backslash and dot without folding.
  for (char32_t c = 0; c <= 0x10FFFF; ++c) {
    const char32_t folded = foldCase(c);
    if (folded == U'"' || folded == U':' || folded == U'\\' || folded == U'.') {
      EXPECT_EQ(folded, c);
    }
  }
}

}  // namespace
}  // namespace tolvaran
