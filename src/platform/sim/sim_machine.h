#pragma once
// A whole simulated Windows machine: one object per port, wired together,
// and the bundle of ports the program runs on. A test builds a fresh machine,
// prepares its state through the accessors and hands `ports()` to the code
// under test.
#include "platform/ports.h"
#include "platform/sim/os_profiles.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_installer.h"
#include "platform/sim/sim_modules.h"
#include "platform/sim/sim_os_info.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_profile.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_shell_link.h"
#include "platform/sim/sim_shell_notify.h"
#include "platform/sim/sim_shell_operations.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_ui.h"

namespace tolvaran::platform::sim {

// English Windows 10 x64, an elevated administrator, the program's 32-bit build.
inline OsProfile defaultOsProfile() {
  return makeOsProfile(ProfileOptions{.elevated = true});
}

class SimMachine {
 public:
  // The system the machine runs decides the registry's views and writes the
  // strings Windows keeps about itself under HKLM. It also decides WOW64: a
  // 32-bit process on 64-bit Windows has its file calls redirected
  // (sim_wow64.h). The disk starts with the Windows folder, its System32
  // (with drivers\etc) and, on 64-bit Windows, SysWOW64.
  explicit SimMachine(OsProfile os = defaultOsProfile());
  // The ports refer to the machine's members: it never moves.
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  // The one place the bundle is assembled.
  Ports ports() noexcept {
    return Ports{files_,  system_,    clock_,    profile_,    ui_,        registry_,
                 osInfo_, processes_, shellOps_, shellLinks_, installer_, shellNotify_};
  }

  SimFiles& files() noexcept { return files_; }
  SimSystem& system() noexcept { return system_; }
  SimClock& clock() noexcept { return clock_; }
  SimProfile& profile() noexcept { return profile_; }
  SimUi& ui() noexcept { return ui_; }
  SimRegistry& registry() noexcept { return registry_; }
  SimOsInfo& osInfo() noexcept { return osInfo_; }
  SimProcesses& processes() noexcept { return processes_; }
  SimShellOperations& shellOps() noexcept { return shellOps_; }
  // No shell-link class until a test registers one (sim_shell_link.h).
  SimShellLinkClass& shellLinks() noexcept { return shellLinks_; }
  SimInstaller& installer() noexcept { return installer_; }
  SimShellNotify& shellNotify() noexcept { return shellNotify_; }
  // Outside the bundle: mutexes and version resources (sim_modules.h).
  SimModules& modules() noexcept { return modules_; }

  // Puts takeown.exe and icacls.exe into System32 (and SysWOW64 on 64-bit
  // Windows), the ownership tool changing nothing and the access tool
  // lifting the faults planned for the file it is given, each running
  // `runMilliseconds`.
  void installUnlockTools(std::uint64_t runMilliseconds = 300);

 private:
  // The code page and the environment variables the system and the program's
  // bitness give a process.
  void presentEnvironment(const OsProfile& profile);

  // Declaration order is construction order: files take their times from the clock,
  // the profile works through files and system, the registry's views follow the system.
  SimOsInfo osInfo_;
  SimClock clock_;
  SimFiles files_{clock_};
  SimSystem system_;
  SimUi ui_;
  SimProfile profile_{files_, system_};
  SimRegistry registry_;
  SimProcesses processes_{clock_, files_, system_};
  SimShellOperations shellOps_{clock_, files_, system_};
  SimShellLinkClass shellLinks_;
  SimInstaller installer_{files_};
  SimShellNotify shellNotify_;
  SimModules modules_{files_};
};

}  // namespace tolvaran::platform::sim
