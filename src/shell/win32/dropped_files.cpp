#include "shell/win32/dropped_files.h"

#include "platform/win32/windows_gateway.h"

#include <shellapi.h>

namespace tolvaran::win32 {
namespace {

HDROP handleOf(WPARAM drop) noexcept {
  return reinterpret_cast<HDROP>(drop);
}

}  // namespace

std::uint32_t Win32DroppedFiles::fileCount() {
  return ::DragQueryFileW(handleOf(drop_), 0xFFFFFFFFu, nullptr, 0);
}

std::uint32_t Win32DroppedFiles::nameLength(std::uint32_t index) {
  return ::DragQueryFileW(handleOf(drop_), index, nullptr, 0);
}

std::u16string Win32DroppedFiles::name(std::uint32_t index, std::uint32_t bufferChars) {
  std::wstring buffer(bufferChars, L'\0');
  if (bufferChars != 0) ::DragQueryFileW(handleOf(drop_), index, buffer.data(), bufferChars);
  return platform::win32::fromWide(buffer.data(), buffer.size());
}

void Win32DroppedFiles::finish() {
  ::DragFinish(handleOf(drop_));
}

}  // namespace tolvaran::win32
