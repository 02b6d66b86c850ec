#pragma once
// Regular expressions with ECMAScript syntax over UTF-16 text.
//
// Matching runs on Boost.Regex in its non-recursive mode, so no input can
// overflow the stack. Case-insensitive matching uses the project's one case
// folding (foldCase), so Linux and Windows builds decide alike; surrogate
// pairs are matched as one character. Positions and lengths are given in
// UTF-16 units.
//
// Syntax details callers can rely on:
// - "." matches any character except the line separators \n \r \f U+0085
//   U+2028 U+2029; "[^...]" matches those as well.
// - "^" and "$" match only at the start and end of the whole text (no
//   multi-line mode), "$" not before a final line break.
// - "[[:letter:]]" is a letter of any script (isUnicodeLetter); "\w", "\d",
//   "\b" and the other named classes know only ASCII letters and digits.
// - "\uXXXX" is translated into the character before the engine sees it
//   (the engine would read "\u" as a character class).
//
// Failures: Test and Execute throw RuntimeError, to be recorded by the
// guarded procedure that called them (which then returns its neutral "no
// match" result):
// - kSyntaxError when the pattern does not compile (the pattern can be set
//   freely; the error surfaces when it is used, as it always has);
// - kRegExpTooComplex when the engine gives up on a runaway match (too many
//   states or too deep a backtrack) instead of running for ever.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tolvaran {

namespace regexp_error {
inline constexpr std::int32_t kSyntaxError = 5017;     // "Syntax error in regular expression"
inline constexpr std::int32_t kRegExpTooComplex = 28;  // "Out of stack space"
}  // namespace regexp_error

struct RegExpMatch {
  std::size_t firstIndex = 0;  // UTF-16 units from the start of the text
  std::size_t length = 0;      // UTF-16 units
  std::u16string value;
  // One entry per capturing group, in order; empty text for a group that
  // took no part in the match.
  std::vector<std::u16string> subMatches;
};

// The characters "." does not match. Besides \n \r \f U+0085 U+2028 U+2029
// the engine also refuses the supplementary characters whose low 16 bits
// equal one of the last three (it compares them truncated); the hand-written
// scanners share this one definition so that they agree with it.
[[nodiscard]] bool isDotExcluded(char32_t c) noexcept;

// Turns every "\uXXXX" escape (exactly four hex digits) into the character it
// stands for; "\\u0041" (an escaped backslash) is left alone, as is every
// other escape. An escaped ASCII character becomes "\x{..}" so that it stays a
// literal in any context (a "." stays a dot, a digit never joins a back
// reference); any other character is written as itself.
std::u16string decodeUnicodeEscapes(std::u16string_view pattern);

class RegExp {
 public:
  // An empty pattern (it matches everywhere), case-insensitive, not global.
  RegExp();
  explicit RegExp(std::u16string_view pattern, bool ignoreCase = true, bool global = false);
  ~RegExp();
  RegExp(const RegExp&);
  RegExp& operator=(const RegExp&);
  RegExp(RegExp&&) noexcept;
  RegExp& operator=(RegExp&&) noexcept;

  // Setting the pattern or the case flag compiles at once; a pattern that
  // does not compile is kept and fails when used.
  void setPattern(std::u16string_view pattern);
  [[nodiscard]] const std::u16string& pattern() const noexcept { return pattern_; }
  void setIgnoreCase(bool ignoreCase);
  [[nodiscard]] bool ignoreCase() const noexcept { return ignoreCase_; }
  void setGlobal(bool global) noexcept { global_ = global; }
  [[nodiscard]] bool global() const noexcept { return global_; }

  // Empty when the pattern compiled; otherwise the engine's reason (UTF-16).
  [[nodiscard]] std::u16string compileError() const;

  // True when the pattern matches anywhere in the text.
  [[nodiscard]] bool Test(std::u16string_view text) const;
  // The first match, or every non-overlapping match left to right when
  // global is on (an empty match moves on by one character).
  [[nodiscard]] std::vector<RegExpMatch> Execute(std::u16string_view text) const;

 private:
  struct Compiled;
  void compile();

  std::u16string pattern_;
  bool ignoreCase_ = true;
  bool global_ = false;
  std::shared_ptr<const Compiled> compiled_;  // immutable, so copies share it
  static constexpr std::size_t kRecentPatterns = 4;
  std::vector<std::shared_ptr<const Compiled>> recent_;
};

}  // namespace tolvaran
