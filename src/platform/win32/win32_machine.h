#pragma once
// The real machine: one pass-through object per port and the bundle of ports.
#include "platform/ports.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_installer.h"
#include "platform/win32/win32_modules.h"
#include "platform/win32/win32_os_info.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_profile.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell_link.h"
#include "platform/win32/win32_shell_notify.h"
#include "platform/win32/win32_shell_operations.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_ui.h"

namespace tolvaran::platform::win32 {

class Win32Machine {
 public:
  Win32Machine() = default;
  Win32Machine(const Win32Machine&) = delete;
  Win32Machine& operator=(const Win32Machine&) = delete;

  // The one place the bundle is assembled.
  Ports ports() noexcept {
    return Ports{files_,  system_,    clock_,    profile_,    ui_,        registry_,
                 osInfo_, processes_, shellOps_, shellLinks_, installer_, shellNotify_};
  }

  Win32Files& files() noexcept { return files_; }
  Win32System& system() noexcept { return system_; }
  Win32Clock& clock() noexcept { return clock_; }
  Win32Profile& profile() noexcept { return profile_; }
  Win32Ui& ui() noexcept { return ui_; }
  Win32Registry& registry() noexcept { return registry_; }
  Win32OsInfo& osInfo() noexcept { return osInfo_; }
  Win32Processes& processes() noexcept { return processes_; }
  Win32ShellOperations& shellOps() noexcept { return shellOps_; }
  Win32ShellLinks& shellLinks() noexcept { return shellLinks_; }
  Win32Installer& installer() noexcept { return installer_; }
  Win32ShellNotify& shellNotify() noexcept { return shellNotify_; }
  // Outside the bundle: mutexes and version resources.
  Win32Modules& modules() noexcept { return modules_; }

 private:
  Win32Files files_;
  Win32System system_;
  Win32Clock clock_;
  Win32Profile profile_;
  Win32Ui ui_;
  Win32Registry registry_;
  Win32OsInfo osInfo_;
  Win32Processes processes_;
  Win32ShellOperations shellOps_;
  Win32ShellLinks shellLinks_;
  Win32Installer installer_;
  Win32ShellNotify shellNotify_;
  Win32Modules modules_;
};

}  // namespace tolvaran::platform::win32
