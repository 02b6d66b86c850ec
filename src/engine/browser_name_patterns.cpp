#include "engine/browser_name_patterns.h"

#include "support/reg_exp.h"

namespace tolvaran {

namespace {

// One case per line: the table reads as the pairs it maps.
// clang-format off
char16_t deMaskUnit(char16_t c) noexcept {
  switch (c) {
    case u'\u0406': case u'\u0456': return u'L';
    case u'\u0410': case u'\u0430': return u'a';
    case u'\u0412': case u'\u0432': return u'b';
    case u'\u0415': case u'\u0435': return u'e';
    case u'\u0418': case u'\u0438': return u'u';
    case u'\u041A': case u'\u043A': return u'k';
    case u'\u041C': case u'\u043C': return u'm';
    case u'\u041D': case u'\u043D': return u'h';
    case u'\u041E': case u'\u043E': return u'o';
    case u'\u0420': case u'\u0440': return u'r';
    case u'\u0421': case u'\u0441': return u'c';
    case u'\u0422': case u'\u0442': return u't';
    case u'\u0423': case u'\u0443': return u'y';
    case u'\u0425': case u'\u0445': return u'x';
    case u'P': case u'p': return u'r';
    case u'I': case u'i': case u'1': return u'L';
    case u'0': return u'o';
    default: return c;
  }
}
// clang-format on

// The bounds of a browser word, in the regular-expression library's own
// class of letters of every script.
constexpr std::u16string_view kWordStart = u"(?<![[:letter:]])";
constexpr std::u16string_view kWordEnd = u"(?![[:letter:]])";

// The contained names and the profile-shortcut names as words, then the
// exact names (whose text opens by closing the first group).
std::u16string browserPattern(std::u16string_view contained, std::u16string_view profileNames,
                              std::u16string_view exactTail) {
  std::u16string pattern = u"(";
  pattern += kWordStart;
  pattern += u"(?:";
  pattern += contained;
  pattern += u"|(?<= - )(?:";
  pattern += profileNames;
  pattern += u")$)";
  pattern += kWordEnd;
  pattern += exactTail;
  return pattern;
}

}  // namespace

std::u16string DeMaskName(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = deMaskUnit(c);
  return out;
}

BrowserNamePatterns buildBrowserNamePatterns() {
  using namespace browser_names;
  std::u16string contained;
  for (const std::u16string_view piece : kContainedNames) contained += piece;
  std::u16string exactTail(kExactNamesOpen);
  exactTail += kExactNames;
  exactTail += kCopySuffixOpen;
  exactTail += kEmDash;
  exactTail += kCopySuffixMiddle;
  exactTail += kEmDash;
  exactTail += kCopySuffixClose;

  std::u16string exclude;
  for (const std::u16string_view piece : kExcludedNames) exclude += piece;

  std::u16string shortNames(kExactNames);
  shortNames += u'|';
  shortNames += kMoreShortNames;
  shortNames += u'|';
  shortNames += kVendorShortName;

  // Escapes first: de-masking "\u2014" would give "\u2oL4", which no longer
  // stands for the dash and breaks the whole de-masked pattern. The word
  // bounds come after de-masking: it rewrites the pattern's syntax as well
  // as its names (any p or i), and their class name must stay as written.
  contained = decodeUnicodeEscapes(contained);
  exactTail = decodeUnicodeEscapes(exactTail);
  const std::u16string profileNames = decodeUnicodeEscapes(kProfileShortcutNames);

  BrowserNamePatterns patterns;
  patterns.browser = browserPattern(contained, profileNames, exactTail);
  patterns.exclude = decodeUnicodeEscapes(exclude);
  patterns.shortNames = decodeUnicodeEscapes(shortNames);
  patterns.deMaskedBrowser =
      browserPattern(DeMaskName(contained), DeMaskName(profileNames), DeMaskName(exactTail));
  patterns.deMaskedExclude = DeMaskName(patterns.exclude);
  patterns.deMaskedShortNames = DeMaskName(patterns.shortNames);
  return patterns;
}

}  // namespace tolvaran
