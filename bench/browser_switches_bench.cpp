// Switch-by-switch judgement: one judgeBrowserSwitches per shortcut over a
// mixed set of argument strings (profile, web app, hijacked, empty, long),
// and the longest argument string a shortcut can hold.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/arguments/browser_switches.h"

namespace {

using namespace tolvaran;

const std::vector<std::u16string>& chromiumSwitches() {
  static const std::vector<std::u16string> list{u"--profile-directory=<profile>",
                                                u"--app-id=<app-id>", u"--incognito",
                                                u"--inprivate", u"--show-app-list"};
  return list;
}

const std::vector<std::u16string>& mixedArguments() {
  static const std::vector<std::u16string> arguments = [] {
    std::u16string padded = u"--profile-directory=Default";
    for (int i = 0; i < 40; ++i) padded += u" --load-extension=\"C:\\Users\\Ann\\AppData\\x\"";
    padded += u" http://ads.example/?id=1234567890";
    return std::vector<std::u16string>{
        u"--profile-directory=\"Profile 3\"",
        u"--profile-directory=Default --app-id=abcdefghijklmnopabcdefghijklmnop",
        u"--load-extension=C:\\Users\\Ann\\AppData\\Local\\ext --profile-directory=Default "
        u"http://ads.example/start",
        u"",
        u"--incognito",
        padded};
  }();
  return arguments;
}

void BM_JudgeBrowserSwitches(benchmark::State& state) {
  const auto& arguments = mixedArguments();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(judgeBrowserSwitches(arguments[i], chromiumSwitches()));
    i = (i + 1) % arguments.size();
  }
  state.SetLabel("per shortcut");
}
BENCHMARK(BM_JudgeBrowserSwitches);

void BM_JudgeLongestArguments(benchmark::State& state) {
  std::u16string longest;
  while (longest.size() + 30 <= 32767) longest += u"--incognito http://ads.example ";
  for (auto _ : state) {
    benchmark::DoNotOptimize(judgeBrowserSwitches(longest, chromiumSwitches()));
  }
  state.SetLabel("32,767 characters");
}
BENCHMARK(BM_JudgeLongestArguments)->Unit(benchmark::kMicrosecond);

}  // namespace
