#include "support/text_detection.h"

#include <algorithm>

#include "support/oem_text.h"

namespace tolvaran {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool isAscii(std::string_view bytes) noexcept {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

DetectedEncoding detectTextEncoding(std::string_view bytes) noexcept {
  if (bytes.starts_with(kUtf16LeMark)) return {TextEncoding::kUtf16Le, kUtf16LeMark.size()};
  if (bytes.starts_with(kUtf16BeMark)) return {TextEncoding::kUtf16Be, kUtf16BeMark.size()};
  if (bytes.starts_with(kUtf8Mark)) return {TextEncoding::kUtf8, kUtf8Mark.size()};
  // Plain ASCII reads the same in every code page; it stays with the system's.
  if (!isAscii(bytes) && isWellFormedUtf8(bytes)) return {TextEncoding::kUtf8, 0};
  if (isOemBytes(bytes)) return {TextEncoding::kDosCyrillic, 0};
  return {TextEncoding::kAnsi, 0};
}

bool isWellFormedUtf8(std::string_view bytes) noexcept {
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (i < size) {
    const auto lead = static_cast<unsigned char>(bytes[i++]);
    if (lead < 0x80) continue;
    // The lead byte fixes the length and the range of the second byte.
    int trailing = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      trailing = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      trailing = 2;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      trailing = 3;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (size - i < static_cast<std::size_t>(trailing)) return false;
    const auto second = static_cast<unsigned char>(bytes[i]);
    if (second < low || second > high) return false;
    for (int k = 1; k < trailing; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if (next < 0x80 || next > 0xBF) return false;
    }
    i += trailing;
  }
  return true;
}

std::u16string utf16beToText(std::string_view bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) << 8 |
                                   static_cast<unsigned char>(bytes[2 * i + 1]));
  }
  return out;
}

}  // namespace tolvaran
