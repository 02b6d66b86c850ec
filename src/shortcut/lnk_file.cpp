#include "shortcut/lnk_file.h"

#include "shortcut/lnk_bytes.h"
#include "support/text.h"

namespace tolvaran::lnk {

std::uint32_t effectiveLinkFlags(const LnkFile& file) noexcept {
  std::uint32_t flags = file.header.linkFlags & ~flag::kSectionBits;
  if (file.idList) flags |= flag::kHasLinkTargetIdList;
  if (file.linkInfo) flags |= flag::kHasLinkInfo;
  for (std::size_t i = 0; i < kStringFieldCount; ++i) {
    if (file.strings.values[i]) flags |= kStringFieldFlags[i];
  }
  return flags;
}

std::optional<std::string> encodeCountedString(std::u16string_view text, bool unicode,
                                               const AnsiCodec& codec) {
  std::string out;
  if (unicode) {
    if (text.size() > 0xFFFF) return std::nullopt;
    out.reserve(2 + 2 * text.size());
    appendU16(out, static_cast<std::uint16_t>(text.size()));
    appendUtf16(out, text);
    return out;
  }
  const std::string bytes = codec.toBytes(text);
  if (bytes.size() > 0xFFFF) return std::nullopt;
  appendU16(out, static_cast<std::uint16_t>(bytes.size()));
  out += bytes;
  return out;
}

std::u16string decodeCountedString(std::string_view counted, bool unicode, const AnsiCodec& codec) {
  const std::string_view characters = counted.substr(counted.size() < 2 ? counted.size() : 2);
  return unicode ? utf16leToText(characters) : codec.toText(characters);
}

std::optional<std::size_t> countedStringSize(std::string_view bytes, std::size_t offset,
                                             bool unicode) noexcept {
  const auto count = readU16(bytes, offset);
  if (!count) return std::nullopt;
  const std::size_t size = 2 + (unicode ? 2u : 1u) * *count;
  if (!bytesAt(bytes, offset, size)) return std::nullopt;
  return size;
}

}  // namespace tolvaran::lnk
