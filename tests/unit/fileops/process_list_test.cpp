// The kernel's list of running processes, their image paths and counts.
#include <gtest/gtest.h>

#include "common/recording_recorder.h"
#include "fileops/mod_file.h"
#include "platform/sim/sim_machine.h"

namespace tolvaran {
namespace {

using platform::sim::exitingWith;
using platform::sim::ProcessOp;
using platform::sim::SimMachine;
using platform::sim::SimProcesses;

struct Rig {
  SimMachine machine;
  RecordingRecorder recorder;
  SavedFsRedirection saved;
  modFile files{machine.ports(), recorder, saved, true};
};

const ProcessListEntry* findPid(const std::vector<ProcessListEntry>& list, std::uint32_t pid) {
  for (const auto& entry : list) {
    if (entry.PID == pid) return &entry;
  }
  return nullptr;
}

TEST(GetProcessesListTest, ListsEveryProcessWithItsImagePath) {
  Rig rig;
  std::vector<ProcessListEntry> list;
  const std::int32_t count = rig.files.GetProcessesList(list);
  ASSERT_EQ(count, static_cast<std::int32_t>(list.size()));
  ASSERT_GE(list.size(), 6u);
  // The idle process comes first, nameless.
  EXPECT_EQ(list[0].PID, 0u);
  EXPECT_EQ(list[0].Name, u"");

  struct Expected {
    std::uint32_t pid;
    std::u16string name;
    std::u16string path;
  };
  const Expected expected[] = {
      {0, u"", u""},
      {4, u"System", u""},                                       // no readable module
      {388, u"smss.exe", u"C:\\Windows\\System32\\smss.exe"},    // was \SystemRoot\...
      {512, u"csrss.exe", u"C:\\Windows\\system32\\csrss.exe"},  // was \??\C:\...
      {SimProcesses::kSelfId, u"Tolvaran.exe", u"C:\\Tools\\Tolvaran.exe"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.pid);
    const ProcessListEntry* entry = findPid(list, e.pid);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Name, e.name);
    EXPECT_EQ(entry->Path, e.path);
  }
  EXPECT_EQ(findPid(list, 388)->Threads, 2u);
  EXPECT_EQ(findPid(list, 388)->Priority, 11);
  // Every process was opened for its path, and every handle closed again.
  EXPECT_EQ(rig.machine.processes().openHandleCount(), 0u);
  EXPECT_TRUE(rig.recorder.empty());
}

TEST(GetProcessesListTest, RetriesWhenTheListGrowsBetweenTheTwoQueries) {
  Rig rig;
  rig.machine.processes().faults().failNth(ProcessOp::kQuerySystemProcessInformation, 2,
                                           platform::kStatusInfoLengthMismatch);
  std::vector<ProcessListEntry> list;
  EXPECT_GE(rig.files.GetProcessesList(list), 6);

  rig.machine.processes().faults().failAlways(ProcessOp::kQuerySystemProcessInformation,
                                              0xC0000022u /* STATUS_ACCESS_DENIED */);
  EXPECT_EQ(rig.files.GetProcessesList(list), 0);
  EXPECT_TRUE(list.empty());
}

TEST(GetFilePathByPIDTest, ReadsAPathLongerThanMaxPath) {
  Rig rig;
  std::u16string longPath = u"C:\\Tools";
  while (longPath.size() < 300) longPath += u"\\very long folder name";
  longPath += u"\\app.exe";
  const std::uint32_t pid = rig.machine.processes().addProcess(u"app.exe", longPath);
  EXPECT_EQ(rig.files.GetFilePathByPID(pid), longPath);
  EXPECT_EQ(rig.files.GetFilePathByPID(4), u"");
  EXPECT_EQ(rig.files.GetFilePathByPID(0), u"");
  EXPECT_EQ(rig.files.GetFilePathByPID(77777), u"");
  EXPECT_EQ(rig.machine.processes().openHandleCount(), 0u);
}

TEST(CountOfProcessesTest, CountsRunningInstancesWithoutRegardToCase) {
  Rig rig;
  EXPECT_EQ(rig.files.CountOfProcesses(u"TOLVARAN.EXE"), 1);
  auto& processes = rig.machine.processes();
  processes.installTool(u"C:\\Tools\\Tolvaran.exe", exitingWith(0, 1000));
  auto started = processes.createProcess(u"\"C:\\Tools\\Tolvaran.exe\"", 0, u"", 1);
  ASSERT_TRUE(started.ok());
  EXPECT_EQ(rig.files.CountOfProcesses(u"tolvaran.exe"), 2);
  rig.machine.clock().advance(1000);
  EXPECT_EQ(rig.files.CountOfProcesses(u"tolvaran.exe"), 1);
  EXPECT_EQ(rig.files.CountOfProcesses(u"absent.exe"), 0);
  (void)processes.closeHandle(started.value.process);
  (void)processes.closeHandle(started.value.thread);
}

}  // namespace
}  // namespace tolvaran
