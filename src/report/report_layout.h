#pragma once
// The report's text, apart from the file it goes to: the file name, the
// header time, one result line, the grouping of lines by status, the plural
// of the daily count and the statistics block. Pure functions, so that every
// character of the layout is pinned by tests.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "report/run_statistics.h"
#include "system/translation.h"

namespace tolvaran {

inline constexpr std::u16string_view kCrLf = u"\r\n";
// The one-character line that separates the report's groups and sections.
inline constexpr std::u16string_view kReportSeparator = u".";

// "Tolvaran-dd.mm.yyyy_hh-mm.log": no seconds, so a second run within the
// same minute replaces the first report.
std::u16string reportFileName(const platform::SystemTime& now);
// "dd.mm.yyyy - hh:mm".
std::u16string reportHeaderTime(const platform::SystemTime& now);

// The fields of one result line, after the path and target were made long.
struct ResultLine {
  std::u16string_view tag;
  std::int32_t number = 0;
  std::u16string_view path;
  std::u16string_view target;
  std::u16string_view arguments;  // already defanged
  std::u16string_view resultText;
  std::u16string_view recoveryCode;  // "A1".."A5"
  std::u16string_view ruleCode;      // "R1".."R5"
  // The target was recovered by searching: the method names the recovery code,
  // otherwise "S".
  bool targetFoundBySearch = false;
};
// The path, target, arguments and result text are shown with their control
// characters spelt out (showControlCharacters): one line per result.
std::u16string composeResultLine(const ResultLine& line, const Translation& messages);

// Control characters (below U+0020) as "<CR>", "<LF>", "<TAB>" and "<xNN>"
// (two upper-case hex digits): forms no Windows path holds, since names
// cannot contain "<" or ">". Adware that controls a shortcut's arguments
// cannot start lines of its own in the report. With `keepTabs` a TAB stays
// (the icon lines are laid out with them).
std::u16string showControlCharacters(std::u16string_view text, bool keepTabs = false);

// Every "http" in any letter case becomes "hxxp", so that the posted report
// carries no clickable address.
std::u16string defangArguments(std::u16string_view arguments);

// The lines from index 1 on, grouped by `prefixes` in their order (exact,
// case-sensitive), each followed by CR LF; with `addSeparator` each non-empty
// group is followed by `separator` and CR LF. The last line break (and the
// last separator) is dropped. Lines with no known tag are not printed.
std::u16string SortByPrefixes(const std::vector<std::u16string>& lines,
                              const StatusPrefixList& prefixes, bool addSeparator,
                              std::u16string_view separator);

// kTimesFew for counts ending in 2, 3 or 4 (but not 12, 13, 14), else kTimes.
Msg dailyCountPluralMessage(std::int64_t count) noexcept;

// From the "Statistics" banner through "End of Log", with no line break after it;
// counters that are 0 are left out, except the total. The last line before
// "End of Log" names the run's backup folder, when there is one.
std::u16string statisticsBlock(const RunStatistics& counts, std::int64_t runsToday,
                               std::u16string_view backupFolder, const Translation& messages);

// `folder` as a reader of the report finds it: relative to the report's own
// folder when it lies inside it ("Backup\<name>\"), else whole; with a
// backslash at the end, which says it is a folder. Empty for an empty folder.
std::u16string folderAsSeenFrom(std::u16string_view reportPath, std::u16string_view folder);

}  // namespace tolvaran
