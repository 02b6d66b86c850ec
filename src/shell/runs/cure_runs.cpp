#include "shell/runs/cure_runs.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "intake/object_dispatch.h"
#include "report/report_layout.h"
#include "shell/msg_box.h"
#include "shell/runs/end_of_run_report.h"
#include "shell/runs/window_steps.h"
#include "shortcut/shell_refresh.h"

namespace tolvaran {
namespace {

constexpr std::int32_t kShowNormal = 1;  // SW_SHOWNORMAL

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

template <class Body>
void CureRuns::keepingReportIfEnded(Body&& body) {
  try {
    body();
  } catch (const platform::ProgramEnded&) {
    closeReportOnEnd();
    throw;
  }
}

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
  if (!program_.log().complete()) {
    // Every place refused the report's body or its seal; the originals are
    // safe all the same, and the user learns where.
    std::u16string text = program_.messages().msg(Msg::kReportIncomplete);
    text += kCrLf;
    text += program_.backup().FolderInUse();
    MsgBoxW(program_.ports().ui, text, msg_flags::kWarning);
  }
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
  bool placed = false;
  step([&] { placed = openReport(); });
  if (!placed) {
    step([&] { ui.setStatus(p.messages().msg(Msg::kIdle)); });
    closeIfAsked();
    return;
  }
  bool succeeded = false;
  keepingReportIfEnded([&] {
    step([&] { succeeded = p.intake().CureListLNK(view_.txtLNK_GetText(), false, true); });
  });
  step([&] { finishReport(!succeeded); });

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

void CureRuns::AutoRun(const ProcessCommandLine& commandLine) {
  if (running_) return;
  RunInProgress run(*this);
  Program& p = program_;
  WindowSteps step(p.errors(), p.ports().system, p.ports().clock, u"frmMain.AutoRun");

  step([&] { p.state().resetRun(); });
  step([&] { p.log().ResetLogState(); });
  handledAny_ = false;
  std::vector<std::u16string> arguments;
  step([&] { arguments = SplitArgs(GetCommandLineArgs(commandLine)); });

  const bool sawFile = std::any_of(arguments.begin(), arguments.end(),
                                   [](const std::u16string& a) { return !languageSwitch(a); });
  if (!sawFile) {
    for (const std::u16string& argument : arguments) {
      step([&] { LoadLanguageEx(*languageSwitch(argument)); });
    }
    step([&] { view_.installSubclasses(); });
    closeIfAsked();
    return;
  }

  // The report and the backup folder are made before anything changes; a
  // run that has neither changes nothing.
  bool placed = false;
  step([&] { placed = openReport(); });
  std::vector<std::u16string> unhandled;
  if (placed) {
    keepingReportIfEnded([&] {
      for (const std::u16string& argument : arguments) {
        if (const auto code = languageSwitch(argument)) {
          step([&] { LoadLanguageEx(*code); });
          continue;
        }
        step([&] {
          view_.txtLNK_SetText(u"");
          cureItem(argument, unhandled);
        });
        step([&] { RefreshLNK(p.ports().shellOps, p.ports().shellNotify, p.recorder()); });
      }
    });
    endRun(unhandled, msg_flags::kPlain);
  }
  step([&] { view_.Finalize(); });
  p.ports().ui.endProgram(0);
}

bool CureRuns::openReport() {
  Program& p = program_;
  const bool placed = p.log().CreateLogFile(
      [&](std::u16string_view reportPath) { return p.backup().ProveWritable(reportPath); });
  if (!placed) {
    p.backup().SetReportLog(u"");
    MsgBoxW(p.ports().ui, p.messages().msg(Msg::kNoPlaceForReport), msg_flags::kWarning);
    return false;
  }
  // Every original the cure replaces is kept beside this run's report.
  p.backup().SetReportLog(p.log().ReportLogPath());
  return true;
}

void CureRuns::finishReport(bool emptyRun) {
  program_.log().FinishLog(emptyRun, program_.backup().FolderInUse());
}

bool CureRuns::madeChanges() {
  return !program_.backup().FolderInUse().empty();
}

void CureRuns::cureItem(const std::u16string& item, std::vector<std::u16string>& unhandled) {
  Program& p = program_;
  const bool folder = !item.empty() && p.dir().IsFolder(item);
  const bool missing = !folder && (item.empty() || !p.files().isFileExists(item));
  const std::int32_t linesBefore = p.log().Statistics.Total;
  if (!missing && p.intake().CureObject(item, true, u"")) {
    handledAny_ = true;
    return;
  }
  unhandled.push_back(item);
  // The cure said nothing of it: the report says why it was passed by.
  if (p.log().Statistics.Total != linesBefore) return;
  std::u16string reason;
  if (item.empty()) {
    reason = p.messages().msg(Msg::kEmptyArgument);
  } else if (missing) {
    reason = p.messages().msg(Msg::kShortcutNotFound);
  } else if (!folder && CheckValidExtension(item).empty()) {
    reason = p.messages().msg(Msg::kNotCurableKind);
  } else {
    reason = u"(" + p.messages().msg(Msg::kNoShortcutsHere) + u")";
  }
  p.log().reportLine(&RunStatistics::Omitted, status::kSkipped, item, u"", u"", reason, u"", u"",
                     ListSelector::kMain, false);
  ++p.log().Statistics.Total;
}

void CureRuns::endRun(const std::vector<std::u16string>& unhandled, std::uint32_t flags) {
  Program& p = program_;
  WindowSteps step(p.errors(), p.ports().system, p.ports().clock, u"frmMain.EndRun");
  // Nothing handled and nothing changed: no report, and the user learns
  // what could not be used.
  if (!handledAny_ && !madeChanges()) {
    step([&] { finishReport(true); });
    step([&] { p.log().DeleteReportLog(); });
    for (const std::u16string& item : unhandled) {
      if (closeAsked_) break;
      step([&] { showNotHandled(item, flags); });
    }
    return;
  }
  step([&] { finishReport(false); });
  if (!closeAsked_) {
    step([&] { ReportMSG(); });
    step([&] { RefreshDesktop(p.ports().shellNotify); });
  }
}

void CureRuns::closeReportOnEnd() noexcept {
  try {
    Program& p = program_;
    if (!p.log().isOpen()) return;
    if (madeChanges()) {
      finishReport(false);
    } else {
      finishReport(true);
      p.log().DeleteReportLog();
    }
  } catch (...) {
    // The program is ending already; the report stays as far as it got.
  }
}

void CureRuns::ProcessHDrop(DroppedFiles& drop) {
  DropRelease release(drop);
  if (running_) return;
  RunInProgress run(*this);
  Program& p = program_;
  const bool completed = guardedStep(
      p.recorder(),
      [&] {
        p.state().resetRun();
        p.log().ResetLogState();
        handledAny_ = false;
        if (!openReport()) return;
        std::vector<std::u16string> unhandled;
        keepingReportIfEnded([&] {
          const std::uint32_t count = drop.fileCount();
          for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t length = drop.nameLength(i);
            if (length == 0) continue;
            std::u16string name = drop.name(i, length + 1);
            name.resize(std::min(name.size(), name.find(u'\0')));
            cureItem(name, unhandled);
            RefreshLNK(p.ports().shellOps, p.ports().shellNotify, p.recorder());
          }
        });
        release.release();
        endRun(unhandled, msg_flags::kWarning);
      },
      [] { return ErrorContext(u"frmMain.ProcessHDrop"); });
  if (!completed) {
    // The run stops here, but the shell gets its handle back and the report
    // is closed with what it holds, the failure included.
    release.release();
    if (p.log().isOpen()) finishReport(true);
  }
  closeIfAsked();
}

}  // namespace tolvaran
