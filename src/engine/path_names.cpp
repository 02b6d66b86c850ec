#include "engine/path_names.h"

#include <array>

#include "support/text.h"

namespace tolvaran {
namespace {

constexpr char16_t kBackslash = u'\\';
constexpr std::size_t npos = std::u16string_view::npos;

// The distances from a small letter to its capital in the cased alphabets
// (ASCII, Latin-1, Greek and Cyrillic -32; the paired Latin and Cyrillic
// blocks -1; Cyrillic ѐ-џ -80; Armenian -48; Greek accented letters; ÿ;
// Roman numerals and circled letters). A candidate counts only when the one
// case folding maps it back to the small letter, so no table can disagree
// with the folding that every comparison uses.
constexpr std::array<int, 11> kCapitalOffsets{-32, -1, -80, -48, -38, -37, -64, -63, 121, -16, -26};

char16_t capitalOf(char16_t c) {
  if (c < u'a') return c;
  if (c <= u'z') return static_cast<char16_t>(c - 32);
  if (c < 0x00B5 || (c >= 0xD800 && c <= 0xDFFF)) return c;
  // A character the folding changes is a capital (or has no small form).
  if (foldCase(static_cast<char32_t>(c)) != c) return c;
  for (const int offset : kCapitalOffsets) {
    const int candidate = static_cast<int>(c) + offset;
    if (candidate <= 0 || candidate > 0xFFFF) continue;
    if (candidate >= 0xD800 && candidate <= 0xDFFF) continue;
    if (foldCase(static_cast<char32_t>(candidate)) == c) return static_cast<char16_t>(candidate);
  }
  return c;
}

}  // namespace

std::u16string GetFileName(std::u16string_view path) {
  const std::size_t slash = path.rfind(kBackslash);
  const std::size_t start = slash == npos ? 0 : slash + 1;
  std::size_t dot = path.rfind(u'.');
  if (dot == npos || (slash != npos && dot < slash)) dot = path.size();
  if (dot < start) return {};
  return std::u16string(path.substr(start, dot - start));
}

std::u16string GetPathName(std::u16string_view path) {
  const std::size_t slash = path.rfind(kBackslash);
  if (slash == npos) return {};
  return std::u16string(path.substr(0, slash));
}

std::u16string GetExtensionName(std::u16string_view path) {
  const std::size_t dot = path.rfind(u'.');
  if (dot == npos) return {};
  return upperCase(path.substr(dot));
}

std::u16string GetFileNameAndExt(std::u16string_view path) {
  const std::size_t slash = path.rfind(kBackslash);
  if (slash == npos) return std::u16string(path);
  return std::u16string(path.substr(slash + 1));
}

std::u16string BuildPath(std::initializer_list<std::u16string_view> pieces) {
  std::u16string built;
  for (const std::u16string_view piece : pieces) {
    if (built.empty() || built.back() != kBackslash) built += kBackslash;
    built += piece;
  }
  // The text always begins with the backslash added before the first piece.
  if (!built.empty()) built.erase(0, 1);
  return built;
}

std::u16string lowerCase(std::u16string_view text) {
  return foldCase(text);
}

std::u16string upperCase(std::u16string_view text) {
  std::u16string result(text);
  for (char16_t& c : result) c = capitalOf(c);
  return result;
}

}  // namespace tolvaran
