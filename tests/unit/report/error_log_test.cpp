#include "report/error_log.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_machine.h"
#include "support/embedded_resources.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);

class ErrorLogTest : public ::testing::Test {
 protected:
  ErrorLogTest() {
    machine.files().addFolder(u"C:\\Tools");
    machine.files().addFolder(u"C:\\Users\\User\\Desktop");
    machine.clock().setLocalTime({2026, 12, 1, 7, 1, 37, 32, 0});
    messages.LoadLangTable(resource::kLanguageEnglish, machine.ui(), u"Tolvaran");
  }

  std::string logBytes() {
    log.CloseErrorLog();
    return machine.files().readFileBytes(u"C:\\Tools\\Errors.log").value_or("<missing>");
  }

  platform::sim::SimMachine machine;
  platform::Ports ports = machine.ports();
  Translation messages;
  ErrorLog log{ports, messages, u"C:\\Tools\\"};
};

TEST_F(ErrorLogTest, NormalRecordsMatchTheDocumentedLayout) {
  log.recordError(runtimeFailure(rt::kInvalidProcedureCall),
                  ErrorContext(u"Parser.GetTargetShellLinkW", u"File: ",
                               u"C:\\Users\\User\\Desktop\\Chrome.lnk"));
  machine.clock().advance(1000);
  log.recordError(runtimeFailure(rt::kSubscriptOutOfRange), ErrorContext(u"Engine.FixLNK"));
  EXPECT_EQ(logBytes(),
            "07.12.2026 1:37:32 - Parser.GetTargetShellLinkW - #5 (Access is denied.) Invalid "
            "procedure call or argument. LastDllError = 0. File:  "
            "C:\\Users\\User\\Desktop\\Chrome.lnk \r\n"
            "07.12.2026 1:37:33 - Engine.FixLNK - #9 (The storage control block address is "
            "invalid.) Subscript out of range. LastDllError = 0\r\n");
}

TEST_F(ErrorLogTest, RecordFieldsFollowTheirRules) {
  const platform::SystemTime when{2026, 12, 1, 7, 1, 37, 32, 0};
  struct Case {
    const char* what;
    Failure failure;
    ErrorContext context;
    std::u16string expected;
  };
  const Case cases[] = {
      {"code 70 reads as access denied", Failure{70, u"Permission denied", 5},
       ErrorContext(u"modFile.X", u"Path:", u"C:\\a"),
       u"07.12.2026 1:37:32 - modFile.X - #70 (Access denied.) Permission denied. "
       u"LastDllError = 5. Path: C:\\a "},
      {"no system text leaves two spaces", Failure{12345, u"Odd", 0}, ErrorContext(u"M.P"),
       u"07.12.2026 1:37:32 - M.P - #12345  Odd. LastDllError = 0"},
      {"line breaks in the description become spaces", Failure{12345, u"a\r\nb\nc", 0},
       ErrorContext(u"M.P", true, 42),
       u"07.12.2026 1:37:32 - M.P - #12345  a  b c. LastDllError = 0. True 42 "},
      {"E_FAIL without a file label keeps its own record", Failure{kEFail, u"Automation error", 0},
       ErrorContext(u"Engine.Other", u"Key:", u"HKLM"),
       u"07.12.2026 1:37:32 - Engine.Other - #-2147467259 (Unspecified error) Automation "
       u"error. LastDllError = 0. Key: HKLM "},
      {"E_FAIL with no values keeps its own record", Failure{kEFail, u"Automation error", 0},
       ErrorContext(u"Engine.Other"),
       u"07.12.2026 1:37:32 - Engine.Other - #-2147467259 (Unspecified error) Automation "
       u"error. LastDllError = 0"},
      {"control characters in values become spaces: one record, one line",
       Failure{12345, u"Odd", 0}, ErrorContext(u"M.P", u"Line:", u"a\r\nb\tc\x1B"),
       u"07.12.2026 1:37:32 - M.P - #12345  Odd. LastDllError = 0. Line: a  b c  "},
      {"the text of a failed write is cut after 512 units", Failure{12345, u"Odd", 0},
       ErrorContext(u"M.P", u"WriteData:", std::u16string(512, u'x') + u"\r\nmore text"),
       u"07.12.2026 1:37:32 - M.P - #12345  Odd. LastDllError = 0. WriteData: " +
           std::u16string(512, u'x') + u" \u2026(11 more) "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(log.buildRecord(when, c.failure, c.context), c.expected) << c.what;
  }
}

TEST_F(ErrorLogTest, DamagedShortcutDiagnosis) {
  std::string html = "<html>\r\n<head>\r\n<title>Tolvaran";
  html.resize(2048, 'x');
  machine.files().addFile(u"C:\\Users\\User\\Desktop\\Opera.lnk", html);
  machine.files().addFile(u"C:\\Users\\User\\Desktop\\Edge.lnk", std::string(1536, '\0'));
  machine.files().addFile(u"C:\\Users\\User\\Desktop\\Empty.lnk", "");
  machine.files().addFile(u"C:\\Users\\User\\Desktop\\Link.lnk", std::string("L\0\0\0", 4));
  const Failure fail{kEFail, u"Automation error", 0};
  for (const char16_t* name : {u"Opera", u"Edge", u"Empty", u"Link", u"Missing"}) {
    const std::u16string path = u"C:\\Users\\User\\Desktop\\" + std::u16string(name) + u".lnk";
    log.recordError(fail, ErrorContext(u"Parser.GetTargetShellLinkW", u"File: ", path));
  }
  log.recordError(fail, ErrorContext(u"Parser.GetTargetShellLinkW", u"File:",
                                     u"C:\\Users\\User\\Desktop\\Edge.lnk"));
  EXPECT_EQ(logBytes(),
            "- Shortcut is damaged: \"C:\\Users\\User\\Desktop\\Opera.lnk\" (header doesn't match "
            "LNK type) Header=0x3C68746D6C3E0D0A3C686561643E0D0A3C7469746C653E54 (2048 bytes)\r\n"
            "- It seems, some interceptor acts. File: \"C:\\Users\\User\\Desktop\\Edge.lnk\" "
            "contains just NUL characters. (1536 bytes)\r\n"
            "- Shortcut is damaged: \"C:\\Users\\User\\Desktop\\Empty.lnk\" (header doesn't match "
            "LNK type) Header=0x (0 bytes)\r\n"
            "- Shortcut is damaged: \"C:\\Users\\User\\Desktop\\Link.lnk\" (4 bytes)\r\n"
            "- Shortcut is damaged: \"C:\\Users\\User\\Desktop\\Missing.lnk\" (header doesn't "
            "match LNK type) Header=0x (0 bytes)\r\n"
            "- It seems, some interceptor acts. File: \"C:\\Users\\User\\Desktop\\Edge.lnk\" "
            "contains just NUL characters. (1536 bytes)\r\n");
}

TEST_F(ErrorLogTest, WritesTheAnsiCodePageOneLinePerRecord) {
  ASSERT_TRUE(machine.system().setAnsiCodePage(1251));
  const std::u16string big(1 << 20, u'\x0416');  // 1 MB of a Cyrillic letter
  log.recordError(Failure{12345, u"\x0416\x0141", 0}, ErrorContext(u"M.P"));
  log.recordError(Failure{12345, big, 0}, ErrorContext(u"M.P"));
  const std::string bytes = logBytes();
  const std::string first = bytes.substr(0, bytes.find("\r\n"));
  EXPECT_EQ(first, "07.12.2026 1:37:32 - M.P - #12345  \xC6?. LastDllError = 0");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2);
  EXPECT_GT(bytes.size(), std::size_t{1} << 20);
}

TEST_F(ErrorLogTest, EachRunStartsAnEmptyLogAndAMissingFolderIsPassedOver) {
  log.WriteErrorLine(u"first run");
  log.CloseErrorLog();
  log.WriteErrorLine(u"second run");
  EXPECT_EQ(logBytes(), "second run\r\n");

  ErrorLog nowhere(ports, messages, u"C:\\Missing\\Folder");
  nowhere.recordError(runtimeFailure(rt::kOverflow), ErrorContext(u"M.P"));
  EXPECT_EQ(nowhere.ErrorLogPath(),
            machine.system().getEnvironmentVariable(u"TEMP").value + u"\\Tolvaran\\Errors.log");
  EXPECT_FALSE(machine.files().exists(u"C:\\Missing\\Folder\\Errors.log"));
}

TEST(ErrorLogHelpers, HexAndHeads) {
  EXPECT_EQ(BytesToHex(std::u16string_view(u"\x4C\x00\x01", 3)), u"0x4C0001");
  EXPECT_EQ(BytesToHex(u""), u"0x");
  platform::sim::SimMachine machine;
  machine.files().addFile(u"C:\\short.bin", "abc");
  std::uint32_t count = 24;
  EXPECT_EQ(ReadFileHead(machine.files(), u"C:\\short.bin", count), u"abc");
  EXPECT_EQ(count, 3u);
  EXPECT_FALSE(IsAllNulFile(machine.files(), u"C:\\short.bin"));
  EXPECT_FALSE(IsAllNulFile(machine.files(), u"C:\\none.bin"));
  EXPECT_EQ(SystemErrorText(machine.system(), 2), u"The system cannot find the file specified.");
}

}  // namespace
}  // namespace tolvaran
