#include "shell/runs/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/text.h"

namespace tolvaran {
namespace {

std::string show(const std::vector<std::u16string>& arguments) {
  std::string out;
  for (const auto& argument : arguments) {
    out += '[';
    out += utf16ToUtf8(argument);
    out += ']';
  }
  return out;
}

TEST(GetCommandLineArgs, TakesWhatFollowsTheProgramPath) {
  const struct {
    std::optional<std::u16string> line;
    std::u16string startup;
    std::u16string expected;
  } cases[] = {
      {u"\"C:\\My Tools\\Tolvaran.exe\" -EN a.txt", u"", u"-EN a.txt"},
      {u"\"C:\\My Tools\\Tolvaran.exe\"", u"", u""},
      // The path ends at its closing quote even without a space after it.
      {u"\"C:\\T.exe\"a.txt", u"", u"a.txt"},
      {u"C:\\Tools\\Tolvaran.exe   \"C:\\a b\\list.txt\"  ", u"", u"\"C:\\a b\\list.txt\""},
      {u"C:\\Tools\\Tolvaran.exe", u"", u""},
      {u"", u"", u""},
      // An opening quote never closed: the path ends at the first space.
      {u"\"C:\\My Tools\\Tolvaran.exe -EN", u"", u"Tools\\Tolvaran.exe -EN"},
      // No Unicode command line: the arguments the start-up reported.
      {std::nullopt, u"  -RU x.log ", u"-RU x.log"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf16ToUtf8(GetCommandLineArgs({c.line, c.startup})), utf16ToUtf8(c.expected))
        << utf16ToUtf8(c.line.value_or(u"(none)"));
  }
}

TEST(SplitArgs, QuotedArgumentsKeepTheirSpaces) {
  const struct {
    std::u16string text;
    std::string expected;
  } cases[] = {
      {u"", ""},
      {u"   ", ""},
      {u"a.txt  b.txt", "[a.txt][b.txt]"},
      {u"\"C:\\My Lists\\list.txt\" -EN", "[C:\\My Lists\\list.txt][-EN]"},
      // Spaces inside quotes are kept as typed, doubled ones too.
      {u"\"C:\\a  b\\c.lnk\"", "[C:\\a  b\\c.lnk]"},
      {u"\"C:\\Program Files\\x\" \"D:\\y z\"", "[C:\\Program Files\\x][D:\\y z]"},
      // A quote never closed takes the rest of the text.
      {u"\"C:\\a b\\c.lnk -EN", "[C:\\a b\\c.lnk -EN]"},
      // A quote inside an argument does not start one; every quote goes.
      {u"C:\\a\"b c\"", "[C:\\ab][c]"},
      // A quote that closes mid-piece does not end the argument.
      {u"\"a\"b c\" d", "[ab c][d]"},
      {u"\"\" x", "[][x]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(show(SplitArgs(c.text)), c.expected) << utf16ToUtf8(c.text);
  }
}

TEST(LanguageSwitch, FourSwitchesInAnyCaseAndNothingElse) {
  EXPECT_EQ(languageSwitch(u"-RU"), 1049u);
  EXPECT_EQ(languageSwitch(u"-en"), 1033u);
  EXPECT_EQ(languageSwitch(u"-Fr"), 2060u);
  EXPECT_EQ(languageSwitch(u"\"-DE\""), 2055u);
  for (const std::u16string_view other : {u"/EN", u"EN", u"-ENG", u"-E N", u"", u"--EN"}) {
    EXPECT_FALSE(languageSwitch(other)) << utf16ToUtf8(other);
  }
}

}  // namespace
}  // namespace tolvaran
