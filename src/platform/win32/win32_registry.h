#pragma once
// The registry port over advapi32: each method is the call of the same name,
// its LSTATUS returned beside the value.
#include "platform/registry.h"

namespace tolvaran::platform::win32 {

class Win32Registry final : public Registry {
 public:
  Result<RegKeyHandle> regOpenKeyEx(RegKeyHandle key, std::u16string_view subKey,
                                    std::uint32_t options, std::uint32_t samDesired) override;
  Result<std::u16string> regEnumKey(RegKeyHandle key, std::uint32_t index,
                                    std::uint32_t bufferChars) override;
  Result<std::u16string> regEnumValue(RegKeyHandle key, std::uint32_t index,
                                      std::uint32_t nameBufferChars) override;
  Result<RegKeyInfo> regQueryInfoKey(RegKeyHandle key) override;
  Result<RegValueData> regQueryValueEx(RegKeyHandle key, std::u16string_view valueName,
                                       std::uint32_t bufferBytes) override;
  Status regCloseKey(RegKeyHandle key) override;
};

}  // namespace tolvaran::platform::win32
