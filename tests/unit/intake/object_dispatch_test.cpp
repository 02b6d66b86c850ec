// Every path by what it names: folders walked, shortcuts cured, planted files
// deleted, list files read only when given directly; and the search for the
// file behind a listed path.
#include "intake/object_dispatch.h"

#include <gtest/gtest.h>

#include "unit/intake/intake_rig.h"

namespace tolvaran {
namespace {

using namespace intake_test;

constexpr std::u16string_view kFolder = u"C:\\Users\\User\\Desktop";
constexpr std::u16string_view kTool = u"C:\\Users\\User\\Desktop\\Tool.lnk";

bool handled(IntakeRig& rig, std::u16string_view path) {
  return rig.processed(path);
}

TEST(CheckValidExtensionTest, TheEightKindsInAnyCaseAtTheVeryEnd) {
  struct Case {
    std::u16string_view path;
    std::u16string_view kind;
  } cases[] = {
      {u"C:\\a\\b.Lnk", u"LNK"},
      {u"C:\\a\\b.APPREF-MS", u"APPREF-MS"},
      {u"C:\\a\\b.application", u"APPLICATION"},
      {u"C:\\a\\b.WebSite", u"WEBSITE"},
      {u"C:\\a\\b.txt", u"TXT"},
      {u".lnk", u"LNK"},
      {u"C:\\a\\b.ln\u212A", u""},      // KELVIN SIGN: no "k" to a file system
      {u"C:\\a\\b.web\u017Fite", u""},  // LONG S
      {u"C:\\a\\b.appref-m\u017F", u""},
      {u"C:\\a\\b.lnk.bak", u""},
      {u"C:\\a\\b.lnk ", u""},
      {u"C:\\a\\blnk", u""},
      {u"lnk", u""},
      {u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckValidExtension(c.path), c.kind) << utf16ToUtf8(c.path);
  }
}

TEST(CureObjectTest, AFolderIsWalkedOneLevelWithoutOpeningLists) {
  IntakeRig rig;
  rig.addPlainShortcut(kTool);
  rig.addPlainShortcut(u"C:\\Users\\User\\Desktop\\Hidden.lnk");
  ASSERT_TRUE(
      rig.machine.files()
          .setFileAttributes(u"C:\\Users\\User\\Desktop\\Hidden.lnk", platform::attr::kHidden)
          .ok());
  rig.addPlainShortcut(u"C:\\Users\\User\\Desktop\\Sub\\Deep.lnk");
  rig.machine.files().addFile(u"C:\\Users\\User\\Desktop\\b.txt",
                              "C:\\Users\\User\\Other\\Listed.lnk");
  rig.addPlainShortcut(u"C:\\Users\\User\\Other\\Listed.lnk");
  rig.machine.files().addFile(u"C:\\Users\\User\\Desktop\\notes.doc", "x");

  EXPECT_TRUE(rig.intake.CureObject(kFolder, true, u""));
  EXPECT_TRUE(handled(rig, kTool));
  EXPECT_FALSE(handled(rig, u"C:\\Users\\User\\Other\\Listed.lnk"));  // b.txt is not opened
  EXPECT_TRUE(handled(rig, u"C:\\Users\\User\\Desktop\\Hidden.lnk"));  // hiding is a hijack's
  EXPECT_FALSE(handled(rig, u"C:\\Users\\User\\Desktop\\Sub\\Deep.lnk"));
  EXPECT_EQ(rig.processedCount(), 2u);
  EXPECT_TRUE(rig.rememberedHash().empty());

  // A drive root keeps its one backslash.
  rig.addPlainShortcut(u"C:\\Root.lnk");
  EXPECT_TRUE(rig.intake.CureObject(u"C:\\", true, u""));
  EXPECT_TRUE(handled(rig, u"C:\\Root.lnk"));

  rig.machine.files().addFolder(u"C:\\Empty");
  rig.machine.files().addFile(u"C:\\Empty\\readme.doc", "x");
  EXPECT_FALSE(rig.intake.CureObject(u"C:\\Empty", true, u""));
}

TEST(CureObjectTest, PlantedFilesAreDeletedAndReported) {
  for (const std::u16string_view name :
       {u"ad.url", u"ad.ICO", u"ad.website", u"ad.appref-ms", u"ad.application"}) {
    SCOPED_TRACE(utf16ToUtf8(name));
    IntakeRig rig;
    const std::u16string path = std::u16string(kFolder) + u"\\" + std::u16string(name);
    rig.machine.files().addFile(path, "[InternetShortcut]");
    EXPECT_TRUE(rig.intake.CureObject(path, true, u""));
    EXPECT_FALSE(rig.exists(path));
    const auto deleted = rig.linesTagged(u"[DEL ]");
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_TRUE(contains(deleted[0], path));
    EXPECT_EQ(rig.log.Statistics.Deleted, 1);
    EXPECT_EQ(rig.log.Statistics.Total, 1);
  }

  // Named in a list line, the same way.
  IntakeRig rig;
  rig.machine.files().addFile(u"C:\\Users\\User\\Desktop\\ad.website", "x");
  EXPECT_TRUE(rig.intake.CureListLNK(u"\"C:\\Users\\User\\Desktop\\ad.website\"", false, true));
  EXPECT_FALSE(rig.exists(u"C:\\Users\\User\\Desktop\\ad.website"));
}

TEST(CureObjectTest, MissingAndUncurableObjectsAreNotHandled) {
  IntakeRig rig;
  rig.machine.files().addFile(u"C:\\Lists\\tool.exe", "MZ");
  EXPECT_FALSE(rig.intake.CureObject(u"C:\\Lists\\tool.exe", true, u""));
  EXPECT_TRUE(rig.exists(u"C:\\Lists\\tool.exe"));
  // A missing shortcut still reaches the cure, which reports it.
  EXPECT_FALSE(rig.intake.CureObject(u"C:\\Gone\\a.lnk", true, u""));
  EXPECT_TRUE(handled(rig, u"C:\\Gone\\a.lnk"));
  EXPECT_FALSE(rig.intake.CureObject(u"C:\\Gone\\a.url", true, u""));
}

TEST(CureObjectTest, ADirectListFileIsGuardedThenImportedOrRead) {
  constexpr std::u16string_view kList = u"C:\\Lists\\list.log";
  constexpr std::uint32_t kOkWarning = 48;
  {
    // Empty: refused before the guard.
    IntakeRig rig;
    rig.machine.files().addFile(kList, "");
    EXPECT_FALSE(rig.intake.CureObject(kList, true, u""));
    ASSERT_EQ(rig.shown().size(), 1u);
    EXPECT_EQ(rig.shown()[0].text, rig.messages.msg(Msg::kEmptyListFile));
    EXPECT_EQ(rig.shown()[0].type, kOkWarning);
    EXPECT_TRUE(rig.rememberedHash().empty());
    // Missing: its size is 0 too.
    EXPECT_FALSE(rig.intake.CureObject(u"C:\\Lists\\gone.txt", true, u""));
    EXPECT_EQ(rig.shown().size(), 2u);
  }
  {
    IntakeRig rig;
    rig.addPlainShortcut(kTool);
    rig.machine.files().addFile(kList, utf16File(u"-x\r\nC:\\Users\\User\\Desktop\\Tool.lnk"));
    EXPECT_TRUE(rig.intake.CureObject(kList, true, u""));
    EXPECT_TRUE(handled(rig, kTool));
    EXPECT_EQ(rig.rememberedHash(), rig.md5.DigestFileToHexStr(kList));
    // Named by a list line, a list is not opened, but counts as handled.
    IntakeRig nested;
    nested.addPlainShortcut(kTool);
    nested.machine.files().addFile(kList, "C:\\Users\\User\\Desktop\\Tool.lnk");
    EXPECT_TRUE(nested.intake.CureObject(kList, false, u""));
    EXPECT_FALSE(handled(nested, kTool));
  }
}

TEST(FindLnkTest, SuffixesFirstThenEachSpaceLeftToRight) {
  struct Case {
    const char* name;
    std::vector<std::u16string_view> files;
    std::u16string_view listed;
    std::u16string_view found;
  } cases[] = {
      {"as written", {u"C:\\d\\a.lnk"}, u"C:\\d\\a.lnk", u"C:\\d\\a.lnk"},
      {"a .LNK suffix",
       {u"C:\\Desktop\\Google Chrome.LNK"},
       u"C:\\Desktop\\Google Chrome",
       u"C:\\Desktop\\Google Chrome.LNK"},
      {"suffix order", {u"C:\\d\\a.url", u"C:\\d\\a.txt"}, u"C:\\d\\a", u"C:\\d\\a.TXT"},
      {"no .ico suffix", {u"C:\\d\\a.ico"}, u"C:\\d\\a", u""},
      {"no lookalike of a suffix",
       {u"C:\\d\\a.ln\u212A", u"C:\\d\\a.web\u017Fite"},
       u"C:\\d\\a",
       u""},
      {"first space first",
       {u"C:\\ab\\c d.lnk", u"C:\\a b\\cd.lnk"},
       u"C:\\a b\\c d.lnk",
       u"C:\\ab\\c d.lnk"},
      {"second space", {u"C:\\a b\\cd.lnk"}, u"C:\\a b\\c d.lnk", u"C:\\a b\\cd.lnk"},
      {"one space at a time", {u"C:\\ab\\cd.lnk"}, u"C:\\a b\\c d.lnk", u""},
      {"no suffix after a space", {u"C:\\d\\ab.lnk"}, u"C:\\d\\a b", u""},
      {"a folder counts", {}, u"C:\\Users", u"C:\\Users"},
      {"nothing", {}, u"C:\\d\\a.lnk", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IntakeRig rig;
    for (const std::u16string_view file : c.files) rig.machine.files().addFile(file, "x");
    EXPECT_EQ(rig.intake.finder().FindLNK(c.listed), c.found);
  }
}

}  // namespace
}  // namespace tolvaran
