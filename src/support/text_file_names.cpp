// The file systems' name comparison (text.h, "File names"): one table
// lookup per UTF-16 unit, no allocation for the comparisons.
#include <cstdint>

#include "support/text.h"

namespace tolvaran {
namespace upcase {
#include "upcase_table.inc"
}  // namespace upcase

char16_t fileNameUpcase(char16_t unit) noexcept {
  if (unit < 0x80) {
    return static_cast<unsigned>(unit - u'a') < 26u ? static_cast<char16_t>(unit - 32) : unit;
  }
  if (unit >= upcase::kLimit) return unit;
  const std::uint16_t delta = upcase::kDeltas[upcase::kBlockIndex[unit >> upcase::kBlockShift]]
                                             [unit & ((1u << upcase::kBlockShift) - 1)];
  return static_cast<char16_t>(unit + delta);
}

std::u16string fileNameUpcase(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& unit : out) unit = fileNameUpcase(unit);
  return out;
}

bool equalsFileNameNoCase(std::u16string_view a, std::u16string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && fileNameUpcase(a[i]) != fileNameUpcase(b[i])) return false;
  }
  return true;
}

bool endsWithFileNameNoCase(std::u16string_view text, std::u16string_view suffix) noexcept {
  return suffix.size() <= text.size() &&
         equalsFileNameNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace tolvaran
