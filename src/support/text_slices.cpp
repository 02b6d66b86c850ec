// Trimming, slices and small text builders. Positions come from parsed
// outside data, so every slice clamps instead of throwing.
#include "support/text.h"

namespace tolvaran {

std::u16string_view trimLeftSpaces(std::u16string_view text) noexcept {
  const std::size_t first = text.find_first_not_of(u' ');
  return first == std::u16string_view::npos ? std::u16string_view{} : text.substr(first);
}

std::u16string_view trimRightSpaces(std::u16string_view text) noexcept {
  const std::size_t last = text.find_last_not_of(u' ');
  return last == std::u16string_view::npos ? std::u16string_view{} : text.substr(0, last + 1);
}

std::u16string_view trimSpaces(std::u16string_view text) noexcept {
  return trimRightSpaces(trimLeftSpaces(text));
}

std::u16string_view sliceFrom(std::u16string_view text, std::size_t position) noexcept {
  return position < text.size() ? text.substr(position) : std::u16string_view{};
}

std::u16string_view slice(std::u16string_view text, std::size_t position,
                          std::size_t length) noexcept {
  // substr clamps the length itself; only the position can throw.
  return position < text.size() ? text.substr(position, length) : std::u16string_view{};
}

std::u16string_view left(std::u16string_view text, std::size_t length) noexcept {
  return text.substr(0, length);
}

std::u16string_view right(std::u16string_view text, std::size_t length) noexcept {
  return length < text.size() ? text.substr(text.size() - length) : text;
}

std::u16string replaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
  if (from.empty()) return std::u16string(text);
  std::u16string out;
  out.reserve(text.size());
  std::size_t done = 0;
  for (std::size_t at = text.find(from); at != std::u16string_view::npos;
       at = text.find(from, done)) {
    out.append(text.substr(done, at - done));
    out.append(to);
    done = at + from.size();
  }
  out.append(text.substr(done));
  return out;
}

std::u16string toDecimal(std::int64_t value) {
  // Work on the magnitude as unsigned so that INT64_MIN has one too.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char16_t digits[20];
  std::size_t count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::u16string out;
  out.reserve(count + 1);
  if (value < 0) out.push_back(u'-');
  while (count > 0) out.push_back(digits[--count]);
  return out;
}

}  // namespace tolvaran
