#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/text.h"
#include "support/text_detection.h"

namespace tolvaran {
namespace {

std::string hexUnits(std::u16string_view text) {
  std::string out;
  for (const char16_t unit : text) {
    static const char digits[] = "0123456789ABCDEF";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(digits[(unit >> shift) & 0xF]);
    out.push_back(' ');
  }
  return out;
}

// Byte literals that may hold NUL.
template <std::size_t N>
std::string raw(const char (&bytes)[N]) {
  return std::string(bytes, N - 1);
}

std::string allBytes() {
  std::string bytes;
  for (int byte = 0; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
  return bytes;
}

struct Utf8Case {
  const char* name;
  std::string bytes;
  std::u16string text;
};

TEST(TextEncoding, Utf8DecodesWellFormedAndReplacesEachMaximalIllFormedSubpart) {
  const std::u16string bad1 = u"\xFFFD";
  const std::vector<Utf8Case> cases = {
      {"empty", "", u""},
      {"ascii with NUL", raw("a\0b"), std::u16string(u"a\0b", 3)},
      {"two, three, four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u00E9\u20AC\U0001F600"},
      {"byte-order mark is text",
       "\xEF\xBB\xBF"
       "a",
       u"\uFEFFa"},
      {"largest scalar", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"overlong two-byte NUL", "\xC0\x80", bad1 + bad1},
      {"overlong three-byte", "\xE0\x80\x80", bad1 + bad1 + bad1},
      {"encoded surrogate", "\xED\xA0\x80", bad1 + bad1 + bad1},
      {"above U+10FFFF", "\xF4\x90\x80\x80", bad1 + bad1 + bad1 + bad1},
      {"five-byte form", "\xF8\x88\x80\x80\x80", bad1 + bad1 + bad1 + bad1 + bad1},
      {"stray continuations", "\x80\xBF", bad1 + bad1},
      {"0xFF", "\xFF", bad1},
      {"truncated at end is one subpart", "\xF0\x9F\x98", bad1},
      {"truncated before ASCII", "\xE2\x82x", bad1 + u"x"},
      {"several truncations", "a\xF1\x80\x80\xE1\x80\xC2", u"a" + bad1 + bad1 + bad1},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(hexUnits(utf8ToUtf16(c.bytes)), hexUnits(c.text)) << c.name;
    EXPECT_EQ(isWellFormedUtf8(c.bytes), c.text.find(u'\uFFFD') == std::u16string::npos) << c.name;
  }
}

TEST(TextEncoding, Utf16ToUtf8ReplacesLoneSurrogates) {
  const struct {
    const char* name;
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {"pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
      {"U+FFFF", u"\uFFFF", "\xEF\xBF\xBF"},
      {"lone high at end", u"a\xD83D", "a\xEF\xBF\xBD"},
      {"lone low", u"\xDE00z", "\xEF\xBF\xBDz"},
      {"reversed pair", u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},
      {"high high low", u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf16ToUtf8(c.text), c.bytes) << c.name;
}

TEST(TextEncoding, EveryScalarValueSurvivesUtf8RoundTrip) {
  std::u16string all;
  for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    if (cp < 0x10000) {
      all.push_back(static_cast<char16_t>(cp));
    } else {
      all.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      all.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
  }
  const std::string utf8 = utf16ToUtf8(all);
  // 128 one-byte, 1920 two-byte, 61440 three-byte, 1048576 four-byte values.
  EXPECT_EQ(utf8.size(), 128u + 1920u * 2 + 61440u * 3 + 1048576u * 4);
  EXPECT_TRUE(utf8ToUtf16(utf8) == all);
}

TEST(TextEncoding, Utf16leKeepsUnitsAndDropsAnOddByte) {
  const struct {
    const char* name;
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"empty", "", u""},
      {"single byte dropped", "A", u""},
      {"odd tail dropped", raw("A\0B"), u"A"},
      {"byte-order mark kept",
       raw("\xFF\xFE"
           "a\0"),
       u"\uFEFFa"},
      {"lone surrogates kept",
       raw("\x3D\xD8"
           "a\0"
           "\x00\xDE"),
       u"\xD83D"
       u"a"
       u"\xDE00"},
      {"high byte order", "\x1F\x04\x01\x04", u"\u041F\u0401"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hexUnits(utf16leToText(c.bytes)), hexUnits(c.text)) << c.name;
    const auto* data = reinterpret_cast<const std::byte*>(c.bytes.data());
    EXPECT_TRUE(utf16leToText(std::span<const std::byte>(data, c.bytes.size())) == c.text)
        << c.name;
    if (c.bytes.size() % 2 == 0) {
      EXPECT_EQ(textToUtf16le(c.text), c.bytes) << c.name;
    }
    std::string swapped = c.bytes;
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
    EXPECT_EQ(hexUnits(utf16beToText(swapped)), hexUnits(c.text)) << c.name;
  }
}

TEST(TextEncoding, OnlyTheFourTableCodePagesAreSupported) {
  for (const std::uint32_t page : {866u, 1250u, 1251u, 1252u})
    EXPECT_TRUE(isSupportedCodePage(page));
  for (const std::uint32_t page : {0u, 437u, 1253u, 20866u, 65001u})
    EXPECT_FALSE(isSupportedCodePage(page));
}

// Spot checks of each table, chosen where tables are easy to get wrong: the
// letters the list parser cares about, and bytes a code page leaves undefined
// (Windows gives the C1 control of the same value).
TEST(TextEncoding, CodePageTablesMatchWindows) {
  const struct {
    std::uint32_t page;
    unsigned char byte;
    char16_t unit;
  } cases[] = {
      {866, 0x80, u'\u0410'},  {866, 0xAF, u'\u043F'},  {866, 0xB0, u'\u2591'},
      {866, 0xE0, u'\u0440'},  {866, 0xF0, u'\u0401'},  {866, 0xF1, u'\u0451'},
      {866, 0xFC, u'\u2116'},  {866, 0xFF, u'\u00A0'},  {866, 0x7F, u'\u007F'},
      {1250, 0x81, u'\u0081'}, {1250, 0x83, u'\u0083'}, {1250, 0x88, u'\u0088'},
      {1250, 0x90, u'\u0090'}, {1250, 0x98, u'\u0098'}, {1250, 0x8A, u'\u0160'},
      {1250, 0xA5, u'\u0104'}, {1250, 0xFF, u'\u02D9'}, {1251, 0x98, u'\u0098'},
      {1251, 0x88, u'\u20AC'}, {1251, 0xA8, u'\u0401'}, {1251, 0xB8, u'\u0451'},
      {1251, 0xB2, u'\u0406'}, {1251, 0xB3, u'\u0456'}, {1251, 0xB9, u'\u2116'},
      {1251, 0xC0, u'\u0410'}, {1251, 0xFF, u'\u044F'}, {1252, 0x80, u'\u20AC'},
      {1252, 0x81, u'\u0081'}, {1252, 0x8D, u'\u008D'}, {1252, 0x8F, u'\u008F'},
      {1252, 0x90, u'\u0090'}, {1252, 0x9D, u'\u009D'}, {1252, 0x9F, u'\u0178'},
      {1252, 0xE9, u'\u00E9'},
  };
  for (const auto& c : cases) {
    const std::string byte(1, static_cast<char>(c.byte));
    EXPECT_EQ(codePageToUtf16(byte, c.page), std::u16string(1, c.unit))
        << c.page << " byte " << int{c.byte};
    EXPECT_EQ(utf16ToCodePage(std::u16string(1, c.unit), c.page), byte)
        << c.page << " unit " << int{c.unit};
  }
}

TEST(TextEncoding, EveryByteOfEveryCodePageRoundTrips) {
  const std::string bytes = allBytes();
  for (const std::uint32_t page : {866u, 1250u, 1251u, 1252u}) {
    const std::u16string text = codePageToUtf16(bytes, page);
    ASSERT_EQ(text.size(), 256u) << page;
    for (char16_t byte = 0; byte < 0x80; ++byte) EXPECT_EQ(text[byte], byte) << page;
    for (std::size_t i = 0x80; i < 256; ++i) EXPECT_NE(text[i], u'\uFFFD') << page << " " << i;
    EXPECT_EQ(utf16ToCodePage(text, page), bytes) << page;
  }
}

TEST(TextEncoding, UnrepresentableUnitsBecomeOneQuestionMarkEach) {
  const struct {
    const char* name;
    std::uint32_t page;
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {"no best fit for a-macron", 1252, u"\u0101b", "?b"},
      {"Cyrillic in 1252", 1252, u"\u0416", "?"},
      {"euro missing from 866", 866, u"\u20AC", "?"},
      {"pair is two units", 1251, u"\U00010400", "??"},
      {"lone surrogate", 1251,
       u"\xD801"
       u"a",
       "?a"},
      {"C1 control is a real byte", 1252, u"\u0081", "\x81"},
      {"replacement character", 1250, u"\uFFFD", "?"},
      {"unsupported page keeps ASCII", 437, u"a\u00E9", "a?"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf16ToCodePage(c.text, c.page), c.bytes) << c.name;
  EXPECT_EQ(codePageToUtf16("a\xE9", 65001), u"a\uFFFD");
}

TEST(TextEncoding, AsciiToUtf16MarksNonAsciiBytes) {
  EXPECT_EQ(asciiToUtf16("Error 7: x"), u"Error 7: x");
  EXPECT_EQ(asciiToUtf16("\xC3\xA9"), u"\uFFFD\uFFFD");
  EXPECT_EQ(asciiToUtf16(""), u"");
}

}  // namespace
}  // namespace tolvaran
