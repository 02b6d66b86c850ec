#pragma once
// Writing the model as shortcut file bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shortcut/lnk_ansi.h"
#include "shortcut/lnk_file.h"

namespace tolvaran::lnk {

enum class WriteError : std::uint8_t {
  kNone,
  kStringTooLong,  // more characters (or code-page bytes) than a 16-bit count holds
  kIdListTooLong,  // more than 65535 bytes of item IDs
  kBlockTooLarge,  // an extra data block or LinkInfo beyond 4 GB
};

struct WriteResult {
  std::string bytes;  // empty on error
  WriteError error = WriteError::kNone;
  [[nodiscard]] bool ok() const noexcept { return error == WriteError::kNone; }
};

// Each part still equal to what its origin bytes decode to is written as
// those bytes; every other part is encoded afresh in the layout Windows
// writes. Code-page strings are encoded with `codec`.
WriteResult writeLnk(const LnkFile& file, const AnsiCodec& codec);

}  // namespace tolvaran::lnk
