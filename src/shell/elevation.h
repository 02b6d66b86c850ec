#pragma once
// The offer to restart the program with administrator rights, made once
// after the window has loaded. Whatever goes wrong in it, the program goes
// on as it is, except on the XP family when the copy with administrator
// rights did not start: message 028 says so, and the program ends.
#include <string_view>

#include "fileops/mod_file.h"
#include "platform/processes.h"
#include "shell/startup_parts.h"
#include "system/os_info.h"

namespace tolvaran {

enum class Elevation {
  kAlreadyElevated,     // nothing asked
  kDeclined,            // the user said No: go on unelevated
  kRelaunchFailed,      // the elevated copy did not start: go on unelevated, the mutex taken again
  kRelaunched,          // the elevated copy runs: finalise, unload the window and end
  kNeedsAdministrator,  // XP family, no copy appeared: message 028 shown, end as for kRelaunched
};

// Asks message 029 (Vista and later) or 027 (the XP family). On Yes the
// mutex is let go and the program file (its real path) is started through
// the shell's "runas" verb with `arguments`, owned by `owner`. On the XP
// family the copy is then looked for a second later among the running
// processes; when none appeared, message 028 is shown and the program ends.
Elevation CheckAdmin(const StartupParts& parts, const clsOSInfo& os, modFile& files,
                     std::u16string_view arguments, platform::WindowHandle owner);

}  // namespace tolvaran
