#pragma once
// MD5 message digest (RFC 1321), fed in chunks so a file of any size never
// has to sit in memory whole.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tolvaran {

class Md5 {
 public:
  using Digest = std::array<std::uint8_t, 16>;

  Md5() noexcept { reset(); }

  void reset() noexcept;
  void update(std::span<const std::byte> bytes) noexcept;
  void update(std::string_view bytes) noexcept;
  // The digest of everything fed so far. The object then starts afresh.
  [[nodiscard]] Digest finish() noexcept;

 private:
  void transform(const std::uint8_t* block) noexcept;

  std::array<std::uint32_t, 4> state_{};
  std::uint64_t length_ = 0;  // bytes fed so far; the bit count wraps as RFC 1321 allows
  std::array<std::uint8_t, 64> buffer_{};
};

// Two upper-case hexadecimal digits per byte, 32 in all.
std::u16string md5ToHex(const Md5::Digest& digest);

}  // namespace tolvaran
