#pragma once
// CRC-32 as zip and Ethernet compute it (reflected polynomial 0xEDB88320,
// register preset to all ones, complemented at the end), fed in chunks so a
// file of any size never has to sit in memory whole.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tolvaran {

class Crc32 {
 public:
  using Table = std::array<std::uint32_t, 256>;

  Crc32() noexcept;

  void update(std::span<const std::byte> bytes) noexcept;
  void update(std::string_view bytes) noexcept;
  void updateByte(std::uint8_t byte) noexcept;
  // The checksum of everything fed so far; feeding may go on afterwards.
  [[nodiscard]] std::uint32_t value() const noexcept { return ~register_; }
  void reset() noexcept { register_ = 0xFFFFFFFFu; }

  [[nodiscard]] const Table& table() const noexcept { return table_; }

 private:
  Table table_{};
  std::uint32_t register_ = 0xFFFFFFFFu;
};

// Upper-case hexadecimal without leading zeros: 0x0352441C gives "352441C",
// 0 gives "0".
std::u16string crc32ToHex(std::uint32_t crc);

}  // namespace tolvaran
