// Never lose a shortcut: for every file and shell-link call one cure makes,
// a run where exactly that call fails. Afterwards the shortcut exists, cured
// or as it was; when it was not cured the report or the error log says why;
// whatever the cure deleted is in the backup; and the next shortcut of the
// run is cured as usual.
#include <gtest/gtest.h>

#include <map>

#include "unit/engine/engine_rig.h"

namespace tolvaran {
namespace {

using namespace engine_test;
using platform::sim::FileOp;
using platform::sim::ShellLinkOp;
namespace attr = platform::attr;

// A look-alike fake alone on the desktop, hidden: un-hidden, renamed to its
// proper title, deleted and written anew.
constexpr std::u16string_view kFake = u"C:\\Users\\User\\Desktop\\Xpoм.lnk";
constexpr std::u16string_view kProper = u"C:\\Users\\User\\Desktop\\Google Chrome.LNK";
// The next shortcut of the run.
constexpr std::u16string_view kTool = u"C:\\Users\\User\\Desktop\\My Tool.lnk";
constexpr std::u16string_view kToolExe = u"C:\\Apps\\tool.exe";

struct FaultRig : EngineRig {
  FaultRig() {
    addInterpreter(*this);
    addProgram(kChrome);
    addProgram(kToolExe);
    addShortcut(kFake,
                {.target = std::u16string(kCmd),
                 .arguments = u"/c start \"\" \"C:\\Program Files\\Google\\Chrome\\Application\\"
                              u"chrome.exe\" http://ads.example"},
                attr::kArchive | attr::kHidden);
    addShortcut(kTool, {.target = std::u16string(kCmd),
                        .arguments = u"/c start \"\" \"C:\\Apps\\tool.exe\" http://ads.example"});
    original = *machine.files().readFileBytes(kFake);
    machine.files().clearJournal();
    machine.shellLinks().clearJournal();
  }
  std::string original;
};

// Each call of the first shortcut's cure, as (operation, its count so far).
template <class Op, class Journal>
std::vector<std::pair<Op, std::uint32_t>> numbered(const Journal& journal) {
  std::map<Op, std::uint32_t> seen;
  std::vector<std::pair<Op, std::uint32_t>> calls;
  for (const auto& entry : journal) calls.emplace_back(entry.op, ++seen[entry.op]);
  return calls;
}

// `failedRelease`: the fault hit a call that releases something (a handle
// close, the end of redirection); what it leaves behind the program cannot
// undo, and a file left open cannot be read by anyone meanwhile.
void checkInvariants(FaultRig& rig, const std::string& what, bool failedRelease = false) {
  SCOPED_TRACE(what);
  // The shortcut is there under one of its names, cured or untouched.
  const bool atProper = rig.exists(kProper);
  const bool atFake = rig.exists(kFake);
  ASSERT_TRUE(atProper || atFake);
  const std::u16string_view where = atProper ? kProper : kFake;
  const bool cured = rig.readShortcut(where).Target == kChrome;
  const bool untouched = rig.machine.files().readFileBytes(where) == rig.original;
  if (!failedRelease) {
    EXPECT_TRUE(cured || untouched);
  }
  if (!cured) {
    bool told = !rig.failures.records.empty();
    for (const auto& line : rig.lines()) told = told || line.starts_with(u"[ERR ]");
    EXPECT_TRUE(told) << "not cured and nothing said";
  }
  // Whatever was deleted was kept first, or the error log says it could not be.
  for (const auto& entry : rig.machine.files().journal()) {
    const bool deleted = entry.op == FileOp::kDeleteFile && entry.code == 0 &&
                         (equalsNoCase(entry.path, kFake) || equalsNoCase(entry.path, kProper));
    if (deleted && rig.failures.count(u"FileBackup.Save") == 0) {
      EXPECT_EQ(rig.machine.files().readFileBytes(rig.backup.BackupPathFor(entry.path)),
                rig.original);
    }
  }
  // The run went on.
  EXPECT_EQ(rig.readShortcut(kTool).Target, kToolExe);
  EXPECT_EQ(rig.log.Statistics.Total, 2);
  if (!failedRelease) {
    EXPECT_EQ(rig.leakedHandles(), 0u);
    EXPECT_FALSE(rig.machine.files().wow64().disabled());
  }
}

TEST(FaultInjectionTest, EveryFileCallOfACureMayFail) {
  std::vector<std::pair<FileOp, std::uint32_t>> calls;
  {
    FaultRig rig;
    rig.cure(kFake);
    ASSERT_EQ(rig.readShortcut(kProper).Target, kChrome);
    calls = numbered<FileOp>(rig.machine.files().journal());
  }
  ASSERT_GT(calls.size(), 20u);
  for (const auto& [op, nth] : calls) {
    FaultRig rig;
    rig.machine.files().faults().failNth(op, nth, platform::kErrorAccessDenied);
    rig.cure(kFake);
    rig.machine.files().faults().clear();
    rig.cure(kTool);
    checkInvariants(
        rig, "file op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(nth),
        op == FileOp::kCloseHandle || op == FileOp::kRevertWow64FsRedirection);
  }
}

TEST(FaultInjectionTest, EveryShellLinkCallOfACureMayFail) {
  std::vector<std::pair<ShellLinkOp, std::uint32_t>> calls;
  {
    FaultRig rig;
    rig.cure(kFake);
    calls = numbered<ShellLinkOp>(rig.machine.shellLinks().journal());
  }
  ASSERT_GT(calls.size(), 10u);
  for (const auto& [op, nth] : calls) {
    FaultRig rig;
    rig.machine.shellLinks().faults().failNth(op, nth, platform::kHresultFail);
    rig.cure(kFake);
    rig.machine.shellLinks().faults().clear();
    rig.cure(kTool);
    checkInvariants(rig, "shell-link op " + std::to_string(static_cast<int>(op)) + " call " +
                             std::to_string(nth));
  }
}

}  // namespace
}  // namespace tolvaran
