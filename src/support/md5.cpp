#include "support/md5.h"

#include <algorithm>
#include <cstring>

namespace tolvaran {

namespace {

// Per-round shift amounts and the sine-derived constants of RFC 1321, 3.4.
constexpr std::array<std::uint32_t, 64> kShift = {
    7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
    14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
    4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};

constexpr std::array<std::uint32_t, 64> kSine = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr std::uint32_t rotateLeft(std::uint32_t x, std::uint32_t n) noexcept {
  return (x << n) | (x >> (32 - n));
}

}  // namespace

void Md5::reset() noexcept {
  state_ = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
  length_ = 0;
  buffer_.fill(0);
}

void Md5::transform(const std::uint8_t* block) noexcept {
  std::uint32_t m[16];
  for (int i = 0; i < 16; ++i) {
    m[i] = static_cast<std::uint32_t>(block[i * 4]) |
           (static_cast<std::uint32_t>(block[i * 4 + 1]) << 8) |
           (static_cast<std::uint32_t>(block[i * 4 + 2]) << 16) |
           (static_cast<std::uint32_t>(block[i * 4 + 3]) << 24);
  }
  std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  for (std::uint32_t i = 0; i < 64; ++i) {
    std::uint32_t f = 0;
    std::uint32_t g = 0;
    if (i < 16) {
      f = (b & c) | (~b & d);
      g = i;
    } else if (i < 32) {
      f = (d & b) | (~d & c);
      g = (5 * i + 1) % 16;
    } else if (i < 48) {
      f = b ^ c ^ d;
      g = (3 * i + 5) % 16;
    } else {
      f = c ^ (b | ~d);
      g = (7 * i) % 16;
    }
    const std::uint32_t next = d;
    d = c;
    c = b;
    b = b + rotateLeft(a + f + kSine[i] + m[g], kShift[i]);
    a = next;
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
}

void Md5::update(std::span<const std::byte> bytes) noexcept {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t size = bytes.size();
  if (size == 0) return;
  std::size_t used = static_cast<std::size_t>(length_ % 64);
  length_ += size;

  if (used != 0) {
    const std::size_t take = std::min<std::size_t>(64 - used, size);
    std::memcpy(buffer_.data() + used, data, take);
    used += take;
    data += take;
    size -= take;
    if (used < 64) return;
    transform(buffer_.data());
  }
  for (; size >= 64; data += 64, size -= 64) transform(data);
  if (size != 0) std::memcpy(buffer_.data(), data, size);
}

void Md5::update(std::string_view bytes) noexcept {
  update(std::as_bytes(std::span<const char>(bytes.data(), bytes.size())));
}

Md5::Digest Md5::finish() noexcept {
  const std::uint64_t bitLength = length_ * 8;
  std::array<std::byte, 72> padding{};
  padding[0] = std::byte{0x80};
  const std::size_t used = static_cast<std::size_t>(length_ % 64);
  const std::size_t padLength = used < 56 ? 56 - used : 120 - used;
  update(std::span<const std::byte>(padding.data(), padLength));
  std::array<std::byte, 8> lengthBytes{};
  for (int i = 0; i < 8; ++i) lengthBytes[i] = static_cast<std::byte>(bitLength >> (8 * i));
  update(lengthBytes);

  Digest digest{};
  for (int i = 0; i < 4; ++i) {
    for (int k = 0; k < 4; ++k) {
      digest[i * 4 + k] = static_cast<std::uint8_t>(state_[i] >> (8 * k));
    }
  }
  reset();
  return digest;
}

std::u16string md5ToHex(const Md5::Digest& digest) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string hex;
  hex.reserve(32);
  for (const std::uint8_t byte : digest) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0xF]);
  }
  return hex;
}

}  // namespace tolvaran
