#pragma once
// The program's start, from the process's first step to its message loop,
// the same for Tolvaran.exe and for a session on the simulated machine: one
// copy only, the language the file name asks for, the version read from the
// file, the program's objects, the window and its loading steps, the offer
// to leave an archive, and once the window is up the rights check and the
// start-up run over the command line.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/modules.h"
#include "platform/ports.h"
#include "shell/runs/command_line.h"
#include "shell/runs/cure_runs.h"
#include "shell/runs/main_view.h"
#include "shell/runs/program.h"
#include "shell/single_instance.h"

namespace tolvaran {

// What start-up asks of the main window; `view()` is what the runs ask of it.
class StartupWindow {
 public:
  virtual ~StartupWindow() = default;
  virtual MainView& view() = 0;
  // The window, hidden, with its controls; false when it could not be made.
  virtual bool create() = 0;
  virtual CureRuns& runs() = 0;
  // Centres the window and takes that as its rest position.
  virtual void CenterForm() = 0;
  virtual void makeLayered() = 0;
  // Drops from a less privileged Explorer reach the elevated program.
  virtual void allowDropsFromLowerIntegrity() = 0;
  virtual void setVersionLabel(std::u16string_view text) = 0;
  virtual void showInForeground() = 0;
  // The closing steps and the window's end.
  virtual void unload() = 0;
  // `firstTick` runs once, shortly after this call, from the message loop.
  virtual void startTimer(std::function<void()> firstTick) = 0;
  // Runs until the window is gone; the process's exit code.
  virtual int messageLoop() = 0;
};

// The machine the program starts on: its ports (the Ui the window's), the
// module services, the command line, and how the window is made once the
// program exists.
struct StartupMachine {
  platform::Ports ports;
  platform::Modules& modules;
  ProcessCommandLine commandLine;
  std::function<std::unique_ptr<StartupWindow>(Program&, SingleInstance&)> makeWindow;
  // Told of every failure the program records (a tool or a test watching).
  FailureRecorder* observer = nullptr;
};

// Starts the program and runs it to its end; the process's exit code.
int startProgram(StartupMachine& machine);

}  // namespace tolvaran
