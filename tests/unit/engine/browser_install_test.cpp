// Every browser of the database planted where it is usually installed, its
// shortcut hijacked to open an advertising page through cmd.exe: the cure
// must point the shortcut back at the browser.
#include <gtest/gtest.h>

#include "unit/engine/browser_install_table.h"
#include "unit/engine/engine_rig.h"

namespace tolvaran {
namespace {

using namespace engine_test;
using browser_test::BrowserInstallCase;
using browser_test::BrowserInstallForm;

std::u16string expand(std::u16string_view path) {
  std::u16string out(path);
  const std::pair<std::u16string_view, std::u16string_view> macros[] = {
      {u"<PF64>", u"C:\\Program Files"},
      {u"<PF32>", u"C:\\Program Files (x86)"},
      {u"<LocalAppData>", u"C:\\Users\\User\\AppData\\Local"},
      {u"<AppData>", u"C:\\Users\\User\\AppData\\Roaming"},
      {u"<Desktop>", u"C:\\Users\\User\\Desktop"},
      {u"<UserProfile>", u"C:\\Users\\User"},
  };
  for (const auto& [macro, folder] : macros) out = replaceAll(out, macro, folder);
  return out;
}

// The target the cure gave the hijacked shortcut `name` with the browser
// installed in `form`.
std::u16string cureHijacked(std::u16string_view name, const BrowserInstallForm& form) {
  EngineRig rig;
  rig.machine.files().addVolume(u"D:");
  addInterpreter(rig);
  rig.addProgram(expand(form.path), "MZ browser");
  if (!form.regKey.empty()) {
    rig.machine.registry().setString(form.regKey, form.regValue, expand(form.regData));
  }
  const std::u16string shortcut = u"C:\\Users\\User\\Desktop\\" + std::u16string(name) + u".lnk";
  rig.addShortcut(shortcut,
                  {.target = std::u16string(kCmd), .arguments = u"/c start http://ads.example"});
  rig.cure(shortcut);
  return rig.readShortcut(shortcut).Target;
}

TEST(BrowserInstallTest, EveryInstallFormIsFoundAgain) {
  for (const BrowserInstallCase& browser : browser_test::browserInstallTable()) {
    for (const BrowserInstallForm& form : browser.forms) {
      SCOPED_TRACE(utf16ToUtf8(browser.title) + " at " + utf16ToUtf8(form.path));
      const std::u16string cured = cureHijacked(browser.shortcutNames.front(), form);
      EXPECT_TRUE(equalsNoCase(cured, expand(form.path))) << utf16ToUtf8(cured);
    }
  }
}

TEST(BrowserInstallTest, EveryShortcutNameFindsItsBrowser) {
  for (const BrowserInstallCase& browser : browser_test::browserInstallTable()) {
    for (const std::u16string_view name : browser.shortcutNames) {
      SCOPED_TRACE(utf16ToUtf8(name));
      const std::u16string cured = cureHijacked(name, browser.forms.front());
      EXPECT_TRUE(equalsNoCase(cured, expand(browser.forms.front().path))) << utf16ToUtf8(cured);
    }
  }
}

}  // namespace
}  // namespace tolvaran
