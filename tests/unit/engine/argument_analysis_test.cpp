// Argument and script analysis on the simulated machine.
#include "engine/argument_analysis.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "common/recording_recorder.h"
#include "platform/sim/sim_machine.h"
#include "support/text.h"

namespace tolvaran {
namespace {

using platform::sim::SimMachine;

struct Rig {
  Rig() : ports(machine.ports()), fileHelpers(ports, recorder, saved, true) {
    analysis.emplace(ports, fileHelpers, recorder, patterns);
  }
  void addFile(std::u16string_view path, std::string_view bytes) {
    ASSERT_TRUE(machine.files().addFile(path, bytes));
  }

  SimMachine machine;
  platform::Ports ports;
  RecordingRecorder recorder;
  SavedFsRedirection saved;
  modFile fileHelpers;
  RegExpObjects patterns;
  std::optional<ArgumentAnalysis> analysis;
};

std::string utf16leWithBom(std::u16string_view text) {
  return "\xFF\xFE" + textToUtf16le(text);
}

// --- ParseEXEfromArg_1 -----------------------------------------------------------

TEST(ParseEXEfromArg, FindsTheFirstExistingPathInArguments) {
  Rig rig;
  rig.addFile(u"C:\\Program Files\\X\\x.exe", "MZ");
  rig.addFile(u"C:\\a\\b.exe", "MZ");
  rig.addFile(u"C:\\c\\d.exe", "MZ");
  ASSERT_TRUE(rig.machine.files().addVolume(u"D:"));
  rig.addFile(u"D:\\Docs\\manual.pdf", "%PDF");
  struct Case {
    const char16_t* text;
    const char16_t* result;
  };
  for (const Case& c : {
           Case{u"/c start \"\" \"C:\\Program Files\\X\\x.exe\" --flag",
                u"C:\\Program Files\\X\\x.exe"},
           Case{u"/c start \"\" \"C:\\Program Files\\Y\\y.exe\" --flag", u""},
           // One quote-free stretch: the match runs to the last extension and
           // names no file, so the shorter paths at its start are tried,
           // longest first; a quote in between ends the first path.
           Case{u"C:\\a\\b.exe C:\\c\\d.exe", u"C:\\a\\b.exe"},
           Case{u"\"C:\\a\\b.exe\" \"C:\\c\\d.exe\"", u"C:\\a\\b.exe"},
           Case{u"open D:\\Docs\\manual.pdf", u"D:\\Docs\\manual.pdf"},
           Case{u"C:\\Program Files\\X\\x.exe http://ads.example/a.pdf",
                u"C:\\Program Files\\X\\x.exe"},
           Case{u"C:\\a\\b.exe C:\\n\\x.exe http://ads.example/a.pdf", u"C:\\a\\b.exe"},
           Case{u"C:\\n\\x.exe C:\\n\\y.exe http://ads.example/a.pdf", u""},
       }) {
    EXPECT_EQ(rig.analysis->ParseEXEfromArg_1(c.text), c.result) << utf16ToUtf8(c.text);
  }
  // What follows the shorter path is what the text passes on to it.
  const std::u16string_view arguments = u"C:\\Program Files\\X\\x.exe http://ads.example/a.pdf";
  EXPECT_EQ(rig.analysis->findExecutable(arguments).end, arguments.find(u' ', 20));
  EXPECT_TRUE(rig.recorder.empty());
}

TEST(ParseEXEfromArg, TriesABoundedNumberOfShorterPaths) {
  // A pasted line of many "x.exe" pieces: the existing program lies beyond
  // the candidates tried, and the number of file-system calls stays small.
  Rig rig;
  rig.addFile(u"C:\\a\\b.exe", "MZ");
  std::u16string line = u"C:\\a\\b.exe";
  while (line.size() < 100000) line += u" x.exe";
  rig.machine.files().clearJournal();
  EXPECT_EQ(rig.analysis->ParseEXEfromArg_1(line), u"");
  EXPECT_LT(rig.machine.files().journal().size(), 400u);
  EXPECT_EQ(rig.analysis->ParseEXEfromArg_1(line.substr(0, 10 + 6 * 20)), u"C:\\a\\b.exe");
}

// --- GetBAT_FirstLine ------------------------------------------------------------

TEST(GetBatFirstLine, DecodesEachEncoding) {
  const std::u16string command = u"start C:\\Программы\\x.exe";
  std::string bigEndian = textToUtf16le(command + u"\r\n");
  for (std::size_t i = 0; i + 1 < bigEndian.size(); i += 2)
    std::swap(bigEndian[i], bigEndian[i + 1]);
  // Russian and English systems alike: only the ANSI script depends on the
  // system's code page.
  for (const std::uint32_t codePage : {1251u, 1252u}) {
    Rig rig;
    ASSERT_TRUE(rig.machine.system().setAnsiCodePage(codePage));
    rig.addFile(u"C:\\s\\ansi.bat", utf16ToCodePage(command, 1251));
    rig.addFile(u"C:\\s\\utf16.bat", utf16leWithBom(command + u"\r\n") + std::string(2, '\0') +
                                         textToUtf16le(u"after the NUL"));
    rig.addFile(u"C:\\s\\utf16be.bat", "\xFE\xFF" + bigEndian + std::string(2, '\0') + "xx");
    rig.addFile(u"C:\\s\\utf8.bat", "\xEF\xBB\xBF" + utf16ToUtf8(command));
    rig.addFile(u"C:\\s\\utf8-plain.bat", utf16ToUtf8(command));
    rig.addFile(u"C:\\s\\dos.bat", utf16ToCodePage(command, 866));

    const auto script = [&](std::u16string_view file) {
      return rig.analysis->GetBAT_FirstLine(file, false);
    };
    EXPECT_EQ(script(u"C:\\s\\ansi.bat"),
              codePageToUtf16(utf16ToCodePage(command, 1251), codePage));
    EXPECT_EQ(script(u"C:\\s\\utf16.bat"), command + u"\r\n");
    EXPECT_EQ(script(u"C:\\s\\utf16be.bat"), command + u"\r\n");
    EXPECT_EQ(script(u"C:\\s\\utf8.bat"), command);
    EXPECT_EQ(script(u"C:\\s\\utf8-plain.bat"), command);
    EXPECT_EQ(script(u"C:\\s\\dos.bat"), command);
    EXPECT_TRUE(rig.recorder.empty());
  }
}

TEST(GetBatFirstLine, PercentFillerGoesFromTwentySignsOn) {
  Rig rig;
  auto filler = [](int pairs) {
    std::string text;
    for (int i = 0; i < pairs; ++i) text += "s%x" + std::to_string(i) + "%";
    return text;
  };
  rig.addFile(u"C:\\s\\twenty.bat", filler(10) + "tart C:\\x.exe %tail");
  rig.addFile(u"C:\\s\\nineteen.bat", filler(9) + "%rest");
  rig.addFile(u"C:\\s\\late.bat", std::string(100, ' ') + filler(10));

  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"C:\\s\\twenty.bat", false),
            u"sssssssssstart C:\\x.exe %tail");
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"C:\\s\\nineteen.bat", false),
            utf8ToUtf16(filler(9) + "%rest"));
  // Only the first 100 characters are counted.
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"C:\\s\\late.bat", false),
            utf8ToUtf16(std::string(100, ' ') + filler(10)));

  EXPECT_EQ(removePercentPieces(u"a%b%c%d%e"), u"ace");
  EXPECT_EQ(removePercentPieces(u"a%b%c%d"), u"ac%d");
  EXPECT_EQ(removePercentPieces(u"%%%%"), u"");
}

TEST(GetBatFirstLine, ScriptNamedInArguments) {
  Rig rig;
  rig.addFile(u"C:\\s\\run.cmd", "start C:\\x.exe");
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"/c \"C:\\s\\run.cmd\" http://ad.test", true),
            u"start C:\\x.exe");
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"/c C:\\s\\gone.cmd", true), u"");
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"/c start http://ad.test", true), u"");
  EXPECT_TRUE(rig.recorder.empty());
}

TEST(GetBatFirstLine, MissingOrEmptyIsSilentUnreadableIsRecorded) {
  Rig rig;
  rig.addFile(u"C:\\s\\empty.bat", "");
  rig.addFile(u"C:\\s\\locked.bat", "start C:\\x.exe");
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"C:\\s\\missing.bat", false), u"");
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"C:\\s\\empty.bat", false), u"");
  EXPECT_TRUE(rig.recorder.empty());

  // Another program holds the file open without sharing it.
  auto& files = rig.machine.files();
  const auto holder =
      files.createFile(u"C:\\s\\locked.bat", platform::access::kGenericWrite,
                       platform::share::kNone, platform::Disposition::kOpenExisting);
  ASSERT_TRUE(holder.ok());
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"C:\\s\\locked.bat", false), u"");
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"x \"C:\\s\\locked.bat\"", true), u"");
  ASSERT_EQ(rig.recorder.size(), 2u);
  const auto& plain = rig.recorder.records()[0];
  EXPECT_EQ(plain.failure.number, rt::kPermissionDenied);
  EXPECT_EQ(plain.failure.lastSystemError, 32);
  EXPECT_EQ(plain.context,
            (std::vector<std::u16string>{u"Parser.GetBAT_FirstLine", u"File: C:\\s\\locked.bat"}));
  EXPECT_EQ(
      rig.recorder.records()[1].context,
      (std::vector<std::u16string>{u"Parser.GetBAT_FirstLine",
                                   u"String: x \"C:\\s\\locked.bat\" File: C:\\s\\locked.bat"}));
  (void)files.closeHandle(holder.value);
  EXPECT_EQ(files.openHandleCount(), 0u);
}

TEST(GetBatFirstLine, ReadsAtMostTheCap) {
  Rig rig;
  rig.addFile(u"C:\\s\\huge.bat", std::string(kScriptReadLimit + 4096, 'a'));
  EXPECT_EQ(rig.analysis->GetBAT_FirstLine(u"C:\\s\\huge.bat", false).size(), kScriptReadLimit);
}

// --- Registry values, paths, environment, patterns ------------------------------

TEST(ClearPathFromRegistry, TakesTheProgramPath) {
  Rig rig;
  struct Case {
    const char16_t* value;
    const char16_t* path;
  };
  for (const Case& c : {
           Case{u"\"C:\\p\\x.exe\" -a", u"C:\\p\\x.exe"},
           Case{u"C:\\p\\x.exe -a", u"C:\\p\\x.exe"},
           Case{u"C:\\Program Files\\x.EXE", u"C:\\Program Files\\x.EXE"},
           Case{u"C:\\Program Files\\x.exe,0", u"C:\\Program"},
           Case{u"\"\"", u""},
           Case{u"", u""},
       }) {
    EXPECT_EQ(rig.analysis->ClearPathFromRegistry(c.value), c.path) << utf16ToUtf8(c.value);
  }
  EXPECT_TRUE(rig.recorder.empty());

  EXPECT_EQ(rig.analysis->ClearPathFromRegistry(u"\"C:\\p\\x.exe -a"), u"");
  ASSERT_EQ(rig.recorder.size(), 1u);
  EXPECT_EQ(rig.recorder.records()[0].failure.number, rt::kInvalidProcedureCall);
  EXPECT_EQ(rig.recorder.records()[0].context,
            std::vector<std::u16string>{u"Parser.ClearPathFromRegistry"});
}

TEST(PathHelpers, InputComesBackWhenTheSystemCallFailsOrOverflows) {
  Rig rig;
  EXPECT_EQ(rig.analysis->GetFullPath(u"C:\\p\\..\\q\\x.exe"), u"C:\\q\\x.exe");
  EXPECT_EQ(rig.analysis->GetLongPath(u"C:\\p\\missing.exe"), u"C:\\p\\missing.exe");
  rig.machine.files().faults().failAlways(platform::sim::FileOp::kGetFullPathName,
                                          platform::kErrorAccessDenied);
  EXPECT_EQ(rig.analysis->GetFullPath(u"C:\\p\\..\\x.exe"), u"C:\\p\\..\\x.exe");

  ASSERT_TRUE(rig.machine.system().setEnvironmentVariable(u"LONG", std::u16string(300, u'x')).ok());
  EXPECT_EQ(rig.analysis->EnvironW(u"%SystemRoot%\\system32"), u"C:\\Windows\\system32");
  EXPECT_EQ(rig.analysis->EnvironW(u"%LONG%"), u"%LONG%");  // 300 characters do not fit
  EXPECT_TRUE(rig.recorder.empty());
}

TEST(TestPattern, UsesTheGeneralObjectAndRecordsBadPatterns) {
  Rig rig;
  EXPECT_TRUE(rig.analysis->TestPattern(u"CMD.EXE /c start", u"^cmd\\.exe"));
  EXPECT_EQ(rig.patterns.general.pattern(), u"^cmd\\.exe");
  EXPECT_FALSE(rig.analysis->TestPattern(u"x", u"[x"));
  ASSERT_EQ(rig.recorder.size(), 1u);
  EXPECT_EQ(rig.recorder.records()[0].failure.number, regexp_error::kSyntaxError);
  EXPECT_EQ(rig.recorder.records()[0].context, std::vector<std::u16string>{u"Parser.TestPattern"});
}

}  // namespace
}  // namespace tolvaran
