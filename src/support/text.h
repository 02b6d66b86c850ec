#pragma once
// UTF-16 text helpers: encodings, the one case folding every comparison uses,
// trimming as the program has always done it, and slices that never throw.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tolvaran {

// --- Encodings -------------------------------------------------------------
// Ill-formed input becomes U+FFFD; nothing throws.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view text);

// UTF-16LE bytes as files hold them. A trailing odd byte is dropped; lone
// surrogates are kept as they are (Windows keeps them too).
std::u16string utf16leToText(std::span<const std::byte> bytes);
std::u16string utf16leToText(std::string_view bytes);
std::string textToUtf16le(std::u16string_view text);

// Single-byte code pages by table: 866 (DOS Cyrillic), 1250, 1251, 1252.
[[nodiscard]] bool isSupportedCodePage(std::uint32_t codePage) noexcept;
// Bytes the code page leaves undefined become U+FFFD... except where Windows
// maps them to the C1 control of the same value (1252: 0x81 0x8D 0x8F 0x90 0x9D).
std::u16string codePageToUtf16(std::string_view bytes, std::uint32_t codePage);
// A character the code page cannot represent becomes "?" (no best fit).
std::string utf16ToCodePage(std::u16string_view text, std::uint32_t codePage);

// --- Case ------------------------------------------------------------------
// Unicode simple case folding (CaseFolding.txt statuses C and S), by code
// point; surrogate pairs are folded as one code point.
char32_t foldCase(char32_t codePoint) noexcept;
std::u16string foldCase(std::u16string_view text);

bool equalsNoCase(std::u16string_view a, std::u16string_view b) noexcept;
bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) noexcept;
bool endsWithNoCase(std::u16string_view text, std::u16string_view suffix) noexcept;
// Position of the first occurrence at or after `from`, or npos.
std::size_t findNoCase(std::u16string_view text, std::u16string_view needle,
                       std::size_t from = 0) noexcept;

// --- Trimming and slices ---------------------------------------------------
// Spaces (U+0020) only: tabs and other blanks stay.
std::u16string_view trimSpaces(std::u16string_view text) noexcept;
std::u16string_view trimLeftSpaces(std::u16string_view text) noexcept;
std::u16string_view trimRightSpaces(std::u16string_view text) noexcept;

// Out-of-range positions give empty (or shorter) text, never an exception.
std::u16string_view sliceFrom(std::u16string_view text, std::size_t position) noexcept;
std::u16string_view slice(std::u16string_view text, std::size_t position,
                          std::size_t length) noexcept;
std::u16string_view left(std::u16string_view text, std::size_t length) noexcept;
std::u16string_view right(std::u16string_view text, std::size_t length) noexcept;

std::u16string replaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

// Decimal text of a number, as the program prints counters and codes.
std::u16string toDecimal(std::int64_t value);
// ASCII literal to UTF-16 (diagnostics and fixed texts).
std::u16string asciiToUtf16(std::string_view ascii);

}  // namespace tolvaran
