#include "shell/win32/program_startup.h"

#include "platform/win32/windows_gateway.h"

#include <commctrl.h>

#include <memory>

#include "platform/win32/win32_com.h"
#include "platform/win32/win32_machine.h"
#include "shell/app_names.h"
#include "shell/startup.h"
#include "shell/win32/main_window.h"
#include "shell/win32/system_calls.h"
#include "shell/win32/window_ui.h"

namespace tolvaran::win32 {
namespace {

platform::Ports withUi(platform::Ports ports, platform::Ui& ui) {
  return platform::Ports{
      ports.files,     ports.system,     ports.clock,     ports.profile,  ui,
      ports.registry,  ports.osInfo,     ports.processes, ports.shellOps, ports.shellLinks,
      ports.installer, ports.shellNotify};
}

ProcessCommandLine processCommandLine() {
  ProcessCommandLine commandLine;
  if (const wchar_t* line = ::GetCommandLineW()) {
    commandLine.unicode = platform::win32::fromWide(line);
  }
  return commandLine;
}

}  // namespace

int runProgram(HINSTANCE module) {
  // Before anything can load a DLL: never one planted beside the program.
  platform::win32::restrictDllSearchToSystemFolder();
  setAppUserModelId(kAppUserModelId);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  const platform::win32::ComApartment apartment;

  platform::win32::Win32Machine machine;
  WindowUi ui;
  StartupMachine start{withUi(machine.ports(), ui), machine.modules(), processCommandLine(),
                       [&](Program& program, SingleInstance& instance) {
                         return std::make_unique<MainWindow>(module, program, instance, ui);
                       }};
  return startProgram(start);
}

}  // namespace tolvaran::win32
