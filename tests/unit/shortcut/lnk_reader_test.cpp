// Damaged and unusual shortcut bytes: the reader refuses what cannot be
// placed, says where, and accepts the oddities Windows accepts.
#include "shortcut/lnk_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "shortcut/lnk_bytes.h"
#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_writer.h"
#include "support/text.h"

namespace tolvaran::lnk {
namespace {

const AnsiCodec& codec() {
  static const AnsiCodec western = codePageCodec(1252);
  return western;
}

// Header, an ID list with one 12-byte item, a local LinkInfo, one string and
// one block; the offsets of its parts as Windows lays them out.
struct Sample {
  std::string bytes;
  static constexpr std::size_t kIdList = 76;
  static constexpr std::size_t kFirstItem = 78;
  static constexpr std::size_t kLinkInfo = 78 + 14;
  static constexpr std::size_t kLinkInfoSize = 0x37;
  static constexpr std::size_t kString = kLinkInfo + kLinkInfoSize;
  static constexpr std::size_t kBlock = kString + 4;
  static constexpr std::size_t kTerminal = kBlock + 16;
};

Sample sample() {
  LnkFile file;
  setTargetPath(file, u"C:\\a.exe", codec());
  file.idList = idListFromItems({std::string(10, 'i')});
  setArguments(file, u"x", codec());
  file.extraData.push_back(makeSpecialFolder({0x26, 2}));
  Sample s{writeLnk(file, codec()).bytes};
  EXPECT_EQ(s.bytes.size(), Sample::kTerminal + 4);
  EXPECT_EQ(u32At(s.bytes, Sample::kLinkInfo), Sample::kLinkInfoSize);
  return s;
}

void put32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  patchU32(bytes, offset, value);
}
void put16(std::string& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

struct DamageCase {
  const char* name;
  std::function<void(std::string&)> damage;
  ReadError error;
  std::size_t offset;
};

TEST(LnkReader, RefusesWhatCannotBePlacedAndSaysWhere) {
  using S = Sample;
  const std::vector<DamageCase> cases = {
      {"not a shortcut", [](std::string& b) { put32(b, 0, 0x4D); }, ReadError::kBadHeaderSize, 0},
      {"short header", [](std::string& b) { b.resize(75); }, ReadError::kTruncatedHeader, 0},
      {"ID list past the end", [](std::string& b) { put16(b, S::kIdList, 0xFFF0); },
       ReadError::kTruncatedIdList, S::kIdList},
      {"item of one byte", [](std::string& b) { put16(b, S::kFirstItem, 1); },
       ReadError::kBadIdList, S::kFirstItem},
      {"item past its list", [](std::string& b) { put16(b, S::kFirstItem, 15); },
       ReadError::kBadIdList, S::kFirstItem},
      {"LinkInfo smaller than its header", [](std::string& b) { put32(b, S::kLinkInfo, 0x10); },
       ReadError::kBadLinkInfo, S::kLinkInfo},
      {"LinkInfo past the end", [](std::string& b) { put32(b, S::kLinkInfo, 0x1000); },
       ReadError::kTruncatedLinkInfo, S::kLinkInfo},
      {"LinkInfo header too small", [](std::string& b) { put32(b, S::kLinkInfo + 4, 0x10); },
       ReadError::kBadLinkInfo, S::kLinkInfo + 4},
      {"local path outside the LinkInfo",
       [](std::string& b) { put32(b, S::kLinkInfo + 16, S::kLinkInfoSize); },
       ReadError::kBadLinkInfo, S::kLinkInfo + 16},
      {"volume larger than the LinkInfo",
       [](std::string& b) { put32(b, S::kLinkInfo + 0x1C, 0x100); }, ReadError::kBadLinkInfo,
       S::kLinkInfo + 12},
      {"string past the end", [](std::string& b) { put16(b, S::kString, 500); },
       ReadError::kTruncatedString, S::kString},
      {"block too small for its signature", [](std::string& b) { put32(b, S::kBlock, 6); },
       ReadError::kBadExtraBlock, S::kBlock},
      {"block past the end", [](std::string& b) { put32(b, S::kBlock, 21); },
       ReadError::kTruncatedExtraBlock, S::kBlock},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = sample().bytes;
    c.damage(bytes);
    const ReadResult read = readLnk(bytes, codec());
    EXPECT_EQ(read.error, c.error) << utf16ToUtf8(describe(read.error));
    EXPECT_EQ(read.errorOffset, c.offset);
  }
}

struct OddityCase {
  const char* name;
  std::function<void(std::string&)> change;
  std::function<void(const LnkFile&)> check;
};

TEST(LnkReader, AcceptsWhatWindowsAccepts) {
  using S = Sample;
  const std::vector<OddityCase> cases = {
      {"no terminal block", [](std::string& b) { b.resize(S::kTerminal); },
       [](const LnkFile& f) {
         EXPECT_FALSE(f.terminalBlock);
         EXPECT_EQ(f.extraData.size(), 1u);
       }},
      {"stray bytes where the terminal block belongs",
       [](std::string& b) { b.replace(S::kTerminal, 4, "ab"); },
       [](const LnkFile& f) {
         EXPECT_FALSE(f.terminalBlock);
         EXPECT_EQ(f.trailing, "ab");
       }},
      {"data after the terminal block", [](std::string& b) { b += "PK\x03\x04payload"; },
       [](const LnkFile& f) {
         EXPECT_EQ(f.terminalBlock, 0u);
         EXPECT_EQ(f.trailing, "PK\x03\x04payload");
       }},
      {"odd LinkInfo header size",
       [](std::string& b) { put32(b, S::kLinkInfo + 4, 0x20); },  // no UTF-16 offsets below 0x24
       [](const LnkFile& f) {
         EXPECT_EQ(localPath(*f.linkInfo, codec()), u"C:\\a.exe");
         EXPECT_FALSE(f.linkInfo->commonPathSuffixUnicode);
       }},
      {"LinkInfo string without terminator",
       [](std::string& b) { b[S::kLinkInfo + S::kLinkInfoSize - 1] = 'z'; },
       [](const LnkFile& f) { EXPECT_EQ(f.linkInfo->commonPathSuffix, "z"); }},
      {"known signature with an unknown size",
       [](std::string& b) { put32(b, S::kBlock + 4, sig::kEnvironmentVariables); },
       [](const LnkFile& f) {
         ASSERT_EQ(f.extraData.size(), 1u);
         EXPECT_FALSE(readExpandableString(f.extraData[0]));
       }},
      {"ID list without terminator",
       [](std::string& b) {
         put16(b, S::kIdList, 12);
         b.erase(S::kFirstItem + 12, 2);
       },
       [](const LnkFile& f) { EXPECT_EQ(itemIds(*f.idList).size(), 1u); }},
  };
  for (const OddityCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = sample().bytes;
    c.change(bytes);
    const ReadResult read = readLnk(bytes, codec());
    ASSERT_TRUE(read.ok()) << utf16ToUtf8(describe(read.error)) << " at " << read.errorOffset;
    c.check(read.file);
    EXPECT_TRUE(writeLnk(read.file, codec()).bytes == bytes);
  }
}

// Cut anywhere, a file either reads (and then writes back exactly as cut) or
// fails at an offset inside what is left.
TEST(LnkReader, EveryPrefixReadsBackExactlyOrFailsInside) {
  const std::string whole = sample().bytes;
  for (std::size_t length = 0; length <= whole.size(); ++length) {
    SCOPED_TRACE(length);
    const std::string prefix = whole.substr(0, length);
    const ReadResult read = readLnk(prefix, codec());
    if (read.ok()) {
      EXPECT_TRUE(writeLnk(read.file, codec()).bytes == prefix);
    } else {
      EXPECT_LE(read.errorOffset, length);
    }
  }
}

}  // namespace
}  // namespace tolvaran::lnk
