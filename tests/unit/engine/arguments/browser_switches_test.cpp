// Switch-by-switch judgement of browser arguments: Windows' argument
// splitting, the item forms of the legitimate-switch list, the hijack
// switches adware adds, and hostile argument strings.
#include "engine/arguments/browser_switches.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/text.h"
#include "support/web_address.h"

namespace tolvaran {
namespace {

struct SplitCase {
  std::u16string_view text;
  std::vector<std::u16string> values;
};

TEST(BrowserSwitchesTest, SplitsAsWindowsSplitsArguments) {
  const SplitCase cases[] = {
      {u"", {}},
      {u" \t  ", {}},
      {u"a b", {u"a", u"b"}},
      {u"\ta\t\tb ", {u"a", u"b"}},
      {u"\"\"", {u""}},
      {u"\"a b\" c", {u"a b", u"c"}},
      {u"a\"b c\"d", {u"ab cd"}},
      // Backslashes are literal unless a quote follows them.
      {u"C:\\dir\\ x", {u"C:\\dir\\", u"x"}},
      {u"a\\\\b", {u"a\\\\b"}},
      // 2n backslashes + quote: n backslashes, the quote opens or closes.
      {u"a\\\\\"b c\"", {u"a\\b c"}},
      {u"\"C:\\dir\\\\\" x", {u"C:\\dir\\", u"x"}},
      {u"a\\\\\\\\\"b\"", {u"a\\\\b"}},
      // 2n+1 backslashes + quote: n backslashes and a literal quote.
      {u"a\\\"b", {u"a\"b"}},
      {u"a\\\\\\\"b", {u"a\\\"b"}},
      {u"\"C:\\dir\\\" x", {u"C:\\dir\" x"}},
      // Two quotes inside quotes close and reopen: no literal quote.
      {u"\"a\"\"b c\"", {u"ab c"}},
      // An open quote runs to the end.
      {u"-P \"Work  -no-remote", {u"-P", u"Work  -no-remote"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(utf16ToUtf8(c.text));
    std::vector<std::u16string> values;
    for (const CommandArgument& argument : splitCommandArguments(c.text)) {
      values.push_back(argument.value);
    }
    EXPECT_EQ(values, c.values);
  }
}

TEST(BrowserSwitchesTest, SpansCoverTheArgumentAsWritten) {
  const auto arguments = splitCommandArguments(u"  --p=\"Profile 1\"\t-x \"open");
  ASSERT_EQ(arguments.size(), 3u);
  EXPECT_EQ(arguments[0].begin, 2u);
  EXPECT_EQ(arguments[0].end, 17u);
  EXPECT_EQ(arguments[1].begin, 18u);
  EXPECT_EQ(arguments[1].end, 20u);
  EXPECT_EQ(arguments[2].begin, 21u);
  EXPECT_EQ(arguments[2].end, 26u);
}

const std::vector<std::u16string>& legitSwitches() {
  static const std::vector<std::u16string> list{u"--profile-directory=<profile>",
                                                u"--app-id=<app-id>",
                                                u"--incognito",
                                                u"--inprivate",
                                                u"-P <name>",
                                                u"-P",
                                                u"-no-remote",
                                                u"-private-window",
                                                u"-safe-mode",
                                                u"/box:<name>",
                                                u"/home",
                                                u"default_browser"};
  return list;
}

struct JudgeCase {
  std::u16string_view arguments;
  std::u16string_view kept;
  bool dropped;
};

TEST(BrowserSwitchesTest, KeepsLegitimateSwitchesAndDropsTheRest) {
  constexpr JudgeCase cases[] = {
      {u"", u"", false},
      {u" \t ", u"", false},
      {u"--profile-directory=\"Profile 12\"", u"--profile-directory=\"Profile 12\"", false},
      {u"\"--PROFILE-DIRECTORY=guest profile\"", u"\"--PROFILE-DIRECTORY=guest profile\"", false},
      {u"--profile-directory=Default --app-id=abcdefghijklmnopabcdefghijklmnop",
       u"--profile-directory=Default --app-id=abcdefghijklmnopabcdefghijklmnop", false},
      {u"\t--incognito\t\t--inprivate ", u"--incognito --inprivate", false},
      {u"-P \"Work\" -no-remote", u"-P \"Work\" -no-remote", false},
      {u"-private-window -safe-mode --new-tab", u"-private-window -safe-mode", true},
      {u"/box:Work /home default_browser", u"/box:Work /home default_browser", false},
      // A lone -P falls through to the literal; the address after it goes.
      {u"-P https://ads.example", u"-P", true},
      {u"-P -no-remote", u"-P -no-remote", false},
      {u"-P \"Work http://ads\"", u"-P", true},
      // Value classes reject near misses.
      {u"--profile-directory=\"Profile 1234567890\"", u"", true},
      {u"--profile-directory=\"Profile \"", u"", true},
      {u"--profile-directory=\"Profile x\"", u"", true},
      {u"--profile-directory=C:\\Users\\Ann\\evil", u"", true},
      {u"--profile-directory=https://x", u"", true},
      {u"--app-id=abcdefghijklmnopabcdefghijklmno", u"", true},
      {u"--app-id=abcdefghijklmnopabcdefghijklmnoq", u"", true},
      {u"--app-id=ABCDEFGHIJKLMNOPABCDEFGHIJKLMNOP", u"", true},
      {u"/box: /box:-x /box:/y", u"", true},
      {u"\"\" --incognito", u"--incognito", true},
      // Addresses, appended or glued to a switch.
      {u"--incognito http://ads.example", u"--incognito", true},
      {u"--incognito www.ads.example", u"--incognito", true},
      {u"--incognitohttp://ads.example", u"", true},
      {u"--inprivate \"javascript:alert(1)\"", u"--inprivate", true},
      // The hijack switches, each unknown to every browser's list.
      {u"--load-extension=C:\\x --profile-directory=\"Profile 1\"",
       u"--profile-directory=\"Profile 1\"", true},
      {u"--disable-features=DisableLoadExtensionCommandLineSwitch --load-extension=C:\\x "
       u"--disable-extensions-except=C:\\x --remote-debugging-port=9222 --remote-debugging-pipe "
       u"--incognito --user-data-dir=C:\\Temp\\p --proxy-server=1.2.3.4:8080 "
       u"--proxy-pac-url=http://x/p.pac --no-sandbox --gpu-launcher=\"cmd /c calc\" "
       u"--disable-gpu-sandbox",
       u"--incognito", true},
      // An open quote swallows the rest into one argument.
      {u"--incognito \"--profile-directory=Default", u"--incognito \"--profile-directory=Default",
       false},
      {u"--incognito \"http://ads --inprivate", u"--incognito", true},
  };
  for (const JudgeCase& c : cases) {
    SCOPED_TRACE(utf16ToUtf8(c.arguments));
    const SwitchVerdict verdict = judgeBrowserSwitches(c.arguments, legitSwitches());
    EXPECT_EQ(verdict.kept, c.kept);
    EXPECT_EQ(verdict.dropped, c.dropped);
  }
}

TEST(BrowserSwitchesTest, NamesAreLimitedTo260Characters) {
  const std::u16string longest(260, u'n');
  EXPECT_FALSE(judgeBrowserSwitches(u"-P " + longest, legitSwitches()).dropped);
  EXPECT_EQ(judgeBrowserSwitches(u"-P " + longest + u"n", legitSwitches()).kept, u"-P");
}

TEST(BrowserSwitchesTest, ListOrderAndItemSyntaxDecide) {
  struct ListCase {
    std::vector<std::u16string> list;
    std::u16string_view arguments;
    std::u16string_view kept;
  };
  const ListCase cases[] = {
      // The literal listed first wins, leaving the name on its own.
      {{u"-P", u"-P <name>"}, u"-P Work", u"-P"},
      {{u"--x=<colour>", u"-y <colour>"}, u"--x=red -y red", u""},
      // Quotes in an item are read as in an argument.
      {{u"--profile-directory=\"Profile 1\""},
       u"--profile-directory=\"Profile 1\" \"--profile-directory=Profile 1\"",
       u"--profile-directory=\"Profile 1\" \"--profile-directory=Profile 1\""},
      // An empty item keeps nothing, not even an empty argument.
      {{u"", u"\"\""}, u"\"\" x", u""},
      {{u"--home=http://x"}, u"--home=http://x", u""},
      {{}, u"--incognito", u""},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(utf16ToUtf8(c.arguments));
    EXPECT_EQ(judgeBrowserSwitches(c.arguments, c.list).kept, c.kept);
  }
}

TEST(BrowserSwitchesTest, MaximalArgumentStringsStayCorrect) {
  constexpr std::size_t kMax = 32767;
  std::u16string many;
  while (many.size() + 12 <= kMax) many += u"--incognito ";
  many.resize(kMax, u' ');
  const SwitchVerdict kept = judgeBrowserSwitches(many, legitSwitches());
  EXPECT_EQ(kept.kept, trimSpaces(many));
  EXPECT_FALSE(kept.dropped);

  const std::u16string openQuote = u"--profile-directory=\"" + std::u16string(kMax - 21, u'x');
  EXPECT_EQ(judgeBrowserSwitches(openQuote, legitSwitches()).kept, u"");

  const auto split = splitCommandArguments(std::u16string(kMax - 1, u'\\') + u"\" x");
  ASSERT_EQ(split.size(), 1u);
  EXPECT_EQ(split[0].value, std::u16string((kMax - 1) / 2, u'\\') + u" x");

  EXPECT_FALSE(containsWebAddress(std::u16string(kMax, u'h')));
  EXPECT_TRUE(containsWebAddress(std::u16string(kMax - 4, u'w') + u"w.x."));
}

TEST(BrowserSwitchesTest, RecognisesWebAddresses) {
  const std::pair<std::u16string_view, bool> cases[] = {
      {u"http://a", true},
      {u"HTTPS://a", true},
      {u"FTP://a", true},
      {u"x=WWW.example", true},
      {u"JavaScript:alert(1)", true},
      {u"vbscript:Execute", true},
      {u"wwwx", false},
      {u"http:/x", false},
      {u"ftp:/x", false},
      {u"hxxp://a", false},
      {u"javascript", false},
      {u"", false},
      {u"Profile 1", false},
  };
  for (const auto& [text, isAddress] : cases) {
    EXPECT_EQ(containsWebAddress(text), isAddress) << utf16ToUtf8(text);
  }
}

}  // namespace
}  // namespace tolvaran
