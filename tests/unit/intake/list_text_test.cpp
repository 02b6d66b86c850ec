// The lines of a list, whatever ends them.
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

TEST(ListLinesTest, CrLfLfAndCrEachEndALine) {
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
      {u"a\nb\rc", {u"a", u"b", u"c"}},
      {u"a\n", {u"a", u""}},
      {u"a\r", {u"a", u""}},
      {u"a\n\rb", {u"a", u"", u"b"}},  // LF CR is two line ends
      {u"a\r\r\nb\n\r\n", {u"a", u"", u"b", u"", u""}},
      {u"\r\n\r\nx", {u"", u"", u"x"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(linesOf(c.text), c.lines) << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace
}  // namespace tolvaran
