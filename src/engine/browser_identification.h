#pragma once
// Browser identification (module Engine): which browser database entry a
// shortcut's name stands for, whether the name is a look-alike imitation,
// and whether a shortcut's target and arguments are legitimate for it.
#include <string>
#include <string_view>
#include <vector>

#include "engine/browser_database.h"
#include "engine/browser_info.h"
#include "engine/browser_name_patterns.h"
#include "engine/reg_exp_objects.h"
#include "support/failure.h"

namespace tolvaran {

// True when the file name (with its extension) is the record's executable
// or one of its helper programs (web apps, private windows).
bool isProgramOf(const BrowserInfo& record, std::u16string_view fileName);

// Why a target is legitimate for a browser shortcut.
enum class BrowserTarget {
  kNotLegitimate,
  kProgram,      // the browser's executable or one of its helper programs
  kUninstaller,  // an uninstaller behind an uninstall shortcut
  kPortable,     // a program whose shortcut or path says it is portable, in any folder
};

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

  // True when the target is one of the browser's programs (any folder), an
  // uninstaller behind an uninstall shortcut, or a portable program.
  // `argsOK` tells whether the arguments may stay as they are: an
  // uninstaller's own arguments without a web address, or arguments of
  // which the switch judgement drops nothing. `path` is not used.
  bool isLegit_BrowserTarget(std::u16string_view path, std::u16string_view name, BrowserID id,
                             std::u16string_view target, std::u16string_view arguments,
                             bool& argsOK);
  // The same judgement, telling why the target is legitimate.
  BrowserTarget judgeBrowserTarget(std::u16string_view name, BrowserID id,
                                   std::u16string_view target, std::u16string_view arguments,
                                   bool& argsOK);

  // The switches a shortcut of the browser may carry: every record's
  // legitimate-argument items.
  std::vector<std::u16string> legitSwitches(BrowserID id);

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
