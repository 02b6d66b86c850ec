// The question before a list is cured again: when it is asked, what each
// answer does, and what is remembered.
#include "intake/repeat_guard.h"

#include <gtest/gtest.h>

#include "engine/path_names.h"
#include "unit/intake/intake_rig.h"

namespace tolvaran {
namespace {

using namespace intake_test;

constexpr std::u16string_view kList = u"C:\\Lists\\list.txt";
constexpr std::uint32_t kYesNoWarning = 52;

std::size_t questions(IntakeRig& rig) {
  std::size_t n = 0;
  for (const auto& shown : rig.shown()) {
    if (shown.text == rig.messages.msg(Msg::kRepeatQuestion)) {
      EXPECT_EQ(shown.type, kYesNoWarning);
      EXPECT_EQ(shown.caption, kCaption);
      ++n;
    }
  }
  return n;
}

TEST(RepeatGuardTest, OnlyTheLastInputIsRemembered) {
  IntakeRig rig;
  RepeatGuard& guard = rig.intake.guard();
  ASSERT_FALSE(rig.exists(rig.settings.SettingsPath()));
  guard.CompareInputHashes(u"text A", false);
  EXPECT_TRUE(rig.exists(rig.settings.SettingsPath()));
  EXPECT_EQ(rig.rememberedHash(), rig.md5.DigestStrToHexStr(u"text A"));
  guard.CompareInputHashes(u"text B", false);
  guard.CompareInputHashes(u"text A", false);
  EXPECT_EQ(questions(rig), 0u);

  guard.CompareInputHashes(u"text A", false);  // answered Yes: nothing changes
  EXPECT_EQ(questions(rig), 1u);
  EXPECT_EQ(rig.rememberedHash(), rig.md5.DigestStrToHexStr(u"text A"));

  // The stored digest is compared without regard to case.
  (void)rig.settings.WriteSettings(kLastHashKey, lowerCase(rig.md5.DigestStrToHexStr(u"text C")));
  guard.CompareInputHashes(u"text C", false);
  EXPECT_EQ(questions(rig), 2u);
}

TEST(RepeatGuardTest, AFileIsKnownByItsBytesNotByItsText) {
  IntakeRig rig;
  RepeatGuard& guard = rig.intake.guard();
  rig.machine.files().addFile(kList, utf16File(u"C:\\a.lnk"));
  guard.CompareInputHashes(kList, true);
  EXPECT_EQ(rig.rememberedHash(), rig.md5.DigestFileToHexStr(kList));
  guard.CompareInputHashes(u"C:\\a.lnk", false);  // its content pasted
  guard.CompareInputHashes(kList, true);
  EXPECT_EQ(questions(rig), 0u);
  guard.CompareInputHashes(kList, true);
  EXPECT_EQ(questions(rig), 1u);
}

TEST(RepeatGuardTest, NoEndsTheProgramInTheMiddleOfTheRun) {
  IntakeRig rig;
  rig.intake.guard().CompareInputHashes(u"C:\\Gone\\a.lnk", false);
  rig.machine.ui().queueAnswer(platform::id::kNo);
  EXPECT_THROW(rig.intake.CureListLNK(u"C:\\Gone\\a.lnk", false, true), platform::ProgramEnded);
  EXPECT_EQ(rig.machine.ui().exitCode(), 0u);
  EXPECT_TRUE(rig.lines().empty());  // no line was cured before the question

  // From a dropped list file the same way: through the dispatcher.
  IntakeRig dropped;
  dropped.machine.files().addFile(kList, "C:\\Gone\\a.lnk");
  EXPECT_TRUE(dropped.intake.CureObject(kList, true, u""));
  dropped.machine.ui().queueAnswer(platform::id::kNo);
  EXPECT_THROW(dropped.intake.CureObject(kList, true, u""), platform::ProgramEnded);
  EXPECT_EQ(dropped.linesTagged(u"[SKIP]").size(), 1u);
}

}  // namespace
}  // namespace tolvaran
