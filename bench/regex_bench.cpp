// The path finders over 1 MB lines of hostile and ordinary content, and the
// regular-expression engine on the short texts it is left with.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "engine/path_scan.h"
#include "support/reg_exp.h"

namespace {

using namespace tolvaran;

constexpr std::size_t kLine = 1u << 20;

std::u16string repeated(std::u16string_view piece) {
  std::u16string text;
  text.reserve(kLine + piece.size());
  while (text.size() < kLine) text += piece;
  return text;
}

std::u16string randomPathLike() {
  static constexpr std::u16string_view kAlphabet = u"C:\\\".exeabt ";
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  std::u16string text(kLine, u' ');
  for (char16_t& c : text) c = kAlphabet[pick(random)];
  return text;
}

void runFinder(benchmark::State& state, const std::u16string& text) {
  for (auto _ : state) benchmark::DoNotOptimize(findExecutableInText(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size() * sizeof(char16_t)));
}

void FinderManyDrives(benchmark::State& state) {
  runFinder(state, repeated(u"X:\\"));
}
void FinderManyDrivesAndDots(benchmark::State& state) {
  runFinder(state, repeated(u"X:\\.e"));
}
void FinderRandomPathCharacters(benchmark::State& state) {
  runFinder(state, randomPathLike());
}
void FinderPlainText(benchmark::State& state) {
  runFinder(state, repeated(u"start the browser with an address "));
}
void FinderPathAtTheEnd(benchmark::State& state) {
  runFinder(state, repeated(u"a b ") + u"\"C:\\Program Files\\X\\x.exe\"");
}

void EngineShortArguments(benchmark::State& state) {
  RegExp regex(kExecutableInTextPattern);
  const std::u16string text = u"/c start \"\" \"C:\\Program Files\\X\\x.exe\" http://ad.test";
  for (auto _ : state) benchmark::DoNotOptimize(regex.Execute(text));
}

void EngineCompileBrowserSizedPattern(benchmark::State& state) {
  std::u16string pattern = u"^(";
  for (int i = 0; i < 200; ++i) pattern += u"browser" + std::u16string(1, u'a' + i % 26) + u"|";
  pattern += u"\u0411\u0440\u0430\u0443\u0437\u0435\u0440)( \\(\\d+\\))?\\.lnk$";
  for (auto _ : state) benchmark::DoNotOptimize(RegExp(pattern));
}

}  // namespace

BENCHMARK(FinderManyDrives)->Unit(benchmark::kMillisecond);
BENCHMARK(FinderManyDrivesAndDots)->Unit(benchmark::kMillisecond);
BENCHMARK(FinderRandomPathCharacters)->Unit(benchmark::kMillisecond);
BENCHMARK(FinderPlainText)->Unit(benchmark::kMillisecond);
BENCHMARK(FinderPathAtTheEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineShortArguments)->Unit(benchmark::kMicrosecond);
BENCHMARK(EngineCompileBrowserSizedPattern)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
