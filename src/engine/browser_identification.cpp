#include "engine/browser_identification.h"

#include <algorithm>

#include "engine/arguments/browser_switches.h"
#include "engine/path_names.h"
#include "support/text.h"
#include "support/web_address.h"

namespace tolvaran {

namespace {

// Uninstall shortcuts in the languages adware meets, two of them spelt with
// Cyrillic look-alikes as seen in the wild, and the Chinese word.
constexpr std::u16string_view kUninstallNames =
    u"Удалить|Uninstall|Деинсталлировать|Видалити|Деинсталиране|Выдал\u0456ць|"
    u"Un\u0456nst\u0430ll|Uninst\u0430ll|\\u5378\\u8F7D";
constexpr std::u16string_view kUninstallerFiles =
    uR"re(^(MsiExec|uninst|unins000|UNWISE|Setup|Uninstall)(\.exe)?$)re";

}  // namespace

bool isProgramOf(const BrowserInfo& record, std::u16string_view fileName) {
  if (equalsNoCase(GetFileNameAndExt(record.ExePath), fileName)) return true;
  for (const std::u16string& helper : record.Helpers) {
    if (equalsNoCase(helper, fileName)) return true;
  }
  return false;
}

BrowserIdentification::BrowserIdentification(BrowserDatabase& database, RegExpObjects& patterns,
                                             FailureRecorder& recorder)
    : database_(database), patterns_(patterns), recorder_(recorder) {}

void BrowserIdentification::CreatePatterns() {
  guardedStep(
      recorder_,
      [&] {
        texts_ = buildBrowserNamePatterns();
        for (std::size_t i = 0; i < browser_names::kLetThroughNames.size(); ++i) {
          deMaskedLetThrough_[i] = DeMaskName(browser_names::kLetThroughNames[i]);
        }
        for (RegExp* object : {&patterns_.browser, &patterns_.deMaskedBrowser, &patterns_.exclusion,
                               &patterns_.deMaskedExclusion}) {
          object->setIgnoreCase(true);
          object->setGlobal(false);
        }
        patterns_.browser.setPattern(texts_.browser);
        patterns_.deMaskedBrowser.setPattern(texts_.deMaskedBrowser);
        patterns_.exclusion.setPattern(texts_.exclude);
        patterns_.deMaskedExclusion.setPattern(texts_.deMaskedExclude);
      },
      [] { return ErrorContext(u"Engine.CreatePatterns"); });
}

BrowserID BrowserIdentification::GetBrowserID(std::u16string_view name, bool& masked) {
  masked = false;
  const BrowserID id = guarded(
      recorder_, BrowserID{0},
      [&]() -> BrowserID {
        const std::vector<RegExpMatch> plain = patterns_.browser.Execute(name);
        if (!plain.empty()) {
          if (patterns_.exclusion.Test(name) &&
              !equalsNoCase(name, browser_names::kLetThroughNames[0]) &&
              !equalsNoCase(name, browser_names::kLetThroughNames[1])) {
            return 0;
          }
          const BrowserID found =
              lookUpMatched(name, plain.front().value, name, texts_.shortNames, false, masked);
          if (found != 0) {
            const std::vector<BrowserInfo>& records = database_.records(found);
            masked = !records.empty() && records.front().IsMasked;
          }
          return found;
        }
        const std::u16string deMasked = DeMaskName(name);
        const std::vector<RegExpMatch> look = patterns_.deMaskedBrowser.Execute(deMasked);
        if (look.empty()) return 0;
        if (patterns_.deMaskedExclusion.Test(deMasked) &&
            !equalsNoCase(deMasked, deMaskedLetThrough_[0]) &&
            !equalsNoCase(deMasked, deMaskedLetThrough_[1])) {
          return 0;
        }
        const BrowserID found = lookUpMatched(name, look.front().value, deMasked,
                                              texts_.deMaskedShortNames, true, masked);
        masked = found != 0;
        return found;
      },
      [&] { return ErrorContext(u"Engine.GetBrowserID", u"Name:", name, u"isMasked:", masked); });
  if (id == 0) masked = false;
  return id;
}

// The database entry of the matched text; failing that, of the first short
// name in the (plain or de-masked) name, so that decorated exact names such
// as "ie - copy (3)" find "ie".
BrowserID BrowserIdentification::lookUpMatched(std::u16string_view name,
                                               std::u16string_view matched,
                                               std::u16string_view searched,
                                               std::u16string_view shortNames, bool deMasked,
                                               bool& masked) {
  BrowserID id = database_.DecryptBrowserString(matched);
  if (id != 0) return id;
  patterns_.general.setPattern(shortNames);
  patterns_.general.setGlobal(false);
  const std::vector<RegExpMatch> shortMatch = patterns_.general.Execute(searched);
  if (!shortMatch.empty()) id = database_.DecryptBrowserString(shortMatch.front().value);
  if (id == 0) {
    const Failure none{};
    if (deMasked) {
      recorder_.recordError(
          none, ErrorContext(u"Database Error. Engine.GetBrowserID", u"Name:", name, u"isMasked:",
                             masked, u"Stady:", u"Browser: ", matched));
    } else {
      recorder_.recordError(none, ErrorContext(u"Database Error. Engine.GetBrowserID", u"Name:",
                                               name, u"isMasked:", masked, u"Browser: ", matched));
    }
  }
  return id;
}

BrowserInfo BrowserIdentification::GetBrowserInfo(std::u16string_view name) {
  return guarded(
      recorder_, BrowserInfo{},
      [&] {
        const BrowserID id = GetBrowserID(name);
        if (id == 0) return BrowserInfo{};
        const std::vector<BrowserInfo>& records = database_.records(id);
        return records.empty() ? BrowserInfo{} : records.front();
      },
      [] { return ErrorContext(u"Engine.GetBrowserInfo"); });
}

bool BrowserIdentification::isLegit_BrowserTarget(std::u16string_view /*path*/,
                                                  std::u16string_view name, BrowserID id,
                                                  std::u16string_view target,
                                                  std::u16string_view arguments, bool& argsOK) {
  return judgeBrowserTarget(name, id, target, arguments, argsOK) != BrowserTarget::kNotLegitimate;
}

BrowserTarget BrowserIdentification::judgeBrowserTarget(std::u16string_view name, BrowserID id,
                                                        std::u16string_view target,
                                                        std::u16string_view arguments,
                                                        bool& argsOK) {
  argsOK = false;
  return guarded(
      recorder_, BrowserTarget::kNotLegitimate,
      [&] {
        const std::u16string targetFile = GetFileNameAndExt(target);
        const std::vector<BrowserInfo>& records = database_.records(id);
        BrowserTarget kind = BrowserTarget::kNotLegitimate;
        for (const BrowserInfo& record : records) {
          if (isProgramOf(record, targetFile)) {
            kind = BrowserTarget::kProgram;
            break;
          }
        }
        if (kind == BrowserTarget::kNotLegitimate) {
          RegExp& general = patterns_.general;
          general.setGlobal(false);
          general.setPattern(kUninstallNames);
          const bool uninstallName = general.Test(name);
          general.setPattern(kUninstallerFiles);
          if (uninstallName && general.Test(targetFile)) {
            // An uninstaller's own arguments (a product code, a log path)
            // cannot be rebuilt from the database: keep them when clean.
            argsOK = !containsWebAddress(arguments);
            return BrowserTarget::kUninstaller;
          }
        }
        // A portable browser may live anywhere, under any program name.
        if (GetExtensionName(target) == u".EXE" &&
            (findNoCase(name, u"portable") != std::u16string_view::npos ||
             findNoCase(name, u"портативный") != std::u16string_view::npos ||
             findNoCase(target, u"portable") != std::u16string_view::npos ||
             findNoCase(target, u"портативный") != std::u16string_view::npos)) {
          kind = BrowserTarget::kPortable;
        }
        if (kind == BrowserTarget::kNotLegitimate || arguments.empty()) return kind;
        argsOK = !judgeBrowserSwitches(arguments, legitSwitches(id)).dropped;
        return kind;
      },
      [] { return ErrorContext(u"Engine.isLegit_BrowserTarget"); });
}

std::vector<std::u16string> BrowserIdentification::legitSwitches(BrowserID id) {
  std::vector<std::u16string> switches;
  for (const BrowserInfo& record : database_.records(id)) {
    for (const std::u16string& item : record.LegitArgs) {
      if (!item.empty() && std::find(switches.begin(), switches.end(), item) == switches.end()) {
        switches.push_back(item);
      }
    }
  }
  return switches;
}

}  // namespace tolvaran
