// Language-table parsing over arbitrary bytes: nothing may crash, an entry
// number out of range must end the program through the Ui, and no entry may
// keep an unexpanded line-break escape.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "system/translation.h"

namespace {

class EndingUi : public tolvaran::platform::Ui {
 public:
  int messageBox(std::u16string_view, std::u16string_view, std::uint32_t) override {
    ++boxes;
    return tolvaran::platform::id::kOk;
  }
  void setStatus(std::u16string_view) override {}
  void pumpMessages() override {}
  [[noreturn]] void endProgram(std::uint32_t exitCode) override {
    throw tolvaran::platform::ProgramEnded{exitCode};
  }
  int boxes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tolvaran::Translation table;
  EndingUi ui;
  bool ended = false;
  try {
    table.loadTableBytes(std::as_bytes(std::span(data, size)), ui, u"Tolvaran");
  } catch (const tolvaran::platform::ProgramEnded&) {
    ended = true;
  }
  if (ended != (ui.boxes == 1) || ui.boxes > 1) std::abort();
  for (int n = 0; n <= tolvaran::Translation::kLastEntry; ++n) {
    if (table.entry(n).find(u"\\n") != std::u16string::npos) std::abort();
  }
  return 0;
}
