#pragma once
// The cipher of the built-in browser database and the escapes its names and
// titles use. Pure functions; the database (browser_database.h) guards them.
//
// The keystream is 256 bytes drawn from a SplitMix64 generator: each value
// is the generator's next 53 high bits read as a fraction in [0, 1),
// multiplied by 255 and rounded to the nearest integer, halves to the even
// neighbour. tools/encipher_browser_db.py computes the same table; the two
// must change together.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tolvaran {

inline constexpr std::uint64_t kBrowserDatabaseSeed = 0x546F6C766172616EULL;

using BrowserKeystream = std::array<std::uint8_t, 256>;

BrowserKeystream makeBrowserKeystream(std::uint64_t seed) noexcept;

// The `length` bytes of `data` from `offset`, each combined with
// keystream[(offset + 1 + k) mod 256]. The caller has checked the range.
std::string decipherBytes(const BrowserKeystream& keystream, std::span<const std::byte> data,
                          std::size_t offset, std::size_t length);

// A backslash followed by four hexadecimal digits (either case) becomes the
// UTF-16 unit with that code; everything else is copied.
std::u16string escapeCodeToString(std::u16string_view text);

}  // namespace tolvaran
