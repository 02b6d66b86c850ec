// The scanner's report: what makes a text one, and which of its lines are
// cured, pasted or as a file.
#include <gtest/gtest.h>

#include "intake/scan_report_import.h"
#include "unit/intake/intake_rig.h"

namespace tolvaran {
namespace {

using namespace intake_test;

constexpr std::u16string_view kTool = u"C:\\Users\\User\\Desktop\\Tool.lnk";
constexpr std::u16string_view kReport = u"C:\\Lists\\Halvestry_Scan.log";

TEST(ScanReportMarkTest, AnyMarkInAnyLetterCaseButExactlyAsWritten) {
  struct Case {
    std::u16string_view line;
    bool mark;
  } cases[] = {
      {u"Halvestry  by Orvik Pelmanov & registry v2.1", true},
      {u"halvestry  BY ORVIK PELMANOV & REGIST", true},
      {u"Halvestry by Orvik Pelmanov & regist", false},  // one space after the name
      {u"____  Подозрительные ( >>> ВЫСОКИЙ риск <<< )  ______", true},
      {u"__  АРГУМЕНТЫ  __", true},
      {u"__  Имя браузера неверное + дописки ___", true},
      {u"__  имя браузера НЕВЕРНОЕ  __", true},
      {u"x __  Аргументы нестандартные  __ x", true},
      {u"_  Аргументы  __", false},  // one underscore fewer
      {u"__ Аргументы __", false},
      {u"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(holdsScanReportMark(c.line), c.mark) << utf16ToUtf8(c.line);
  }
}

TEST(ScanReportImportTest, ARecognisedReportCuresEveryLineButDescriptions) {
  IntakeRig rig;
  rig.addPlainShortcut(kTool);
  rig.machine.files().addFile(u"C:\\Users\\User\\Desktop\\ad.ico", "icon");
  std::u16string text = u"C:\\Users\\User\\Desktop\\Tool.lnk\r\n";  // before the mark: cured too
  for (int i = 0; i < 8; ++i) text += u"filler\r\n";
  text +=
      u"__  Аргументы  __\r\n"
      u"  - C:\\Users\\User\\Desktop\\ad.ico\r\n"  // a description
      u"C:\\Gone\\missing.lnk";

  EXPECT_TRUE(rig.intake.scanReport().ParseHalvestry_LOG_Orvik(text, true));
  EXPECT_TRUE(rig.processed(kTool));
  EXPECT_TRUE(rig.exists(u"C:\\Users\\User\\Desktop\\ad.ico"));
  EXPECT_EQ(rig.linesTagged(u"[SKIP]").size(), 1u);

  // Not a report: nothing happens at all.
  IntakeRig plain;
  plain.addPlainShortcut(kTool);
  EXPECT_FALSE(plain.intake.scanReport().ParseHalvestry_LOG_Orvik(kTool, true));
  EXPECT_EQ(plain.processedCount(), 0u);
  EXPECT_EQ(plain.log.Statistics, RunStatistics{});

  // A report listing nothing is still a report.
  IntakeRig empty;
  EXPECT_TRUE(empty.intake.scanReport().ParseHalvestry_LOG_Orvik(kScanReportHeader, true));
}

TEST(ScanReportImportTest, AReportFileIsReadInWhateverEncodingAndLineEndsItWasSavedIn) {
  const std::u16string report = std::u16string(kScanReportHeader) + u"\n" +
                                u"- C:\\Gone\\detail.lnk\n\"" + std::u16string(kTool) + u"\"";
  for (const std::string& bytes :
       {utf16File(report), utf16ToCodePage(report, 1252), utf16ToUtf8(report)}) {
    IntakeRig rig;
    rig.addPlainShortcut(kTool);
    rig.machine.files().addFile(kReport, bytes);
    EXPECT_TRUE(rig.intake.scanReport().ParseHalvestry_LOG_Orvik(kReport, false));
    EXPECT_TRUE(rig.processed(kTool));
    EXPECT_TRUE(rig.linesTagged(u"[SKIP]").empty());
  }
  IntakeRig rig;
  EXPECT_FALSE(rig.intake.scanReport().ParseHalvestry_LOG_Orvik(kReport, false));
  EXPECT_EQ(rig.failures.count(u"Parser.ReadFileToArray"), 1u);
}

}  // namespace
}  // namespace tolvaran
