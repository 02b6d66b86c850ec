#pragma once
// The two checksum classes the program keeps one instance of each: CRC-32
// seals the report, MD5 fingerprints the pasted list. Texts are checksummed
// as the machine's ANSI bytes; files as their own bytes, read in chunks.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/system.h"
#include "support/crc32.h"
#include "support/failure.h"
#include "support/md5.h"

namespace tolvaran {

// The text as one byte per UTF-16 unit: the low 8 bits of each unit's code
// in the ANSI code page, which `toAnsi` converts to. In a double-byte code
// page a character's code is its lead and trail byte, so the trail byte.
std::string ansiBytePerUnit(std::u16string_view text,
                            const std::function<std::string(std::u16string_view)>& toAnsi);

class clsCRC32 {
 public:
  clsCRC32(platform::System& system, platform::Files& files) noexcept;

  // Logical right shift of a 32-bit value; 0 when count >= 32, the value
  // itself when count <= 0.
  [[nodiscard]] static std::uint32_t Shr(std::uint32_t value, std::int32_t count) noexcept;

  // CRC-32 of the text, one byte per UTF-16 unit: the low 8 bits of the
  // unit's code in the ANSI code page. Upper-case hex without leading zeros.
  [[nodiscard]] std::u16string CalcCRC(std::u16string_view text);

  // CRC-32 of the file's bytes; empty text when the file cannot be opened or
  // read to its end.
  [[nodiscard]] std::u16string CalcFileCRC(std::u16string_view path);

  [[nodiscard]] const Crc32::Table& table() const noexcept { return crc_.table(); }

 private:
  platform::System* system_;
  platform::Files* files_;
  Crc32 crc_;  // its table is built once, here
};

class clsMD5_hash {
 public:
  clsMD5_hash(platform::System& system, platform::Files& files, FailureRecorder& recorder) noexcept;

  // MD5 of the text's bytes in the ANSI code page: 32 upper-case hex digits.
  // A failure is recorded and the digest of what was converted is returned.
  [[nodiscard]] std::u16string DigestStrToHexStr(std::u16string_view text);

  // MD5 of the file's bytes. A failure to open or read is recorded and the
  // digest of the bytes read until then is returned.
  [[nodiscard]] std::u16string DigestFileToHexStr(std::u16string_view path);

 private:
  platform::System* system_;
  platform::Files* files_;
  FailureRecorder* recorder_;
};

}  // namespace tolvaran
