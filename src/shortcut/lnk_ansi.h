#pragma once
// How a shortcut's narrow (ANSI) strings become text and back. The format
// stores them in the code page of the machine that wrote the file; the
// caller says which one that is.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/system.h"

namespace tolvaran::lnk {

struct AnsiCodec {
  std::function<std::u16string(std::string_view)> toText;
  std::function<std::string(std::u16string_view)> toBytes;
};

// A code page by number, through the program's own tables (866, 1250-1252);
// ASCII only for the others.
AnsiCodec codePageCodec(std::uint32_t codePage);
// The machine's ANSI code page, as the system port converts.
AnsiCodec systemCodec(platform::System& system);

// Whether the text survives a trip through the code page unchanged.
bool fitsCodePage(const AnsiCodec& codec, std::u16string_view text);

}  // namespace tolvaran::lnk
