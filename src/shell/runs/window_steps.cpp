#include "shell/runs/window_steps.h"

#include "support/text.h"

namespace tolvaran {

std::u16string windowErrorLine(std::u16string_view when, std::u16string_view procedure,
                               const Failure& failure) {
  std::u16string line(when);
  line += u" - ";
  line += procedure;
  line += u" - #";
  line += toDecimal(failure.number);
  line += u' ';
  line += failure.description;
  line += u". LastDllError = ";
  line += toDecimal(failure.lastSystemError);
  return line;
}

void WindowStepRecorder::recordError(const Failure& failure, const ErrorContext& context) noexcept {
  try {
    errors_.WriteErrorLine(
        windowErrorLine(system_.formatDateTime(clock_.localTime()), context.procedure(), failure));
  } catch (...) {
    // The recorder never fails its caller.
  }
}

}  // namespace tolvaran
