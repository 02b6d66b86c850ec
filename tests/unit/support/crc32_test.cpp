#include "support/crc32.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tolvaran {
namespace {

std::string patternBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
  return bytes;
}

TEST(Crc32, TableHoldsTheReflectedPolynomial) {
  const Crc32 crc;
  EXPECT_EQ(crc.table()[0], 0u);
  EXPECT_EQ(crc.table()[1], 0x77073096u);
  EXPECT_EQ(crc.table()[128], 0xEDB88320u);
  EXPECT_EQ(crc.table()[255], 0x2D02EF8Du);
}

TEST(Crc32, KnownValuesPrintWithoutLeadingZeros) {
  struct Case {
    std::string bytes;
    std::u16string hex;
  };
  const std::vector<Case> cases = {
      {"", u"0"},
      {"abc", u"352441C2"},
      {"123456789", u"CBF43926"},  // the CRC-32/ISO-HDLC check value
      {"The quick brown fox jumps over the lazy dog", u"414FA339"},
      {"ae", u"E7DDCE"},  // 0x00E7DDCE: two leading zero digits dropped
  };
  for (const Case& c : cases) {
    Crc32 crc;
    crc.update(c.bytes);
    EXPECT_EQ(crc32ToHex(crc.value()), c.hex) << c.bytes;
  }
}

TEST(Crc32, HexRendering) {
  EXPECT_EQ(crc32ToHex(0), u"0");
  EXPECT_EQ(crc32ToHex(0xF), u"F");
  EXPECT_EQ(crc32ToHex(0x10), u"10");
  EXPECT_EQ(crc32ToHex(0xFFFFFFFFu), u"FFFFFFFF");
}

TEST(Crc32, ChunkedEqualsOneShotAcrossBufferBoundaries) {
  const std::string data = patternBytes(64 * 1024 + 1);
  for (const std::size_t split : {std::size_t{0}, std::size_t{1}, std::size_t{65535},
                                  std::size_t{65536}, std::size_t{65537}}) {
    Crc32 crc;
    crc.update(std::string_view(data).substr(0, split));
    crc.update(std::string_view(data).substr(split));
    EXPECT_EQ(crc.value(), 0x97A65D31u) << "split at " << split;
  }
  Crc32 bytewise;
  for (const char c : data) bytewise.updateByte(static_cast<std::uint8_t>(c));
  EXPECT_EQ(bytewise.value(), 0x97A65D31u);
}

TEST(Crc32, ResetStartsAfresh) {
  Crc32 crc;
  crc.update("something else");
  crc.reset();
  crc.update("abc");
  EXPECT_EQ(crc.value(), 0x352441C2u);
}

}  // namespace
}  // namespace tolvaran
