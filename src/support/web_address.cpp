#include "support/web_address.h"

#include "support/text.h"

namespace tolvaran {

namespace {

// Every marker starts with one of these letters: a position whose folded
// unit is none of them is passed over with a single comparison chain.
bool mayStartMarker(char32_t folded) noexcept {
  return folded == u'h' || folded == u'f' || folded == u'w' || folded == u'j' || folded == u'v';
}

constexpr std::u16string_view kMarkers[] = {u"http://", u"https://",    u"ftp://",
                                            u"www.",    u"javascript:", u"vbscript:"};

}  // namespace

bool containsWebAddress(std::u16string_view text) noexcept {
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A surrogate never folds into ASCII, so unit-wise folding is enough here;
    // the comparison below folds pairs properly.
    if (!mayStartMarker(foldCase(text[i]))) continue;
    const std::u16string_view rest = text.substr(i);
    for (const std::u16string_view marker : kMarkers) {
      if (startsWithNoCase(rest, marker)) return true;
    }
  }
  return false;
}

}  // namespace tolvaran
