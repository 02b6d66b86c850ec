#pragma once
// The files of one drop on the window, read from the shell's HDROP.
#include "platform/win32/windows_gateway.h"

#include <string>

#include "shell/runs/main_view.h"

namespace tolvaran::win32 {

class Win32DroppedFiles final : public DroppedFiles {
 public:
  explicit Win32DroppedFiles(WPARAM drop) noexcept : drop_(drop) {}
  std::uint32_t fileCount() override;
  std::uint32_t nameLength(std::uint32_t index) override;
  std::u16string name(std::uint32_t index, std::uint32_t bufferChars) override;
  void finish() override;

 private:
  WPARAM drop_;
};

}  // namespace tolvaran::win32
