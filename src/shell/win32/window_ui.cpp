#include "shell/win32/window_ui.h"

#include <utility>

#include "platform/win32/win32_ui.h"

namespace tolvaran::win32 {

using platform::win32::toWide;

void WindowUi::attach(HWND owner, std::function<void(std::u16string_view)> status,
                      std::function<void()> closing) {
  owner_ = owner;
  status_ = std::move(status);
  closing_ = std::move(closing);
}

void WindowUi::detach() noexcept {
  owner_ = nullptr;
  status_ = nullptr;
  closing_ = nullptr;
}

int WindowUi::messageBox(std::u16string_view text, std::u16string_view caption,
                         std::uint32_t type) {
  HWND owner = owner_ && ::IsWindow(owner_) ? owner_ : nullptr;
  return ::MessageBoxW(owner, toWide(text).c_str(), toWide(caption).c_str(), type);
}

void WindowUi::setStatus(std::u16string_view text) {
  if (status_) status_(text);
}

void WindowUi::pumpMessages() {
  platform::win32::pumpPendingMessages();
}

void WindowUi::endProgram(std::uint32_t exitCode) {
  if (closing_) {
    // Once only, even if closing asks for the end again.
    auto closing = std::exchange(closing_, nullptr);
    try {
      closing();
    } catch (...) {
      // The process ends all the same.
    }
  }
  ::ExitProcess(exitCode);
}

}  // namespace tolvaran::win32
