#include "report/report_layout.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_ui.h"
#include "support/embedded_resources.h"
#include "support/text.h"

namespace tolvaran {
namespace {

class ReportLayoutTest : public ::testing::Test {
 protected:
  ReportLayoutTest() { messages.LoadLangTable(resource::kLanguageEnglish, ui, u"Tolvaran"); }
  platform::sim::SimUi ui;
  Translation messages;
};

TEST_F(ReportLayoutTest, NamesAndTimesUseTwoDigitFields) {
  const platform::SystemTime early{2026, 1, 0, 2, 3, 4, 59, 999};
  EXPECT_EQ(reportFileName(early), u"Tolvaran-02.01.2026_03-04.log");
  EXPECT_EQ(reportHeaderTime(early), u"02.01.2026 - 03:04");
  const platform::SystemTime late{2026, 12, 1, 31, 23, 59, 0, 0};
  EXPECT_EQ(reportFileName(late), u"Tolvaran-31.12.2026_23-59.log");
}

TEST_F(ReportLayoutTest, ResultLinesFollowTheirLayout) {
  const std::u16string ok = messages.msg(Msg::kOk);
  const std::u16string notFound = messages.msg(Msg::kShortcutNotFound);
  struct Case {
    const char* what;
    ResultLine line;
    std::u16string expected;
  };
  const Case cases[] = {
      {"single-digit numbers are padded, OK carries the rule and S",
       {.tag = status::kOk,
        .number = 1,
        .path = u"C:\\a.lnk",
        .target = u"C:\\b.exe",
        .resultText = ok,
        .recoveryCode = u"A2",
        .ruleCode = u"R1"},
       u"[ OK ] 1  \"C:\\a.lnk\"    -> [ \"C:\\b.exe\" ]   (Method R1-S)   (OK)"},
      {"a target found by searching names the recovery code",
       {.tag = status::kOk,
        .number = 10,
        .path = u"C:\\a.lnk",
        .target = u"C:\\b.exe",
        .arguments = u"--x",
        .resultText = ok,
        .recoveryCode = u"A2",
        .ruleCode = u"R2",
        .targetFoundBySearch = true},
       u"[ OK ] 10 \"C:\\a.lnk\"    -> [ \"C:\\b.exe\" --x ]   (Method R2-A2)   (OK)"},
      {"no target: no arrow, no brackets; other results carry no method",
       {.tag = status::kSkipped,
        .number = 2,
        .path = u"C:\\a.lnk",
        .resultText = notFound,
        .ruleCode = u"R1"},
       u"[SKIP] 2  \"C:\\a.lnk\"    (shortcut was not found)"},
      {"arguments without a target stand alone",
       {.tag = status::kWarning,
        .number = 123,
        .path = u"C:\\a.lnk",
        .arguments = u"-y",
        .resultText = u"(text)"},
       u"[WARN] 123 \"C:\\a.lnk\"  -y   (text)"},
      {"a result that only looks like OK carries no method",
       {.tag = status::kOk, .number = 3, .path = u"p", .resultText = u"(OK) ", .ruleCode = u"R1"},
       u"[ OK ] 3  \"p\"    (OK) "},
      {"control characters are spelt out: adware cannot start lines of its own",
       {.tag = status::kError,
        .number = 4,
        .path = u"C:\\a\x01.lnk",
        .target = u"C:\\b.exe",
        .arguments = u"x\r\n[ OK ] 9  \"C:\\f.lnk\"\t\x1F",
        .resultText = u"(y)"},
       u"[ERR ] 4  \"C:\\a<x01>.lnk\"    -> [ \"C:\\b.exe\" x<CR><LF>[ OK ] 9  "
       u"\"C:\\f.lnk\"<TAB><x1F> ]   "
       u"(y)"},
  };
  for (const auto& c : cases) EXPECT_EQ(composeResultLine(c.line, messages), c.expected) << c.what;
}

TEST_F(ReportLayoutTest, ArgumentsLoseEveryClickableScheme) {
  EXPECT_EQ(defangArguments(u"http://a HTTPS://b Http x hTtP"), u"hxxp://a hxxpS://b hxxp x hxxp");
  EXPECT_EQ(defangArguments(u"--no-first-run"), u"--no-first-run");
}

TEST_F(ReportLayoutTest, GroupingKeepsTagOrderAndArrivalOrder) {
  const std::vector<std::u16string> lines = {u"",           u"[SKIP] 1 a", u"[ OK ] 2 b", u"",
                                             u"[????] 3 c", u"[ OK ] 4 d", u"[ERR ] 5 e"};
  EXPECT_EQ(SortByPrefixes(lines, StatusPrefixes, true, u"."),
            u"[ OK ] 2 b\r\n[ OK ] 4 d\r\n.\r\n[SKIP] 1 a\r\n.\r\n[ERR ] 5 e\r\n");
  EXPECT_EQ(SortByPrefixes(lines, StatusPrefixes, false, u"."),
            u"[ OK ] 2 b\r\n[ OK ] 4 d\r\n[SKIP] 1 a\r\n[ERR ] 5 e");
  EXPECT_EQ(SortByPrefixes({u""}, StatusPrefixes, true, u"."), u"");
  EXPECT_EQ(SortByPrefixes({}, StatusPrefixes, true, u"."), u"");
  EXPECT_EQ(SortByPrefixes({u"", u"[ ok ] lower case is no tag"}, StatusPrefixes, true, u"."), u"");
}

TEST_F(ReportLayoutTest, DailyCountTakesTheRightPluralForm) {
  for (const int count : {2, 3, 4, 22, 23, 24, 102, 1002}) {
    EXPECT_EQ(dailyCountPluralMessage(count), Msg::kTimesFew) << count;
  }
  for (const int count : {0, 1, 5, 11, 12, 13, 14, 111, 112, 2147483647}) {
    EXPECT_EQ(dailyCountPluralMessage(count), Msg::kTimes) << count;
  }
}

TEST_F(ReportLayoutTest, StatisticsLeaveOutCountersThatAreZero) {
  RunStatistics counts;
  counts.Total = 0;
  counts.Deleted = 2;
  counts.Errors = 1;
  EXPECT_EQ(statisticsBlock(counts, 1, u"", messages),
            messages.msg(Msg::kReportStatistics) + u"\r\nCure ran per today: 1 times.\r\n\r\n" +
                messages.msg(Msg::kReportTotal) + u"0\r\n\r\n" + messages.msg(Msg::kReportDeleted) +
                u"2\r\n" + messages.msg(Msg::kReportErrors) + u"1\r\n" +
                messages.msg(Msg::kEndOfLog));
  EXPECT_TRUE(statisticsBlock(counts, 1, u"Backup\\Tolvaran-07.12.2026_10-00\\", messages)
                  .ends_with(u"1\r\nBackup: Backup\\Tolvaran-07.12.2026_10-00\\\r\n" +
                             messages.msg(Msg::kEndOfLog)));
}

TEST(FolderAsSeenFrom, IsRelativeToTheReportWhenInsideItsFolder) {
  constexpr std::u16string_view kReport = u"C:\\Tools\\LOG\\Tolvaran-07.12.2026_10-00.log";
  const struct {
    std::u16string_view folder, seen;
  } cases[] = {
      {u"", u""},
      {u"C:\\Tools\\LOG\\Backup\\Tolvaran-07.12.2026_10-00",
       u"Backup\\Tolvaran-07.12.2026_10-00\\"},
      {u"c:\\tools\\log\\Backup\\x\\", u"Backup\\x\\"},
      {u"C:\\Users\\U\\AppData\\Local\\Temp\\Tolvaran\\LOG\\Backup\\x",
       u"C:\\Users\\U\\AppData\\Local\\Temp\\Tolvaran\\LOG\\Backup\\x\\"},
      {u"C:\\Tools\\LOGS\\Backup", u"C:\\Tools\\LOGS\\Backup\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(folderAsSeenFrom(kReport, c.folder), c.seen) << utf16ToUtf8(c.folder);
  }
}

}  // namespace
}  // namespace tolvaran
