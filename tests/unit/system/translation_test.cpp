#include "system/translation.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/embedded_resources.h"
#include "support/text.h"

namespace tolvaran {
namespace {

class FakeUi : public platform::Ui {
 public:
  struct Box {
    std::u16string text, caption;
    std::uint32_t type;
  };
  std::vector<Box> boxes;
  int ends = 0;

  int messageBox(std::u16string_view text, std::u16string_view caption,
                 std::uint32_t type) override {
    boxes.push_back({std::u16string(text), std::u16string(caption), type});
    return platform::id::kOk;
  }
  void setStatus(std::u16string_view) override {}
  void pumpMessages() override {}
  [[noreturn]] void endProgram(std::uint32_t exitCode) override {
    ++ends;
    throw platform::ProgramEnded{exitCode};
  }
};

void loadText(Translation& table, FakeUi& ui, std::u16string_view text) {
  const std::string bytes = textToUtf16le(text);
  table.loadTableBytes(std::as_bytes(std::span(bytes.data(), bytes.size())), ui, u"Title");
}

std::u16string threeDigits(int n) {
  return {static_cast<char16_t>(u'0' + n / 100), static_cast<char16_t>(u'0' + n / 10 % 10),
          static_cast<char16_t>(u'0' + n % 10)};
}

TEST(LanguageChoice, FollowsTheForcedCodeOrTheInterfaceLanguage) {
  constexpr int ru = resource::kLanguageRussian, en = resource::kLanguageEnglish,
                fr = resource::kLanguageFrench, de = resource::kLanguageGerman;
  struct Case {
    std::uint32_t code, display, nonUnicode;
    int table;
  };
  const Case cases[] = {
      // Forced: the code alone decides, whatever the system shows.
      {1049, 1033, 1033, ru},
      {1058, 1033, 1033, ru},
      {1059, 1031, 1031, ru},
      {1031, 1049, 1049, de},
      {2055, 1033, 1033, de},
      {3079, 1033, 1033, de},
      {4103, 0, 0, de},
      {5127, 0, 0, de},
      {1036, 1049, 1049, fr},
      {2060, 0, 0, fr},
      {3084, 0, 0, fr},
      {4108, 0, 0, fr},
      {5132, 0, 0, fr},
      {6156, 0, 0, fr},
      {1033, 1049, 1049, en},
      {1026, 1049, 1049, en},
      {2057, 1049, 1049, en},
      {0x7FFFFFFF, 1049, 1049, en},
      // Automatic: Russian only where the non-Unicode locale is Cyrillic.
      {0, 1049, 1049, ru},
      {0, 1049, 1033, en},
      {0, 1058, 1058, ru},
      {0, 1059, 1026, ru},
      {0, 1049, 1026, ru},
      {0, 2055, 1033, de},
      {0, 3079, 1049, de},
      {0, 3084, 1033, fr},
      {0, 1026, 1026, en},
      {0, 1033, 1049, en},
      {0, 0, 0, en},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(languageTableFor(c.code, c.display, c.nonUnicode), c.table)
        << "code " << c.code << ", display " << c.display << ", non-Unicode " << c.nonUnicode;
  }
  for (const std::uint32_t code : {1049u, 1058u, 1059u, 1026u}) EXPECT_TRUE(IsCyrillicCode(code));
  for (const std::uint32_t code : {0u, 1033u, 2073u, 0x10419u}) EXPECT_FALSE(IsCyrillicCode(code));
}

TEST(TableParsing, TakesThreeDigitsAnySeparatorAndTheRestOfTheLine) {
  struct Case {
    std::u16string_view line;
    std::u16string_view entry7;
  };
  const Case cases[] = {
      {u"007=text", u"text"},
      {u"007:text", u"text"},
      {u"007\ttext", u"text"},
      {u"007text", u"ext"},  // the fourth character is dropped unread
      {u"007=", u""},
      {u"007", u""},
      {u"007=  padded:   ", u"  padded:   "},  // spaces belong to the text
      {u"007=a\\nb\\n\\nc", u"a\r\nb\r\n\r\nc"},
      {u"007=\\\\n", u"\\\r\n"},  // no escape for the backslash itself
      {u"007=ends\\", u"ends\\"},
      {u"007=lone\rcr and\nlf", u"lone\rcr and\nlf"},
      {u"007=\xD800\xDFFF\xDC00", u"\xD800\xDFFF\xDC00"},  // lone surrogates pass through
      // Not entries: the old text stays.
      {u"7=text", u"old"},
      {u"07=text", u"old"},
      {u" 07=text", u"old"},
      {u"-07=text", u"old"},
      {u"\xFF10\xFF10\xFF17=text", u"old"},  // full-width digits
      {u"x007=text", u"old"},
  };
  for (const Case& c : cases) {
    Translation table;
    FakeUi ui;
    loadText(table, ui, u"007=old\r\n" + std::u16string(c.line));
    EXPECT_EQ(table.entry(7), c.entry7) << utf16ToUtf8(c.line);
    EXPECT_TRUE(ui.boxes.empty());
  }
}

TEST(TableParsing, OverwritesOnlyTheEntriesItHoldsAndTheLaterLineWins) {
  Translation table;
  FakeUi ui;
  loadText(table, ui, u"000=first\r\n200=last\r\n\r\n008=kept\r\nnoise\r\n");
  loadText(table, ui, u"000=one\r\n000=two\r\n");
  EXPECT_EQ(table.entry(0), u"two");
  EXPECT_EQ(table.entry(8), u"kept");
  EXPECT_EQ(table.entry(200), u"last");
  EXPECT_EQ(table.entry(1), u"");
  EXPECT_EQ(table.entry(-1), u"");
  EXPECT_EQ(table.entry(201), u"");
  EXPECT_EQ(table.entry(1'000'000), u"");
}

TEST(TableParsing, AByteOrderMarkNeverReachesAnEntry) {
  Translation table;
  FakeUi ui;
  loadText(table, ui, u"\uFEFF\r\n001=a");
  loadText(table, ui, u"\uFEFF002=b");
  EXPECT_EQ(table.entry(1), u"a");
  EXPECT_EQ(table.entry(2), u"b");
}

TEST(TableParsing, AnEntryNumberAbove200EndsTheProgramWithAMessage) {
  for (const std::u16string_view bad : {u"201=x", u"999", u"99999999999=x"}) {
    Translation table;
    FakeUi ui;
    EXPECT_THROW(loadText(table, ui, u"001=before\r\n" + std::u16string(bad) + u"\r\n002=after"),
                 platform::ProgramEnded);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, u"Translation file indexes are out of the maximum allowed!");
    EXPECT_EQ(ui.boxes[0].caption, u"Title");
    EXPECT_EQ(ui.boxes[0].type, platform::mb::kOk);
    EXPECT_EQ(ui.ends, 1);
    EXPECT_EQ(table.entry(1), u"before");
    EXPECT_EQ(table.entry(2), u"");
  }
}

TEST(TableParsing, SurvivesHostileBytes) {
  Translation table;
  FakeUi ui;
  using namespace std::string_literals;
  const std::string odd =
      "0\x00"
      "0\x00"
      "7\x00"
      "=\x00"
      "x\x00"
      "\xD8"s;  // odd length
  table.loadTableBytes(std::as_bytes(std::span(odd.data(), odd.size())), ui, u"T");
  EXPECT_EQ(table.entry(7), u"x");

  const std::u16string huge(1 << 20, u'\\');
  loadText(table, ui, u"009=" + huge + u"n\r\n\r\r\n\n");
  EXPECT_EQ(table.entry(9).size(), huge.size() + 1);
  EXPECT_EQ(table.entry(9).substr(table.entry(9).size() - 3), u"\\\r\n");

  table.LoadLangTable(12345, ui, u"T");  // no such resource: the English table
  Translation english;
  english.LoadLangTable(resource::kLanguageEnglish, ui, u"T");
  EXPECT_EQ(table.entry(7), english.entry(7));
  EXPECT_TRUE(ui.boxes.empty());
}

// --- The tables that ship ------------------------------------------------

const int kShipped[] = {resource::kLanguageRussian, resource::kLanguageEnglish,
                        resource::kLanguageFrench, resource::kLanguageGerman};

Translation shipped(int resourceId) {
  Translation table;
  FakeUi ui;
  table.LoadLangTable(resourceId, ui, u"T");
  EXPECT_TRUE(ui.boxes.empty()) << resourceId;
  return table;
}

// The entry numbers a shipped table holds: each overwrites a marker.
std::set<int> entriesOf(int resourceId) {
  Translation table;
  FakeUi ui;
  std::u16string markers;
  for (int n = 0; n <= Translation::kLastEntry; ++n) markers += threeDigits(n) + u"=\x01\r\n";
  loadText(table, ui, markers);
  table.loadTableBytes(embeddedResource(resourceId), ui, u"T");
  std::set<int> numbers;
  for (int n = 0; n <= Translation::kLastEntry; ++n) {
    if (table.entry(n) != u"\x01") numbers.insert(n);
  }
  return numbers;
}

TEST(ShippedTables, HoldExactlyTheExpectedEntries) {
  std::set<int> expected;
  for (const auto& [from, to] : std::initializer_list<std::pair<int, int>>{
           {0, 49}, {50, 53}, {60, 78}, {80, 93}, {110, 115}}) {
    for (int n = from; n <= to; ++n) expected.insert(n);
  }
  ASSERT_EQ(expected.size(), 93u);
  std::set<int> french = expected;
  french.erase(75);
  french.erase(76);
  EXPECT_EQ(entriesOf(resource::kLanguageRussian), expected);
  EXPECT_EQ(entriesOf(resource::kLanguageEnglish), expected);
  EXPECT_EQ(entriesOf(resource::kLanguageGerman), expected);
  EXPECT_EQ(entriesOf(resource::kLanguageFrench), french);
  for (const int id : kShipped) {
    const Translation table = shipped(id);
    for (int n = 0; n <= Translation::kLastEntry; ++n) {
      EXPECT_EQ(table.entry(n).find(u'\uFEFF'), std::u16string::npos) << id << " entry " << n;
      if (expected.count(n) && !(id == resource::kLanguageFrench && (n == 75 || n == 76))) {
        EXPECT_FALSE(table.entry(n).empty()) << id << " entry " << n;
      }
    }
  }
}

TEST(ShippedTables, EnglishKeepsTheTextsTheReportAndMessagesAreBuiltFrom) {
  const Translation en = shipped(resource::kLanguageEnglish);
  EXPECT_EQ(en[Msg::kHint], u"Paste the list of shortcuts here and click \"Cure\"");
  EXPECT_EQ(en[Msg::kSummaryCured], u"Cured:        ");
  EXPECT_EQ(en[Msg::kSummaryDeleted], u"Deleted:     ");
  EXPECT_EQ(en[Msg::kSummaryRenamed], u"Renamed:  ");
  EXPECT_EQ(en[Msg::kSummaryOmitted], u"Omitted:    ");
  EXPECT_EQ(en[Msg::kSummaryBlocked], u"Blocked:     ");
  EXPECT_EQ(en[Msg::kSummaryWarnings], u"Warnings:  ");
  EXPECT_EQ(en[Msg::kSummaryErrors], u"Errors:         ");
  EXPECT_EQ(en[Msg::kAbout],
            u"A program that repairs shortcuts (mostly those of browsers)\r\n"
            u"that adware and other malicious software\r\nhave changed.\r\n\r\n"
            u"Thank you for helping to develop it:");
  EXPECT_EQ(en[Msg::kOk], u"(OK)");
  EXPECT_EQ(en[Msg::kWaitingForUnlock], u"Waiting for the shortcut to be unlocked\u2026 Attempt");
  EXPECT_EQ(en[Msg::kBeginOfLog],
            u"_____________________________ Begin of Log ______________________________");
  EXPECT_EQ(en[Msg::kReportTotal], u"  Total processed:  ");
  EXPECT_EQ(en[Msg::kReportCured], u"         Cured:     ");
  EXPECT_EQ(en[Msg::kReportWarnings], u"         Warnings:  ");
  EXPECT_EQ(en[Msg::kReportErrors], u"         Errors:    ");
  EXPECT_EQ(en[Msg::kEndOfDebugging],
            u"___________________________ End of debugging ____________________________");
  EXPECT_EQ(en[Msg::kRunsToday], u"Cure ran per today: ");
  EXPECT_EQ(en[Msg::kTimes], u"times");
  EXPECT_EQ(en[Msg::kTimesFew], u"times");
}

std::size_t lineBreaks(std::u16string_view text) {
  std::size_t count = 0;
  for (std::size_t at = text.find(u"\r\n"); at != text.npos; at = text.find(u"\r\n", at + 2)) {
    ++count;
  }
  return count;
}

TEST(ShippedTables, TranslationsKeepTheLayoutOfTheEnglishTexts) {
  const Translation en = shipped(resource::kLanguageEnglish);
  for (const int id : kShipped) {
    const Translation table = shipped(id);
    for (int n = 0; n <= Translation::kLastEntry; ++n) {
      // Message boxes and the About text are laid out line by line.
      EXPECT_EQ(lineBreaks(table.entry(n)), lineBreaks(en.entry(n))) << id << " entry " << n;
    }
    // Report banners: one width, the title centred between underscores.
    for (const int n : {61, 62, 71, 72, 73, 77, 78}) {
      const std::u16string& ruler = table.entry(n);
      const std::size_t left = ruler.find_first_not_of(u'_');
      const std::size_t right = ruler.size() - 1 - ruler.find_last_not_of(u'_');
      EXPECT_EQ(ruler.size(), 73u) << id << " entry " << n;
      EXPECT_TRUE(right == left || right == left + 1) << id << " entry " << n;
    }
    // Report statistics: numbers start in column 21; message-box labels
    // keep a gap before their number; texts that get a code appended end
    // in a space.
    for (int n = 63; n <= 70; ++n) {
      EXPECT_EQ(table.entry(n).size(), 20u) << id << " entry " << n;
      EXPECT_EQ(table.entry(n).back(), u' ') << id << " entry " << n;
    }
    for (const int n : {9, 10, 11, 12, 13, 14, 15, 31, 32, 33, 34, 74}) {
      EXPECT_EQ(table.entry(n).back(), u' ') << id << " entry " << n;
    }
    EXPECT_EQ(table.entry(32).front(), u'(') << id;
  }
}

TEST(ShippedTables, FrenchTakesTheEnglishCountWordsWhateverWasLoadedBefore) {
  for (const std::uint32_t before : {0u, 1049u, 1031u}) {
    SCOPED_TRACE(before);
    Translation table;
    FakeUi ui;
    if (before != 0) table.LoadLanguage(before, 0, 0, ui, u"T");
    EXPECT_EQ(table.LoadLanguage(2060, 0, 0, ui, u"T"), resource::kLanguageFrench);
    EXPECT_EQ(table[Msg::kCureButton], u"Réparer");
    EXPECT_EQ(table[Msg::kTimes], u"times");
    EXPECT_EQ(table[Msg::kTimesFew], u"times");
  }
}

TEST(ShippedTables, RussianCountWordsReplaceTheEnglishOnes) {
  Translation table;
  FakeUi ui;
  EXPECT_EQ(table.LoadLanguage(1049, 0, 0, ui, u"T"), resource::kLanguageRussian);
  EXPECT_EQ(table[Msg::kTimes], u"раз");
  EXPECT_EQ(table[Msg::kTimesFew], u"раза");
  table.LoadLanguage(0, 1033, 1033, ui, u"T");
  EXPECT_EQ(table.LoadLanguage(2060, 0, 0, ui, u"T"), resource::kLanguageFrench);
  EXPECT_EQ(table[Msg::kCureButton], u"Réparer");
  EXPECT_EQ(table[Msg::kTimes], u"times");
  EXPECT_EQ(table[Msg::kTimesFew], u"times");
}

}  // namespace
}  // namespace tolvaran
