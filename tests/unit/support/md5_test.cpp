#include "support/md5.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tolvaran {
namespace {

std::u16string md5Of(std::string_view bytes) {
  Md5 md5;
  md5.update(bytes);
  return md5ToHex(md5.finish());
}

TEST(Md5, Rfc1321TestSuite) {
  EXPECT_EQ(md5Of(""), u"D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(md5Of("a"), u"0CC175B9C0F1B6A831C399E269772661");
  EXPECT_EQ(md5Of("abc"), u"900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(md5Of("message digest"), u"F96B697D7CB7938D525A2F31AAF161D0");
  EXPECT_EQ(md5Of("abcdefghijklmnopqrstuvwxyz"), u"C3FCD3D76192E4007DFB496CCA67E13B");
  EXPECT_EQ(md5Of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            u"D174AB98D277D9F5A5611C2C9F419D9F");
  EXPECT_EQ(md5Of("1234567890123456789012345678901234567890"
                  "1234567890123456789012345678901234567890"),
            u"57EDF4A22BE3C955AC49DA2E2107B67A");
}

TEST(Md5, PaddingEdgesAroundOneBlock) {
  // 55 bytes still fit the length in the first block; 56 need a second one.
  EXPECT_EQ(md5Of(std::string(55, 'a')), u"EF1772B6DFF9A122358552954AD0DF65");
  EXPECT_EQ(md5Of(std::string(56, 'a')), u"3B0C8AC703F828B04C6C197006D17218");
  EXPECT_EQ(md5Of(std::string(63, 'a')), u"B06521F39153D618550606BE297466D5");
  EXPECT_EQ(md5Of(std::string(64, 'a')), u"014842D480B571495A4A0363793F7367");
  EXPECT_EQ(md5Of(std::string(65, 'a')), u"C743A45E0D2E6A95CB859ADAE0248435");
}

TEST(Md5, ChunkedEqualsOneShot) {
  std::string data(64 * 1024 + 1, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 31 + 7) & 0xFF);
  const std::u16string expected = u"4A350BEC80793CCDB466FB6D631FF062";
  EXPECT_EQ(md5Of(data), expected);

  for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{63}, std::size_t{64},
                                  std::size_t{65}, std::size_t{65535}, std::size_t{65536}}) {
    Md5 md5;
    for (std::size_t at = 0; at < data.size(); at += chunk) {
      md5.update(std::string_view(data).substr(at, chunk));
    }
    EXPECT_EQ(md5ToHex(md5.finish()), expected) << "chunks of " << chunk;
  }
}

TEST(Md5, FinishStartsAfresh) {
  Md5 md5;
  md5.update("abc");
  (void)md5.finish();
  md5.update(std::string_view());  // an empty chunk changes nothing
  md5.update("abc");
  EXPECT_EQ(md5ToHex(md5.finish()), u"900150983CD24FB0D6963F7D28E17F72");
}

}  // namespace
}  // namespace tolvaran
