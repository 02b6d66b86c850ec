#include "platform/sim/reg_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_registry.h"
#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

using Kind = RegFileEdit::Kind;

std::string utf16le(std::u16string_view text) {
  std::string bytes = textToUtf16le(text);
  bytes.append(2, '\0');
  return bytes;
}

// One value line read under a key; nothing when the line is reported.
std::optional<RegFileEdit> readValueLine(const std::string& line) {
  const RegFile file =
      parseRegFile("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\K]\r\n" + line);
  if (!file.badLines.empty()) {
    EXPECT_EQ(file.badLines, std::vector<std::size_t>{3}) << line;
    return std::nullopt;
  }
  EXPECT_EQ(file.edits.size(), 2u) << line;
  if (file.edits.size() != 2) return std::nullopt;
  EXPECT_EQ(file.edits[1].keyPath, u"HKEY_CURRENT_USER\\K");
  EXPECT_EQ(file.edits[1].line, 3u);
  return file.edits[1];
}

TEST(RegFile, ValueSyntax) {
  struct Case {
    std::string line;
    bool understood;
    Kind kind = Kind::setValue;
    std::u16string name = {};
    std::uint32_t type = 0;
    std::string data = {};
  };
  const Case cases[] = {
      {R"("a"="x")", true, Kind::setValue, u"a", kRegSz, utf16le(u"x")},
      {R"(@="x")", true, Kind::setValue, u"", kRegSz, utf16le(u"x")},
      {R"("q\"uote\\d"="C:\\Dir\\")", true, Kind::setValue, u"q\"uote\\d", kRegSz,
       utf16le(u"C:\\Dir\\")},
      {R"("a"="keep \n as written")", true, Kind::setValue, u"a", kRegSz,
       utf16le(u"keep \\n as written")},
      {R"("a" = "x"   ; comment)", true, Kind::setValue, u"a", kRegSz, utf16le(u"x")},
      {R"("a"="")", true, Kind::setValue, u"a", kRegSz, utf16le(u"")},
      {R"("a"=dword:0000001f)", true, Kind::setValue, u"a", kRegDword,
       std::string("\x1f\0\0\0", 4)},
      {R"("a"=DWORD:FFFFFFFE)", true, Kind::setValue, u"a", kRegDword, "\xfe\xff\xff\xff"},
      {R"("a"=dword:1)", true, Kind::setValue, u"a", kRegDword, std::string("\1\0\0\0", 4)},
      {R"("a"=hex:01,02,ff)", true, Kind::setValue, u"a", kRegBinary, "\x01\x02\xff"},
      {R"("a"=hex:1, 2 ,)", true, Kind::setValue, u"a", kRegBinary, "\x01\x02"},
      {R"("a"=hex:)", true, Kind::setValue, u"a", kRegBinary, ""},
      {R"("a"=hex(0):)", true, Kind::setValue, u"a", kRegNone, ""},
      {R"("a"=hex(b):01,00,00,00,00,00,00,00)", true, Kind::setValue, u"a", kRegQword,
       std::string("\1\0\0\0\0\0\0\0", 8)},
      {R"("a"=hex(7):61,00,00,00,00,00)", true, Kind::setValue, u"a", kRegMultiSz,
       std::string("a\0\0\0\0\0", 6)},
      {R"("a"=hex(ffffffff):01)", true, Kind::setValue, u"a", 0xFFFFFFFF, "\x01"},
      {R"("a"=-)", true, Kind::deleteValue, u"a"},
      {R"(@=-)", true, Kind::deleteValue, u""},
      {R"("a"=dword:123456789)", false},
      {R"("a"=dword:)", false},
      {R"("a"=dword:xyz)", false},
      {R"("a"=dword:12 34)", false},
      {R"("a"=hex(100000000):01)", false},
      {R"("a"=hex(2:01)", false},
      {R"("a"=hex:01,,02)", false},
      {R"("a"=hex:,01)", false},
      {R"("a"=hex:0102)", false},
      {R"("a"=hex:zz)", false},
      {R"("a"=hex01)", false},
      {R"("a"=)", false},
      {R"("a")", false},
      {R"("a="x")", false},
      {R"("a"="unterminated)", false},
      {R"("a"="x" junk)", false},
      {R"("a"=str(2):"x")", false},
      {R"("a"=-x)", false},
      {R"(@x="y")", false},
      {R"(garbage)", false},
  };
  for (const Case& c : cases) {
    const auto edit = readValueLine(c.line);
    ASSERT_EQ(edit.has_value(), c.understood) << c.line;
    if (!edit) continue;
    EXPECT_EQ(edit->kind, c.kind) << c.line;
    EXPECT_EQ(edit->valueName, c.name) << c.line;
    EXPECT_EQ(edit->type, c.type) << c.line;
    EXPECT_EQ(edit->data, c.data) << c.line;
  }
}

TEST(RegFile, StructureAndReportedLines) {
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n"     // 1
      "\r\n"                                         // 2
      "\"early\"=\"no key yet\"\r\n"                 // 3 reported
      "; a comment\r\n"                              // 4
      "  [HKEY_LOCAL_MACHINE\\SOFTWARE\\App]  \r\n"  // 5
      "\"Bytes\"=hex:01,02,\\\r\n"                   // 6 continued
      "  03,04,\\\n"                                 // 7 LF only
      "  05\r"                                       // 8 CR only
      "\"After\"=\"x\"\r\n"                          // 9
      "[HKXX\\Unknown]\r\n"                          // 10 reported
      "\"lost\"=\"under an unknown root\"\r\n"       // 11 reported
      "[HKCU\\Software\\App\r\n"                     // 12 reported: no ]
      "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"      // 13
      "\"orphan\"=\"after a deletion\"\r\n"          // 14 reported
      "[HKEY_CLASSES_ROOT\\a]b]\r\n"                 // 15: the last ] closes
      "\"Bad\"=hex:01,\\\r\n"                        // 16 reported (its continuation is bad)
      "  zz\r\n"                                     // 17 part of 16
      "# not a comment\r\n"                          // 18 reported
      "\"End\"=dword:00000001";                      // 19, no line break
  const RegFile file = parseRegFile(text);
  EXPECT_EQ(file.badLines, (std::vector<std::size_t>{3, 10, 11, 12, 14, 16, 18}));
  ASSERT_EQ(file.edits.size(), 6u);
  EXPECT_EQ(file.edits[0].kind, Kind::createKey);
  EXPECT_EQ(file.edits[0].keyPath, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\App");
  EXPECT_EQ(file.edits[1].valueName, u"Bytes");
  EXPECT_EQ(file.edits[1].data, "\x01\x02\x03\x04\x05");
  EXPECT_EQ(file.edits[1].line, 6u);
  EXPECT_EQ(file.edits[2].valueName, u"After");
  EXPECT_EQ(file.edits[2].line, 9u);
  EXPECT_EQ(file.edits[3].kind, Kind::deleteKey);
  EXPECT_EQ(file.edits[3].keyPath, u"HKEY_CURRENT_USER\\Software\\Old");
  EXPECT_EQ(file.edits[4].keyPath, u"HKEY_CLASSES_ROOT\\a]b");
  EXPECT_EQ(file.edits[5].valueName, u"End");
  EXPECT_EQ(file.edits[5].keyPath, u"HKEY_CLASSES_ROOT\\a]b");
}

TEST(RegFile, EncodingsAndVersions) {
  const std::u16string body =
      u"\r\n[HKEY_CURRENT_USER\\Caf\u00e9]\r\n\"N\u00e4me\"=\"Gr\u00fc\u00dfe\"\r\n";
  const std::u16string header = u"Windows Registry Editor Version 5.00";
  const std::string asUtf16 = "\xFF\xFE" + textToUtf16le(header + body);
  const std::string asUtf8 = utf16ToUtf8(header + body);
  const std::string asUtf8Bom = "\xEF\xBB\xBF" + asUtf8;
  const std::string asAnsi = utf16ToCodePage(u"REGEDIT4" + body, 1252);
  for (const std::string& bytes : {asUtf16, asUtf8, asUtf8Bom, asAnsi}) {
    const RegFile file = parseRegFile(bytes);
    EXPECT_TRUE(file.badLines.empty());
    ASSERT_EQ(file.edits.size(), 2u);
    EXPECT_EQ(file.edits[0].keyPath, u"HKEY_CURRENT_USER\\Caf\u00e9");
    EXPECT_EQ(file.edits[1].valueName, u"N\u00e4me");
    EXPECT_EQ(file.edits[1].data, utf16le(u"Gr\u00fc\u00dfe"));
  }

  // Version 4 files hold expandable and multi-string data as ANSI bytes.
  const RegFile v4 = parseRegFile(
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n"
      "\"E\"=hex(2):25,54,45,4d,50,25,e9,00\r\n"
      "\"M\"=hex(7):61,00,62,00,00\r\n"
      "\"B\"=hex:e9,00\r\n");
  ASSERT_EQ(v4.edits.size(), 4u);
  EXPECT_EQ(v4.edits[1].data, utf16le(u"%TEMP%\u00e9"));
  EXPECT_EQ(v4.edits[2].data, textToUtf16le(std::u16string(u"a\0b\0\0", 5)));
  EXPECT_EQ(v4.edits[3].data, std::string("\xe9\x00", 2));  // binary stays as written

  // A file without a header: the first line is reported, the rest is read.
  const RegFile headless = parseRegFile("[HKEY_CURRENT_USER\\K]\n\"a\"=\"b\"\n");
  EXPECT_EQ(headless.badLines, std::vector<std::size_t>{1});
  EXPECT_EQ(headless.edits.size(), 2u);
  EXPECT_TRUE(parseRegFile("").edits.empty());
}

TEST(RegFile, LoadsIntoTheSimulatedRegistry) {
  SimRegistry registry(true, false);
  const std::string longName(300, 'k');
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n"
      "[HKEY_CURRENT_USER\\Software\\App\\Sub\\Deep]\r\n"
      "[HKEY_CURRENT_USER\\Software\\App]\r\n"
      "\"Name\"=\"first\"\r\n"
      "\"Other\"=dword:00000002\r\n"
      "\"NAME\"=\"second\"\r\n"
      "\"Other\"=-\r\n"
      "[-HKEY_CURRENT_USER\\Software\\App\\Sub]\r\n"
      "[HKEY_CURRENT_USER\\Software\\" +
      longName +
      "]\r\n"                      // 9: a name too long for a key
      "[-HKEY_CURRENT_USER]\r\n";  // 10: a root is never deleted
  EXPECT_EQ(registry.loadRegFile(text), (std::vector<std::size_t>{9, 10}));

  const auto app = registry.regOpenKeyEx(kHkeyCurrentUser, u"Software\\App", 0, kKeyQueryValue);
  ASSERT_TRUE(app.ok());
  const auto info = registry.regQueryInfoKey(app.value);
  EXPECT_EQ(info.value.subKeys, 0u);  // Sub and Deep are gone
  EXPECT_EQ(info.value.values, 1u);
  const auto name = registry.regEnumValue(app.value, 0, 100);
  EXPECT_EQ(name.value, u"Name");  // rewritten, keeping its first spelling
  EXPECT_EQ(registry.regQueryValueEx(app.value, u"name", 100).value.bytes, utf16le(u"second"));
  EXPECT_TRUE(registry.regCloseKey(app.value).ok());
  EXPECT_EQ(registry.openHandleCount(), 0u);
}

}  // namespace
}  // namespace tolvaran::platform::sim
