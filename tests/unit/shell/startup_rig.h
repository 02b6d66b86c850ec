#pragma once
// A simulated machine with the objects start-up works with: the program
// file, the single-instance guard, the English messages, the OS facts and
// the process helpers, all over the machine's ports.
#include <optional>
#include <string>

#include "common/recording_recorder.h"
#include "fileops/mod_file.h"
#include "fileops/process.h"
#include "platform/sim/sim_machine.h"
#include "shell/msg_box.h"
#include "shell/program_file.h"
#include "shell/single_instance.h"
#include "shell/startup_parts.h"
#include "support/embedded_resources.h"
#include "support/text.h"
#include "system/os_info.h"
#include "system/translation.h"

namespace tolvaran {

// An administrator's program, elevated or not; before Vista an administrator
// always has the full token, so there an unelevated program is a standard user's.
inline platform::sim::OsProfile startupProfile(platform::sim::WindowsRelease release, bool elevated,
                                               bool is64BitOs = true,
                                               std::uint32_t pointerSize = 4) {
  using platform::sim::UserAccount;
  const bool beforeVista = release == platform::sim::WindowsRelease::Windows2000 ||
                           release == platform::sim::WindowsRelease::WindowsXP;
  return platform::sim::makeOsProfile(platform::sim::ProfileOptions{
      .release = release,
      .is64BitOs = is64BitOs,
      .account = beforeVista && !elevated ? UserAccount::StandardUser : UserAccount::Administrator,
      .elevated = elevated,
      .processPointerSize = pointerSize});
}

struct StartupRig {
  explicit StartupRig(platform::sim::OsProfile os = platform::sim::defaultOsProfile())
      : machine(std::move(os)) {
    messages.LoadLangTable(resource::kLanguageEnglish, machine.ui(), kAppTitle);
  }

  // The ports, with the shell operations swapped for `shell` when given.
  platform::Ports ports(platform::ShellOperations* shell = nullptr) {
    platform::Ports sim = machine.ports();
    return platform::Ports{sim.files,      sim.system,    sim.clock,
                           sim.profile,    sim.ui,        sim.registry,
                           sim.osInfo,     sim.processes, shell ? *shell : sim.shellOps,
                           sim.shellLinks, sim.installer, sim.shellNotify};
  }

  StartupParts parts(platform::ShellOperations* shell = nullptr) {
    if (!process) process.emplace(ports(shell), recorder);
    return StartupParts{ports(shell), messages, program, instance, *process, recorder};
  }

  // The program file on the disk at `path`, as the system reports it.
  void placeProgram(const std::u16string& path) {
    machine.system().setModuleFileName(path);
    machine.files().addFile(path, "MZ program");
  }

  [[nodiscard]] std::size_t shown(Msg message) {
    std::size_t count = 0;
    for (const auto& box : machine.ui().messages()) count += box.text == messages[message];
    return count;
  }

  platform::sim::SimMachine machine;
  RecordingRecorder recorder;
  Translation messages;
  ProgramFile program{machine.system(), machine.shellOps(), recorder};
  SingleInstance instance{machine.modules()};
  std::optional<clsProcess> process;
};

}  // namespace tolvaran
