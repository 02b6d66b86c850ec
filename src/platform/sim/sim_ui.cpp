#include "platform/sim/sim_ui.h"

namespace tolvaran::platform::sim {
namespace {

int firstButton(std::uint32_t type) {
  switch (type & 0xF) {
    case 0x2: return 3;  // MB_ABORTRETRYIGNORE: IDABORT
    case 0x3:            // MB_YESNOCANCEL
    case 0x4: return id::kYes;
    case 0x5: return 4;            // MB_RETRYCANCEL: IDRETRY
    case 0x6: return id::kCancel;  // MB_CANCELTRYCONTINUE
    default: return id::kOk;       // MB_OK, MB_OKCANCEL
  }
}

}  // namespace

int SimUi::messageBox(std::u16string_view text, std::u16string_view caption, std::uint32_t type) {
  int answer = firstButton(type);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  messages_.push_back({std::u16string(text), std::u16string(caption), type, answer});
  return answer;
}

void SimUi::setStatus(std::u16string_view text) {
  statuses_.emplace_back(text);
}

void SimUi::endProgram(std::uint32_t exitCode) {
  exitCode_ = exitCode;
  throw ProgramEnded{exitCode};
}

}  // namespace tolvaran::platform::sim
