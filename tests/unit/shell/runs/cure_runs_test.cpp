// The runs as the window drives them: what each kind of run shows, writes
// and leaves, one run at a time, and the failures they survive.
#include <gtest/gtest.h>

#include <stdexcept>

#include "runs_rig.h"

namespace tolvaran::runs_test {
namespace {

using platform::ProgramEnded;

constexpr std::u16string_view kShortcut = u"C:\\Users\\User\\Desktop\\Tool.lnk";

class CureRunsTest : public ::testing::Test, protected RunsRig {};

TEST_F(CureRunsTest, EmptyOrHintListOffersTheScannerAndWritesNothing) {
  for (const bool yes : {true, false}) {
    for (const std::u16string& text : {std::u16string(), runs.hintText()}) {
      view.editBox = text;
      machine.ui().queueAnswer(yes ? platform::id::kYes : platform::id::kNo);
      const std::size_t opened = machine.shellOps().executed().size();
      runs.cbRun_Click();
      ASSERT_FALSE(shown().empty());
      EXPECT_EQ(shown().back().text, msg(Msg::kEmptyList));
      EXPECT_EQ(shown().back().type, 52u);
      EXPECT_EQ(machine.shellOps().executed().size(), opened + (yes ? 1 : 0));
    }
  }
  const auto& request = machine.shellOps().executed().back();
  EXPECT_EQ(request.verb, u"open");
  EXPECT_EQ(request.file, kScannerDownloadPage);
  EXPECT_TRUE(reports().empty());
  EXPECT_EQ(machine.ui().status(), msg(Msg::kIdle));
}

TEST_F(CureRunsTest, ClickGuardIgnoresAWindowBeingDragged) {
  addPlainShortcut(kShortcut);
  runs.recordRestPosition({1000.0f, 2000.0f});
  EXPECT_TRUE(runs.clickAllowed({1050.0f, 1950.0f}));
  EXPECT_FALSE(runs.clickAllowed({1050.5f, 2000.0f}));
  EXPECT_FALSE(runs.clickAllowed({1000.0f, 2051.0f}));

  view.editBox = kShortcut;
  view.where = {1000.0f, 2060.0f};
  runs.cbRun_Click();
  EXPECT_TRUE(shown().empty());
  EXPECT_TRUE(reports().empty());
  view.where = {1000.0f, 2000.0f};
  runs.cbRun_Click();
  EXPECT_EQ(reports().size(), 1u);
}

TEST_F(CureRunsTest, NothingFoundDeletesTheReportAndSaysSo) {
  view.editBox = u"no path here\r\nnor here";
  runs.cbRun_Click();
  EXPECT_TRUE(reports().empty());
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].text, msg(Msg::kNothingFound));
  EXPECT_EQ(shown()[0].type, 48u);
  const std::vector<std::u16string> statuses{msg(Msg::kIdle), msg(Msg::kOperating),
                                             msg(Msg::kIdle)};
  EXPECT_EQ(machine.ui().statusHistory(), statuses);
  EXPECT_EQ(view.editBox, u"no path here\r\nnor here");
}

TEST_F(CureRunsTest, SuccessEmptiesTheBoxReportsAndOpensExplorerOnTheReport) {
  addPlainShortcut(kShortcut);
  view.editBox = kShortcut;
  runs.cbRun_Click();
  EXPECT_EQ(view.editBox, u"");
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].type, 64u);
  ASSERT_EQ(machine.shellOps().executed().size(), 1u);
  const auto& explorer = machine.shellOps().executed()[0];
  EXPECT_EQ(explorer.file, u"C:\\Windows\\explorer.exe");
  EXPECT_EQ(explorer.parameters, u"/select, \"" + program.log().ReportLogPath() + u"\"");
  EXPECT_EQ(explorer.window, simrun::SimMainView::kHandle);
  EXPECT_EQ(machine.ui().status(), msg(Msg::kReady));
  EXPECT_TRUE(contains(reportText(), u"\"C:\\Users\\User\\Desktop\\Tool.lnk\""));

  // Without explorer.exe the report is simply not shown.
  (void)machine.files().deleteFile(u"C:\\Windows\\explorer.exe");
  addPlainShortcut(kShortcut);
  view.editBox = kShortcut;
  runs.cbRun_Click();
  EXPECT_EQ(machine.shellOps().executed().size(), 1u);
}

// A user acting while the run waits: each arrives where the run lets
// window messages through.
TEST_F(CureRunsTest, NoRunStartsInsideAnother) {
  addPlainShortcut(kShortcut);
  simrun::SimDroppedFiles drop({std::u16string(kShortcut)});
  bool closeAllowed = true;
  int pumps = 0;
  ui.onPump = [&] {
    if (++pumps > 1) return;
    EXPECT_TRUE(runs.busy());
    view.editBox = u"";
    runs.cbRun_Click();  // would show message 004 if it ran
    runs.ProcessHDrop(drop);
    closeAllowed = runs.requestClose();
    view.editBox = kShortcut;
  };
  view.editBox = kShortcut;
  runs.cbRun_Click();
  EXPECT_FALSE(runs.busy());
  EXPECT_FALSE(closeAllowed);
  EXPECT_EQ(drop.finishCount, 1u);
  // One run, one report, fully written; then the window closed without
  // further questions.
  EXPECT_EQ(program.log().Statistics.Total, 1);
  EXPECT_EQ(reports().size(), 1u);
  EXPECT_TRUE(contains(reportText(), u"CRC32: "));
  EXPECT_TRUE(view.closed);
  EXPECT_TRUE(shown().empty());
  // Afterwards closing is immediate.
  EXPECT_TRUE(runs.requestClose());
}

TEST_F(CureRunsTest, AnUnusableItemOfADropGetsItsLineAndTheRestKeepsItsReport) {
  addPlainShortcut(kShortcut);
  machine.files().addFile(u"C:\\Apps\\setup.exe", "MZ setup");
  const std::u16string missing = u"C:\\Users\\User\\Desktop\\Gone.lnk";
  simrun::SimDroppedFiles drop({std::u16string(kShortcut), missing, u"C:\\Apps\\setup.exe"});
  runs.ProcessHDrop(drop);
  EXPECT_EQ(drop.finishCount, 1u);
  ASSERT_EQ(reports().size(), 1u);
  const std::u16string report = reportText();
  EXPECT_TRUE(contains(report, u"\"" + missing + u"\"    " + msg(Msg::kShortcutNotFound)))
      << utf16ToUtf8(report);
  EXPECT_TRUE(contains(report, u"\"C:\\Apps\\setup.exe\"    " + msg(Msg::kNotCurableKind)));
  EXPECT_EQ(program.log().Statistics.Omitted, 2);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].type, 64u);  // the end-of-run statistics

  // A drop of nothing usable: no report, and messages 002 and 007.
  simrun::SimDroppedFiles useless({missing});
  runs.ProcessHDrop(useless);
  ASSERT_EQ(shown().size(), 3u);
  EXPECT_EQ(shown()[1].text, msg(Msg::kNoShortcutsHere) + u": \r\n" + missing);
  EXPECT_EQ(shown()[1].type, 48u);
  EXPECT_EQ(shown()[2].text, msg(Msg::kNothingFound));
  EXPECT_EQ(reports().size(), 1u);
}

class FailingDrop final : public DroppedFiles {
 public:
  std::uint32_t fileCount() override { return 2; }
  std::uint32_t nameLength(std::uint32_t) override { return 10; }
  std::u16string name(std::uint32_t, std::uint32_t) override {
    throw RuntimeError(9, u"Subscript out of range");
  }
  void finish() override { ++finished; }
  int finished = 0;
};

TEST_F(CureRunsTest, FailureInsideADropStillReleasesItAndClosesTheReport) {
  FailingDrop drop;
  runs.ProcessHDrop(drop);
  EXPECT_EQ(drop.finished, 1);
  EXPECT_FALSE(program.log().isOpen());
  EXPECT_FALSE(runs.busy());
  // The failure is in the report's debug section.
  EXPECT_TRUE(contains(reportText(), u"frmMain.ProcessHDrop - #9"));
}

TEST_F(CureRunsTest, AFailedStepIsLoggedAndTheRunGoesOn) {
  struct Throwing : simrun::SimMainView {
    void txtLNK_SetText(std::u16string_view text) override {
      if (text.empty()) throw RuntimeError(9, u"Subscript out of range", 87);
      editBox = text;
    }
  } failing;
  CureRuns failingRuns(program, failing);
  addPlainShortcut(kShortcut);
  failing.editBox = kShortcut;
  failingRuns.cbRun_Click();
  EXPECT_NE(
      errorLog().find(" - frmMain.cbRun_Click - #9 Subscript out of range. LastDllError = 87"),
      std::string::npos);
  // The steps after it ran: status, statistics message, Explorer.
  EXPECT_EQ(machine.ui().status(), msg(Msg::kReady));
  EXPECT_EQ(shown().size(), 1u);
  EXPECT_EQ(machine.shellOps().executed().size(), 1u);
}

TEST_F(CureRunsTest, StartupWithoutFilesLeavesTheWindowInteractive) {
  runs.AutoRun({u"\"C:\\Tools\\Tolvaran.exe\"", u""});
  EXPECT_TRUE(view.subclassed);
  runs.AutoRun({u"\"C:\\Tools\\Tolvaran.exe\" -de", u""});
  EXPECT_TRUE(view.subclassed);
  EXPECT_FALSE(view.finalized);
  EXPECT_EQ(view.editBox, runs.hintText());
  EXPECT_EQ(runs.hintText(), msg(Msg::kHint) + u"\r\n\r\n");
  EXPECT_EQ(view.cureCaption, msg(Msg::kCureButton));
  EXPECT_NE(view.cureCaption, u"Cure");  // German now
  EXPECT_TRUE(reports().empty());
}

// The report and the backup folder are made before the start-up run cures
// anything: both are named by the run's start, however long the cure took.
TEST_F(CureRunsTest, StartupReportAndItsBackupsShareTheRunsStartTime) {
  engine_test::ShortcutFields hijacked;
  hijacked.target = u"C:\\Windows\\System32\\cmd.exe";
  hijacked.arguments =
      u"/c start \"\" \"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\" "
      u"http://ads.example";
  machine.files().addFile(u"C:\\Windows\\System32\\cmd.exe", "MZ cmd");
  machine.files().addFile(u"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe", "MZ");
  machine.files().addFile(u"C:\\Users\\User\\Desktop\\Google Chrome.lnk",
                          engine_test::shortcutBytes(hijacked, lnk::systemCodec(machine.system())));
  ui.onPump = [&] { machine.clock().advance(3 * 60 * 1000); };
  EXPECT_THROW(runs.AutoRun({u"T.exe \"C:\\Users\\User\\Desktop\\Google Chrome.lnk\"", u""}),
               ProgramEnded);
  EXPECT_TRUE(view.finalized);
  ASSERT_GE(machine.clock().localTime().minute, 3) << "the cure took no time";
  EXPECT_EQ(reports(), std::vector<std::u16string>{u"Tolvaran-07.12.2026_10-00.log"});
  EXPECT_EQ(machine.files().listFolder(u"C:\\Tools\\LOG\\Backup"),
            std::vector<std::u16string>{u"Tolvaran-07.12.2026_10-00"});
  EXPECT_TRUE(contains(reportText(), u"(Method R5-A2)"));
}

TEST_F(CureRunsTest, DeclinedRepeatEndsTheProgramMidRun) {
  addPlainShortcut(kShortcut);
  view.editBox = kShortcut;
  runs.cbRun_Click();
  addPlainShortcut(kShortcut);
  view.editBox = kShortcut;
  machine.ui().queueAnswer(platform::id::kNo);
  EXPECT_THROW(runs.cbRun_Click(), ProgramEnded);
  EXPECT_FALSE(runs.busy());
}

}  // namespace
}  // namespace tolvaran::runs_test
