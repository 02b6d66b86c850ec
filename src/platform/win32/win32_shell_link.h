#pragma once
// The shell-link port over the shell's own object: CoCreateInstance of
// CLSID_ShellLink, its IShellLinkW and IPersistFile. Each object keeps COM
// initialised on its thread for as long as it lives.
#include "platform/shell_link.h"

namespace tolvaran::platform::win32 {

class Win32ShellLinks final : public ShellLinks {
 public:
  ComResult<std::unique_ptr<ShellLink>> createShellLink() override;
};

}  // namespace tolvaran::platform::win32
