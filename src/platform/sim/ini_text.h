#pragma once
// INI text as the Windows profile functions read and edit it. Pure functions
// over decoded text; the simulated profile port adds the file and encoding.
#include <optional>
#include <string>
#include <string_view>

namespace tolvaran::platform::sim {

// The value of `key` in `section` (both without regard to case), trimmed and
// without surrounding matching quotes; nothing when the section or key is
// missing.
std::optional<std::u16string> iniLookup(std::u16string_view text, std::u16string_view section,
                                        std::u16string_view key);

// `text` with `key` in `section` set to `value`, the rest of the text as it was.
std::u16string iniSet(std::u16string_view text, std::u16string_view section,
                      std::u16string_view key, std::u16string_view value);

}  // namespace tolvaran::platform::sim
