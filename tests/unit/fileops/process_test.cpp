// Starting, waiting for and finding processes over the simulated machine.
#include "fileops/process.h"

#include <gtest/gtest.h>

#include <optional>

#include "common/recording_recorder.h"
#include "platform/sim/sim_command_line.h"
#include "platform/sim/sim_machine.h"
#include "support/text.h"

namespace tolvaran {
namespace {

using platform::sim::exitingWith;
using platform::sim::kRunsForever;
using platform::sim::ProcessOp;
using platform::sim::SimMachine;

constexpr std::u16string_view kTool = u"C:\\Tools\\tool.exe";

struct Rig {
  Rig() { machine.processes().installTool(kTool, exitingWith(7, 1500)); }

  std::size_t calls(ProcessOp op) {
    std::size_t n = 0;
    for (const auto& entry : machine.processes().journal()) n += entry.op == op ? 1 : 0;
    return n;
  }

  SimMachine machine;
  RecordingRecorder recorder;
  std::optional<clsProcess> process{std::in_place, machine.ports(), recorder};
};

std::string narrow(std::u16string_view text) {
  return utf16ToUtf8(text);
}

// --- ProcessRun ----------------------------------------------------------------

TEST(ProcessRunTest, QuotesTheFileAndEveryToken) {
  Rig rig;
  ASSERT_TRUE(rig.process->ProcessRun(kTool, u"/F \"C:\\Users\\User\\Desktop\\a b.lnk\" /A", u"",
                                      platform::kSwHide));
  const auto& started = rig.machine.processes().started();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].commandLine,
            u"\"C:\\Tools\\tool.exe\" \"/F\" \"C:\\Users\\User\\Desktop\\a b.lnk\" \"/A\"");
  EXPECT_EQ(started[0].argv,
            (std::vector<std::u16string>{std::u16string(kTool), u"/F",
                                         u"C:\\Users\\User\\Desktop\\a b.lnk", u"/A"}));
  EXPECT_EQ(started[0].showWindow, platform::kSwHide);
  EXPECT_EQ(started[0].creationFlags, platform::kNormalPriorityClass);
  EXPECT_TRUE(started[0].currentDirectory.empty());
  EXPECT_EQ(rig.process->GetProcessID(), started[0].processId);
  EXPECT_NE(rig.process->GetProcessHandle(), platform::kNoHandle);
  EXPECT_NE(rig.process->GetThreadHandle(), platform::kNoHandle);
}

TEST(ProcessRunTest, AnEmptyCommandLineStartsJustTheQuotedFile) {
  Rig rig;
  ASSERT_TRUE(rig.process->ProcessRun(kTool));
  EXPECT_EQ(rig.machine.processes().started().at(0).commandLine, u"\"C:\\Tools\\tool.exe\"");
}

// Re-quoting must hand the program exactly the tokens it was given, also
// those the shell's rules make awkward.
TEST(ProcessRunTest, TheProgramReceivesEveryTokenUnchanged) {
  const std::vector<std::u16string> tokens{u"C:\\dir\\",
                                           u"say \"hi\"",
                                           u"a\\\\\"b",
                                           u"",
                                           u"tab\there",
                                           u"Ψ\u4e2d文件.lnk",
                                           u"\\\\server\\share\\x.lnk",
                                           u"trailing\\\\"};
  for (const auto& token : tokens) {
    SCOPED_TRACE(narrow(token));
    // Through ParseCommandLine and back: the split of the quoted token.
    const auto split = platform::sim::splitCommandLine(u"x " + quoteArgument(token));
    ASSERT_EQ(split.size(), 2u);
    EXPECT_EQ(split[1], token);
  }
  // The line's first token is read as a program name, without escapes:
  // the callers' lines start with a switch or a plain quoted path.
  Rig rig;
  std::u16string line = u"/first ";
  for (const auto& token : tokens) line += quoteArgument(token) + u" ";
  ASSERT_TRUE(rig.process->ProcessRun(kTool, line));
  std::vector<std::u16string> expected{std::u16string(kTool), u"/first"};
  expected.insert(expected.end(), tokens.begin(), tokens.end());
  EXPECT_EQ(rig.machine.processes().started().at(0).argv, expected);
}

TEST(ProcessRunTest, AMissingProgramStartsNothingAndHoldsNoHandle) {
  Rig rig;
  EXPECT_FALSE(rig.process->ProcessRun(u"C:\\Tools\\missing.exe", u"/x"));
  EXPECT_EQ(rig.process->GetProcessHandle(), platform::kNoHandle);
  EXPECT_EQ(rig.process->GetProcessID(), 0u);
  EXPECT_EQ(rig.process->WaitForTerminate(0, platform::kNoHandle, false, 5), 0);
  EXPECT_EQ(rig.calls(ProcessOp::kGetExitCodeProcess), 0u);
}

// --- WaitForTerminate -------------------------------------------------------------

struct WaitCase {
  const char* name;
  std::uint64_t runs;  // the tool's run time, ms
  bool freeze;
  std::int32_t timeOut;
  std::int32_t expected;
  std::uint64_t minWaited;  // ms of the monotonic clock
  std::uint64_t maxWaited;
  bool nearMidnight = false;
};

class WaitForTerminateTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(WaitForTerminateTest, WaitsAsLongAsItShould) {
  const WaitCase& c = GetParam();
  Rig rig;
  rig.machine.processes().installTool(u"C:\\Tools\\slow.exe", exitingWith(3, c.runs));
  if (c.nearMidnight) {
    ASSERT_TRUE(rig.machine.clock().setLocalTime({2026, 3, 0, 14, 23, 59, 59, 0}));
  }
  ASSERT_TRUE(rig.process->ProcessRun(u"C:\\Tools\\slow.exe"));
  const std::uint64_t before = rig.machine.clock().monotonicMilliseconds();
  const std::uint32_t pumpsBefore = rig.machine.ui().pumpCount();

  EXPECT_EQ(rig.process->WaitForTerminate(0, platform::kNoHandle, c.freeze, c.timeOut), c.expected);
  const std::uint64_t waited = rig.machine.clock().monotonicMilliseconds() - before;
  EXPECT_GE(waited, c.minWaited);
  EXPECT_LE(waited, c.maxWaited);
  // Frozen, the window gets no messages; polling, one round per 100 ms.
  const std::uint32_t pumps = rig.machine.ui().pumpCount() - pumpsBefore;
  if (c.freeze) {
    EXPECT_EQ(pumps, 0u);
  } else {
    EXPECT_NEAR(pumps, waited / 100, 1);
  }
  // The handle is closed once and forgotten.
  EXPECT_EQ(rig.process->GetProcessHandle(), platform::kNoHandle);
  EXPECT_EQ(rig.process->WaitForTerminate(0, platform::kNoHandle, c.freeze, c.timeOut), 0);
  rig.process.reset();
  EXPECT_EQ(rig.machine.processes().openHandleCount(), 0u);
  EXPECT_EQ(rig.machine.processes().invalidCloses(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaitForTerminateTest,
    ::testing::Values(WaitCase{"NoLimitWaitsForTheEnd", 7000, false, -1, 3, 7000, 7100},
                      WaitCase{"EndsWithinTheLimit", 1200, false, 5000, 3, 1200, 1300},
                      WaitCase{"GivesUpAfterTwoSeconds", 10'000, false, 2, -1, 2000, 2100},
                      // A clock of seconds since midnight would wrap here.
                      WaitCase{"GivesUpAcrossMidnight", 10'000, false, 2, -1, 2000, 2100, true},
                      WaitCase{"AnEndedProgramNeedsNoWait", 0, false, 2, 3, 0, 0},
                      WaitCase{"FrozenWaitsWithoutPolling", 4321, true, 2, 3, 4321, 4321}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaitForTerminateByWindowTest, WaitsForTheWindowsOwnerAndClosesItsHandle) {
  Rig rig;
  auto& processes = rig.machine.processes();
  const std::uint32_t owner = processes.addProcess(u"viewer.exe", u"C:\\Tools\\viewer.exe");
  const platform::WindowHandle window = processes.addWindow(owner);
  EXPECT_EQ(rig.process->WaitForTerminate(window, platform::kNoHandle, false, 1), -1);
  EXPECT_EQ(processes.openHandleCount(), 0u);
  EXPECT_EQ(processes.invalidCloses(), 0u);
  // A window that is gone: nothing to wait for.
  EXPECT_EQ(rig.process->WaitForTerminate(0x999, platform::kNoHandle, false, 1), 0);
}

TEST(WaitForTerminateByWindowTest, AFailedFrozenWaitGivesMinusOne) {
  Rig rig;
  const std::uint32_t owner =
      rig.machine.processes().addProcess(u"viewer.exe", u"C:\\Tools\\viewer.exe");
  // Windows would hang here; the simulation fails the endless wait.
  EXPECT_EQ(rig.process->WaitForTerminate(rig.machine.processes().addWindow(owner),
                                          platform::kNoHandle, true, -1),
            -1);
  EXPECT_EQ(rig.machine.processes().openHandleCount(), 0u);
}

// --- IsRunned, Runas, ParseCommandLine ---------------------------------------------

TEST(IsRunnedTest, FindsByNameOrByIdentifier) {
  Rig rig;
  auto& processes = rig.machine.processes();
  const std::uint32_t first = processes.addProcess(u"Chrome.exe", u"C:\\chrome\\chrome.exe");
  (void)processes.addProcess(u"chrome.exe", u"C:\\chrome\\chrome.exe");

  std::u16string name = u"CHROME.EXE";
  std::uint32_t id = 0;
  EXPECT_TRUE(rig.process->IsRunned(name, id));
  EXPECT_EQ(id, first);

  name.clear();
  id = platform::sim::SimProcesses::kSelfId;
  EXPECT_TRUE(rig.process->IsRunned(name, id));
  EXPECT_EQ(name, u"Tolvaran.exe");

  name = u"absent.exe";
  id = 0;
  EXPECT_FALSE(rig.process->IsRunned(name, id));
  EXPECT_EQ(id, 0u);

  const std::size_t snapshots = rig.calls(ProcessOp::kSnapshotProcesses);
  name.clear();
  id = 0;
  EXPECT_FALSE(rig.process->IsRunned(name, id));
  EXPECT_EQ(rig.calls(ProcessOp::kSnapshotProcesses), snapshots);
}

TEST(RunasTest, AsksTheShellForTheElevationVerb) {
  Rig rig;
  EXPECT_TRUE(rig.process->Runas(u"C:\\Tools\\Tolvaran.exe", u"-EN \"C:\\a b\"", 0x1234));
  const auto& executed = rig.machine.shellOps().executed();
  ASSERT_EQ(executed.size(), 1u);
  EXPECT_EQ(executed[0].verb, u"runas");
  EXPECT_EQ(executed[0].file, u"C:\\Tools\\Tolvaran.exe");
  EXPECT_EQ(executed[0].parameters, u"-EN \"C:\\a b\"");
  EXPECT_EQ(executed[0].window, 0x1234u);
  EXPECT_EQ(executed[0].show, platform::kSwShowNormal);
  EXPECT_EQ(executed[0].mask, 0x800100u);

  rig.machine.shellOps().faults().failNth(platform::sim::ShellOp::kShellExecuteEx, 1,
                                          platform::kErrorCancelled);
  EXPECT_FALSE(rig.process->Runas(u"C:\\Tools\\Tolvaran.exe", u"", 0));
}

TEST(ParseCommandLineTest, PutsTheProgramFirstAndTheTokensAfter) {
  Rig rig;
  rig.machine.system().setModuleFileName(u"D:\\Portable\\Tolvaran.scr");
  std::int32_t count = -1;
  std::vector<std::u16string> args;
  rig.process->ParseCommandLine(u"one \"two three\" four", count, args);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(args, (std::vector<std::u16string>{u"D:\\Portable\\Tolvaran.exe", u"one", u"two three",
                                               u"four"}));
}

}  // namespace
}  // namespace tolvaran
