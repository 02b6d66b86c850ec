#include "report/report_log.h"

#include <gtest/gtest.h>

#include <string>

#include "common/golden.h"
#include "common/recording_recorder.h"
#include "platform/sim/sim_machine.h"
#include "support/crc32.h"
#include "support/embedded_resources.h"
#include "support/text.h"

namespace tolvaran {
namespace {

using platform::sim::FileOp;
using platform::sim::makeOsProfile;
using platform::sim::OsLanguage;
using platform::sim::ProfileOptions;
using platform::sim::WindowsRelease;

constexpr std::u16string_view kProgramFolder = u"C:\\Tools";
constexpr std::u16string_view kSettingsPath = u"C:\\Tools\\Tolvaran.ini";
constexpr std::u16string_view kDesktop = u"C:\\Users\\User\\Desktop\\";

platform::sim::OsProfile windows7(OsLanguage language) {
  return makeOsProfile(
      ProfileOptions{.release = WindowsRelease::Windows7, .language = language, .elevated = true});
}

// One program over a fresh machine, the way start-up wires the report.
struct ReportRig {
  explicit ReportRig(OsLanguage language = OsLanguage::English,
                     int table = resource::kLanguageEnglish)
      : machine(windows7(language)) {
    machine.files().addFolder(kProgramFolder);
    machine.files().addFolder(u"C:\\Users\\User\\Desktop");
    machine.files().addFolder(u"C:\\Users\\User\\AppData\\Local\\Temp");
    machine.clock().setLocalTime({2026, 12, 1, 7, 1, 37, 12, 0});
    messages.LoadLangTable(table, machine.ui(), u"Tolvaran");
  }

  std::string reportBytes() {
    return machine.files().readFileBytes(log.ReportLogPath()).value_or("<missing>");
  }
  std::u16string reportText() { return utf16leToText(reportBytes()); }

  void addLine(std::u16string_view tag, std::u16string_view name, std::u16string_view target,
               std::u16string_view result, ListSelector list = ListSelector::kMain) {
    std::u16string path = std::u16string(kDesktop) + std::u16string(name);
    std::u16string shownTarget(target);
    log.AddLinkToLog(tag, path, shownTarget, u"", result, u"A1", u"R1", list, false);
  }

  platform::sim::SimMachine machine;
  platform::Ports ports = machine.ports();
  Translation messages;
  RecordingRecorder osFailures;
  clsOSInfo os{machine.osInfo(), machine.registry(), osFailures};
  ErrorLog errors{ports, messages, std::u16string(kProgramFolder)};
  SettingsFile settings{machine.profile(), errors, std::u16string(kSettingsPath)};
  clsCRC32 crc{machine.system(), machine.files()};
  WriteLog log{
      ports,
      messages,
      errors,
      settings,
      crc,
      os,
      ProgramIdentity{std::u16string(kProgramFolder), u"Tolvaran by Orvik Pelmanov", u"1.4.0.0"}};
};

// The seal covers every byte before the text "CRC32: ".
void expectValidSeal(const std::string& bytes) {
  const auto marker = textToUtf16le(u"CRC32: ");
  const auto at = bytes.rfind(marker);
  ASSERT_NE(at, std::string::npos);
  Crc32 crc;
  crc.update(std::string_view(bytes).substr(0, at));
  EXPECT_EQ(utf16leToText(bytes.substr(at + marker.size())), crc32ToHex(crc.value()));
}

TEST(ReportLogTest, ARunOfThreeShortcutsMatchesTheDocumentedReport) {
  ReportRig rig;
  rig.settings.WriteSettings(u"LastDate", u"07.12.2026");
  rig.settings.WriteSettings(u"TodayTimes", u"1");
  rig.log.ResetLogState();
  rig.log.CreateLogFile();
  std::u16string chrome = std::u16string(kDesktop) + u"Google Chrome.lnk";
  std::u16string chromeTarget = u"C:\\Program Files (x86)\\Google\\Chrome\\Application\\chrome.exe";
  rig.log.AddLinkToLog(status::kOk, chrome, chromeTarget, u"", rig.messages.msg(Msg::kOk), u"A1",
                       u"R1", ListSelector::kMain, false);
  rig.log.Statistics.Total = 3;
  rig.log.Statistics.Cured = 2;
  rig.log.Statistics.Omitted = 1;
  rig.addLine(status::kSkipped, u"Firefox.lnk", u"", rig.messages.msg(Msg::kShortcutNotFound));
  std::u16string opera = std::u16string(kDesktop) + u"Opera.lnk";
  std::u16string operaTarget = u"C:\\Program Files\\Opera\\launcher.exe";
  rig.log.AddLinkToLog(status::kOk, opera, operaTarget, u"", rig.messages.msg(Msg::kOk), u"A1",
                       u"R2", ListSelector::kMain, true);
  rig.log.FinishLog(false);

  EXPECT_EQ(rig.log.ReportLogPath(), u"C:\\Tools\\LOG\\Tolvaran-07.12.2026_01-37.log");
  EXPECT_TRUE(testing::matchesGoldenUtf16("report/english-three-shortcuts.log", rig.reportBytes()));
  expectValidSeal(rig.reportBytes());
  EXPECT_EQ(rig.settings.ReadSetting(u"TodayTimes", u""), u"2");
  EXPECT_FALSE(rig.log.isOpen());
}

TEST(ReportLogTest, AFullRunCarriesEverySectionAndTheErrorLog) {
  ReportRig rig(OsLanguage::Russian, resource::kLanguageRussian);
  rig.log.ResetLogState();
  rig.log.CreateLogFile();
  rig.addLine(status::kError, u"Яндекс.lnk", u"C:\\x.exe", u"(ошибка)");
  rig.addLine(status::kDeleted, u"Лишний.url", u"", u"(удалён)");
  rig.addLine(status::kOk, u"Opera.lnk", u"C:\\Opera\\launcher.exe", rig.messages.msg(Msg::kOk),
              ListSelector::kAlso);
  rig.log.addIconLine(u"[ICON] \"C:\\Users\\User\\Desktop\\Opera.lnk\" -> \"C:\\o.ico\"");
  rig.log.Statistics = {.Total = 3,
                        .Cured = 1,
                        .Deleted = 1,
                        .Renamed = 1,
                        .Omitted = 1,
                        .Blocked = 1,
                        .Warnings = 1,
                        .Errors = 1};
  rig.errors.recordError(runtimeFailure(rt::kPathFileAccessError, 5),
                         ErrorContext(u"Engine.FixLNK", u"File:", u"C:\\Яндекс.lnk"));
  rig.log.FinishLog(false);

  EXPECT_TRUE(testing::matchesGoldenUtf16("report/russian-all-sections.log", rig.reportBytes()));
  expectValidSeal(rig.reportBytes());
  EXPECT_FALSE(rig.machine.files().exists(u"C:\\Tools\\Errors.log"));
}

TEST(ReportLogTest, AnEmptyRunPrintsNoGroupsAndKeepsTheDailyCount) {
  ReportRig rig;
  rig.settings.WriteSettings(u"LastDate", u"01.01.2020");
  rig.settings.WriteSettings(u"TodayTimes", u"22");
  rig.log.ResetLogState();
  rig.log.CreateLogFile();
  rig.log.FinishLog(true);
  const auto text = rig.reportText();
  EXPECT_NE(
      text.find(rig.messages.msg(Msg::kBeginOfLog) + u"\r\n.\r\n.\r\n" +
                rig.messages.msg(Msg::kReportStatistics) + u"\r\nCure ran per today: 22 times."),
      std::u16string::npos);
  EXPECT_EQ(rig.settings.ReadSetting(u"TodayTimes", u""), u"22");
  EXPECT_EQ(rig.settings.ReadSetting(u"LastDate", u""), u"01.01.2020");
  rig.log.DeleteReportLog();
  EXPECT_FALSE(rig.machine.files().exists(rig.log.ReportLogPath()));
}

TEST(ReportLogTest, DailyCountStartsAgainOnANewOrUnreadableDate) {
  struct Case {
    const char* what;
    std::u16string lastDate;
    std::u16string todayTimes;
    std::u16string expected;
  };
  const Case cases[] = {
      {"same day", u"07.12.2026", u"4", u"5"},
      {"another day", u"06.12.2026", u"4", u"1"},
      {"nothing stored", u"", u"", u"1"},
      {"a date in another format", u"12/7/2026", u"4", u"1"},
      {"a count that is no number", u"07.12.2026", u"lots", u"1"},
      {"a count at the largest stays there", u"07.12.2026", u"2147483647", u"2147483647"},
      {"a count beyond the largest is held at it", u"07.12.2026", u"99999999999999999999",
       u"2147483647"},
  };
  for (const auto& c : cases) {
    ReportRig rig;
    if (!c.lastDate.empty()) rig.settings.WriteSettings(u"LastDate", c.lastDate);
    if (!c.todayTimes.empty()) rig.settings.WriteSettings(u"TodayTimes", c.todayTimes);
    rig.log.ResetLogState();
    rig.log.CreateLogFile();
    rig.log.FinishLog(false);
    EXPECT_EQ(rig.settings.ReadSetting(u"TodayTimes", u""), c.expected) << c.what;
    EXPECT_EQ(rig.settings.ReadSetting(u"LastDate", u""), u"07.12.2026") << c.what;
  }
}

TEST(ReportLogTest, ASecondRunInTheSameMinuteReplacesTheReport) {
  ReportRig rig;
  rig.log.ResetLogState();
  rig.log.CreateLogFile();
  rig.addLine(status::kOk, u"First.lnk", u"", u"(x)");
  rig.log.FinishLog(false);
  rig.machine.clock().advance(30'000);
  rig.log.ResetLogState();
  rig.log.CreateLogFile();
  rig.addLine(status::kOk, u"Second.lnk", u"", u"(x)");
  rig.log.FinishLog(false);
  const auto text = rig.reportText();
  EXPECT_EQ(text.find(u"First.lnk"), std::u16string::npos);
  EXPECT_NE(text.find(u"[ OK ] 1  \"C:\\Users\\User\\Desktop\\Second.lnk\""), std::u16string::npos);
  EXPECT_EQ(rig.machine.files().listFolder(u"C:\\Tools\\LOG").size(), 1u);
  expectValidSeal(rig.reportBytes());
}

TEST(ReportLogTest, NumberingRestartsWithEachRunAndIgnoresUnknownLists) {
  ReportRig rig;
  rig.log.ResetLogState();
  rig.addLine(status::kOk, u"a.lnk", u"", u"(x)");
  rig.addLine(status::kOk, u"b.lnk", u"", u"(x)", static_cast<ListSelector>(7));
  rig.addLine(status::kOk, u"c.lnk", u"", u"(x)", ListSelector::kAlso);
  EXPECT_EQ(rig.log.MainLines.size(), 2u);
  EXPECT_EQ(rig.log.AlsoLines.size(), 2u);
  EXPECT_EQ(rig.log.LineNumber, 3);
  rig.log.ResetLogState();
  rig.addLine(status::kOk, u"d.lnk", u"", u"(x)");
  EXPECT_EQ(rig.log.LineNumber, 1);
}

TEST(ReportLogTest, OnlyArgumentsAreDefanged) {
  ReportRig rig;
  rig.log.ResetLogState();
  std::u16string path = u"C:\\http\\Http.lnk";
  std::u16string target = u"C:\\http\\chrome.exe";
  rig.log.AddLinkToLog(status::kOk, path, target, u"HTTP://ad.example Https://x", u"(x)", u"", u"",
                       ListSelector::kMain, false);
  EXPECT_EQ(rig.log.MainLines[1],
            u"[ OK ] 1  \"C:\\http\\Http.lnk\"    -> [ \"C:\\http\\chrome.exe\" hxxp://ad.example "
            u"hxxps://x ]   (x)");
}

TEST(ReportLogTest, AReportLineRaisesTheCounterItNames) {
  ReportRig rig;
  rig.log.ResetLogState();
  const std::u16string path = u"C:\\Users\\User\\Desktop\\Opera.lnk";
  rig.log.reportLine(&RunStatistics::Deleted, status::kDeleted, path, u"", u"", u"(x)", u"", u"",
                     ListSelector::kMain, false);
  rig.log.reportLine(nullptr, status::kAttributes, path, u"C:\\o.exe", u"", u"(y)", u"", u"",
                     ListSelector::kAlso, false);
  EXPECT_EQ(rig.log.Statistics, RunStatistics{.Deleted = 1});
  EXPECT_EQ(rig.log.MainLines[1], u"[DEL ] 1  \"C:\\Users\\User\\Desktop\\Opera.lnk\"    (x)");
  EXPECT_EQ(rig.log.AlsoLines[1],
            u"[ATTR] 2  \"C:\\Users\\User\\Desktop\\Opera.lnk\"    -> [ \"C:\\o.exe\" ]   (y)");
}

TEST(ReportLogTest, AnUnwritableProgramFolderSendsTheLogsToTheTemporaryFolder) {
  ReportRig rig;
  rig.machine.files().faults().failAlways(FileOp::kCreateDirectory, platform::kErrorAccessDenied,
                                          u"C:\\Tools\\LOG");
  rig.machine.files().faults().failAlways(FileOp::kCreateFile, platform::kErrorAccessDenied,
                                          u"C:\\Tools\\Errors.log");
  rig.log.ResetLogState();
  rig.log.CreateLogFile();
  rig.errors.recordError(runtimeFailure(rt::kOverflow), ErrorContext(u"Engine.X"));
  rig.log.FinishLog(false);
  EXPECT_EQ(rig.log.ReportLogPath(),
            u"C:\\Users\\User\\AppData\\Local\\Temp\\Tolvaran\\LOG\\Tolvaran-07.12.2026_01-37.log");
  EXPECT_EQ(rig.errors.ErrorLogPath(),
            u"C:\\Users\\User\\AppData\\Local\\Temp\\Tolvaran\\Errors.log");
  EXPECT_NE(rig.reportText().find(u"Engine.X"), std::u16string::npos);
  expectValidSeal(rig.reportBytes());
}

TEST(ReportLogTest, AReportGoesToTheFirstPlaceThatTakesItOrNowhere) {
  constexpr std::u16string_view kBeside = u"C:\\Tools\\LOG\\Tolvaran-07.12.2026_01-37.log";
  constexpr std::u16string_view kTemp =
      u"C:\\Users\\User\\AppData\\Local\\Temp\\Tolvaran\\LOG\\Tolvaran-07.12.2026_01-37.log";
  constexpr std::u16string_view kDocuments =
      u"C:\\Users\\User\\Documents\\Tolvaran\\LOG\\Tolvaran-07.12.2026_01-37.log";
  const std::u16string_view places[] = {kBeside, kTemp, kDocuments};
  for (const auto code :
       {platform::kErrorAccessDenied, platform::kErrorSharingViolation, platform::kErrorDiskFull,
        platform::kErrorPathNotFound, platform::Win32Code{65} /* network access denied */}) {
    for (std::size_t refused = 0; refused <= 3; ++refused) {
      SCOPED_TRACE(::testing::Message() << "code " << code << ", places refused " << refused);
      ReportRig rig;
      rig.machine.files().addFolder(u"C:\\Users\\User\\Documents");
      for (std::size_t i = 0; i < refused; ++i) {
        rig.machine.files().faults().failAlways(FileOp::kCreateFile, code, places[i]);
      }
      rig.log.ResetLogState();
      ASSERT_EQ(rig.log.CreateLogFile(), refused < 3);
      if (refused == 3) {
        EXPECT_FALSE(rig.log.isOpen());
        continue;
      }
      EXPECT_EQ(rig.log.ReportLogPath(), places[refused]);
      rig.addLine(status::kOk, u"a.lnk", u"", u"(x)");
      rig.log.FinishLog(false);
      EXPECT_TRUE(rig.log.complete());
      expectValidSeal(rig.reportBytes());
      // Each refusal is told in the report's own debug section.
      if (refused > 0) {
        EXPECT_NE(rig.reportText().find(u"WriteLog.CreateLogFile"), std::u16string::npos);
      }
    }
  }
  // A file named LOG where the folder should be (ERROR_ALREADY_EXISTS).
  ReportRig rig;
  rig.machine.files().addFile(u"C:\\Tools\\LOG", "not a folder");
  rig.log.ResetLogState();
  ASSERT_TRUE(rig.log.CreateLogFile());
  EXPECT_EQ(rig.log.ReportLogPath(), kTemp);
}

TEST(ReportLogTest, ASameMinuteReportThatCannotBeReplacedKeepsItsNameAndSeal) {
  ReportRig rig;
  constexpr std::u16string_view kFirst = u"C:\\Tools\\LOG\\Tolvaran-07.12.2026_01-37.log";
  rig.log.ResetLogState();
  ASSERT_TRUE(rig.log.CreateLogFile());
  rig.log.FinishLog(false);
  const std::string first = rig.reportBytes();
  // Held open by a viewer: it cannot be deleted.
  rig.machine.files().faults().failAlways(FileOp::kDeleteFile, platform::kErrorSharingViolation,
                                          kFirst);
  rig.log.ResetLogState();
  ASSERT_TRUE(rig.log.CreateLogFile());
  EXPECT_EQ(rig.log.ReportLogPath(), u"C:\\Tools\\LOG\\Tolvaran-07.12.2026_01-37_2.log");
  rig.addLine(status::kOk, u"a.lnk", u"", u"(x)");
  rig.log.FinishLog(false);
  EXPECT_EQ(rig.machine.files().readFileBytes(kFirst), first);
  expectValidSeal(rig.reportBytes());
}

TEST(ReportLogTest, ABodyThatCannotBeWrittenMovesTheWholeReport) {
  ReportRig rig;
  rig.log.ResetLogState();
  ASSERT_TRUE(rig.log.CreateLogFile());
  rig.addLine(status::kOk, u"a.lnk", u"", u"(x)");
  // The disk fills up after the header was written.
  rig.machine.files().faults().failNth(FileOp::kWriteFile, 1, platform::kErrorDiskFull, false,
                                       rig.log.ReportLogPath());
  rig.log.FinishLog(false);
  EXPECT_TRUE(rig.log.complete());
  EXPECT_EQ(rig.log.ReportLogPath(),
            u"C:\\Users\\User\\AppData\\Local\\Temp\\Tolvaran\\LOG\\Tolvaran-07.12.2026_01-37.log");
  EXPECT_FALSE(rig.machine.files().exists(u"C:\\Tools\\LOG\\Tolvaran-07.12.2026_01-37.log"));
  const std::u16string text = rig.reportText();
  EXPECT_NE(text.find(u"a.lnk"), std::u16string::npos);
  // The failed write is one line of the debug section.
  EXPECT_NE(text.find(u"WriteLog.AddtoLog"), std::u16string::npos);
  EXPECT_EQ(text.find(u"Begin of Log"), text.rfind(u"Begin of Log"));
  expectValidSeal(rig.reportBytes());

  // Nowhere to go: the run learns that its report is not whole.
  ReportRig full;
  full.log.ResetLogState();
  ASSERT_TRUE(full.log.CreateLogFile());
  full.machine.files().faults().failAlways(FileOp::kWriteFile, platform::kErrorDiskFull);
  full.log.FinishLog(false);
  EXPECT_FALSE(full.log.complete());
}

}  // namespace
}  // namespace tolvaran
