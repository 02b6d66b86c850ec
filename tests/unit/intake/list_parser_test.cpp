// Lines to shortcut paths: which lines count, which path of a line is taken,
// what a missing path or an unreadable list reports, and how list files are
// decoded.
#include "intake/list_parser.h"

#include <gtest/gtest.h>

#include "unit/intake/intake_rig.h"

namespace tolvaran {
namespace {

using namespace intake_test;

constexpr std::u16string_view kTool = u"C:\\Users\\User\\Desktop\\Tool.lnk";
constexpr std::u16string_view kNotFound = u"(shortcut was not found)";

bool handled(IntakeRig& rig, std::u16string_view path) {
  return rig.processed(path);
}

TEST(CureLinkLineTest, TheFirstPathOfALineIsCuredOrReportedSkipped) {
  constexpr std::u16string_view kShared = u"\\\\srv\\share\\Tool.lnk";
  struct Case {
    const char* name;
    std::u16string_view line;
    bool cureDashLines;
    bool result;
    std::u16string_view cured;    // the path handed to the cure, if any
    std::u16string_view skipped;  // the path of the "[SKIP]" line, if any
    std::u16string_view reason = kNotFound;
  } cases[] = {
      {"bare path", u"C:\\Users\\User\\Desktop\\Tool.lnk", false, true, kTool, u""},
      {"spaces around, other case", u"   c:\\users\\user\\desktop\\TOOL.LNK  ", false, true,
       u"c:\\users\\user\\desktop\\TOOL.LNK", u""},
      {"quoted, then more text", u"1. \"C:\\Users\\User\\Desktop\\Tool.lnk\" (hijacked) x.lnk",
       false, true, kTool, u""},
      {"a stray space", u"C:\\Users\\User\\Desk top\\Tool.lnk", false, true, kTool, u""},
      {"dash line pasted", u"-C:\\Users\\User\\Desktop\\Tool.lnk", true, true, kTool, u""},
      {"dash line from a list", u" - C:\\Users\\User\\Desktop\\Tool.lnk", false, false, u"", u""},
      {"two quoted paths: the first", u"\"C:\\Gone\\a.lnk\" \"C:\\Users\\User\\Desktop\\Tool.lnk\"",
       false, true, u"", u"C:\\Gone\\a.lnk"},
      {"two bare paths: one match", u"C:\\Gone\\a.lnk C:\\Gone\\b.url", false, true, u"",
       u"C:\\Gone\\a.lnk C:\\Gone\\b.url"},
      {"the shortcut, then a file", u"C:\\Users\\User\\Desktop\\Tool.lnk - see C:\\Temp\\a.txt",
       false, true, kTool, u""},
      {"UNC", kShared, false, true, u"", kShared, u"(network path not examined)"},
      {"forward slashes", u"\"C:/Users/User/Desktop/Tool.lnk\"", false, true, kTool, u""},
      {"a variable", u"%USERPROFILE%\\Desktop\\Tool.lnk", false, true, kTool, u""},
      {"an unknown variable", u"%OneDrive%\\Desktop\\Tool.lnk", false, true, u"",
       u"%OneDrive%\\Desktop\\Tool.lnk", u"(unknown variable in path)"},
      {"a quote inside", u"C:\\Users\\\"User\"\\Tool.lnk", false, true, u"",
       u"C:\\Users\\\"User\"\\Tool.lnk", u"(path could not be read)"},
      {"a relative path", u"Desktop\\Tool.lnk", false, false, u"", u""},
      {"no curable extension", u"C:\\Users\\User\\Desktop\\Tool.exe", false, false, u"", u""},
      {"a tab is not trimmed", u"\t-C:\\Gone\\a.lnk", false, true, u"", u"C:\\Gone\\a.lnk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IntakeRig rig;
    rig.addPlainShortcut(kTool);
    ASSERT_TRUE(rig.machine.files().addVolume(u"\\\\srv\\share"));
    rig.addPlainShortcut(kShared);
    EXPECT_EQ(rig.intake.parser().CureLinkLine(c.line, c.cureDashLines), c.result);
    if (!c.cured.empty()) {
      EXPECT_TRUE(handled(rig, c.cured));
      EXPECT_EQ(rig.processedCount(), 1u);
    } else {
      EXPECT_EQ(rig.processedCount(), 0u);
    }
    const auto skipped = rig.linesTagged(u"[SKIP]");
    if (c.skipped.empty()) {
      EXPECT_TRUE(skipped.empty());
      continue;
    }
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_TRUE(contains(skipped[0], u"\"" + std::u16string(c.skipped) + u"\""))
        << utf16ToUtf8(skipped[0]);
    EXPECT_TRUE(contains(skipped[0], c.reason));
    EXPECT_EQ(rig.log.Statistics.Omitted, 1);
    EXPECT_EQ(rig.log.Statistics.Total, 1);
  }
}

TEST(CureLinkLineTest, APathTheRunAlreadyHandledIsNoNews) {
  IntakeRig rig;
  rig.addPlainShortcut(kTool);
  rig.cure(kTool);
  (void)rig.machine.files().deleteFile(kTool);  // as if the cure had renamed it
  const RunStatistics before = rig.log.Statistics;

  EXPECT_TRUE(rig.intake.parser().CureLinkLine(u"  C:\\Users\\User\\Desktop\\Tool.lnk ", false));
  EXPECT_EQ(rig.log.Statistics, before);
  EXPECT_TRUE(rig.linesTagged(u"[SKIP]").empty());

  // Any spelling of that file, as Windows compares names; a lookalike is
  // another file (KELVIN SIGN).
  EXPECT_TRUE(rig.intake.parser().CureLinkLine(u"c:\\users\\user\\desktop\\TOOL.LNK", false));
  EXPECT_TRUE(rig.linesTagged(u"[SKIP]").empty());
  EXPECT_TRUE(rig.intake.parser().CureLinkLine(u"C:\\Users\\User\\Desktop\\Tool.ln\u212A", false));
  EXPECT_EQ(rig.linesTagged(u"[SKIP]").size(), 1u);
}

TEST(CureListLnkTest, PastedTextCuresEveryLineAndTellsWhetherAnyHeldAPath) {
  IntakeRig rig;
  rig.addPlainShortcut(kTool);
  const std::u16string text =
      u"Shortcuts:\r\n-C:\\Users\\User\\Desktop\\Tool.lnk\r\n"
      u"C:\\Gone\\missing.url\r\nnothing";
  EXPECT_TRUE(rig.intake.CureListLNK(text, false, true));
  EXPECT_TRUE(handled(rig, kTool));
  EXPECT_EQ(rig.linesTagged(u"[SKIP]").size(), 1u);
  EXPECT_FALSE(rig.rememberedHash().empty());  // the guard ran first

  // Only missing shortcuts: still a run that found something.
  IntakeRig missing;
  EXPECT_TRUE(missing.intake.CureListLNK(u"C:\\Gone\\a.lnk", false, true));

  IntakeRig nothing;
  EXPECT_FALSE(nothing.intake.CureListLNK(u"hello\r\nworld", false, true));
  EXPECT_FALSE(nothing.rememberedHash().empty());
  EXPECT_EQ(nothing.log.Statistics, RunStatistics{});
}

TEST(CureListLnkTest, PastedTextWithTheReportHeaderIsImportedWhole) {
  IntakeRig rig;
  rig.addPlainShortcut(kTool);
  // The header is searched in any letter case; the import skips dash lines
  // although pasted text would cure them.
  const std::u16string text =
      u"- C:\\Users\\User\\Desktop\\Tool.lnk\r\n"
      u"HALVESTRY  BY orvik pelmanov & REGIST v1\r\n";
  EXPECT_TRUE(rig.intake.CureListLNK(text, false, true));
  EXPECT_FALSE(handled(rig, kTool));
  EXPECT_TRUE(rig.lines().empty());
}

TEST(CureListLnkTest, AListFileIsReadInWhateverEncodingAndLineEndsItWasSavedIn) {
  constexpr std::u16string_view kCyrillic = u"C:\\Users\\User\\Desktop\\Ярлык.lnk";
  constexpr std::u16string_view kList = u"C:\\Lists\\list.txt";
  const std::u16string line = u"\"" + std::u16string(kCyrillic) + u"\" (startpage)";
  std::string bigEndian = "\xFE\xFF";
  for (const char16_t unit : u"x\r\n" + line) {
    bigEndian += static_cast<char>(unit >> 8);
    bigEndian += static_cast<char>(unit & 0xFF);
  }
  const std::u16string_view kNotText = u"(list is not a text file)";
  struct Case {
    const char* name;
    std::string bytes;
    bool cured;
    std::u16string_view skipped;  // the reason of the list's "[SKIP]" line
  } cases[] = {
      {"UTF-16LE with a mark", utf16File(line + u"\r\n"), true, u""},
      {"UTF-16LE without a mark", utf16File(u"x\r\n" + line, false), true, u""},
      {"UTF-16LE padded with NULs", utf16File(line, false) + std::string(6, '\0'), true, u""},
      {"UTF-16BE with a mark", bigEndian, true, u""},
      {"UTF-8 with a mark", utf8File(u"x\r\n" + line), true, u""},
      {"UTF-8 without a mark", utf16ToUtf8(u"x\n" + line), true, u""},
      {"ANSI (1251)", utf16ToCodePage(u"x\r" + line, 1251), true, u""},
      {"DOS Cyrillic (866)", utf16ToCodePage(line, 866), true, u""},
      {"a dash line", utf16File(u"-" + line), false, u""},
      {"binary", std::string("MZ\x90\0\x03\0\0\0\x04\0\0\0", 12) + utf16ToUtf8(line), false,
       kNotText},
      {"UTF-16 with a NUL inside", utf16File(line + u"\r\n") + std::string("\0\0x\0", 4), false,
       kNotText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IntakeRig rig;
    ASSERT_TRUE(rig.machine.system().setAnsiCodePage(1251));
    rig.addPlainShortcut(kCyrillic);
    rig.machine.files().addFile(kList, c.bytes);
    EXPECT_FALSE(rig.intake.CureListLNK(kList, true, true));
    EXPECT_EQ(handled(rig, kCyrillic), c.cured);
    EXPECT_TRUE(rig.rememberedHash().empty());  // the caller's guard, not this one
    const auto skipped = rig.linesTagged(u"[SKIP]");
    if (c.skipped.empty()) {
      EXPECT_TRUE(skipped.empty());
      continue;
    }
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_TRUE(contains(skipped[0], kList));
    EXPECT_TRUE(contains(skipped[0], c.skipped));
    EXPECT_EQ(rig.log.Statistics.Omitted, 1);
    EXPECT_EQ(rig.log.Statistics.Total, 1);
  }
}

TEST(CureListLnkTest, AListThatCannotBeReadIsRecordedAndReported) {
  IntakeRig rig;
  EXPECT_FALSE(rig.intake.CureListLNK(u"C:\\Lists\\missing.txt", true, false));
  ASSERT_EQ(rig.failures.records.size(), 1u);
  EXPECT_EQ(rig.failures.count(u"Parser.ReadFileToArray"), 1u);
  EXPECT_EQ(rig.failures.records[0].failure.number, rt::kFileNotFound);
  const auto skipped = rig.linesTagged(u"[SKIP]");
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_TRUE(contains(skipped[0], u"\"C:\\Lists\\missing.txt\""));
  EXPECT_TRUE(contains(skipped[0], u"(list could not be read)"));
  EXPECT_EQ(rig.log.Statistics.Omitted, 1);
  EXPECT_EQ(rig.leakedHandles(), 0u);
}

}  // namespace
}  // namespace tolvaran
