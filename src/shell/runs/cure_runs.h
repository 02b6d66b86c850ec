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

  // The report's path for a run started at `at`, as CreateLogFile will
  // name it; the LOG folder is made (or the fallback folder chosen) now.
  std::u16string plannedReportPath(const platform::SystemTime& at);
  void showNotHandled(std::u16string_view path, std::uint32_t flags);
  // Closes a window whose closing waited for this run.
  void closeIfAsked();

  Program& program_;
  MainView& view_;
  std::u16string hint_;
  WindowPosition rest_;
  bool running_ = false;
  bool closeAsked_ = false;
};

}  // namespace tolvaran
