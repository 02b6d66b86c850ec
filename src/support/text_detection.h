#pragma once
// Which encoding a text file's bytes are in, decided from the bytes alone:
// scripts and lists come from adware and from users' editors, in whatever
// encoding those wrote them. fileops/text_decoding.h turns the bytes into
// text (the ANSI code page needs the system port, which support/ never sees).
#include <cstddef>
#include <string>
#include <string_view>

namespace tolvaran {

enum class TextEncoding {
  kAnsi,         // the system's ANSI code page
  kDosCyrillic,  // code page 866
  kUtf8,
  kUtf16Le,
  kUtf16Be,
};

struct DetectedEncoding {
  TextEncoding encoding = TextEncoding::kAnsi;
  std::size_t markLength = 0;  // leading byte-order-mark bytes, not part of the text
  friend bool operator==(const DetectedEncoding&, const DetectedEncoding&) = default;
};

// In order: a byte-order mark (FF FE, FE FF, EF BB BF); well-formed UTF-8
// that is not plain ASCII; DOS Cyrillic (isOemBytes); the ANSI code page.
[[nodiscard]] DetectedEncoding detectTextEncoding(std::string_view bytes) noexcept;

// Well-formed in the sense of Unicode table 3-7: no overlong forms, encoded
// surrogates, values above U+10FFFF or sequences cut short.
[[nodiscard]] bool isWellFormedUtf8(std::string_view bytes) noexcept;

// UTF-16BE bytes; a trailing odd byte is dropped and lone surrogates are
// kept, as utf16leToText does for the other byte order.
std::u16string utf16beToText(std::string_view bytes);

}  // namespace tolvaran
