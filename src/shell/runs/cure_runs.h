#pragma once
// The three kinds of cure run and what frames them: the Cure button over
// the edit box's list, the start-up run over the command line, and the run
// over files dropped on the window. Each empties the processed-shortcut
// table, resets the report, cures its inputs, finishes the report (or
// deletes it when nothing was found) and shows the end-of-run report.
//
// One run at a time: while a run is in progress (its message boxes and
// message pumps let the window's messages through) a click on Cure is
// ignored, a drop is released unprocessed, and a request to close the
// window waits until the run has written its report.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/runs/command_line.h"
#include "shell/runs/main_view.h"
#include "shell/runs/program.h"

namespace tolvaran {

// Where message 004 sends the user for the scanner whose report is the
// usual list.
inline constexpr std::u16string_view kScannerDownloadPage = u"https://halvestry.example/download/";

// The click guard's reach: a window moved farther than this (in twips,
// either axis) since it came to rest is being dragged, not clicked.
inline constexpr float kClickGuardTwips = 50.0f;

class CureRuns {
 public:
  CureRuns(Program& program, MainView& view);
  CureRuns(const CureRuns&) = delete;
  CureRuns& operator=(const CureRuns&) = delete;

  // The Cure button: the edit box's text as a list.
  void cbRun_Click();
  // Once after loading: language switches and files or folders from the
  // command line. With a file, the program reports and ends; without one
  // the window becomes interactive.
  void AutoRun(const ProcessCommandLine& commandLine);
  // The files of one drop, in the shell's order.
  void ProcessHDrop(DroppedFiles& drop);
  // Status, statistics message and Explorer on the report.
  void ReportMSG();
  // Loads a language table and puts its texts on the window; the edit box
  // shows the hint, whatever it held.
  void LoadLanguageEx(std::uint32_t languageCode);

  // A run is in progress: the window ignores Cure and Paste.
  [[nodiscard]] bool busy() const noexcept { return running_; }
  // True when the window may close now; otherwise it is closed as soon as
  // the run in progress has written its report.
  bool requestClose() noexcept;
  // The window came to rest here (centred, dragged, moved).
  void recordRestPosition(WindowPosition position) noexcept { rest_ = position; }
  // The click guard for the window's buttons: the window is where it last
  // came to rest.
  [[nodiscard]] bool clickAllowed(WindowPosition position) const noexcept;
  // Message 000 and a blank line: the placeholder of the empty edit box.
  [[nodiscard]] const std::u16string& hintText() const noexcept { return hint_; }

 private:
  class RunInProgress;
  // Runs the cure of a run's inputs. When the program ends in the middle
  // (a "No" to the repeat-cure question), the changes made so far keep
  // their sealed report, and a report of nothing is removed.
  template <class Body>
  void keepingReportIfEnded(Body&& body);
  void closeReportOnEnd() noexcept;

  // Makes the report and proves the backup folder beside it, before the run
  // changes anything; false (and the user told why) when no data folder
  // takes both.
  bool openReport();
  void finishReport(bool emptyRun);
  // The run kept an original: it changed something.
  bool madeChanges();
  // One item of the command line or a drop; an item that was not handled
  // is noted, with a "[SKIP]" line saying why unless the cure wrote one.
  void cureItem(const std::u16string& item, std::vector<std::u16string>& unhandled);
  // The report finished and shown, or, when nothing was handled or
  // changed, removed and the unusable items named (message 002, then 007).
  void endRun(const std::vector<std::u16string>& unhandled, std::uint32_t flags);
  void showNotHandled(std::u16string_view path, std::uint32_t flags);
  // Closes a window whose closing waited for this run.
  void closeIfAsked();

  Program& program_;
  MainView& view_;
  std::u16string hint_;
  WindowPosition rest_;
  bool running_ = false;
  bool closeAsked_ = false;
  bool handledAny_ = false;  // an item of this run was handled
};

}  // namespace tolvaran
