// The list intake over arbitrary input on a simulated machine: the bytes as
// a list file (in whichever encoding they suggest, or behind a UTF-16BE or
// UTF-8 mark), as a list file dropped on the program (repeat guard and
// scan-report import first), or pasted as text (UTF-16LE or UTF-8 units,
// with any line ends, alone or after the scan report's header). Nothing of
// the intake may fail, no file or search may stay open, and the counters
// stay consistent.
//
// The files planted for the lines to find are inert to the dispatcher (a
// list and a folder that looks like one, both reached from a list): a cure
// or a deletion would leave records in the simulated shell, window and
// installer that grow with every input, and each input that leaves memory
// behind costs a leak search over the whole machine.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fileops/dir_wide_char.h"
#include "intake/intake.h"
#include "unit/engine/engine_rig.h"

namespace {

using namespace tolvaran;
using namespace tolvaran::engine_test;

constexpr std::u16string_view kList = u"C:\\Lists\\list.txt";
// Each path in a line costs several existence tests on the simulated disk;
// a few lines hold every shape of line.
constexpr std::size_t kLongestInput = 256;

struct ListSession {
  ListSession() {
    rig.machine.files().addFile(u"C:\\Lists\\found.log", "C:\\Lists\\list.txt");
    rig.machine.files().addFile(u"C:\\Lists\\Dir.txt\\inner.log", "C:\\Lists\\found.log");
    restore();
  }
  // Empties what an input left: its run state, its list and the guard's
  // memory of it.
  void restore() {
    rig.log.ResetLogState();
    rig.engine.state().resetRun();
    rig.failures.records.clear();
    rig.failures.records.shrink_to_fit();
    (void)rig.machine.files().deleteFile(rig.settings.SettingsPath());
    (void)rig.machine.files().deleteFile(kList);
    rig.machine.files().clearJournal();
  }
  EngineRig rig;
  Intake& intake = rig.program.intake();
};

void check(bool condition) {
  if (!condition) __builtin_trap();
}

bool intakeFailed(const KeptFailures& failures) {
  for (const std::u16string_view name :
       {u"Parser.CureListLNK", u"Parser.CureLinkLine", u"Parser.ReadFileToArray", u"Parser.FindLNK",
        u"Parser.CureObject", u"Parser.DeleteListedObject", u"Parser.RemoveWalkedObject", u"Parser.CompareInputHashes",
        u"Engine.ParseHalvestry_LOG_Orvik"}) {
    if (failures.count(name) != 0) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // Building a program costs far more than a run: one serves every input.
  // Each input puts back what it changed, so that it leaves nothing
  // allocated behind (else every input costs a leak search).
  static ListSession program;
  EngineRig& rig = program.rig;

  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1,
                               std::min(size - 1, kLongestInput));
  const auto cureFile = [&](std::string_view mark) {
    check(rig.machine.files().addFile(kList, std::string(mark) + std::string(bytes)));
    (void)program.intake.CureListLNK(kList, true, false);
  };
  // An empty dropped list only shows a message box.
  switch (bytes.empty() ? 0 : data[0] % 7) {
    case 0: cureFile(""); break;
    case 1: cureFile("\xFE\xFF"); break;
    case 2: cureFile("\xEF\xBB\xBF"); break;
    case 3:
      check(rig.machine.files().addFile(kList, bytes));
      (void)program.intake.CureObject(kList, true, u"");
      break;
    case 4: (void)program.intake.CureListLNK(utf16leToText(bytes), false, true); break;
    case 5: (void)program.intake.CureListLNK(utf8ToUtf16(bytes), false, true); break;
    default:
      (void)program.intake.CureListLNK(
          std::u16string(kScanReportHeader) + u"\n" + utf8ToUtf16(bytes), false, true);
      break;
  }

  check(!intakeFailed(rig.failures));
  check(rig.leakedHandles() == 0);
  check(rig.machine.files().openFindCount() == 0);
  const RunStatistics& counted = rig.log.Statistics;
  check(counted.Omitted >= 0 && counted.Total >= counted.Omitted);
  program.restore();
  return 0;
}
