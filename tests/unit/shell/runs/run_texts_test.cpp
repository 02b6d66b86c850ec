// The texts the runs show and write: the statistics message, the window's
// short error lines, Explorer's parameters; and the click guard.
#include <gtest/gtest.h>

#include "platform/sim/sim_ui.h"
#include "shell/runs/cure_runs.h"
#include "shell/runs/end_of_run_report.h"
#include "shell/runs/window_steps.h"
#include "support/embedded_resources.h"
#include "support/text.h"

namespace tolvaran {
namespace {

class RunTexts : public ::testing::Test {
 protected:
  RunTexts() { messages.LoadLangTable(resource::kLanguageEnglish, ui, u"Tolvaran"); }
  std::u16string head() {
    return messages.msg(Msg::kPressOk) + u"\r\n\r\n" + messages.msg(Msg::kSummaryTitle) + u"\r\n";
  }
  platform::sim::SimUi ui;
  Translation messages;
};

TEST_F(RunTexts, StatisticsMessageShowsOnlyCountersThatMoved) {
  EXPECT_EQ(statisticsMessage({}, messages), head());
  // The total is never shown; the last line shown ends with a line break
  // unless it is the errors line.
  RunStatistics counts;
  counts.Total = 9;
  counts.Cured = 2;
  counts.Warnings = 12;
  EXPECT_EQ(statisticsMessage(counts, messages),
            head() + messages.msg(Msg::kSummaryCured) + u"2\r\n" +
                messages.msg(Msg::kSummaryWarnings) + u"12\r\n");
  counts.Errors = 1;
  counts.Omitted = -1;
  EXPECT_EQ(statisticsMessage(counts, messages),
            head() + messages.msg(Msg::kSummaryCured) + u"2\r\n" +
                messages.msg(Msg::kSummaryOmitted) + u"-1\r\n" +
                messages.msg(Msg::kSummaryWarnings) + u"12\r\n" +
                messages.msg(Msg::kSummaryErrors) + u"1");
  // The folder of the originals kept, after a blank line, whatever ends the
  // counters.
  const std::u16string folder = u"C:\\Tools\\LOG\\Backup\\Tolvaran-07.12.2026_10-00";
  EXPECT_EQ(statisticsMessage(counts, messages, folder),
            statisticsMessage(counts, messages) + u"\r\n\r\n" + messages.msg(Msg::kBackupsKeptIn) +
                u"\r\n" + folder);
  counts.Errors = 0;
  EXPECT_EQ(statisticsMessage(counts, messages, folder),
            statisticsMessage(counts, messages) + u"\r\n" + messages.msg(Msg::kBackupsKeptIn) +
                u"\r\n" + folder);
}

TEST(WindowErrorLine, NamesTheProcedureNumberTextAndSystemCode) {
  EXPECT_EQ(windowErrorLine(u"07.12.2026 10:00:00", u"frmMain.cbRun_Click",
                            Failure{9, u"Subscript out of range", 5}),
            u"07.12.2026 10:00:00 - frmMain.cbRun_Click - #9 Subscript out of range. "
            u"LastDllError = 5");
}

TEST(ExplorerParameters, SelectTheQuotedReport) {
  EXPECT_EQ(explorerSelectParameters(u"C:\\My Tools\\LOG\\r.log"),
            u"/select, \"C:\\My Tools\\LOG\\r.log\"");
}

}  // namespace
}  // namespace tolvaran
