#pragma once
// Turns the bytes of a text file (a script a shortcut starts, a list a user
// hands over) into text, in the encoding detectTextEncoding picks.
#include <string>
#include <string_view>

#include "platform/system.h"
#include "support/text_detection.h"

namespace tolvaran {

struct DecodedText {
  std::u16string text;  // without the byte-order mark; never more units than bytes
  TextEncoding encoding = TextEncoding::kAnsi;
};

// UTF-16 keeps every unit (NULs and lone surrogates included, an odd last
// byte dropped); ill-formed UTF-8 after a mark becomes U+FFFD; DOS Cyrillic is
// read through the 866 table whatever the system's code page; ANSI text is
// what the system makes of it.
DecodedText decodeTextBytes(platform::System& system, std::string_view bytes);

}  // namespace tolvaran
