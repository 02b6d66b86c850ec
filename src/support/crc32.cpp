#include "support/crc32.h"

namespace tolvaran {

namespace {
constexpr std::uint32_t kPolynomial = 0xEDB88320u;
}  // namespace

Crc32::Crc32() noexcept {
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) {
      c = (c & 1u) ? (kPolynomial ^ (c >> 1)) : (c >> 1);
    }
    table_[n] = c;
  }
}

void Crc32::updateByte(std::uint8_t byte) noexcept {
  register_ = table_[(register_ ^ byte) & 0xFFu] ^ (register_ >> 8);
}

void Crc32::update(std::span<const std::byte> bytes) noexcept {
  std::uint32_t r = register_;
  for (const std::byte b : bytes) {
    r = table_[(r ^ static_cast<std::uint8_t>(b)) & 0xFFu] ^ (r >> 8);
  }
  register_ = r;
}

void Crc32::update(std::string_view bytes) noexcept {
  update(std::as_bytes(std::span<const char>(bytes.data(), bytes.size())));
}

std::u16string crc32ToHex(std::uint32_t crc) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string reversed;
  do {
    reversed.push_back(kDigits[crc & 0xFu]);
    crc >>= 4;
  } while (crc != 0);
  return std::u16string(reversed.rbegin(), reversed.rend());
}

}  // namespace tolvaran
