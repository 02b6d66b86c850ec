// The executable finder over arbitrary argument text (UTF-16LE input): no
// crash, the result is empty or an existing file, and on short texts the
// linear finders give exactly the regular-expression engine's first match.
#include <cstddef>
#include <cstdint>
#include <optional>
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

void compare(const tolvaran::RegExp& regex,
             std::optional<tolvaran::PathScanMatch> (*find)(std::u16string_view),
             std::u16string_view text) {
  const auto expected = engineMatch(regex, text);
  if (expected && expected->firstIndex == ~std::size_t{0}) return;
  if (find(text) != expected) __builtin_trap();
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
  if (recorder.count != 0 || machine.files().openHandleCount() != 0) __builtin_trap();

  if (text.size() <= 256) {
    static const RegExp executable(kExecutableInTextPattern);
    static const RegExp script(kScriptInTextPattern);
    static const RegExp shortcut(kShortcutPathPattern);
    compare(executable, findExecutableInText, text);
    compare(script, findScriptInText, text);
    compare(shortcut, findShortcutPath, text);
  }
  return 0;
}
