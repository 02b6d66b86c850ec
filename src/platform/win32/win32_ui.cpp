#include "platform/win32/win32_ui.h"

#include "platform/win32/windows_gateway.h"

namespace tolvaran::platform::win32 {

int Win32Ui::messageBox(std::u16string_view text, std::u16string_view caption, std::uint32_t type) {
  return ::MessageBoxW(nullptr, toWide(text).c_str(), toWide(caption).c_str(), type);
}

void pumpPendingMessages() {
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void Win32Ui::pumpMessages() {
  pumpPendingMessages();
}

void Win32Ui::endProgram(std::uint32_t exitCode) {
  ::ExitProcess(exitCode);
}

}  // namespace tolvaran::platform::win32
