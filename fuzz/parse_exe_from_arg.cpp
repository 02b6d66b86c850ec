// The executable finder over arbitrary argument text (UTF-16LE input): no
// crash, the result is empty or an existing file whose name holds nothing a
// file name cannot (no wildcard, no "<>|\"", no control character), and on
// short texts the linear finders give exactly the regular-expression engine's
// first match, and the shorter matches at its start exactly the prefixes of
// that match the engine matches whole.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "counting_recorder.h"
#include "engine/argument_analysis.h"
#include "engine/path_scan.h"
#include "platform/sim/sim_machine.h"
#include "support/reg_exp.h"
#include "support/text.h"

namespace {

std::optional<tolvaran::PathScanMatch> engineMatch(const tolvaran::RegExp& regex,
                                                   std::u16string_view text) {
  try {
    const auto matches = regex.Execute(text);
    if (matches.empty()) return std::nullopt;
    return tolvaran::PathScanMatch{matches[0].firstIndex, matches[0].length};
  } catch (const tolvaran::RuntimeError&) {
    return tolvaran::PathScanMatch{~std::size_t{0}, 0};  // gave up: nothing to compare
  }
}

std::optional<bool> matchesWhole(const tolvaran::RegExp& whole, std::u16string_view text) {
  try {
    return whole.Test(text);
  } catch (const tolvaran::RuntimeError&) {
    return std::nullopt;  // gave up: nothing to compare
  }
}

void compare(const tolvaran::RegExp& regex, const tolvaran::RegExp& whole,
             std::optional<tolvaran::PathScanMatch> (*find)(std::u16string_view),
             tolvaran::PathKind kind, std::u16string_view text) {
  const auto expected = engineMatch(regex, text);
  if (expected && expected->firstIndex == ~std::size_t{0}) return;
  const auto first = find(text);
  if (first != expected) __builtin_trap();
  if (!first || text.size() > 64) return;
  // Every proper prefix the engine matches whole, longest first, except the
  // first match without its closing quote (the same path).
  const auto shorter = tolvaran::shorterMatchesAtStart(kind, text, *first, ~std::size_t{0});
  std::size_t next = 0;
  const bool closingQuote = text[first->firstIndex + first->length - 1] == u'"';
  for (std::size_t length = first->length - 1; length > 0; --length) {
    if (closingQuote && length == first->length - 1) continue;
    const auto matches = matchesWhole(whole, text.substr(first->firstIndex, length));
    if (!matches) return;
    if (!*matches) continue;
    if (next == shorter.size() ||
        shorter[next] != tolvaran::PathScanMatch{first->firstIndex, length}) {
      __builtin_trap();
    }
    ++next;
  }
  if (next != shorter.size()) __builtin_trap();
}

tolvaran::RegExp wholePattern(std::u16string_view pattern) {
  return tolvaran::RegExp(u"^(?:" + std::u16string(pattern) + u")$");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  const std::u16string text =
      utf16leToText(std::string_view(reinterpret_cast<const char*>(data), size));

  // Building a machine costs far more than the search: one serves every
  // input (nothing here writes to it), its journal emptied each time.
  static platform::sim::SimMachine machine;
  static const bool planted = [] {
    for (const char16_t* path : {u"C:\\Program Files\\X\\x.exe", u"C:\\a b\\c.pdf", u"C:\\e.txt"}) {
      if (!machine.files().addFile(path, "MZ")) __builtin_trap();
    }
    return true;
  }();
  (void)planted;
  machine.files().clearJournal();
  const platform::Ports ports = machine.ports();
  CountingRecorder recorder;
  SavedFsRedirection saved;
  modFile fileHelpers(ports, recorder, saved, true);
  RegExpObjects patterns;
  ArgumentAnalysis analysis(ports, fileHelpers, recorder, patterns);

  const std::u16string found = analysis.ParseEXEfromArg_1(text);
  if (!found.empty() && !machine.files().exists(found)) __builtin_trap();
  for (const char16_t c : found) {
    if (c < 0x20 || c == u'?' || c == u'*' || c == u'<' || c == u'>' || c == u'|' || c == u'"') {
      __builtin_trap();
    }
  }
  if (recorder.count != 0 || machine.files().openHandleCount() != 0) __builtin_trap();

  if (text.size() <= 256) {
    static const RegExp executable(kExecutableInTextPattern);
    static const RegExp script(kScriptInTextPattern);
    static const RegExp shortcut(kShortcutPathPattern);
    static const RegExp wholeExecutable = wholePattern(kExecutableInTextPattern);
    static const RegExp wholeScript = wholePattern(kScriptInTextPattern);
    static const RegExp wholeShortcut = wholePattern(kShortcutPathPattern);
    compare(executable, wholeExecutable, findExecutableInText, PathKind::kExecutable, text);
    compare(script, wholeScript, findScriptInText, PathKind::kScript, text);
    compare(shortcut, wholeShortcut, findShortcutPath, PathKind::kShortcut, text);
  }
  return 0;
}
