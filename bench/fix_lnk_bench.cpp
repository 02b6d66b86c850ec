// Curing one hijacked browser shortcut on the simulated machine: diagnosis,
// recovery, backup, deletion, writing and reading back. Re-planting the
// shortcut between iterations is not timed; the machine's pauses are
// virtual and cost nothing.
#include <benchmark/benchmark.h>

#include "unit/engine/engine_rig.h"

namespace {

using namespace tolvaran;
using namespace tolvaran::engine_test;

void FixLnkHijackedBrowser(benchmark::State& state) {
  EngineRig rig;
  addInterpreter(rig);
  rig.addProgram(kChrome, "MZ chrome");
  const std::string hijacked = shortcutBytes(
      {.target = std::u16string(kCmd),
       .arguments = u"/c start \"\" \"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe\" "
                    u"http://ads.example"},
      lnk::systemCodec(rig.machine.system()));
  for (auto _ : state) {
    state.PauseTiming();
    rig.engine.state().resetRun();
    rig.log.ResetLogState();
    rig.machine.files().addFile(kChromeShortcut, hijacked);
    rig.machine.files().clearJournal();
    rig.machine.shellLinks().clearJournal();
    state.ResumeTiming();
    rig.cure(kChromeShortcut);
  }
  if (rig.codes().RecoveryCode != u"A2" || rig.log.Statistics.Cured != 1) {
    state.SkipWithError("the shortcut was not cured");
  }
}
BENCHMARK(FixLnkHijackedBrowser)->Unit(benchmark::kMicrosecond);

}  // namespace
