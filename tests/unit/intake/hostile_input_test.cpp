// Hostile input: every case completes, records nothing of its own, leaves no
// file open, and does work in proportion to the lines that hold a path, not
// to the size of the text. The work is counted in calls of the file port
// (the journal of the simulated machine): each existence test makes a few.
#include <gtest/gtest.h>

#include <random>

#include "intake/list_line.h"
#include "unit/intake/intake_rig.h"

namespace tolvaran {
namespace {

using namespace intake_test;
using namespace std::string_view_literals;

constexpr std::u16string_view kTool = u"C:\\Users\\User\\Desktop\\Tool.lnk";
// File calls a missing path may cost: six suffixes and the report's long
// form, each a handful of calls, with room to spare.
constexpr std::size_t kCallsPerMissingPath = 40;

std::size_t fileCalls(IntakeRig& rig) {
  return rig.machine.files().journal().size();
}

void expectClean(IntakeRig& rig) {
  EXPECT_EQ(rig.intakeFailures(), 0u);
  EXPECT_EQ(rig.leakedHandles(), 0u);
  EXPECT_EQ(rig.machine.files().openFindCount(), 0u);
}

TEST(HostileInputTest, TenMegabytesOfPastedTextInAHundredThousandLines) {
  for (const std::u16string_view lineEnd : {u"\r\n", u"\n"}) {
    SCOPED_TRACE(lineEnd.size());
    IntakeRig rig;
    rig.addPlainShortcut(kTool);
    std::u16string text;
    text.reserve(10u * 1024u * 1024u / 2u + 64u);
    const std::u16string filler(46, u'x');
    for (int line = 0; line < 100'000; ++line) {
      if (line % 10'000 == 0) {
        text += u"C:\\Gone\\" + toDecimal(line) + u".lnk";
      } else if (line == 55'555) {
        text += kTool;
      } else {
        text += filler;
      }
      text += lineEnd;
    }
    ASSERT_GE(text.size() * 2, 9'000'000u);
    rig.machine.files().clearJournal();

    EXPECT_TRUE(rig.intake.CureListLNK(text, false, true));
    EXPECT_EQ(rig.linesTagged(u"[SKIP]").size(), 10u);
    EXPECT_TRUE(rig.processed(kTool));
    EXPECT_LE(fileCalls(rig), 10 * kCallsPerMissingPath + 200);  // and the cure of Tool.lnk
    expectClean(rig);
  }
}

TEST(HostileInputTest, AMegabyteLineAndLongestPaths) {
  IntakeRig rig;
  // One megabyte each: a hundred thousand spaces and drive letters, and a
  // hundred thousand extensions. The match is far longer than any path;
  // of its shorter readings only a few that could name a file are tried.
  std::u16string spacesAndDrives = u"C:\\";
  while (spacesAndDrives.size() < 512 * 1024) spacesAndDrives += u"a b.lnk C:\\ ";
  spacesAndDrives += u"end.url";
  std::u16string extensions = u"C:\\a";
  while (extensions.size() < 512 * 1024) extensions += u".lnk.Url";
  for (const std::u16string& line : {spacesAndDrives, extensions}) {
    rig.log.ResetLogState();
    rig.machine.files().clearJournal();
    EXPECT_TRUE(rig.intake.parser().CureLinkLine(line, false));
    EXPECT_EQ(rig.linesTagged(u"[SKIP]").size(), 1u);
    EXPECT_LE(fileCalls(rig), (1 + kShorterReadings) * kCallsPerMissingPath);
  }

  // The longest path Windows accepts, found and cured.
  std::u16string longest = u"C:\\";
  while (longest.size() + 251 + 4 < kLongestPath) longest += std::u16string(250, u'd') + u"\\";
  longest += std::u16string(kLongestPath - longest.size() - 4, u'n') + u".lnk";
  ASSERT_EQ(longest.size(), kLongestPath);
  rig.addPlainShortcut(longest);
  EXPECT_TRUE(rig.intake.parser().CureLinkLine(longest, false));
  EXPECT_TRUE(rig.processed(longest));

  // As long, with sixteen thousand spaces, in folders that do not exist:
  // a folder level at a time is ruled out, not a space at a time.
  std::u16string spaced = u"C:\\";
  while (spaced.size() + 201 < kLongestPath - 4)
    spaced += u"a " + std::u16string(98, u'a') + u" " + std::u16string(98, u'b') + u"\\";
  spaced += u"x.lnk";
  std::u16string spacy(kLongestPath - 8, u' ');
  spacy.replace(0, 3, u"C:\\");
  spacy += u"\\b c.lnk";
  for (const std::u16string& path : {spaced, spacy}) {
    rig.machine.files().clearJournal();
    EXPECT_TRUE(rig.intake.parser().CureLinkLine(path, false));
    EXPECT_LE(fileCalls(rig), 3 * kCallsPerMissingPath);
  }
  // One that climbs out of its folders can go anywhere: a bounded number of
  // spaces is tried.
  std::u16string climbing = u"C:\\..\\";
  while (climbing.size() < 16'000) climbing += u"a ";
  climbing += u"x.lnk";
  rig.machine.files().clearJournal();
  EXPECT_TRUE(rig.intake.parser().CureLinkLine(climbing, false));
  EXPECT_LE(fileCalls(rig), kMostSpaceRemovals * 6 + kCallsPerMissingPath);
  expectClean(rig);
}

TEST(HostileInputTest, BinaryGarbageOddLengthsAndLoneSurrogates) {
  IntakeRig rig;
  std::mt19937 random(7);
  std::string garbage(1024 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  // A real line inside; the garbage is binary (NULs) or some code page's
  // text (none).
  garbage.replace(1000, 20, "\r\nC:\\Gone\\a.lnk\r\n\r\n");
  std::string text = garbage;
  for (char& c : text) c = c == '\0' ? 'x' : c;
  rig.machine.files().addFile(u"C:\\Lists\\ansi.txt", "ANSI" + text);
  rig.machine.files().addFile(u"C:\\Lists\\wide.txt", garbage + "\x01");
  rig.machine.files().addFile(u"C:\\Lists\\odd.txt",
                              utf16File(u"C:\\\xD800\\a.lnk\r\nC:\\b\xDC00.url\r\n") + "\x41");
  for (const std::u16string_view list :
       {u"C:\\Lists\\ansi.txt", u"C:\\Lists\\wide.txt", u"C:\\Lists\\odd.txt"}) {
    SCOPED_TRACE(utf16ToUtf8(list));
    EXPECT_TRUE(rig.intake.CureObject(list, true, u""));
  }
  EXPECT_GE(rig.linesTagged(u"[SKIP]").size(), 3u);

  // The same bytes pasted, surrogates and NULs and all.
  std::u16string pasted = utf16leToText(garbage);
  pasted += u"\r\n\"C:\\\xDBFF\\x.lnk\"\r\nC:\\\0\\y.lnk"sv;
  EXPECT_TRUE(rig.intake.CureListLNK(pasted, false, true));
  expectClean(rig);
}

TEST(HostileInputTest, DevicesAndLiteralPathsAreNeverOpenedAsDevices) {
  IntakeRig rig;
  rig.addPlainShortcut(kTool);
  rig.machine.files().clearJournal();
  const std::u16string text =
      u"C:\\CON.lnk\r\nC:\\Users\\nul.txt\r\nC:\\com1.url\r\n"
      u"\"D:\\LPT2 .ico\"\r\nC:\\Users\\User\\Desktop\\Co n.lnk\r\n"
      u"\\\\?\\C:\\Users\\User\\Desktop\\Tool.lnk\r\n";
  EXPECT_TRUE(rig.intake.CureListLNK(text, false, true));
  EXPECT_EQ(rig.linesTagged(u"[SKIP]").size(), 5u);
  EXPECT_TRUE(rig.processed(kTool));
  for (const auto& call : rig.machine.files().journal()) {
    // The report shows a missing path in its long form, and the run tells
    // paths apart by their full form: asking for either opens nothing.
    if (call.op == platform::sim::FileOp::kGetLongPathName ||
        call.op == platform::sim::FileOp::kGetFullPathName) {
      continue;
    }
    EXPECT_FALSE(contains(call.path, u"CON.lnk") || contains(call.path, u"com1.url") ||
                 contains(call.path, u"Con.lnk"))
        << utf16ToUtf8(call.path);
  }
  // Given directly, a device is refused before anything touches it.
  EXPECT_FALSE(rig.intake.CureObject(u"C:\\CON.lnk", true, u""));
  EXPECT_FALSE(rig.intake.CureObject(u"NUL", true, u""));
  EXPECT_EQ(rig.processedCount(), 1u);

  // A dropped folder in the literal form is walked like any other.
  rig.addPlainShortcut(u"C:\\Lists\\Other.lnk");
  (void)rig.intake.CureObject(u"\\\\?\\C:\\Lists", true, u"");
  EXPECT_TRUE(rig.processed(u"\\\\?\\C:\\Lists\\Other.lnk"));
  expectClean(rig);
}

TEST(HostileInputTest, ListsThatNameThemselvesOrTheirFolder) {
  IntakeRig rig;
  rig.addPlainShortcut(kTool);
  // A list naming itself, and a folder that looks like a list and holds one
  // naming that folder: a list is opened only when given directly.
  rig.machine.files().addFile(u"C:\\Lists\\self.txt",
                              "C:\\Lists\\self.txt\r\nC:\\Data.log\r\nC:\\Lists\r\n");
  rig.machine.files().addFile(u"C:\\Data.log\\list.txt",
                              "C:\\Data.log\r\nC:\\Users\\User\\Desktop\\Tool.lnk");
  EXPECT_TRUE(rig.intake.CureObject(u"C:\\Lists\\self.txt", true, u""));
  EXPECT_TRUE(rig.intake.CureObject(u"C:\\Data.log", true, u""));
  EXPECT_TRUE(rig.shown().empty());  // no repeat question: each list read once
  EXPECT_FALSE(rig.processed(kTool));
  EXPECT_TRUE(rig.intake.CureObject(u"C:\\Data.log\\list.txt", true, u""));
  EXPECT_TRUE(rig.processed(kTool));
  expectClean(rig);
}

}  // namespace
}  // namespace tolvaran
