// A shortcut's arguments split and judged as a browser's: no crash, every
// argument's span inside the text, and what is kept is made of the text's
// own arguments, never carries a web address, and is all there is when
// nothing was dropped.
#include "engine/arguments/browser_switches.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/web_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvaran;
  const std::u16string text(reinterpret_cast<const char16_t*>(data), size / 2);
  std::size_t previousEnd = 0;
  for (const CommandArgument& argument : splitCommandArguments(text)) {
    if (argument.begin < previousEnd || argument.begin >= argument.end ||
        argument.end > text.size()) {
      __builtin_trap();
    }
    previousEnd = argument.end;
  }
  static const std::vector<std::u16string> kSwitches{u"--profile-directory=<profile>",
                                                     u"--app-id=<app-id>",
                                                     u"--incognito",
                                                     u"-P <name>",
                                                     u"-P",
                                                     u"-no-remote",
                                                     u"/box:<name>"};
  const SwitchVerdict verdict = judgeBrowserSwitches(text, kSwitches);
  if (verdict.kept.size() > text.size()) __builtin_trap();
  for (const CommandArgument& kept : splitCommandArguments(verdict.kept)) {
    if (containsWebAddress(kept.value)) __builtin_trap();
  }
  if (!verdict.dropped &&
      splitCommandArguments(verdict.kept).size() != splitCommandArguments(text).size()) {
    __builtin_trap();
  }
  return 0;
}
