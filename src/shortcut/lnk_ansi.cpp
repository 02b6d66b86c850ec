#include "shortcut/lnk_ansi.h"

#include "support/text.h"

namespace tolvaran::lnk {

AnsiCodec codePageCodec(std::uint32_t codePage) {
  return AnsiCodec{
      [codePage](std::string_view bytes) { return codePageToUtf16(bytes, codePage); },
      [codePage](std::u16string_view text) { return utf16ToCodePage(text, codePage); }};
}

AnsiCodec systemCodec(platform::System& system) {
  return AnsiCodec{[&system](std::string_view bytes) { return system.ansiToWide(bytes); },
                   [&system](std::u16string_view text) { return system.wideToAnsi(text); }};
}

bool fitsCodePage(const AnsiCodec& codec, std::u16string_view text) {
  return codec.toText(codec.toBytes(text)) == text;
}

}  // namespace tolvaran::lnk
