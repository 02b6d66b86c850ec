#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::size_t npos = std::u16string_view::npos;

TEST(TextSlices, TrimsSpacesOnly) {
  const struct {
    std::u16string text;
    std::u16string both;
    std::u16string leftOnly;
    std::u16string rightOnly;
  } cases[] = {
      {u"", u"", u"", u""},
      {u"    ", u"", u"", u""},
      {u"  a b  ", u"a b", u"a b  ", u"  a b"},
      {u"\ta\t ", u"\ta\t", u"\ta\t ", u"\ta\t"},
      {u" \u00A0x\u3000 ", u"\u00A0x\u3000", u"\u00A0x\u3000 ", u" \u00A0x\u3000"},
      {u" \r\n", u"\r\n", u"\r\n", u" \r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(trimSpaces(c.text), c.both) << testing::PrintToString(c.text);
    EXPECT_EQ(trimLeftSpaces(c.text), c.leftOnly) << testing::PrintToString(c.text);
    EXPECT_EQ(trimRightSpaces(c.text), c.rightOnly) << testing::PrintToString(c.text);
  }
}

TEST(TextSlices, OutOfRangeGivesEmptyOrShorter) {
  const std::u16string_view text = u"abcdef";
  const struct {
    std::size_t position;
    std::size_t length;
    std::u16string_view slice;
    std::u16string_view from;
  } cases[] = {
      {0, 3, u"abc", u"abcdef"}, {4, 10, u"ef", u"ef"},  {5, npos, u"f", u"f"}, {6, 1, u"", u""},
      {7, 1, u"", u""},          {npos, npos, u"", u""}, {2, 0, u"", u"cdef"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(slice(text, c.position, c.length), c.slice) << c.position << "," << c.length;
    EXPECT_EQ(sliceFrom(text, c.position), c.from) << c.position;
  }
  EXPECT_EQ(left(text, 2), u"ab");
  EXPECT_EQ(left(text, npos), text);
  EXPECT_EQ(left(u"", 3), u"");
  EXPECT_EQ(right(text, 2), u"ef");
  EXPECT_EQ(right(text, 0), u"");
  EXPECT_EQ(right(text, 99), text);
  EXPECT_EQ(right(u"", npos), u"");
}

TEST(TextSlices, ReplaceAllIsExactAndNonOverlapping) {
  const struct {
    std::u16string text;
    std::u16string from;
    std::u16string to;
    std::u16string result;
  } cases[] = {
      {u"a%b%c", u"%", u"", u"abc"},   {u"aaa", u"aa", u"x", u"xa"},
      {u"aAa", u"a", u"aa", u"aaAaa"}, {u"abc", u"", u"x", u"abc"},
      {u"", u"a", u"x", u""},          {u"Http http", u"http", u"hxxp", u"Http hxxp"},
      {u"%%%%", u"%%", u"%", u"%%"},
  };
  for (const auto& c : cases) EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.result);
}

TEST(TextSlices, ToDecimal) {
  const struct {
    std::int64_t value;
    std::u16string text;
  } cases[] = {
      {0, u"0"},
      {7, u"7"},
      {-1, u"-1"},
      {1000000, u"1000000"},
      {-2147483648LL, u"-2147483648"},
      {std::numeric_limits<std::int64_t>::max(), u"9223372036854775807"},
      {std::numeric_limits<std::int64_t>::min(), u"-9223372036854775808"},
  };
  for (const auto& c : cases) EXPECT_EQ(toDecimal(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace tolvaran
