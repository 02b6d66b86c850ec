// Letters of every script, from a table generated out of UnicodeData.txt
// (tools/gen_letters.py), so that every build classes them alike whatever
// its C library knows about Unicode.
#include <algorithm>
#include <iterator>

#include "support/text.h"

namespace tolvaran {
namespace letters {
struct LetterRun {
  char32_t first;
  char32_t last;
};
#include "letter_table.inc"
}  // namespace letters

bool isUnicodeLetter(char32_t codePoint) noexcept {
  if (codePoint < 0x80) return (codePoint | 0x20) - U'a' < 26u;
  // The first run that ends at or after the code point holds it, if any does.
  const auto* run =
      std::lower_bound(std::begin(letters::kRuns), std::end(letters::kRuns), codePoint,
                       [](const letters::LetterRun& r, char32_t c) { return r.last < c; });
  return run != std::end(letters::kRuns) && run->first <= codePoint;
}

}  // namespace tolvaran
