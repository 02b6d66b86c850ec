#pragma once
// The installer port over msi.dll, loaded by its full system path on first
// use and kept until the object goes. Without the DLL or its calls both
// methods answer ERROR_CALL_NOT_IMPLEMENTED.
#include "platform/shell_link.h"

namespace tolvaran::platform::win32 {

class Win32Installer final : public Installer {
 public:
  Win32Installer() = default;
  ~Win32Installer() override;
  Win32Installer(const Win32Installer&) = delete;
  Win32Installer& operator=(const Win32Installer&) = delete;

  Result<ShortcutTargetBuffers> getShortcutTarget(std::u16string_view path) override;
  Result<ComponentPathAnswer> getComponentPath(std::u16string_view productCode,
                                               std::u16string_view componentCode,
                                               std::uint32_t bufferChars) override;

 private:
  void load();

  // The calls, as generic function pointers until they are used.
  using AnyFunction = void (*)();

  bool loaded_ = false;
  void* library_ = nullptr;  // HMODULE
  AnyFunction getShortcutTarget_ = nullptr;
  AnyFunction getComponentPath_ = nullptr;
};

}  // namespace tolvaran::platform::win32
