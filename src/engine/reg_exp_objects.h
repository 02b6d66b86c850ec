#pragma once
// The engine's five regular-expression objects, created once at start-up and
// owned by the program's state. All are case-insensitive and start with
// global matching off.
//
// The engine is built in, so there is nothing to create through the system's
// scripting library and creation cannot fail; a pattern that does not
// compile fails when it is used (see RegExp).
#include <string_view>

#include "support/reg_exp.h"

namespace tolvaran {

struct RegExpObjects {
  // Every object with an empty pattern.
  RegExpObjects() = default;
  RegExpObjects(std::u16string_view browserPattern, std::u16string_view deMaskedBrowserPattern,
                std::u16string_view excludePattern, std::u16string_view deMaskedExcludePattern)
      : browser(browserPattern),
        deMaskedBrowser(deMaskedBrowserPattern),
        exclusion(excludePattern),
        deMaskedExclusion(deMaskedExcludePattern) {}

  // Shared by every short-lived use: set its pattern (and global flag)
  // immediately before each use.
  RegExp general;
  RegExp browser;
  RegExp deMaskedBrowser;
  RegExp exclusion;
  RegExp deMaskedExclusion;
};

}  // namespace tolvaran
