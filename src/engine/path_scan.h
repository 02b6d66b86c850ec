#pragma once
// Linear-time finders for the three path patterns the program runs over
// whole lines, command arguments and scripts. Each gives exactly the first
// match of its regular expression (case-insensitive, leftmost, greedy):
//
//   an optional quote, any one character, a colon, a backslash, the longest
//   run of non-quote characters after which a dot and one of the extensions
//   follow (the first extension of the list that fits there), then an
//   optional quote.
//
// The regular-expression engine needs quadratic time for these on a line of
// many "X:\" and then gives up; these never do. The expressions themselves
// are kept here so that tests can compare the two.
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace tolvaran {

inline constexpr std::u16string_view kExecutableInTextPattern =
    u"\"?.:\\\\[^\"]*\\.(exe|chm|doc|docx|xls|xlsx|ppt|pptx|pdf|txt)\"?";
inline constexpr std::u16string_view kScriptInTextPattern =
    u"\"?.:\\\\[^\"]*\\.(bat|cmd|ps1|vbs|js)\"?";
inline constexpr std::u16string_view kShortcutPathPattern =
    u"\"?.:\\\\[^\"]*\\.(lnk|url|log|txt|ico|appref-ms|application|website)\"?";

struct PathScanMatch {
  std::size_t firstIndex = 0;  // UTF-16 units
  std::size_t length = 0;
  friend bool operator==(const PathScanMatch&, const PathScanMatch&) = default;
};

// The first match of kExecutableInTextPattern.
std::optional<PathScanMatch> findExecutableInText(std::u16string_view text);
// The first match of kScriptInTextPattern.
std::optional<PathScanMatch> findScriptInText(std::u16string_view text);
// The first match of kShortcutPathPattern.
std::optional<PathScanMatch> findShortcutPath(std::u16string_view text);

// Which of the three expressions.
enum class PathKind { kExecutable, kScript, kShortcut };

// The first match runs to the last extension of its quote-free run, so an
// unquoted path followed by more text ("C:\X\x.exe http://ad.test/a.pdf")
// names no file although a shorter match at the same start does. These are
// the other matches of the kind's expression at the start of `first` (the
// first match the kind's finder gave for `text`): one for each place where a
// dot and an extension end inside the run before the first match's own, with
// the closing quote the expression would take there, longest first, at most
// `limit`. Linear in the run's length.
std::vector<PathScanMatch> shorterMatchesAtStart(PathKind kind, std::u16string_view text,
                                                 const PathScanMatch& first, std::size_t limit);

}  // namespace tolvaran
