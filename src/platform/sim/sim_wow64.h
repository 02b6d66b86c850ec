#pragma once
// WOW64 file-system redirection as the simulated file system applies it to
// every path-taking call (GetFullPathName excepted: it touches no disk).
// Checked against Windows under Wine, 32- and 64-bit, by the contract tests.
//
// clang-format off
//   A 32-bit process on 64-bit Windows, redirection on (the default):
//     <Windows>\System32[\...]                  -> <Windows>\SysWOW64[\...]
//     <Windows>\System32\X[\...], X one of catroot, catroot2, driverstore, logfiles, spool,
//     or drivers\etc                            -> itself: these stay native
//     <Windows>\Sysnative[\...]                 -> <Windows>\System32[\...], not redirected again
//   The same process, redirection off: every path is itself; "Sysnative" is an ordinary,
//   missing name.
//   A 64-bit process, 32-bit Windows: every path is itself.
//   "\\?\" paths are redirected like the others; names compare without regard to case.
//   Sysnative never shows in a listing of the Windows folder (it is no entry).
//
//   Wow64DisableWow64FsRedirection   -> TRUE and the old state as the value (0: it was on,
//                                       1: it was off); redirection is now off
//   Wow64RevertWow64FsRedirection(v) -> TRUE; the value is the state itself: off for any v
//                                       other than 0, on for 0
//   either call in a 64-bit process or on 32-bit Windows -> ERROR_INVALID_FUNCTION
//   either call where kernel32 lacks it (32-bit 2000 and XP) -> ERROR_CALL_NOT_IMPLEMENTED
// clang-format on
//
// Wine differs in one point, and the simulation follows Windows there: Wine
// keeps resolving Sysnative while redirection is off.
#include <string>

#include "platform/files.h"
#include "platform/sim/sim_path.h"

namespace tolvaran::platform::sim {

struct Wow64Setup {
  bool callsExist = true;  // kernel32 exports the two calls
  bool redirects = false;  // a 32-bit process on 64-bit Windows
  std::u16string windowsFolder = u"C:\\Windows";
};

class Wow64Redirector {
 public:
  Wow64Redirector() { configure(Wow64Setup{}); }

  // Starts over with redirection on.
  void configure(Wow64Setup setup);
  [[nodiscard]] const Wow64Setup& setup() const noexcept { return setup_; }
  [[nodiscard]] bool disabled() const noexcept { return disabled_; }

  Result<Wow64RedirectionValue> disable();
  Status revert(Wow64RedirectionValue oldValue);

  // The path a file call reaches; an unparsed (failed) path is returned as it is.
  [[nodiscard]] SimPath apply(SimPath path) const;

 private:
  [[nodiscard]] Win32Code unavailable() const noexcept;

  Wow64Setup setup_;
  SimPath windows_;
  bool disabled_ = false;
};

}  // namespace tolvaran::platform::sim
