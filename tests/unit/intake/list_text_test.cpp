// Lines of a list and the encoding of a list file, from their bytes alone.
#include "intake/list_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvaran {
namespace {

std::vector<std::u16string> linesOf(std::u16string_view text) {
  std::vector<std::u16string> lines;
  for (const std::u16string_view line : ListLines(text)) lines.emplace_back(line);
  return lines;
}

TEST(ListLinesTest, OnlyCrLfEndsALine) {
  using Lines = std::vector<std::u16string>;
  struct Case {
    std::u16string_view text;
    Lines lines;
  } cases[] = {
      {u"", {}},
      {u"one", {u"one"}},
      {u"a\r\nb", {u"a", u"b"}},
      {u"a\r\n", {u"a", u""}},
      {u"\r\n", {u"", u""}},
      {u"a\nb\rc", {u"a\nb\rc"}},
      {u"a\r\r\nb\n\r\n", {u"a\r", u"b\n", u""}},
      {u"\r\n\r\nx", {u"", u"", u"x"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(linesOf(c.text), c.lines) << std::string(c.text.begin(), c.text.end());
  }
}

TEST(ListEncodingTest, AMarkDecidesBeforeTheFourthByte) {
  struct Case {
    std::string_view bytes;
    ListEncoding encoding;
    std::size_t markLength;
  } cases[] = {
      {std::string_view("\xFF\xFE\x43\0:\0", 6), ListEncoding::kUtf16Le, 2},
      {"\xEF\xBB\xBF\x43:\\x.lnk", ListEncoding::kUtf8, 3},
      {std::string_view("\xEF\xBB\xBF\0", 4), ListEncoding::kUtf8, 3},
      {std::string_view("C\0:\0\\\0", 6), ListEncoding::kUtf16Le, 0},
      {"C:\\x.lnk", ListEncoding::kAnsi, 0},
      {"abc", ListEncoding::kUtf16Le, 0},  // too short to tell: UTF-16
      {"", ListEncoding::kUtf16Le, 0},
      {std::string_view("\xFE\xFF\0C", 4), ListEncoding::kAnsi, 0},  // big-endian is not recognised
  };
  for (const Case& c : cases) {
    EXPECT_EQ(listEncodingOf(c.bytes), c.encoding) << c.bytes.size();
    EXPECT_EQ(byteOrderMarkLength(c.bytes), c.markLength) << c.bytes.size();
  }
}

}  // namespace
}  // namespace tolvaran
