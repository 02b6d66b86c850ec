#pragma once
// How the main window's procedures report their own failures: each step is
// guarded on its own, and a failed step writes one short line to the error
// log ("<date time> - frmMain.cbRun_Click - #9 Subscript out of range.
// LastDllError = 0") before the procedure goes on with its next step.
#include <string>
#include <string_view>
#include <utility>

#include "platform/clock.h"
#include "platform/system.h"
#include "report/error_log.h"
#include "support/failure.h"

namespace tolvaran {

// The short line for a failure of a window procedure.
std::u16string windowErrorLine(std::u16string_view when, std::u16string_view procedure,
                               const Failure& failure);

// A recorder that writes the short line, dated by the machine's clock in the
// user's date-and-time format.
class WindowStepRecorder final : public FailureRecorder {
 public:
  WindowStepRecorder(ErrorLog& errors, platform::System& system, platform::Clock& clock) noexcept
      : errors_(errors), system_(system), clock_(clock) {}
  void recordError(const Failure& failure, const ErrorContext& context) noexcept override;

 private:
  ErrorLog& errors_;
  platform::System& system_;
  platform::Clock& clock_;
};

// A window procedure's steps: each one guarded on its own, a failed one
// written as the procedure's short line.
class WindowSteps {
 public:
  WindowSteps(ErrorLog& errors, platform::System& system, platform::Clock& clock,
              std::u16string_view procedure) noexcept
      : recorder_(errors, system, clock), procedure_(procedure) {}
  // Whether the step ran to its end.
  template <class Body>
  bool operator()(Body&& body) {
    return guardedStep(recorder_, std::forward<Body>(body),
                       [this] { return ErrorContext(procedure_); });
  }
  // What the steps' callees record their own failures through.
  FailureRecorder& recorder() noexcept { return recorder_; }

 private:
  WindowStepRecorder recorder_;
  std::u16string_view procedure_;
};

}  // namespace tolvaran
