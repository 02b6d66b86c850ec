// UTF-8 and UTF-16LE conversions. Outside bytes are hostile: every decoder
// here accepts any input and never reads past it.
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) noexcept {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) noexcept {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendCodePoint(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
  } else {
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
  }
}

void appendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

// The well-formed byte sequences (Unicode table 3-7): the lead byte fixes the
// length and the range of the second byte, which is what excludes overlong
// forms, encoded surrogates and values above U+10FFFF.
struct LeadByte {
  int trailing;  // continuation bytes after the lead; -1 = never a lead
  unsigned char secondLow;
  unsigned char secondHigh;
};

LeadByte classifyLead(unsigned char lead) noexcept {
  if (lead >= 0xC2 && lead <= 0xDF) return {1, 0x80, 0xBF};
  if (lead == 0xE0) return {2, 0xA0, 0xBF};
  if (lead == 0xED) return {2, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {2, 0x80, 0xBF};
  if (lead == 0xF0) return {3, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {3, 0x80, 0xBF};
  if (lead == 0xF4) return {3, 0x80, 0x8F};
  return {-1, 0, 0};
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const std::size_t size = utf8.size();
  std::size_t i = 0;
  while (i < size) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    const LeadByte kind = classifyLead(lead);
    if (kind.trailing < 0) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    // Take continuation bytes while they fit; a sequence cut short is one
    // maximal ill-formed subpart and becomes one U+FFFD.
    char32_t codePoint = lead & (0x3F >> kind.trailing);
    std::size_t next = i + 1;
    int taken = 0;
    while (taken < kind.trailing && next < size) {
      const auto byte = static_cast<unsigned char>(utf8[next]);
      const unsigned char low = taken == 0 ? kind.secondLow : 0x80;
      const unsigned char high = taken == 0 ? kind.secondHigh : 0xBF;
      if (byte < low || byte > high) break;
      codePoint = (codePoint << 6) | (byte & 0x3F);
      ++next;
      ++taken;
    }
    if (taken == kind.trailing) {
      appendCodePoint(out, codePoint);
    } else {
      out.push_back(kReplacement);
    }
    i = next;
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      unit = kReplacement;
    }
    appendUtf8(out, unit);
  }
  return out;
}

std::u16string utf16leToText(std::span<const std::byte> bytes) {
  std::u16string out;
  out.resize(bytes.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto low = std::to_integer<unsigned>(bytes[2 * i]);
    const auto high = std::to_integer<unsigned>(bytes[2 * i + 1]);
    out[i] = static_cast<char16_t>(low | (high << 8));
  }
  return out;
}

std::u16string utf16leToText(std::string_view bytes) {
  return utf16leToText(std::as_bytes(std::span<const char>(bytes.data(), bytes.size())));
}

std::string textToUtf16le(std::u16string_view text) {
  std::string out;
  out.resize(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    out[2 * i] = static_cast<char>(text[i] & 0xFF);
    out[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return out;
}

std::u16string asciiToUtf16(std::string_view ascii) {
  std::u16string out;
  out.reserve(ascii.size());
  for (const char c : ascii) {
    const auto byte = static_cast<unsigned char>(c);
    out.push_back(byte < 0x80 ? static_cast<char16_t>(byte) : kReplacement);
  }
  return out;
}

}  // namespace tolvaran
