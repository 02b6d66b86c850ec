#include "shell/runs/cure_runs.h"

#include <cmath>
#include <utility>
#include <vector>

#include "report/data_folder.h"
#include "report/report_layout.h"
#include "shell/msg_box.h"
#include "shell/runs/end_of_run_report.h"
#include "shell/runs/window_steps.h"
#include "shortcut/shell_refresh.h"

namespace tolvaran {
namespace {

constexpr std::int32_t kShowNormal = 1;  // SW_SHOWNORMAL

constexpr std::u16string_view kLogFolder = u"LOG";

// Releases a drop exactly once, also when the run stops half-way.
class DropRelease {
 public:
  explicit DropRelease(DroppedFiles& drop) noexcept : drop_(drop) {}
  ~DropRelease() { release(); }
  DropRelease(const DropRelease&) = delete;
  DropRelease& operator=(const DropRelease&) = delete;
  void release() noexcept {
    if (released_) return;
    released_ = true;
    try {
      drop_.finish();
    } catch (...) {
      // The destructor releases through here, so nothing may leave it;
      // nothing more can be done with the handle.
    }
  }

 private:
  DroppedFiles& drop_;
  bool released_ = false;
};

}  // namespace

// Marks a run in progress for as long as it lives, however the run ends.
class CureRuns::RunInProgress {
 public:
  explicit RunInProgress(CureRuns& runs) noexcept : runs_(runs) { runs_.running_ = true; }
  ~RunInProgress() { runs_.running_ = false; }
  RunInProgress(const RunInProgress&) = delete;
  RunInProgress& operator=(const RunInProgress&) = delete;

 private:
  CureRuns& runs_;
};

CureRuns::CureRuns(Program& program, MainView& view)
    : program_(program), view_(view), hint_(program.messages().msg(Msg::kHint) + u"\r\n\r\n") {}

bool CureRuns::requestClose() noexcept {
  if (!running_) return true;
  closeAsked_ = true;
  return false;
}

bool CureRuns::clickAllowed(WindowPosition position) const noexcept {
  return std::fabs(position.left - rest_.left) <= kClickGuardTwips &&
         std::fabs(position.top - rest_.top) <= kClickGuardTwips;
}

void CureRuns::closeIfAsked() {
  if (!closeAsked_) return;
  closeAsked_ = false;
  view_.close();
}

void CureRuns::showNotHandled(std::u16string_view path, std::uint32_t flags) {
  const Translation& messages = program_.messages();
  std::u16string text = messages.msg(Msg::kNoShortcutsHere);
  text += u": ";
  text += kCrLf;
  text += path;
  MsgBoxW(program_.ports().ui, text, flags);
  MsgBoxW(program_.ports().ui, messages.msg(Msg::kNothingFound), msg_flags::kWarning);
}

void CureRuns::ReportMSG() {
  const EndOfRunReport parts{program_.ports(), program_.messages(), program_.files(),
                             program_.folders().SysRoot};
  tolvaran::ReportMSG(parts, program_.log().Statistics, program_.log().ReportLogPath(),
                      program_.backup().FolderInUse(), view_.handle());
}

void CureRuns::LoadLanguageEx(std::uint32_t languageCode) {
  Program& p = program_;
  p.messages().LoadLanguage(languageCode, static_cast<std::uint32_t>(p.os().LangDisplayCode()),
                            static_cast<std::uint32_t>(p.os().LangNonUnicodeCode()), p.ports().ui,
                            p.identity().title);
  hint_ = p.messages().msg(Msg::kHint) + u"\r\n\r\n";
  view_.txtLNK_SetText(hint_);
  view_.applyLanguage(p.messages());
  p.ports().ui.setStatus(p.messages().msg(Msg::kIdle));
  p.ports().ui.pumpMessages();
}

void CureRuns::cbRun_Click() {
  if (running_) return;
  RunInProgress run(*this);
  Program& p = program_;
  platform::Ui& ui = p.ports().ui;
  WindowSteps step(p.errors(), p.ports().system, p.ports().clock, u"frmMain.cbRun_Click");

  bool allowed = false;
  step([&] { allowed = clickAllowed(view_.position()); });
  if (!allowed) return;

  bool emptyList = false;
  step([&] {
    const std::u16string text = view_.txtLNK_GetText();
    emptyList = text.empty() || text == hint_;
  });
  if (emptyList) {
    step([&] {
      if (MsgBoxW(ui, p.messages().msg(Msg::kEmptyList), msg_flags::kYesNoWarning) !=
          platform::id::kYes) {
        return;
      }
      platform::ShellExecuteRequest request;
      request.window = view_.handle();
      request.verb = u"open";
      request.file = std::u16string(kScannerDownloadPage);
      request.show = kShowNormal;
      (void)p.ports().shellOps.shellExecuteEx(request);
    });
    closeIfAsked();
    return;
  }

  step([&] { p.state().resetRun(); });
  step([&] { ui.setStatus(p.messages().msg(Msg::kOperating)); });
  step([&] { ui.pumpMessages(); });
  step([&] { p.log().ResetLogState(); });
  step([&] { p.log().CreateLogFile(); });
  // Every original the cure replaces is kept beside this run's report.
  step([&] { p.backup().SetReportLog(p.log().ReportLogPath()); });
  bool succeeded = false;
  step([&] { succeeded = p.intake().CureListLNK(view_.txtLNK_GetText(), false, true); });
  step([&] { p.log().FinishLog(!succeeded, p.backup().FolderInUse()); });

  if (succeeded) {
    // A window waiting to close gets no more questions, but the shell still
    // learns that shortcuts changed.
    step([&] { view_.txtLNK_SetText(u""); });
    if (!closeAsked_) step([&] { ui.setStatus(p.messages().msg(Msg::kReady)); });
    step([&] { RefreshLNK(p.ports().shellOps, p.ports().shellNotify, p.recorder()); });
    if (!closeAsked_) {
      step([&] { ReportMSG(); });
      step([&] { RefreshDesktop(p.ports().shellNotify); });
    }
  } else {
    step([&] { p.log().DeleteReportLog(); });
    if (closeAsked_) {
      closeIfAsked();
      return;
    }
    step([&] { MsgBoxW(ui, p.messages().msg(Msg::kNothingFound), msg_flags::kWarning); });
    step([&] { ui.setStatus(p.messages().msg(Msg::kIdle)); });
  }
  closeIfAsked();
}

std::u16string CureRuns::plannedReportPath(const platform::SystemTime& at) {
  Program& p = program_;
  const std::u16string name = reportFileName(at);
  const std::u16string logFolder = joinPath(p.identity().folder, kLogFolder);
  if (isUnwritableLocation(ensureFolder(p.ports().files, logFolder))) {
    const std::u16string fallback = fallbackDataFolder(p.ports().system);
    if (!fallback.empty()) return joinPath(joinPath(fallback, kLogFolder), name);
  }
  return joinPath(logFolder, name);
}

void CureRuns::AutoRun(const ProcessCommandLine& commandLine) {
  if (running_) return;
  RunInProgress run(*this);
  Program& p = program_;
  WindowSteps step(p.errors(), p.ports().system, p.ports().clock, u"frmMain.AutoRun");

  step([&] { p.state().resetRun(); });
  step([&] { p.log().ResetLogState(); });
  std::vector<std::u16string> arguments;
  step([&] { arguments = SplitArgs(GetCommandLineArgs(commandLine)); });

  // The report is written after the inputs were cured, but it is named now:
  // the originals the cure keeps go beside it.
  platform::SystemTime startedAt{};
  step([&] {
    startedAt = p.ports().clock.localTime();
    for (const std::u16string& argument : arguments) {
      if (languageSwitch(argument)) continue;
      p.backup().SetReportLog(plannedReportPath(startedAt));
      break;
    }
  });

  bool sawFile = false;
  bool failed = false;
  for (const std::u16string& argument : arguments) {
    if (const auto code = languageSwitch(argument)) {
      step([&] { LoadLanguageEx(*code); });
      continue;
    }
    sawFile = true;
    step([&] {
      view_.txtLNK_SetText(u"");
      if (!p.intake().CureObject(argument, true, u"")) {
        failed = true;
        showNotHandled(argument, msg_flags::kPlain);
      }
    });
    step([&] { RefreshLNK(p.ports().shellOps, p.ports().shellNotify, p.recorder()); });
  }

  if (!sawFile) {
    step([&] { view_.installSubclasses(); });
    closeIfAsked();
    return;
  }
  step([&] {
    const ClockHold hold(p.reportClock(), startedAt);
    p.log().CreateLogFile();
  });
  step([&] { p.log().FinishLog(failed, p.backup().FolderInUse()); });
  if (failed) {
    step([&] { p.log().DeleteReportLog(); });
  } else if (!closeAsked_) {
    step([&] { ReportMSG(); });
    step([&] { RefreshDesktop(p.ports().shellNotify); });
  }
  step([&] { view_.Finalize(); });
  p.ports().ui.endProgram(0);
}

void CureRuns::ProcessHDrop(DroppedFiles& drop) {
  DropRelease release(drop);
  if (running_) return;
  RunInProgress run(*this);
  Program& p = program_;
  bool failed = false;
  const bool completed = guardedStep(
      p.recorder(),
      [&] {
        p.state().resetRun();
        p.log().ResetLogState();
        p.log().CreateLogFile();
        p.backup().SetReportLog(p.log().ReportLogPath());
        const std::uint32_t count = drop.fileCount();
        for (std::uint32_t i = 0; i < count; ++i) {
          const std::uint32_t length = drop.nameLength(i);
          if (length == 0) continue;
          std::u16string name = drop.name(i, length + 1);
          name.resize(std::min(name.size(), name.find(u'\0')));
          if (!p.intake().CureObject(name, true, u"")) {
            failed = true;
            showNotHandled(name, msg_flags::kWarning);
          }
          RefreshLNK(p.ports().shellOps, p.ports().shellNotify, p.recorder());
        }
        release.release();
        p.log().FinishLog(failed, p.backup().FolderInUse());
        if (failed) {
          p.log().DeleteReportLog();
        } else if (!closeAsked_) {
          ReportMSG();
          RefreshDesktop(p.ports().shellNotify);
        }
      },
      [] { return ErrorContext(u"frmMain.ProcessHDrop"); });
  if (!completed) {
    // The run stops here, but the shell gets its handle back and the report
    // is closed with what it holds, the failure included.
    release.release();
    if (p.log().isOpen()) p.log().FinishLog(true, p.backup().FolderInUse());
  }
  closeIfAsked();
}

}  // namespace tolvaran
