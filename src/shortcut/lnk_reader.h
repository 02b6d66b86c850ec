#pragma once
// Reading a shortcut file's bytes into the model. Every size and offset is
// checked against the bytes; a file that cannot be read says why and where.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shortcut/lnk_ansi.h"
#include "shortcut/lnk_file.h"

namespace tolvaran::lnk {

enum class ReadError : std::uint8_t {
  kNone,
  kTruncatedHeader,      // fewer than 76 bytes
  kBadHeaderSize,        // HeaderSize is not 76: not a shortcut
  kTruncatedIdList,      // IDListSize runs past the end of the file
  kBadIdList,            // an item ID that does not fit its list
  kTruncatedLinkInfo,    // LinkInfoSize runs past the end of the file
  kBadLinkInfo,          // a LinkInfo size or offset that points nowhere
  kTruncatedString,      // a counted string runs past the end of the file
  kBadExtraBlock,        // a block size of 4 to 7: no room for its signature
  kTruncatedExtraBlock,  // a block runs past the end of the file
};

struct ReadResult {
  LnkFile file;  // what was read before the error, when there is one
  ReadError error = ReadError::kNone;
  std::size_t errorOffset = 0;  // of the field that could not be used
  [[nodiscard]] bool ok() const noexcept { return error == ReadError::kNone; }
};

// Code-page strings (IsUnicode clear) are decoded with `codec`. Lenient
// where Windows is: LinkInfo headers of any size from 0x1C up, strings in
// LinkInfo that lack their terminator, a missing terminal block (the file
// simply ends after the last block; fewer than four bytes left over are kept
// as trailing bytes).
ReadResult readLnk(std::string_view bytes, const AnsiCodec& codec);

// A short English text for diagnostics.
std::u16string_view describe(ReadError error) noexcept;

}  // namespace tolvaran::lnk
