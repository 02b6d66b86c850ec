#pragma once
// A window-less user-interface port: system message boxes, the status text
// only remembered, the thread's message queue pumped. The program's main
// window brings its own implementation; this one serves tools and tests.
#include <string>

#include "platform/ui.h"

namespace tolvaran::platform::win32 {

// Processes the thread's pending messages once; a quit request is left in
// the queue for the main loop to see.
void pumpPendingMessages();

class Win32Ui final : public Ui {
 public:
  int messageBox(std::u16string_view text, std::u16string_view caption,
                 std::uint32_t type) override;
  void setStatus(std::u16string_view text) override { status_ = text; }
  void pumpMessages() override;
  [[noreturn]] void endProgram(std::uint32_t exitCode) override;

  [[nodiscard]] const std::u16string& status() const noexcept { return status_; }

 private:
  std::u16string status_;
};

}  // namespace tolvaran::platform::win32
