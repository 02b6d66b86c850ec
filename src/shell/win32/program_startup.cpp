#include "shell/win32/program_startup.h"

#include "platform/win32/windows_gateway.h"

#include <commctrl.h>

#include <optional>
#include <utility>
#include <vector>

#include "platform/win32/win32_com.h"
#include "platform/win32/win32_machine.h"
#include "shell/app_names.h"
#include "shell/archive_launch.h"
#include "shell/elevation.h"
#include "shell/file_version.h"
#include "shell/runs/window_steps.h"
#include "shell/win32/main_window.h"
#include "shell/win32/system_calls.h"
#include "shell/win32/window_ui.h"
#include "shortcut/shell_refresh.h"

namespace tolvaran::win32 {
namespace {

// Failures met before the program's error log exists (naming the program
// file, reading its version) are kept and handed on once it does.
class EarlyRecorder final : public FailureRecorder {
 public:
  void recordError(const Failure& failure, const ErrorContext& context) noexcept override {
    try {
      if (target_) {
        target_->recordError(failure, context);
      } else {
        kept_.emplace_back(failure, context);
      }
    } catch (...) {
      // Out of memory: the record is lost, the program goes on.
    }
  }
  void forwardTo(FailureRecorder* target) noexcept {
    target_ = target;
    if (!target_) return;
    for (const auto& [failure, context] : kept_) target_->recordError(failure, context);
    kept_.clear();
  }

 private:
  FailureRecorder* target_ = nullptr;
  std::vector<std::pair<Failure, ErrorContext>> kept_;
};

// Stops forwarding before the recorder it forwards to goes.
class ForwardingScope {
 public:
  ForwardingScope(EarlyRecorder& early, FailureRecorder& target) noexcept : early_(early) {
    early_.forwardTo(&target);
  }
  ~ForwardingScope() { early_.forwardTo(nullptr); }
  ForwardingScope(const ForwardingScope&) = delete;
  ForwardingScope& operator=(const ForwardingScope&) = delete;

 private:
  EarlyRecorder& early_;
};

platform::Ports withUi(platform::Ports ports, platform::Ui& ui) {
  return platform::Ports{
      ports.files,     ports.system,     ports.clock,     ports.profile,  ui,
      ports.registry,  ports.osInfo,     ports.processes, ports.shellOps, ports.shellLinks,
      ports.installer, ports.shellNotify};
}

// The language the program starts in: forced by the file name, or the
// user's, as the whole program will choose it.
Translation startupMessages(platform::Ports& ports, std::uint32_t languageCode,
                            FailureRecorder& recorder) {
  Translation messages;
  const clsOSInfo os(ports.osInfo, ports.registry, recorder);
  (void)messages.LoadLanguage(languageCode, static_cast<std::uint32_t>(os.LangDisplayCode()),
                              static_cast<std::uint32_t>(os.LangNonUnicodeCode()), ports.ui,
                              kAppTitle);
  return messages;
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
  (void)platform::win32::restrictDllSearchToSystemFolder();
  (void)setAppUserModelId(kAppUserModelId);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  (void)::InitCommonControlsEx(&controls);
  const platform::win32::ComApartment apartment;

  platform::win32::Win32Machine machine;
  WindowUi ui;
  platform::Ports ports = withUi(machine.ports(), ui);
  EarlyRecorder early;
  ProgramFile programFile(machine.system(), machine.shellOps(), early);
  const std::uint32_t languageCode = languageFromFileName(programFile.AppExeName());

  // A refused second copy ends before any window shows.
  SingleInstance instance(machine.modules());
  {
    const Translation messages = startupMessages(ports, languageCode, early);
    if (checkSingleInstance(instance, ui, messages) == InstanceCheck::kSecondRefused) return 0;
  }

  // Whatever the file is called, its version is read from the file itself.
  const std::u16string version =
      GetFilePropVersion(machine.modules(), early, programFile.modulePath());
  ProgramSetup setup;
  setup.identity = ProgramIdentity{programFile.AppPath(), std::u16string(kAppTitle), version};
  setup.languageCode = languageCode;
  Program program(ports, std::move(setup));
  const ForwardingScope forwarding(early, program.errors());

  MainWindow window(module, program, instance, ui);
  if (!window.create()) return 1;
  CureRuns& runs = window.runs();
  WindowStepRecorder loadRecorder(program.errors(), ports.system, ports.clock);
  const auto loadStep = [&](auto&& body) {
    return guardedStep(loadRecorder, body, [] { return ErrorContext(u"frmMain.Form_Load"); });
  };

  (void)loadStep([&] { window.CenterForm(); });
  (void)loadStep([&] { RefreshLNK(ports.shellOps, ports.shellNotify, program.recorder()); });
  (void)loadStep([&] { runs.LoadLanguageEx(languageCode); });
  (void)loadStep([&] { window.makeLayered(); });
  (void)loadStep([&] {
    if (program.os().Major() >= 6) window.allowDropsFromLowerIntegrity();
  });
  (void)loadStep([&] { window.setVersionLabel(u"Ver. " + version); });
  (void)loadStep([&] { ui.pumpMessages(); });

  clsProcess process(ports, program.recorder());
  const StartupParts parts{ports,   program.messages(), programFile, instance,
                           process, program.recorder()};
  bool fromArchive = false;
  (void)loadStep([&] { fromArchive = IsLaunchedFromArchive(parts, program.folders()); });
  if (fromArchive) {
    window.unload();
    return 0;
  }

  (void)loadStep([&] { window.showInForeground(); });
  const ProcessCommandLine commandLine = processCommandLine();
  bool hookedAtLoad = false;
  if (GetCommandLineArgs(commandLine).empty()) {
    (void)loadStep([&] { window.installSubclasses(); });
    hookedAtLoad = true;
  }

  window.startTimer([&] {
    const Elevation elevation = CheckAdmin(parts, program.os(), program.files(),
                                           GetCommandLineArgs(commandLine), window.handle());
    if (elevation == Elevation::kRelaunched) {
      window.unload();
      return;
    }
    if (std::exchange(hookedAtLoad, false)) return;
    runs.AutoRun(commandLine);
  });
  return window.messageLoop();
}

}  // namespace tolvaran::win32
