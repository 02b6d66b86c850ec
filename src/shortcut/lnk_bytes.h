#pragma once
// Little-endian fields read from and appended to byte strings. Reads never
// leave the bytes they are given: an out-of-range field is reported, not read.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tolvaran::lnk {

// A structure decoded from bytes, or the offset (from the start of those
// bytes) of the field that made it undecodable.
template <class T>
struct Decoded {
  std::optional<T> value;
  std::size_t errorOffset = 0;
};

// The bytes [offset, offset + length) of `bytes`, or nothing when any of
// them lies outside.
inline std::optional<std::string_view> bytesAt(std::string_view bytes, std::size_t offset,
                                               std::size_t length) noexcept {
  if (offset > bytes.size() || length > bytes.size() - offset) return std::nullopt;
  return bytes.substr(offset, length);
}

template <class T>
std::optional<T> readLe(std::string_view bytes, std::size_t offset) noexcept {
  const auto field = bytesAt(bytes, offset, sizeof(T));
  if (!field) return std::nullopt;
  T value = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) {
    value = static_cast<T>((value << 8) | static_cast<std::uint8_t>((*field)[i]));
  }
  return value;
}

inline std::optional<std::uint16_t> readU16(std::string_view bytes, std::size_t offset) noexcept {
  return readLe<std::uint16_t>(bytes, offset);
}
inline std::optional<std::uint32_t> readU32(std::string_view bytes, std::size_t offset) noexcept {
  return readLe<std::uint32_t>(bytes, offset);
}
inline std::optional<std::uint64_t> readU64(std::string_view bytes, std::size_t offset) noexcept {
  return readLe<std::uint64_t>(bytes, offset);
}

// Callers check the size first; these read fields known to be inside.
inline std::uint16_t u16At(std::string_view bytes, std::size_t offset) noexcept {
  return readU16(bytes, offset).value_or(0);
}
inline std::uint32_t u32At(std::string_view bytes, std::size_t offset) noexcept {
  return readU32(bytes, offset).value_or(0);
}
inline std::uint64_t u64At(std::string_view bytes, std::size_t offset) noexcept {
  return readU64(bytes, offset).value_or(0);
}

template <class T>
void appendLe(std::string& out, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    out.push_back(static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * i) & 0xFF));
  }
}
inline void appendU16(std::string& out, std::uint16_t value) {
  appendLe(out, value);
}
inline void appendU32(std::string& out, std::uint32_t value) {
  appendLe(out, value);
}
inline void appendU64(std::string& out, std::uint64_t value) {
  appendLe(out, value);
}

// Overwrites a 32-bit field appended earlier (a size known only at the end).
inline void patchU32(std::string& out, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4 && offset + i < out.size(); ++i) {
    out[offset + i] = static_cast<char>(value >> (8 * i) & 0xFF);
  }
}

inline void padTo(std::string& out, std::size_t alignment) {
  while (out.size() % alignment != 0) out.push_back('\0');
}

// A NUL-terminated narrow string starting at `offset` and ending, at the
// latest, where `bytes` ends; nothing when `offset` is outside.
inline std::optional<std::string_view> narrowStringAt(std::string_view bytes,
                                                      std::size_t offset) noexcept {
  if (offset >= bytes.size()) return std::nullopt;
  const std::string_view rest = bytes.substr(offset);
  return rest.substr(0, rest.find('\0'));
}

// UTF-16LE bytes to text, stopping at the first NUL unit or where `bytes`
// ends (a lone last byte is dropped).
inline std::u16string utf16UntilNul(std::string_view bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                            static_cast<std::uint8_t>(bytes[i + 1]) << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

inline void appendUtf16(std::string& out, std::u16string_view text) {
  for (const char16_t unit : text) appendU16(out, static_cast<std::uint16_t>(unit));
}

// The text up to its first NUL.
inline std::string_view cutAtNul(std::string_view text) noexcept {
  return text.substr(0, text.find('\0'));
}
inline std::u16string_view cutAtNul(std::u16string_view text) noexcept {
  return text.substr(0, text.find(u'\0'));
}

}  // namespace tolvaran::lnk
