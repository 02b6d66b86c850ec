// The shortcut cure on a simulated machine, for what the scenarios in
// tests/scenarios/ do not pin: every field an undamaged shortcut keeps, the
// arguments a browser shortcut is left with, network targets that stay, and
// a fake renamed or one that cannot be.
#include "engine/shortcut_cure.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/path_names.h"
#include "unit/engine/engine_rig.h"

namespace tolvaran {
namespace {

using namespace engine_test;

constexpr std::u16string_view kTool = u"C:\\Users\\User\\Desktop\\My Tool.lnk";

TEST(FixLnkTest, AnUndamagedShortcutKeepsEverythingButForeignArguments) {
  EngineRig rig;
  rig.addProgram(u"C:\\Apps\\tool.exe");
  rig.addShortcut(kTool, {.target = u"C:\\Apps\\tool.exe",
                          .arguments = u"--flag",
                          .workingDir = u"C:\\Elsewhere",
                          .description = u"My tool",
                          .hotkey = 0x0654,
                          .showCmd = 3});
  rig.cure(kTool);
  EXPECT_EQ(rig.codes().RuleCode, u"RN");
  const LnkRecord cured = rig.readShortcut(kTool);
  EXPECT_EQ(cured.Target, u"C:\\Apps\\tool.exe");
  EXPECT_EQ(cured.Arguments, u"");
  EXPECT_EQ(cured.WorkingDir, u"C:\\Elsewhere");  // the user's, as the program did not change
  EXPECT_EQ(cured.Description, u"My tool");
  EXPECT_EQ(cured.Hotkey, 0x0654);
  EXPECT_EQ(cured.ShowCmd, 3);
  EXPECT_TRUE(contains(lineTagged(rig, u"[ OK ]"), u"(Method RN-S)   (OK)"));

  // Cured already: nothing changes and the line says so.
  EngineRig again;
  again.addProgram(u"C:\\Apps\\tool.exe");
  again.addShortcut(kTool, {.target = u"C:\\Apps\\tool.exe", .workingDir = u"C:\\Apps"});
  again.cure(kTool);
  EXPECT_TRUE(contains(lineTagged(again, u"[WARN]"), u"(already cured)"));
  EXPECT_EQ(again.log.Statistics.Warnings, 1);
  EXPECT_EQ(again.log.Statistics.Cured, 0);
}

TEST(FixLnkTest, ABrowserShortcutKeepsOnlyLegitimateArguments) {
  struct Case {
    const char* name;
    std::u16string_view arguments;
    std::u16string_view afterwards;
    std::u16string_view tag;
  } cases[] = {
      {"advertising page", u"http://ads.example", u"", u"[ OK ]"},
      {"a profile", u"--profile-directory=Default", u"--profile-directory=Default", u"[WARN]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EngineRig rig;
    rig.addProgram(kChrome);
    rig.addShortcut(kChromeShortcut, {.target = std::u16string(kChrome),
                                      .arguments = std::u16string(c.arguments),
                                      .workingDir = GetPathName(kChrome)});
    rig.cure(kChromeShortcut);
    EXPECT_EQ(rig.codes().RuleCode, u"RN");
    const LnkRecord cured = rig.readShortcut(kChromeShortcut);
    EXPECT_EQ(cured.Target, kChrome);
    EXPECT_EQ(cured.Arguments, c.afterwards);
    EXPECT_FALSE(lineTagged(rig, c.tag).empty());
  }
}

TEST(FixLnkTest, ANetworkProgramIsKeptThoughItCannotBeExamined) {
  EngineRig rig;
  rig.addShortcut(kTool, {.target = u"\\\\server\\share\\tool.exe", .arguments = u"--x"});
  rig.cure(kTool);
  EXPECT_EQ(rig.codes().RuleCode, u"RN");
  EXPECT_EQ(rig.readShortcut(kTool).Target, u"\\\\server\\share\\tool.exe");
  EXPECT_TRUE(lineTagged(rig, u"[DEL ]").empty());
}

TEST(FixLnkTest, AFakeThatCannotBeRenamedIsCuredWhereItIs) {
  constexpr std::u16string_view kFake = u"C:\\Users\\User\\Desktop\\Xpoм.lnk";
  EngineRig rig;
  addInterpreter(rig);
  rig.addProgram(kChrome);
  rig.addShortcut(kFake,
                  {.target = std::u16string(kCmd), .arguments = u"/c start http://ads.example"});
  rig.machine.files().faults().failNth(platform::sim::FileOp::kMoveFile, 1,
                                       platform::kErrorAccessDenied);
  rig.cure(kFake);
  EXPECT_TRUE(contains(lineTagged(rig, u"[ERR ]"),
                       u"(ERROR: cannot rename a shortcut! Code: 5. Access is denied.)"));
  EXPECT_EQ(rig.readShortcut(kFake).Target, kChrome);
  EXPECT_EQ(rig.log.Statistics.Errors, 1);
  EXPECT_EQ(rig.log.Statistics.Cured, 1);
  EXPECT_EQ(rig.log.Statistics.Renamed, 0);
}

TEST(FixLnkTest, ARenamedFakeIsAnnouncedToTheShellAsOneRename) {
  constexpr std::u16string_view kFake = u"C:\\Users\\User\\Desktop\\Xpoм.lnk";
  EngineRig rig;
  addInterpreter(rig);
  rig.addProgram(kChrome);
  rig.addShortcut(kFake,
                  {.target = std::u16string(kCmd), .arguments = u"/c start http://ads.example"});
  rig.cure(kFake);
  ASSERT_EQ(rig.log.Statistics.Renamed, 1);
  const auto& notes = rig.machine.shellOps().notifications();
  const auto rename = std::find_if(notes.begin(), notes.end(), [](const auto& note) {
    return note.event == platform::shell::kShcneRenameItem;
  });
  ASSERT_NE(rename, notes.end());
  EXPECT_EQ(rename->flags, 0x1005u);  // wide paths, flushed
  EXPECT_EQ(rename->path, kFake);
  EXPECT_NE(rename->secondPath, kFake);
  EXPECT_TRUE(rig.exists(rename->secondPath));
}

}  // namespace
}  // namespace tolvaran
