#pragma once
// UTF-16 text helpers: encodings, the one case folding every comparison uses,
// letters, trimming as the program has always done it, and slices that never
// throw.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tolvaran {

// --- Encodings -------------------------------------------------------------
// Ill-formed input becomes U+FFFD; nothing throws (except std::bad_alloc).
// UTF-8 decoding replaces each maximal ill-formed subpart by one U+FFFD, the
// practice Unicode recommends (overlong forms, encoded surrogates and code
// points above U+10FFFF included). Wine's decoder sometimes emits fewer
// U+FFFD for the same bytes; only the count of replacements differs.
std::u16string utf8ToUtf16(std::string_view utf8);
// A lone surrogate becomes U+FFFD (EF BF BD).
std::string utf16ToUtf8(std::u16string_view text);

// UTF-16LE bytes as files hold them. A trailing odd byte is dropped; lone
// surrogates are kept as they are (Windows keeps them too); a byte-order mark
// is text like any other.
std::u16string utf16leToText(std::span<const std::byte> bytes);
std::u16string utf16leToText(std::string_view bytes);
std::string textToUtf16le(std::u16string_view text);

// Single-byte code pages by table: 866 (DOS Cyrillic), 1250, 1251, 1252.
[[nodiscard]] bool isSupportedCodePage(std::uint32_t codePage) noexcept;
// Every byte has a character, as in MultiByteToWideChar: a byte that the code
// page leaves undefined becomes the C1 control of the same value (1250: 0x81
// 0x83 0x88 0x90 0x98; 1251: 0x98; 1252: 0x81 0x8D 0x8F 0x90 0x9D), so bytes
// survive a round trip. An unsupported code page decodes ASCII bytes and
// turns every other byte into U+FFFD.
std::u16string codePageToUtf16(std::string_view bytes, std::uint32_t codePage);
// WideCharToMultiByte with WC_NO_BEST_FIT_CHARS: each UTF-16 unit the code
// page has no byte for becomes "?", so a character outside the BMP (a
// surrogate pair) becomes "??", as Windows writes it. An unsupported code page
// keeps ASCII and writes "?" for everything else.
std::string utf16ToCodePage(std::u16string_view text, std::uint32_t codePage);

// --- Case ------------------------------------------------------------------
// Unicode simple case folding (CaseFolding.txt statuses C and S), by code
// point; surrogate pairs are folded as one code point. Turkic dotted and
// dotless i (status T) and multi-character folds (status F) are not applied:
// "ß" and "ss" differ, "İ" folds to itself. No fold leaves its plane, so folded
// text keeps its length in UTF-16 units and every comparison below is the
// comparison of the folded texts unit by unit.
char32_t foldCase(char32_t codePoint) noexcept;
// Lone surrogates are kept unchanged.
std::u16string foldCase(std::u16string_view text);

bool equalsNoCase(std::u16string_view a, std::u16string_view b) noexcept;
bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) noexcept;
bool endsWithNoCase(std::u16string_view text, std::u16string_view suffix) noexcept;
// Position of the first occurrence at or after `from`, or npos. An empty
// needle is found at `from` when `from` <= text.size(). Linear time and no
// allocation whatever the input (two-way string matching).
std::size_t findNoCase(std::u16string_view text, std::u16string_view needle,
                       std::size_t from = 0) noexcept;

// --- Letters ---------------------------------------------------------------
// Whether a code point is a letter of any script: Unicode general category L
// (Lu, Ll, Lt, Lm, Lo), in every plane. Digits, marks, punctuation, symbols,
// surrogates and unassigned code points are not.
[[nodiscard]] bool isUnicodeLetter(char32_t codePoint) noexcept;

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

// Every non-overlapping occurrence, left to right, exact comparison. An empty
// `from` leaves the text unchanged.
std::u16string replaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);
// The same with the case-insensitive comparison of findNoCase ("http" in any
// letter case becoming "hxxp").
std::u16string replaceAllNoCase(std::u16string_view text, std::u16string_view from,
                                std::u16string_view to);

// Decimal text of a number, as the program prints counters and codes:
// a minus sign for negatives, no grouping, no plus sign.
std::u16string toDecimal(std::int64_t value);
// ASCII literal to UTF-16 (diagnostics and fixed texts). A byte above 0x7F
// is not ASCII and becomes U+FFFD.
std::u16string asciiToUtf16(std::string_view ascii);

}  // namespace tolvaran
