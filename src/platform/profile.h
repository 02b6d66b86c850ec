#pragma once
// The profile port: the Windows INI functions on a named file.
#include <cstdint>
#include <string>
#include <string_view>

#include "support/result.h"

namespace tolvaran::platform {

class Profile {
 public:
  virtual ~Profile() = default;
  // GetPrivateProfileStringW for one key: the value read, or `defaultValue`
  // when the file, section or key is missing; at most bufferChars - 1
  // characters. The code is the call's last error.
  virtual Result<std::u16string> getPrivateProfileString(std::u16string_view section,
                                                         std::u16string_view key,
                                                         std::u16string_view defaultValue,
                                                         std::uint32_t bufferChars,
                                                         std::u16string_view fileName) = 0;
  // WritePrivateProfileStringW for one key.
  virtual Status writePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                           std::u16string_view value,
                                           std::u16string_view fileName) = 0;
};

}  // namespace tolvaran::platform
