#include "system/checksums.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "common/recording_recorder.h"
#include "platform/sim/sim_machine.h"

namespace tolvaran {
namespace {

using platform::sim::FileOp;

std::string patternBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + 7) & 0xFF);
  return bytes;
}

constexpr std::u16string_view kEmptyMd5 = u"D41D8CD98F00B204E9800998ECF8427E";

// A double-byte code page in miniature: U+3042 is 82 A0, a surrogate pair
// or a lone surrogate is one "?", Latin-1 is itself, the rest "?".
std::string toDoubleByte(std::u16string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\u3042') {
      bytes += "\x82\xA0";
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      bytes.push_back('?');
      ++i;
    } else {
      bytes.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    }
  }
  return bytes;
}

TEST(AnsiBytePerUnit, TakesTheTrailByteOfDoubleByteCharacters) {
  struct Case {
    std::u16string text;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {u"", ""},
      {u"abc", "abc"},
      {u"a\u3042b",
       "a\xA0"
       "b"},
      // Three units, three bytes, yet not one byte per unit: the pair became
      // one "?" and the double-byte character two bytes.
      {u"\u3042\U0001F600", "\xA0??"},
  };
  for (const Case& c : cases) EXPECT_EQ(ansiBytePerUnit(c.text, toDoubleByte), c.bytes);
}

class ChecksumsTest : public ::testing::Test {
 protected:
  platform::sim::SimMachine machine;
  RecordingRecorder recorder;
  clsCRC32 crc{machine.system(), machine.files()};
  clsMD5_hash md5{machine.system(), machine.files(), recorder};
};

TEST_F(ChecksumsTest, ShrIsALogicalShift) {
  EXPECT_EQ(clsCRC32::Shr(0x80000000u, 1), 0x40000000u);
  EXPECT_EQ(clsCRC32::Shr(0xFFFFFFFFu, 31), 1u);
  EXPECT_EQ(clsCRC32::Shr(0xFFFFFFFFu, 32), 0u);
  EXPECT_EQ(clsCRC32::Shr(0xFFFFFFFFu, 1000), 0u);
  EXPECT_EQ(clsCRC32::Shr(0x12345678u, 0), 0x12345678u);
  EXPECT_EQ(crc.table()[1], 0x77073096u);
  EXPECT_EQ(crc.table()[128], 0xEDB88320u);
}

TEST_F(ChecksumsTest, TextGoesThroughTheAnsiCodePage) {
  struct Case {
    std::uint32_t codePage;
    std::u16string text;
    std::u16string crc;
    std::u16string md5;
  };
  const std::vector<Case> cases = {
      {1252, u"", u"0", std::u16string(kEmptyMd5)},
      {1252, u"abc", u"352441C2", u"900150983CD24FB0D6963F7D28E17F72"},
      {1252, u"\u00E9\u0416", u"78037767", u"88DAE2D01E43506C30C1B3EE6076009E"},  // "é?"
      {1251, u"Ярлык", u"59C10563", u"54928126B0E8B3F4AE26579F5932D682"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(machine.system().setAnsiCodePage(c.codePage));
    EXPECT_EQ(crc.CalcCRC(c.text), c.crc);
    EXPECT_EQ(md5.DigestStrToHexStr(c.text), c.md5);
  }
  EXPECT_TRUE(recorder.empty());
}

TEST_F(ChecksumsTest, FileDigestsEqualStandardTools) {
  auto& files = machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\Data\\big.bin", patternBytes(64 * 1024 + 1)));
  ASSERT_TRUE(files.addFile(u"C:\\Data\\empty.bin", ""));
  EXPECT_EQ(crc.CalcFileCRC(u"C:\\Data\\big.bin"), u"97A65D31");
  EXPECT_EQ(md5.DigestFileToHexStr(u"c:\\data\\BIG.bin"), u"4A350BEC80793CCDB466FB6D631FF062");
  EXPECT_EQ(crc.CalcFileCRC(u"C:\\Data\\empty.bin"), u"0");
  EXPECT_EQ(md5.DigestFileToHexStr(u"C:\\Data\\empty.bin"), kEmptyMd5);
  EXPECT_EQ(files.openHandleCount(), 0u);
  EXPECT_TRUE(recorder.empty());

  // Read in pieces, never the whole file at once.
  files.clearJournal();
  (void)crc.CalcFileCRC(u"C:\\Data\\big.bin");
  std::size_t reads = 0;
  for (const auto& entry : files.journal()) reads += entry.op == FileOp::kReadFile ? 1 : 0;
  EXPECT_GE(reads, 3u);
}

TEST_F(ChecksumsTest, FileHeldOpenByAnotherProgramIsStillRead) {
  auto& files = machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\list.txt", "abc"));
  const auto other =
      files.createFile(u"C:\\list.txt", platform::access::kGenericWrite | platform::access::kDelete,
                       platform::share::kRead | platform::share::kWrite | platform::share::kDelete,
                       platform::Disposition::kOpenExisting);
  ASSERT_TRUE(other.ok());
  EXPECT_EQ(crc.CalcFileCRC(u"C:\\list.txt"), u"352441C2");
  EXPECT_EQ(md5.DigestFileToHexStr(u"C:\\list.txt"), u"900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(files.openHandleCount(), 1u);
  (void)files.closeHandle(other.value);
}

TEST_F(ChecksumsTest, MissingFile) {
  EXPECT_EQ(crc.CalcFileCRC(u"C:\\missing.bin"), u"");
  EXPECT_EQ(md5.DigestFileToHexStr(u"C:\\missing.bin"), kEmptyMd5);
  ASSERT_EQ(recorder.size(), 1u);
  const auto& record = recorder.records()[0];
  EXPECT_EQ(record.failure.number, rt::kFileNotFound);
  EXPECT_EQ(record.failure.description, u"File not found");
  EXPECT_EQ(record.failure.lastSystemError, 2);
  EXPECT_EQ(record.context, (std::vector<std::u16string>{u"clsMD5_hash.DigestFileToHexStr",
                                                         u"File=", u"C:\\missing.bin"}));
}

TEST_F(ChecksumsTest, ReadFailingPartWay) {
  auto& files = machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\list.txt", std::string(100, 'x')));
  // The first read gets the 100 bytes; the one that should report the end fails.
  files.faults().failNth(FileOp::kReadFile, 2, platform::kErrorLockViolation);
  EXPECT_EQ(crc.CalcFileCRC(u"C:\\list.txt"), u"");
  EXPECT_EQ(files.openHandleCount(), 0u);

  files.faults().clear();
  files.faults().failNth(FileOp::kReadFile, 2, platform::kErrorLockViolation);
  EXPECT_EQ(md5.DigestFileToHexStr(u"C:\\list.txt"), u"AED563ECAFB4BCC5654C597A421547B2");
  EXPECT_EQ(files.openHandleCount(), 0u);
  ASSERT_EQ(recorder.size(), 1u);
  EXPECT_EQ(recorder.records()[0].failure.number, rt::kPermissionDenied);
  EXPECT_EQ(recorder.records()[0].failure.lastSystemError, 33);
}

}  // namespace
}  // namespace tolvaran
