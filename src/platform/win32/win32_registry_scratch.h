#pragma once
// Registry writes for test setup only (the registry contract tests build
// their keys with these): the program itself never writes the registry.
// `viewFlags` is 0, KEY_WOW64_64KEY or KEY_WOW64_32KEY.
#include <cstdint>
#include <string_view>

#include "platform/registry.h"

namespace tolvaran::platform::win32::scratch {

// RegCreateKeyExW.
Status createKey(RegKeyHandle root, std::u16string_view path, std::uint32_t viewFlags);
// RegCreateKeyExW and RegSetValueExW with exactly these bytes: the data is
// never taken to end in a NUL it does not hold.
Status setValue(RegKeyHandle root, std::u16string_view path, std::u16string_view name,
                std::uint32_t type, std::string_view data, std::uint32_t viewFlags);
// The key and everything below it; success when it is already gone.
Status deleteTree(RegKeyHandle root, std::u16string_view path, std::uint32_t viewFlags);

}  // namespace tolvaran::platform::win32::scratch
