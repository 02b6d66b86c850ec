// The simulated clock, system and user interface: the settings tests rely on.
#include <gtest/gtest.h>

#include "platform/scoped_file.h"
#include "platform/sim/sim_machine.h"
#include "support/file_time.h"

namespace tolvaran::platform::sim {
namespace {

TEST(SimClockTest, SleepAdvancesBothClocksAtOnce) {
  SimClock clock;
  ASSERT_TRUE(clock.setLocalTime({2026, 12, 0, 31, 23, 59, 59, 500}));
  EXPECT_EQ(clock.localTime().dayOfWeek, 4) << "31 December 2026 is a Thursday";
  const std::uint64_t before = clock.monotonicMilliseconds();
  clock.sleep(600);
  EXPECT_EQ(clock.monotonicMilliseconds() - before, 600u);
  EXPECT_EQ(clock.localTime(), (SystemTime{2027, 1, 5, 1, 0, 0, 0, 100}));
  EXPECT_EQ(clock.totalSlept(), 600u);
  EXPECT_EQ(clock.sleepCount(), 1u);
}

TEST(SimClockTest, ImpossibleDatesAreRefused) {
  SimClock clock;
  const SystemTime start = clock.localTime();
  for (const SystemTime& bad : {SystemTime{2025, 2, 0, 29}, SystemTime{2026, 13, 0, 1},
                                SystemTime{1600, 12, 0, 31}, SystemTime{2026, 1, 0, 1, 24}}) {
    EXPECT_FALSE(clock.setLocalTime(bad));
  }
  EXPECT_TRUE(clock.setLocalTime({2024, 2, 0, 29}));
  EXPECT_NE(clock.localTime(), start);
}

TEST(SimClockTest, FileTimeConversionsAgreeWithWindows) {
  // 1601-01-01 is FILETIME 0; the Unix epoch is 116444736000000000.
  EXPECT_EQ(fileTimeToSystemTime(0), (SystemTime{1601, 1, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(systemTimeToFileTime({1970, 1, 4, 1, 0, 0, 0, 0}), 116444736000000000ull);
  EXPECT_EQ(fileTimeToSystemTime(~0ull), std::nullopt);
  const SystemTime leap{2000, 2, 2, 29, 12, 34, 56, 789};
  EXPECT_EQ(fileTimeToSystemTime(*systemTimeToFileTime(leap)), leap);
}

TEST(SimSystemTest, FixedDateRendering) {
  SimSystem system;
  const SystemTime time{2026, 12, 1, 7, 1, 37, 32, 0};
  EXPECT_EQ(system.formatDateTime(time), u"07.12.2026 1:37:32");
  EXPECT_EQ(system.formatShortDate(time), u"07.12.2026");
  EXPECT_EQ(system.formatDateTime({1999, 1, 0, 9, 23, 5, 7, 0}), u"09.01.1999 23:05:07");
}

TEST(SimSystemTest, MessagesAndCodePages) {
  SimSystem system;
  EXPECT_EQ(system.formatMessage(12345).code, kErrorMrMidNotFound);
  system.setMessageText(12345, u"Custom.\r\n");
  EXPECT_EQ(system.formatMessage(12345).value, u"Custom.\r\n");

  EXPECT_FALSE(system.setAnsiCodePage(932));
  EXPECT_EQ(system.ansiCodePage(), 1252u);
  ASSERT_TRUE(system.setAnsiCodePage(1251));
  EXPECT_EQ(system.wideToAnsi(u"\u041F\u0440\u0438\u0432\u0435\u0442 \u00E9"),
            "\xCF\xF0\xE8\xE2\xE5\xF2 ?");
  EXPECT_EQ(system.ansiToWide("\xCF"), u"\u041F");
}

TEST(SimSystemTest, TempPathFollowsTheEnvironment) {
  SimSystem system;
  EXPECT_EQ(system.getTempPath().value, u"C:\\Users\\User\\AppData\\Local\\Temp\\");
  ASSERT_TRUE(system.deleteEnvironmentVariable(u"TMP").ok());
  ASSERT_TRUE(system.setEnvironmentVariable(u"TEMP", u"D:\\T").ok());
  EXPECT_EQ(system.getTempPath().value, u"D:\\T\\");
  EXPECT_EQ(system.setEnvironmentVariable(u"A=B", u"x").code, kErrorInvalidParameter);
  EXPECT_EQ(system.expandEnvironmentStrings(u"%SystemRoot%\\x%").value, u"C:\\Windows\\x%");
}

TEST(SimUiTest, ScriptedAndDefaultAnswers) {
  SimUi ui;
  EXPECT_EQ(ui.messageBox(u"a", u"T", mb::kOk), id::kOk);
  EXPECT_EQ(ui.messageBox(u"b", u"T", mb::kOkCancel), id::kOk);
  EXPECT_EQ(ui.messageBox(u"c", u"T", mb::kYesNo | mb::kIconQuestion), id::kYes);
  ui.queueAnswer(id::kNo);
  EXPECT_EQ(ui.messageBox(u"d", u"T", mb::kYesNo), id::kNo);
  ASSERT_EQ(ui.messages().size(), 4u);
  EXPECT_EQ(ui.messages()[3].text, u"d");
  EXPECT_EQ(ui.messages()[3].answer, id::kNo);
  EXPECT_EQ(ui.messages()[2].type, mb::kYesNo | mb::kIconQuestion);
}

TEST(SimUiTest, StatusPumpsAndEnd) {
  SimUi ui;
  ui.setStatus(u"one");
  ui.setStatus(u"two");
  ui.pumpMessages();
  EXPECT_EQ(ui.status(), u"two");
  EXPECT_EQ(ui.statusHistory().size(), 2u);
  EXPECT_EQ(ui.pumpCount(), 1u);
  EXPECT_FALSE(ui.exitCode());
  try {
    ui.endProgram(3);
    FAIL() << "endProgram returned";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.exitCode, 3u);
  }
  EXPECT_EQ(ui.exitCode(), 3u);
}

TEST(SimMachineTest, PortsShareOneMachine) {
  SimMachine machine;
  Ports ports = machine.ports();
  ASSERT_TRUE(machine.files().addFolder(u"C:\\Temp"));
  ASSERT_TRUE(ports.profile.writePrivateProfileString(u"S", u"K", u"V", u"C:\\Temp\\p.ini").ok());
  EXPECT_TRUE(machine.files().exists(u"C:\\Temp\\p.ini"));
  ports.clock.sleep(5);
  EXPECT_EQ(machine.clock().totalSlept(), 5u);
  ports.ui.setStatus(u"x");
  EXPECT_EQ(machine.ui().status(), u"x");
  EXPECT_EQ(ports.system.moduleFileName().value, u"C:\\Tools\\Tolvaran.exe");
}

}  // namespace
}  // namespace tolvaran::platform::sim
