#include "shell/startup.h"

#include <utility>
#include <vector>

#include "fileops/process.h"
#include "shell/app_names.h"
#include "shell/archive_launch.h"
#include "shell/elevation.h"
#include "shell/file_version.h"
#include "shell/program_file.h"
#include "shell/runs/window_steps.h"
#include "shell/startup_parts.h"
#include "shortcut/shell_refresh.h"
#include "system/os_info.h"

namespace tolvaran {
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

// The language the program starts in: forced by the file name, or the
// user's, as the whole program will choose it.
Translation startupMessages(platform::Ports& ports, std::uint32_t languageCode,
                            FailureRecorder& recorder) {
  Translation messages;
  const clsOSInfo os(ports.osInfo, ports.registry, recorder);
  messages.LoadLanguage(languageCode, static_cast<std::uint32_t>(os.LangDisplayCode()),
                        static_cast<std::uint32_t>(os.LangNonUnicodeCode()), ports.ui, kAppTitle);
  return messages;
}

}  // namespace

int startProgram(StartupMachine& machine) {
  platform::Ports& ports = machine.ports;
  EarlyRecorder early;
  ProgramFile programFile(ports.system, ports.shellOps, early);
  const std::uint32_t languageCode = languageFromFileName(programFile.AppExeName());

  // A refused second copy ends before any window shows.
  SingleInstance instance(machine.modules);
  {
    const Translation messages = startupMessages(ports, languageCode, early);
    if (checkSingleInstance(instance, ports.ui, messages) == InstanceCheck::kSecondRefused) {
      return 0;
    }
  }

  // Whatever the file is called, its version is read from the file itself.
  const std::u16string version =
      GetFilePropVersion(machine.modules, early, programFile.modulePath());
  ProgramSetup setup;
  setup.identity = ProgramIdentity{programFile.AppPath(), std::u16string(kAppTitle), version};
  setup.languageCode = languageCode;
  setup.observer = machine.observer;
  Program program(ports, std::move(setup));
  const ForwardingScope forwarding(early, program.errors());

  const std::unique_ptr<StartupWindow> made = machine.makeWindow(program, instance);
  StartupWindow& window = *made;
  if (!window.create()) return 1;
  CureRuns& runs = window.runs();
  WindowStepRecorder loadRecorder(program.errors(), ports.system, ports.clock);
  const auto loadStep = [&](auto&& body) {
    return guardedStep(loadRecorder, body, [] { return ErrorContext(u"frmMain.Form_Load"); });
  };

  loadStep([&] { window.CenterForm(); });
  loadStep([&] { RefreshLNK(ports.shellOps, ports.shellNotify, program.recorder()); });
  loadStep([&] { runs.LoadLanguageEx(languageCode); });
  loadStep([&] { window.makeLayered(); });
  loadStep([&] {
    if (program.os().Major() >= 6) window.allowDropsFromLowerIntegrity();
  });
  loadStep([&] { window.setVersionLabel(u"Ver. " + version); });
  loadStep([&] { ports.ui.pumpMessages(); });

  clsProcess process(ports, program.recorder());
  const StartupParts parts{ports,   program.messages(), programFile, instance,
                           process, program.recorder()};
  bool fromArchive = false;
  loadStep([&] { fromArchive = IsLaunchedFromArchive(parts, program.folders()); });
  if (fromArchive) {
    window.unload();
    return 0;
  }

  loadStep([&] { window.showInForeground(); });
  const ProcessCommandLine& commandLine = machine.commandLine;
  bool hookedAtLoad = false;
  if (GetCommandLineArgs(commandLine).empty()) {
    loadStep([&] { window.view().installSubclasses(); });
    hookedAtLoad = true;
  }

  window.startTimer([&] {
    const Elevation elevation = CheckAdmin(parts, program.os(), program.files(),
                                           GetCommandLineArgs(commandLine), window.view().handle());
    if (elevation == Elevation::kRelaunched || elevation == Elevation::kNeedsAdministrator) {
      window.unload();
      return;
    }
    if (std::exchange(hookedAtLoad, false)) return;
    runs.AutoRun(commandLine);
  });
  return window.messageLoop();
}

}  // namespace tolvaran
