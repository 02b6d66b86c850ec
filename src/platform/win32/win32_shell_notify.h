#pragma once
// The shell-notify port over the Active Desktop object
// (COM initialised for as long as it lives), FindWindowW, GetWindow and
// PostMessageA.
#include "platform/shell_link.h"

namespace tolvaran::platform::win32 {

class Win32ShellNotify final : public ShellNotify {
 public:
  ComResult<std::unique_ptr<ActiveDesktop>> createActiveDesktop() override;
  WindowHandle findWindow(std::u16string_view className, std::u16string_view windowName) override;
  WindowHandle getWindow(WindowHandle window, std::uint32_t command) override;
  Status postMessage(WindowHandle window, std::uint32_t message, std::uint64_t wParam,
                     std::int64_t lParam) override;
};

}  // namespace tolvaran::platform::win32
