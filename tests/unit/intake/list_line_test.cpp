// Which path a list line names, in the forms people write paths in, and
// which lines without one still look like they name a shortcut.
#include "intake/list_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/text.h"

namespace tolvaran {
namespace {

TEST(LinePathsTest, DriveUncAndSlashedPathsWithTheirShorterReadings) {
  using Listed = std::vector<std::u16string>;
  struct Case {
    std::u16string_view line;
    std::u16string_view listed;   // empty: no path
    std::u16string_view written;  // empty: as listed
    Listed shorter;
  } cases[] = {
      {u"\"C:\\A\\Tool.lnk\" (hijacked)", u"C:\\A\\Tool.lnk", u"", {}},
      {u"\\\\srv\\share\\Tool.lnk", u"\\\\srv\\share\\Tool.lnk", u"", {}},
      {u"1. \"\\\\srv\\share\\Tool.lnk\" x", u"\\\\srv\\share\\Tool.lnk", u"", {}},
      {u"\t\\\\srv\\a.url", u"\\\\srv\\a.url", u"", {}},
      {u"//srv/share/a.lnk", u"\\\\srv\\share\\a.lnk", u"//srv/share/a.lnk", {}},
      {u"C:/Users/U/a.lnk", u"C:\\Users\\U\\a.lnk", u"C:/Users/U/a.lnk", {}},
      {u"file:///C:/a/b.lnk", u"C:\\a\\b.lnk", u"C:/a/b.lnk", {}},
      {u"\\\\?\\C:\\a\\b.lnk", u"C:\\a\\b.lnk", u"", {}},
      {u"\\\\?\\UNC\\srv\\share\\b.lnk", u"\\\\?\\UNC\\srv\\share\\b.lnk", u"", {}},
      {u"\\\\.\\C:\\a.lnk", u"C:\\a.lnk", u"", {}},
      // Not paths: a web address, backslashes inside a word, a bare ":\".
      {u"see http://ads.test/a.url", u"", u"", {}},
      {u"x\\\\srv\\a.lnk", u"", u"", {}},
      {u":\\a.lnk", u"", u"", {}},
      // The first path wins and runs to the last extension; the shorter
      // readings end at the earlier ones, longest first.
      {u"\\\\srv\\a.lnk C:\\b.lnk", u"\\\\srv\\a.lnk C:\\b.lnk", u"", {u"\\\\srv\\a.lnk"}},
      {u"C:\\A\\Tool.lnk - see C:\\Temp\\notes.txt",
       u"C:\\A\\Tool.lnk - see C:\\Temp\\notes.txt",
       u"",
       {u"C:\\A\\Tool.lnk"}},
      {u"C:\\a.lnk x.url \"y.ico\"", u"C:\\a.lnk x.url", u"", {u"C:\\a.lnk"}},
      {u"C:\\a.lnk x.url y.ico", u"C:\\a.lnk x.url y.ico", u"", {u"C:\\a.lnk x.url", u"C:\\a.lnk"}},
      {u"\"C:/a b.lnk/c.url\" d.txt", u"C:\\a b.lnk\\c.url", u"C:/a b.lnk/c.url", {u"C:\\a b.lnk"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf16ToUtf8(c.line));
    const LinePaths paths(c.line);
    ASSERT_EQ(paths.found(), !c.listed.empty());
    if (!paths.found()) continue;
    const LinePath longest = paths.longest();
    EXPECT_EQ(longest.listed, c.listed);
    EXPECT_EQ(longest.written, c.written.empty() ? c.listed : c.written);
    Listed shorter;
    for (const LinePath& path : paths.shorter(kShorterReadings)) shorter.push_back(path.listed);
    EXPECT_EQ(shorter, c.shorter);
  }
}

TEST(FindUnreadPathTest, OnlyWhatBeginsAndEndsLikeAShortcutPath) {
  using enum UnreadReason;
  struct Case {
    std::u16string_view line;
    std::optional<UnreadPath> unread;
  } cases[] = {
      {u"C:\\Users\\\"A\"\\Tool.lnk (hijacked)",
       UnreadPath{u"C:\\Users\\\"A\"\\Tool.lnk", kNotAPath}},
      {u"\\\\srv\\\"x\"\\a.url", UnreadPath{u"\\\\srv\\\"x\"\\a.url", kNotAPath}},
      {u"%OneDrive%\\Desktop\\Tool.lnk",
       UnreadPath{u"%OneDrive%\\Desktop\\Tool.lnk", kUnknownVariable}},
      {u"\"%X%/Desktop/Tool.LNK\" x", UnreadPath{u"%X%/Desktop/Tool.LNK", kUnknownVariable}},
      {u"notes.txt at 10:30", std::nullopt},
      {u"Q: where is log.txt", std::nullopt},    // no separator after the colon
      {u"http://ads.test/a.url", std::nullopt},  // a scheme, not a drive
      {u"C:\\Tools\\app.exe", std::nullopt},     // no curable extension
      {u"C:\\a\\b.lnkx", std::nullopt},          // the extension does not end a word
      {u"50%off%\\a.lnk", std::nullopt},         // no reference at a word's start
      {u"%%\\a.lnk", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(findUnreadPath(c.line), c.unread) << utf16ToUtf8(c.line);
  }
}

}  // namespace
}  // namespace tolvaran
