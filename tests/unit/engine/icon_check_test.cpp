// The icon check: each reason, the order in which they are tried, and the
// icons it must leave alone.
#include "engine/icon_check.h"

#include <gtest/gtest.h>

#include "unit/engine/engine_rig.h"

namespace tolvaran {
namespace {

using engine_test::EngineRig;

constexpr std::uint64_t kDay = 24ull * 60 * 60 * 1000;
constexpr std::u16string_view kTarget = u"C:\\Program Files\\Browser\\browser.exe";

struct IconRig : EngineRig {
  IconRig() {
    addProgram(kTarget, "MZ the browser");
    addProgram(u"C:\\Windows\\System32\\shell32.dll", "MZ icons");
    addProgram(u"C:\\Icons\\old.ico", "icon");
    addProgram(u"C:\\Copies\\browser.exe", "MZ the browser");
    addProgram(u"C:\\Copies\\other.exe", "MZ another program");
    addProgram(u"C:\\Copies\\evil.bat.exe", "MZ dropper");
    // Everything above was installed long ago.
    machine.clock().advance(30 * kDay);
  }
  // The reason, or "-" when the icon is not suspicious.
  std::u16string check(std::u16string_view target, std::u16string_view icon) {
    std::u16string reason = u"-";
    const bool suspicious = engine.icons().isSuspiciousIcon(target, icon, reason);
    EXPECT_EQ(suspicious, reason != u"-");
    return reason;
  }
};

TEST(IconCheckTest, GivesTheFirstReasonThatApplies) {
  IconRig rig;
  rig.addProgram(u"C:\\Icons\\fresh.ico", "new icon");
  const struct {
    std::u16string_view target;
    std::u16string_view icon;
    std::u16string_view reason;
  } cases[] = {
      {kTarget, u"", u"-"},
      {u"", u"C:\\Icons\\old.ico", u"-"},
      {kTarget, u"C:\\Icons\\old.ico", u"-"},
      {kTarget, kTarget, u"-"},
      {kTarget, u"C:\\Windows\\System32\\shell32.dll", u"-"},
      // A Cyrillic "о" and "е" in the icon's name: a look-alike of the
      // target, reported as such even though no such file exists.
      {kTarget, u"C:\\Icons\\brоwsеr.exe", u"1"},
      {kTarget, u"C:\\Icons\\missing.ico", u"3"},
      // The program itself copied elsewhere to carry the icon.
      {kTarget, u"C:\\Copies\\browser.exe", u"4"},
      // Same folder, different bytes, old: nothing.
      {kTarget, u"C:\\Copies\\other.exe", u"-"},
      {kTarget, u"C:\\Icons\\fresh.ico", u"6"},
      {kTarget, u"C:\\Copies\\evil.bat.exe", u"5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.icon.begin(), c.icon.end()));
    EXPECT_EQ(rig.check(c.target, c.icon), c.reason);
  }
}

TEST(IconCheckTest, CountsCalendarDaysNotHours) {
  IconRig rig;
  // Created at 23:00 on the first day; checked at 01:00 fourteen calendar
  // days later: under 14 × 24 hours, but 14 days by the calendar.
  rig.machine.clock().setLocalTime({2026, 3, 0, 1, 23, 0, 0, 0});
  rig.addProgram(u"C:\\Icons\\new.ico", "icon");
  rig.machine.clock().setLocalTime({2026, 3, 0, 15, 1, 0, 0, 0});
  EXPECT_EQ(rig.check(kTarget, u"C:\\Icons\\new.ico"), u"-");
  rig.machine.clock().setLocalTime({2026, 3, 0, 14, 23, 59, 0, 0});
  EXPECT_EQ(rig.check(kTarget, u"C:\\Icons\\new.ico"), u"6");
}

TEST(IconCheckTest, ExpandsVariablesBeforeTestingTheIcon) {
  IconRig rig;
  EXPECT_EQ(rig.check(kTarget, u"%SystemRoot%\\System32\\shell32.dll"), u"-");
  EXPECT_EQ(rig.check(kTarget, u"%SystemRoot%\\System32\\gone.dll"), u"3");
}

TEST(IconCheckTest, AnEmptyOrUnreadableFileIsNoCopyOfTheTarget) {
  IconRig rig;
  rig.addProgram(u"C:\\Empty\\a.exe", "");
  rig.addProgram(u"C:\\Other\\b.ico", "");
  rig.machine.clock().advance(30 * kDay);
  EXPECT_EQ(rig.check(u"C:\\Empty\\a.exe", u"C:\\Other\\b.ico"), u"-");
}

}  // namespace
}  // namespace tolvaran
