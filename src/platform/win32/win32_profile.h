#pragma once
// The profile port over the system's own INI functions.
#include "platform/profile.h"

namespace tolvaran::platform::win32 {

class Win32Profile final : public Profile {
 public:
  Result<std::u16string> getPrivateProfileString(std::u16string_view section,
                                                 std::u16string_view key,
                                                 std::u16string_view defaultValue,
                                                 std::uint32_t bufferChars,
                                                 std::u16string_view fileName) override;
  Status writePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view value,
                                   std::u16string_view fileName) override;
};

}  // namespace tolvaran::platform::win32
