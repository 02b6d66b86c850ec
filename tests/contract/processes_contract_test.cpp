// The processes port: starting a program by a Unicode path, waiting,
// ending, exit codes, handles, and both ways of listing the running
// processes, the same on the simulated machine and on Windows.
#include <algorithm>

#include "contract/contract_fixture.h"
#include "support/text.h"

namespace tolvaran::contract {
namespace {

using namespace platform;

std::u16string commandLine(std::u16string_view program, std::u16string_view arguments) {
  std::u16string line(1, u'"');
  line += program;
  line += u"\" ";
  line += arguments;
  return line;
}

class ProcessesContract : public ContractTest,
                          public ::testing::WithParamInterface<Implementation> {
 protected:
  void SetUp() override { start(GetParam()); }

  // The command interpreter copied to a folder whose name no ANSI code page
  // holds: only a wide process creation can start it.
  std::u16string unicodeInterpreter() {
    const std::u16string folder = u"Ünï 中文 Ψ";
    makeFolder(folder);
    const std::u16string copy = at(folder + u"\\cmd.exe");
    const auto windows = system().getWindowsDirectory();
    EXPECT_TRUE(windows.ok());
    const auto copied = files().copyFile(windows.value + u"\\System32\\cmd.exe", copy, true);
    EXPECT_TRUE(copied.ok()) << copied.code;
    return copy;
  }

  std::u16string ownName() {
    const std::u16string self = system().moduleFileName().value;
    return self.substr(self.rfind(u'\\') + 1);
  }
};

TEST_P(ProcessesContract, StartsAProgramByAUnicodePathAndReadsItsExitCode) {
  const std::u16string program = unicodeInterpreter();
  const auto started = processes().createProcess(commandLine(program, u"/c exit 7"),
                                                 kNormalPriorityClass, u"", kSwHide);
  ASSERT_TRUE(started.ok()) << started.code;
  EXPECT_NE(started.value.processId, 0u);
  EXPECT_NE(started.value.threadId, 0u);
  const auto waited = processes().waitForSingleObject(started.value.process, 30'000);
  ASSERT_TRUE(waited.ok()) << waited.code;
  EXPECT_EQ(waited.value, kWaitObject0);
  const auto exitCode = processes().getExitCodeProcess(started.value.process);
  ASSERT_TRUE(exitCode.ok()) << exitCode.code;
  EXPECT_EQ(exitCode.value, 7u);
  EXPECT_TRUE(processes().closeHandle(started.value.thread).ok());
  EXPECT_TRUE(processes().closeHandle(started.value.process).ok());
}

TEST_P(ProcessesContract, AMissingProgramIsNotFound) {
  const auto started = processes().createProcess(commandLine(at(u"absent.exe"), u"/x"),
                                                 kNormalPriorityClass, u"", kSwHide);
  EXPECT_FALSE(started.ok());
  EXPECT_EQ(started.code, kErrorFileNotFound);
  EXPECT_EQ(started.value.process, kNoHandle);
}

TEST_P(ProcessesContract, AWaitTimesOutAndTerminationEndsTheProcess) {
  const std::u16string program = unicodeInterpreter();
  // Suspended, it cannot end by itself.
  const auto started = processes().createProcess(
      commandLine(program, u"/c exit 7"), kNormalPriorityClass | kCreateSuspended, u"", kSwHide);
  ASSERT_TRUE(started.ok()) << started.code;
  const KernelHandle process = started.value.process;
  EXPECT_EQ(processes().waitForSingleObject(process, 50).value, kWaitTimeout);
  EXPECT_EQ(processes().getExitCodeProcess(process).value, kStillActive);
  EXPECT_TRUE(processes().terminateProcess(process, 42).ok());
  EXPECT_EQ(processes().waitForSingleObject(process, 30'000).value, kWaitObject0);
  EXPECT_EQ(processes().getExitCodeProcess(process).value, 42u);
  // Ended is ended: a second termination changes nothing.
  (void)processes().terminateProcess(process, 43);
  EXPECT_EQ(processes().getExitCodeProcess(process).value, 42u);
  EXPECT_TRUE(processes().closeHandle(started.value.thread).ok());
  EXPECT_TRUE(processes().closeHandle(process).ok());
}

TEST_P(ProcessesContract, TheSnapshotListsThisProcess) {
  const auto snapshot = processes().snapshotProcesses();
  ASSERT_TRUE(snapshot.ok()) << snapshot.code;
  const std::uint32_t self = processes().currentProcessId();
  const auto it = std::find_if(snapshot.value.begin(), snapshot.value.end(),
                               [&](const ProcessEntry& e) { return e.processId == self; });
  ASSERT_NE(it, snapshot.value.end());
  EXPECT_TRUE(equalsNoCase(it->exeFile, ownName())) << narrow(it->exeFile);
  EXPECT_GE(it->threads, 1u);
}

TEST_P(ProcessesContract, TheKernelListNamesThisProcessAfterTheSizeQuestion) {
  auto query = processes().querySystemProcessInformation(0);
  ASSERT_EQ(query.status, kStatusInfoLengthMismatch);
  ASSERT_GT(query.returnLength, 0u);
  EXPECT_TRUE(query.records.empty());
  // The list may grow between the two calls: leave it some room.
  query = processes().querySystemProcessInformation(query.returnLength + 64 * 1024);
  ASSERT_EQ(query.status, kStatusSuccess);
  const std::uint32_t self = processes().currentProcessId();
  const auto it = std::find_if(query.records.begin(), query.records.end(),
                               [&](const SystemProcessRecord& r) { return r.processId == self; });
  ASSERT_NE(it, query.records.end());
  EXPECT_TRUE(equalsNoCase(it->imageName, ownName())) << narrow(it->imageName);
  EXPECT_GE(it->threads, 1u);
}

TEST_P(ProcessesContract, ThisProcessesModulePathIsItsProgramFile) {
  const auto opened = processes().openProcess(
      process_access::kVmRead | process_access::kQueryInformation, processes().currentProcessId());
  ASSERT_TRUE(opened.ok()) << opened.code;
  const auto path = processes().getModuleFileNameEx(opened.value, 32767);
  ASSERT_TRUE(path.ok()) << path.code;
  EXPECT_TRUE(equalsNoCase(path.value, system().moduleFileName().value)) << narrow(path.value);
  // A buffer too small: the start of the path, one character kept for the NUL.
  const auto cut = processes().getModuleFileNameEx(opened.value, 6);
  ASSERT_TRUE(cut.ok()) << cut.code;
  EXPECT_EQ(cut.value, path.value.substr(0, 5));
  EXPECT_TRUE(processes().closeHandle(opened.value).ok());
}

TEST_P(ProcessesContract, TheIdleProcessCannotBeOpened) {
  const auto opened = processes().openProcess(process_access::kQueryInformation, 0);
  EXPECT_FALSE(opened.ok());
  EXPECT_EQ(opened.code, kErrorInvalidParameter);
}

INSTANTIATE_TEST_SUITE_P(Ports, ProcessesContract, ::testing::ValuesIn(implementations()),
                         implementationName);

}  // namespace
}  // namespace tolvaran::contract
