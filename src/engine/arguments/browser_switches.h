#pragma once
// Judging a browser shortcut's arguments switch by switch: the switches the
// browser's legitimate-switch list allows stay exactly as written, everything
// else (web addresses, side-loaded extensions, debugging ports, foreign
// profile folders, proxies, unknown switches) goes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran {

// One argument of an argument string: [begin, end) is its text as written,
// quotes included, and `value` what the program it is given receives.
struct CommandArgument {
  std::size_t begin;
  std::size_t end;
  std::u16string value;
};

// The arguments of the text after a program name, split as Windows splits a
// command line (CommandLineToArgvW): spaces and tabs separate arguments
// outside quotes; 2n backslashes and a quote give n backslashes and a quote
// that opens or closes quoting; 2n+1 backslashes and a quote give n
// backslashes and a literal quote; other backslashes are literal; every other
// quote opens or closes quoting. A quote left open runs to the end of the
// text. `""` is an argument whose value is empty. Linear in the text.
std::vector<CommandArgument> splitCommandArguments(std::u16string_view text);

struct SwitchVerdict {
  // The allowed arguments as written, in their order, one space apart.
  std::u16string kept;
  // At least one argument was not allowed.
  bool dropped = false;
};

// Judges every argument against the browser's list of legitimate switches,
// whose items take three forms:
//   --incognito             a literal, equal to the argument's value in any
//                           letter case (quotes in the item are read as in an
//                           argument, so --profile-directory="Profile 1" is
//                           the value --profile-directory=Profile 1);
//   --app-id=<app-id>       a prefix of the value, the rest of it in the class;
//   -P <name>               the argument equals the switch and the next one is
//                           in the class: both are kept.
// Classes: <profile> (Default, Guest Profile, System Profile, "Profile " and
// 1 to 9 digits, any letter case), <app-id> (32 letters a-p, lower case),
// <name> (1 to 260 characters, not starting with - or /, no line break, no
// web address). An unknown class matches nothing. Items are tried in list
// order and the first that matches wins. No argument whose value contains a
// web address is ever kept, whatever the list says.
SwitchVerdict judgeBrowserSwitches(std::u16string_view arguments,
                                   const std::vector<std::u16string>& legitSwitches);

// True when the text holds a switch hijackers give browsers and no genuine
// shortcut carries: a side-loaded extension (and the feature switch that
// re-enables it), a debugging port or pipe, a foreign profile folder, a
// proxy, a sandbox switched off, a GPU launcher that runs any command.
bool containsHijackSwitch(std::u16string_view text) noexcept;

}  // namespace tolvaran
