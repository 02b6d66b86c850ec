// Browser identification: one GetBrowserID over a mixed set of shortcut
// names (plain, decorated, look-alike, excluded, unknown, today's browsers
// and their profile shortcuts, browser words inside other words), and
// building the pattern objects at start-up.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/browser_database.h"
#include "engine/browser_identification.h"
#include "fileops/mod_file.h"
#include "platform/sim/sim_machine.h"
#include "support/failure.h"

namespace {

using namespace tolvaran;

class NullRecorder final : public FailureRecorder {
 public:
  void recordError(const Failure&, const ErrorContext&) noexcept override {}
};

struct Rig {
  Rig()
      : ports(machine.ports()),
        fileHelpers(ports, recorder, saved, true),
        database(recorder, fileHelpers, BrowserFolders{}),
        identification(database, patterns, recorder) {
    loadBuiltInBrowserDatabase(database);
    identification.CreatePatterns();
  }
  platform::sim::SimMachine machine;
  platform::Ports ports;
  NullRecorder recorder;
  SavedFsRedirection saved;
  modFile fileHelpers;
  RegExpObjects patterns;
  BrowserDatabase database;
  BrowserIdentification identification;
};

const std::vector<std::u16string>& mixedNames() {
  static const std::vector<std::u16string> names{u"google chrome",
                                                 u"mozilla firefox - ярлык",
                                                 u"opera",
                                                 u"internet explorer",
                                                 u"yandex",
                                                 u"ie - copy (3)",
                                                 u"\u043Epera",
                                                 u"\u0445\u0440\u043E\u043C",
                                                 u"opera game",
                                                 u"microsoft word 2010",
                                                 u"skype",
                                                 u"total commander",
                                                 u"notepad++",
                                                 u"my computer",
                                                 u"vlc media player",
                                                 u"amigo",
                                                 u"pale moon",
                                                 u"copy of dropbox - shortcut (2)",
                                                 u"игровой центр@mail.ru",
                                                 u"acrobat reader dc",
                                                 u"microsoft edge",
                                                 u"work - edge",
                                                 u"brave",
                                                 u"julie - brave",
                                                 u"google chrome beta",
                                                 u"opera gx",
                                                 u"firefox private browsing",
                                                 u"tor browser",
                                                 u"яндекс",
                                                 u"monochrome studio",
                                                 u"knowledge base",
                                                 u"edge detection"};
  return names;
}

void BM_GetBrowserID(benchmark::State& state) {
  Rig rig;
  const auto& names = mixedNames();
  for (const auto& name : names) rig.identification.GetBrowserID(name);  // decipher once
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rig.identification.GetBrowserID(names[i]));
    i = (i + 1) % names.size();
  }
}
BENCHMARK(BM_GetBrowserID);

void BM_CreatePatterns(benchmark::State& state) {
  Rig rig;
  for (auto _ : state) {
    RegExpObjects fresh;
    BrowserIdentification identification(rig.database, fresh, rig.recorder);
    identification.CreatePatterns();
    benchmark::DoNotOptimize(fresh.browser.Test(u"warm"));
  }
  state.SetLabel("four compiled objects");
}
BENCHMARK(BM_CreatePatterns)->Unit(benchmark::kMillisecond);

void BM_LoadDatabase(benchmark::State& state) {
  Rig rig;
  for (auto _ : state) {
    BrowserDatabase database(rig.recorder, rig.fileHelpers, BrowserFolders{});
    loadBuiltInBrowserDatabase(database);
    benchmark::DoNotOptimize(database.browserCount());
  }
}
BENCHMARK(BM_LoadDatabase)->Unit(benchmark::kMicrosecond);

}  // namespace
