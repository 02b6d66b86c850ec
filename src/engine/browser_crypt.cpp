#include "engine/browser_crypt.h"

#include <cmath>

namespace tolvaran {

namespace {

class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) noexcept : state_(seed) {}
  std::uint64_t next() noexcept {
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A fraction in [0, 1) with 53 significant bits: exact in a double.
  double nextFraction() noexcept { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

 private:
  std::uint64_t state_;
};

// Rounds to the nearest integer, a half to the even neighbour, without
// depending on the floating-point environment's rounding mode.
std::uint8_t roundHalfEven(double value) noexcept {
  const double whole = std::floor(value);
  const double fraction = value - whole;
  double result = whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) result += 1.0;
  return static_cast<std::uint8_t>(result);
}

int hexDigit(char16_t c) noexcept {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

BrowserKeystream makeBrowserKeystream(std::uint64_t seed) noexcept {
  SplitMix64 generator(seed);
  BrowserKeystream table{};
  for (std::uint8_t& entry : table) entry = roundHalfEven(generator.nextFraction() * 255.0);
  return table;
}

std::string decipherBytes(const BrowserKeystream& keystream, std::span<const std::byte> data,
                          std::size_t offset, std::size_t length) {
  std::string out(length, '\0');
  for (std::size_t k = 0; k < length; ++k) {
    const auto key = keystream[(offset + 1 + k) % keystream.size()];
    out[k] = static_cast<char>(std::to_integer<std::uint8_t>(data[offset + k]) ^ key);
  }
  return out;
}

std::u16string escapeCodeToString(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == u'\\' && text.size() - i >= 5) {
      int code = 0;
      bool valid = true;
      for (std::size_t d = 1; d <= 4 && valid; ++d) {
        const int digit = hexDigit(text[i + d]);
        valid = digit >= 0;
        code = code * 16 + digit;
      }
      if (valid) {
        out.push_back(static_cast<char16_t>(code));
        i += 5;
        continue;
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return out;
}

}  // namespace tolvaran
