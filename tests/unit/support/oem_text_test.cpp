// Quote stripping and the DOS Cyrillic helpers; the letter tables are checked
// against the code-page tables, which come from a different source.
#include "support/oem_text.h"

#include <gtest/gtest.h>

#include <string>

#include "support/text.h"

namespace tolvaran {
namespace {

// What the 866 byte of `text` shows when read as Windows-1251.
std::u16string oemView(std::u16string_view text) {
  return codePageToUtf16(utf16ToCodePage(text, 866), 1251);
}

TEST(OemText, QuoteStripping) {
  struct Case {
    const char16_t* text;
    const char16_t* unQuote;
    const char16_t* unQuoteEx;
  };
  for (const Case& c : {
           Case{u"\"C:\\a b.exe\"", u"C:\\a b.exe", u"C:\\a b.exe"},
           Case{u"\"\"\"", u"", u"\""},
           Case{u"\"", u"", u""},
           Case{u"\"x\"", u"x", u"x"},
           Case{u"\"\"x\"", u"x", u"\"x"},
           Case{u"\"open", u"open", u"\"open"},
           Case{u"a\"b", u"a\"b", u"a\"b"},
           Case{u"", u"", u""},
       }) {
    EXPECT_EQ(UnQuote(c.text), c.unQuote) << utf16ToUtf8(c.text);
    EXPECT_EQ(UnQuoteEx(c.text), c.unQuoteEx) << utf16ToUtf8(c.text);
  }
}

TEST(OemText, ConversionAgreesWithTheCodePages) {
  const std::u16string letters =
      u"эЭабвгдеёжзийклмнопрстуфхцчшщьыъюяАБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЬЫЪЮЯЁЄЇёєї";
  EXPECT_EQ(Convert_OEM_to_Win(letters, true), oemView(letters));

  const std::u16string words = u"start \"\" \"C:\\Программы\\Браузер\\run.exe\" ёж Ёлка 12";
  EXPECT_EQ(Convert_OEM_to_Win(oemView(words), false), words);
  EXPECT_EQ(Convert_OEM_to_Win(u"Latin 0-9 .,;\"", false), u"Latin 0-9 .,;\"");
  EXPECT_EQ(Convert_OEM_to_Win(u"Latin 0-9 .,;\"", true), u"Latin 0-9 .,;\"");
}

TEST(OemText, DetectionSetIsExactlyTheListedBytes) {
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const bool listed = (byte <= 0x9F && byte != 0x82) || (byte >= 0xA0 && byte <= 0xA7) ||
                        (byte >= 0xAB && byte <= 0xAE);
    const std::u16string shown = codePageToUtf16(std::string(1, static_cast<char>(byte)), 1251);
    EXPECT_EQ(isOEM(u"echo " + shown), listed) << "byte " << byte;
    EXPECT_EQ(isOemBytes("echo " + std::string(1, static_cast<char>(byte))), listed)
        << "byte " << byte;
  }
  EXPECT_FALSE(isOemBytes(std::string("echo C:\\x.exe\0\x7F", 16)));
  EXPECT_TRUE(isOEM(u"\u0098"));  // 0x98, undefined in 1251
  EXPECT_FALSE(isOEM(u"Обычный русский текст: Ёлка, ёж, C:\\Программы\\x.exe"));
}

}  // namespace
}  // namespace tolvaran
