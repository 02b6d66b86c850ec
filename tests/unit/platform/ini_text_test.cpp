#include "platform/sim/ini_text.h"

#include <gtest/gtest.h>

namespace tolvaran::platform::sim {
namespace {

TEST(IniLookup, FindsKeysTheWayTheProfileFunctionsDo) {
  const std::u16string text =
      u"junk before any section\r\n"
      u"key=outside\r\n"
      u"  [ tolvaran ]  \r\n"
      u"  LastHash  =  ABC  \r\n"
      u"Quoted=\"  spaced  \"\r\n"
      u"Single='x'\r\n"
      u"Half=\"x\r\n"
      u"NoEquals\r\n"
      u"lasthash=second\r\n"
      u"[Other]\r\n"
      u"Only=there";
  struct Case {
    std::u16string_view section, key;
    std::optional<std::u16string> expected;
  };
  const Case cases[] = {
      {u"Tolvaran", u"LastHash", u"ABC"},       // trimmed, section and key without case
      {u"TOLVARAN", u"lasthash", u"ABC"},       // the first match wins
      {u"Tolvaran", u"Quoted", u"  spaced  "},  // matching quotes are removed, nothing else
      {u"Tolvaran", u"Single", u"x"},
      {u"Tolvaran", u"Half", u"\"x"},            // an unmatched quote stays
      {u"Tolvaran", u"NoEquals", std::nullopt},  // a name alone holds no value
      {u"Other", u"Only", u"there"},             // last line without a line break
      {u"Tolvaran", u"Only", std::nullopt},      // keys belong to their own section
      {u"Tolvaran", u"Missing", std::nullopt},
      {u"Missing", u"key", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(iniLookup(text, c.section, c.key), c.expected)
        << std::string(c.section.begin(), c.section.end()) << "/"
        << std::string(c.key.begin(), c.key.end());
  }
}

TEST(IniSet, EditsInPlaceAndKeepsTheRest) {
  // A new file, then keys in the order first written.
  std::u16string text = iniSet(u"", u"Tolvaran", u"LastHash", u"9E10");
  EXPECT_EQ(text, u"[Tolvaran]\r\nLastHash=9E10\r\n");
  text = iniSet(text, u"Tolvaran", u"LastDate", u"07.12.2026");
  text = iniSet(text, u"Tolvaran", u"TodayTimes", u"1");
  text = iniSet(text, u"tolvaran", u"todaytimes", u"2");
  EXPECT_EQ(text, u"[Tolvaran]\r\nLastHash=9E10\r\nLastDate=07.12.2026\r\nTodayTimes=2\r\n");

  // Other sections, comments and blank lines survive; a new key lands after
  // the section's last non-blank line.
  const std::u16string mixed = u"; note\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2";
  EXPECT_EQ(iniSet(mixed, u"A", u"z", u"3"), u"; note\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2");
  EXPECT_EQ(iniSet(mixed, u"B", u"z", u"3"), u"; note\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\nz=3\r\n");
  EXPECT_EQ(iniSet(mixed, u"C", u"z", u"3"),
            u"; note\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n[C]\r\nz=3\r\n");
  EXPECT_EQ(iniSet(u"[A]", u"A", u"k", u"v"), u"[A]\r\nk=v\r\n");
}

}  // namespace
}  // namespace tolvaran::platform::sim
