#pragma once
// The bytes a part of a shortcut was read from. A part written back while
// its value is still what these bytes decode to is written as these bytes,
// so that an unchanged shortcut comes back byte for byte, padding and stray
// bytes after terminators included. The bytes are not part of the value:
// two origins always compare equal.
#include <optional>
#include <string>

namespace tolvaran::lnk {

struct Origin {
  std::optional<std::string> bytes;  // nothing for a part made in memory
  friend bool operator==(const Origin&, const Origin&) noexcept { return true; }
};

}  // namespace tolvaran::lnk
