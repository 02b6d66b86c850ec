#pragma once
// The user-interface port of the finished program: message boxes owned by
// the main window, the status text on its status label, the window's
// messages pumped at the runs' fixed points, and the end of the program
// through the window's closing steps. Usable before the window exists
// (message boxes then have no owner).
#include "platform/win32/windows_gateway.h"

#include <functional>

#include "platform/ui.h"

namespace tolvaran::win32 {

class WindowUi final : public platform::Ui {
 public:
  // `status` shows the status text; `closing` runs the window's closing
  // steps before the process ends.
  void attach(HWND owner, std::function<void(std::u16string_view)> status,
              std::function<void()> closing);
  void detach() noexcept;

  int messageBox(std::u16string_view text, std::u16string_view caption,
                 std::uint32_t type) override;
  void setStatus(std::u16string_view text) override;
  void pumpMessages() override;
  [[noreturn]] void endProgram(std::uint32_t exitCode) override;

 private:
  HWND owner_ = nullptr;
  std::function<void(std::u16string_view)> status_;
  std::function<void()> closing_;
};

}  // namespace tolvaran::win32
