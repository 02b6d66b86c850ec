#pragma once
// Browser identification (module Engine): which browser database entry a
// shortcut's name stands for, whether the name is a look-alike imitation,
// and whether a shortcut's target and arguments are legitimate for it.
#include <string>
#include <string_view>

#include "engine/browser_database.h"
#include "engine/browser_info.h"
#include "engine/browser_name_patterns.h"
#include "engine/reg_exp_objects.h"
#include "support/failure.h"

namespace tolvaran {

class BrowserIdentification {
 public:
  BrowserIdentification(BrowserDatabase& database, RegExpObjects& patterns,
                        FailureRecorder& recorder);
  BrowserIdentification(const BrowserIdentification&) = delete;
  BrowserIdentification& operator=(const BrowserIdentification&) = delete;

  // Builds the name patterns and sets them on the browser, de-masked
  // browser, exclusion and de-masked exclusion objects. Once, at start-up.
  void CreatePatterns();

  // `name` is the shortcut's file name without extension, in lower case.
  // 0 when it is no browser's name; `masked` is then false.
  BrowserID GetBrowserID(std::u16string_view name, bool& masked);
  BrowserID GetBrowserID(std::u16string_view name) {
    bool masked = false;
    return GetBrowserID(name, masked);
  }

  // The first record of the browser the name stands for; empty when none.
  BrowserInfo GetBrowserInfo(std::u16string_view name);

  // True when the target is one the browser's records name (any folder),
  // an uninstaller behind an uninstall shortcut, or a portable program.
  // `argsOK` tells whether the arguments may stay; false asks for the
  // browser's default arguments. `path` is not used.
  bool isLegit_BrowserTarget(std::u16string_view path, std::u16string_view name, BrowserID id,
                             std::u16string_view target, std::u16string_view arguments,
                             bool& argsOK);

  [[nodiscard]] const BrowserNamePatterns& patternTexts() const noexcept { return texts_; }

 private:
  BrowserID lookUpMatched(std::u16string_view name, std::u16string_view matched,
                          std::u16string_view searched, std::u16string_view shortNames,
                          bool deMasked, bool& masked);

  BrowserDatabase& database_;
  RegExpObjects& patterns_;
  FailureRecorder& recorder_;
  BrowserNamePatterns texts_;
  std::u16string deMaskedLetThrough_[2];
};

}  // namespace tolvaran
