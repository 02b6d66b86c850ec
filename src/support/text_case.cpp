// The one case folding of the program and the comparisons built on it. They
// run in hot loops over paths and list lines, so they fold on the fly, one
// UTF-16 unit at a time, with an ASCII fast path and no allocation.
//
// Every comparison is defined on the folded text: a surrogate pair folds as
// one code point and no fold leaves its plane, so the folded text has the
// same length and the same pair structure as the original, and unit i of the
// folded text can be computed from unit i of the original and its neighbour.
#include <cstdint>

#include "support/text.h"

namespace tolvaran {
namespace casefold {
#include "casefold_table.inc"
}  // namespace casefold

// The BMP lookup below needs no range check.
static_assert(casefold::kLimit > 0xFFFF);

namespace {

constexpr std::size_t npos = std::u16string_view::npos;

bool isHighSurrogate(char32_t unit) noexcept {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) noexcept {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool isSurrogate(char32_t unit) noexcept {
  return unit >= 0xD800 && unit <= 0xDFFF;
}

char16_t foldAscii(char16_t unit) noexcept {
  return static_cast<char16_t>(static_cast<unsigned>(unit - u'A') < 26u ? unit + 32 : unit);
}

char32_t combine(char32_t high, char32_t low) noexcept {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

char16_t foldBmp(char16_t unit) noexcept {
  const std::uint16_t delta =
      casefold::kDeltas[casefold::kBlockIndex[unit >> casefold::kBlockShift]]
                       [unit & ((1u << casefold::kBlockShift) - 1)];
  return static_cast<char16_t>(unit + delta);
}

// A unit of a surrogate pair folds with its partner; a lone one stays.
[[gnu::noinline]] char16_t foldedSurrogateAt(std::u16string_view text, std::size_t i) noexcept {
  const char16_t unit = text[i];
  if (isHighSurrogate(unit)) {
    if (i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      return static_cast<char16_t>(0xD800 +
                                   ((foldCase(combine(unit, text[i + 1])) - 0x10000) >> 10));
    }
  } else if (i > 0 && isHighSurrogate(text[i - 1])) {
    return static_cast<char16_t>(0xDC00 + (foldCase(combine(text[i - 1], unit)) & 0x3FF));
  }
  return unit;
}

// Unit `i` of the folded text. All of the BMP lies below casefold::kLimit.
inline char16_t foldedUnitAt(std::u16string_view text, std::size_t i) noexcept {
  const char16_t unit = text[i];
  if (unit < 0x80) return foldAscii(unit);
  if (!isSurrogate(unit)) return foldBmp(unit);
  return foldedSurrogateAt(text, i);
}

// Whether the folded text, from `position` on, begins with the folded needle.
// The caller guarantees position + needle.size() <= text.size().
bool matchesAt(std::u16string_view text, std::size_t position,
               std::u16string_view needle) noexcept {
  for (std::size_t k = 0; k < needle.size(); ++k) {
    const char16_t t = text[position + k];
    const char16_t n = needle[k];
    // Equal units fold alike unless a surrogate's partner differs.
    if (t == n && !isSurrogate(t)) continue;
    if ((t | n) < 0x80) {
      if (foldAscii(t) != foldAscii(n)) return false;
      continue;
    }
    if (foldedUnitAt(text, position + k) != foldedUnitAt(needle, k)) return false;
  }
  return true;
}

// Crochemore-Perrin critical factorisation of the folded needle (`size`
// units, unit k given by needleAt(k)): returns the start of its right half and
// sets `period` to that half's period.
template <class NeedleAt>
std::size_t criticalFactorization(std::size_t size, NeedleAt needleAt,
                                  std::size_t& period) noexcept {
  if (size < 3) {
    period = 1;
    return size - 1;
  }
  // Maximal suffix under one order, then under the opposite order; positions
  // are "last unit of the left half", npos standing for -1.
  auto maximalSuffix = [&](bool reversed, std::size_t& suffixPeriod) {
    std::size_t maxSuffix = npos;
    std::size_t j = 0;
    std::size_t k = 1;
    std::size_t p = 1;
    while (j + k < size) {
      const char16_t a = needleAt(j + k);
      const char16_t b = needleAt(maxSuffix + k);
      if (reversed ? b < a : a < b) {
        j += k;
        k = 1;
        p = j - maxSuffix;
      } else if (a == b) {
        if (k != p) {
          ++k;
        } else {
          j += p;
          k = 1;
        }
      } else {
        maxSuffix = j++;
        k = p = 1;
      }
    }
    suffixPeriod = p;
    return maxSuffix;
  };
  std::size_t forwardPeriod = 1;
  std::size_t reversePeriod = 1;
  const std::size_t forward = maximalSuffix(false, forwardPeriod);
  const std::size_t reverse = maximalSuffix(true, reversePeriod);
  // The shorter right half (npos + 1 wraps to 0 on purpose).
  if (reverse + 1 < forward + 1) {
    period = forwardPeriod;
    return forward + 1;
  }
  period = reversePeriod;
  return reverse + 1;
}

// Two-way string matching over the folded texts: linear in the text, with
// constant memory whatever the needle.
template <class NeedleAt>
std::size_t twoWaySearch(std::u16string_view text, std::size_t size, NeedleAt needleAt,
                         std::size_t from) noexcept {
  std::size_t period = 1;
  const std::size_t suffix = criticalFactorization(size, needleAt, period);
  auto textAt = [&](std::size_t i) { return foldedUnitAt(text, i); };

  // The right half has length >= period, so k + period stays inside.
  bool periodic = true;
  for (std::size_t k = 0; k < suffix && periodic; ++k) {
    periodic = needleAt(k) == needleAt(k + period);
  }

  std::size_t j = from;
  if (periodic) {
    // A mismatch in the left half only advances by the period; `memory`
    // skips the part of the right half already known to match.
    std::size_t memory = 0;
    while (j + size <= text.size()) {
      std::size_t i = suffix > memory ? suffix : memory;
      while (i < size && needleAt(i) == textAt(i + j)) ++i;
      if (i >= size) {
        i = suffix - 1;
        while (memory < i + 1 && needleAt(i) == textAt(i + j)) --i;
        if (i + 1 < memory + 1) return j;
        j += period;
        memory = size - period;
      } else {
        j += i - suffix + 1;
        memory = 0;
      }
    }
  } else {
    const std::size_t shift = (suffix > size - suffix ? suffix : size - suffix) + 1;
    while (j + size <= text.size()) {
      std::size_t i = suffix;
      while (i < size && needleAt(i) == textAt(i + j)) ++i;
      if (i >= size) {
        i = suffix - 1;
        while (i != npos && needleAt(i) == textAt(i + j)) --i;
        if (i == npos) return j;
        j += shift;
      } else {
        j += i - suffix + 1;
      }
    }
  }
  return npos;
}

}  // namespace

char32_t foldCase(char32_t codePoint) noexcept {
  if (codePoint < 0x80) return codePoint - U'A' < 26u ? codePoint + 32 : codePoint;
  if (codePoint >= casefold::kLimit) return codePoint;
  const std::uint16_t delta =
      casefold::kDeltas[casefold::kBlockIndex[codePoint >> casefold::kBlockShift]]
                       [codePoint & ((1u << casefold::kBlockShift) - 1)];
  return (codePoint & ~char32_t{0xFFFF}) | ((codePoint + delta) & 0xFFFF);
}

std::u16string foldCase(std::u16string_view text) {
  std::u16string out(text.size(), u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) out[i] = foldedUnitAt(text, i);
  return out;
}

bool equalsNoCase(std::u16string_view a, std::u16string_view b) noexcept {
  return a.size() == b.size() && matchesAt(a, 0, b);
}

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) noexcept {
  return prefix.size() <= text.size() && matchesAt(text, 0, prefix);
}

bool endsWithNoCase(std::u16string_view text, std::u16string_view suffix) noexcept {
  return suffix.size() <= text.size() && matchesAt(text, text.size() - suffix.size(), suffix);
}

std::size_t findNoCase(std::u16string_view text, std::u16string_view needle,
                       std::size_t from) noexcept {
  if (from > text.size() || needle.size() > text.size() - from) return npos;
  if (needle.empty()) return from;
  if (needle.size() == 1) {
    const char16_t wanted = foldedUnitAt(needle, 0);
    for (std::size_t i = from; i < text.size(); ++i) {
      if (foldedUnitAt(text, i) == wanted) return i;
    }
    return npos;
  }
  // Short needles (nearly all of them) are folded once, on the stack.
  constexpr std::size_t kFoldedOnStack = 128;
  if (needle.size() <= kFoldedOnStack) {
    char16_t folded[kFoldedOnStack];
    for (std::size_t k = 0; k < needle.size(); ++k) folded[k] = foldedUnitAt(needle, k);
    return twoWaySearch(
        text, needle.size(), [&](std::size_t k) { return folded[k]; }, from);
  }
  return twoWaySearch(
      text, needle.size(), [&](std::size_t k) { return foldedUnitAt(needle, k); }, from);
}

std::u16string replaceAllNoCase(std::u16string_view text, std::u16string_view from,
                                std::u16string_view to) {
  if (from.empty()) return std::u16string(text);
  std::u16string out;
  out.reserve(text.size());
  std::size_t done = 0;
  for (std::size_t at = findNoCase(text, from); at != npos; at = findNoCase(text, from, done)) {
    out.append(text.substr(done, at - done));
    out.append(to);
    done = at + from.size();
  }
  out.append(text.substr(done));
  return out;
}

}  // namespace tolvaran
