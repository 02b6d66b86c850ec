// A whole interactive run over a pasted list of hijacked browser shortcuts on
// the simulated machine: N shortcuts that start Chrome through the command
// interpreter with an advertising page, all listed in the edit box, then
// Cure. Reported: shortcuts per second and the heap the run takes beyond
// the prepared machine (the simulated disk's growth included: every
// original is kept as a backup and every shortcut written anew).
//
// The machine is built outside the timing. Its call journals are emptied at
// each pause of the cure (once per shortcut), so that the measure is the
// program's and not the simulation's bookkeeping. With TOLVARAN_BENCH_BRIEF
// set, as ctest sets it (a run that only keeps the benchmark working,
// sanitised builds included), only the 1,000 case runs.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <new>
#include <string>

#include "shell/runs/cure_runs.h"
#include "simrun/sim_window.h"
#include "unit/engine/engine_rig.h"
#include "unit/shell/runs/runs_rig.h"

namespace {

// Heap in use and its peak, counted by the allocation functions below (the
// run has one thread).
std::size_t heapInUse = 0;
std::size_t heapPeak = 0;

void noteAllocation(void* p) {
  if (p == nullptr) return;
  heapInUse += malloc_usable_size(p);
  if (heapInUse > heapPeak) heapPeak = heapInUse;
}

void noteRelease(void* p) {
  if (p != nullptr) heapInUse -= malloc_usable_size(p);
}

}  // namespace

// The pairs below are matched (malloc with free); GCC cannot see that
// through a replaced operator new.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  noteAllocation(p);
  return p;
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void operator delete(void* p) noexcept {
  noteRelease(p);
  std::free(p);
}
void operator delete[](void* p) noexcept {
  operator delete(p);
}
void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace {

using namespace tolvaran;
using namespace tolvaran::runs_test;

constexpr std::u16string_view kChrome =
    u"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr double kMegabyte = 1024.0 * 1024.0;

void RunOverPastedList(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  double peakMegabytes = 0;
  double baseMegabytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      RunsRig rig;
      auto& files = rig.machine.files();
      files.addFile(u"C:\\Windows\\System32\\cmd.exe", "MZ cmd");
      files.addFile(u"C:\\Windows\\SysWOW64\\cmd.exe", "MZ cmd32");
      files.addFile(kChrome, "MZ chrome");
      engine_test::ShortcutFields hijacked;
      hijacked.target = u"C:\\Windows\\System32\\cmd.exe";
      hijacked.arguments =
          u"/c start \"\" \"" + std::u16string(kChrome) + u"\" http://ads.example/?id=123";
      hijacked.iconLocation = kChrome;
      const std::string bytes =
          engine_test::shortcutBytes(hijacked, lnk::systemCodec(rig.machine.system()));
      std::u16string list;
      for (std::size_t i = 0; i < count; ++i) {
        const std::u16string path =
            u"C:\\Users\\User\\Desktop\\Hijacked\\Google Chrome " + toDecimal(i) + u".lnk";
        files.addFile(path, bytes);
        list += path;
        list += u"\r\n";
      }
      rig.view.editBox = std::move(list);
      files.clearJournal();
      rig.ui.onPump = [&] {
        rig.machine.files().clearJournal();
        rig.machine.shellLinks().clearJournal();
      };
      const std::size_t base = heapInUse;
      heapPeak = base;
      state.ResumeTiming();

      rig.runs.cbRun_Click();

      state.PauseTiming();
      peakMegabytes = static_cast<double>(heapPeak - base) / kMegabyte;
      baseMegabytes = static_cast<double>(base) / kMegabyte;
      if (rig.program.log().Statistics.Cured != static_cast<std::int32_t>(count)) {
        state.SkipWithError("not every shortcut was cured");
      }
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
  state.counters["peak_run_MB"] = peakMegabytes;
  state.counters["machine_MB"] = baseMegabytes;
  state.counters["run_KB_per_shortcut"] = peakMegabytes * 1024.0 / static_cast<double>(count);
}
const bool registered = [] {
  auto* run = benchmark::RegisterBenchmark("RunOverPastedList", RunOverPastedList);
  run->Arg(1'000);
  if (std::getenv("TOLVARAN_BENCH_BRIEF") == nullptr) run->Arg(10'000)->Arg(100'000);
  run->Iterations(1)->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
