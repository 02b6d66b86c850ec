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
// installed in `form` (and perhaps another browser at `alsoInstalled`).
std::u16string cureHijacked(std::u16string_view name, const BrowserInstallForm& form,
                            std::u16string_view alsoInstalled = {}) {
  EngineRig rig;
  rig.machine.files().addVolume(u"D:");
  addInterpreter(rig);
  rig.addProgram(expand(form.path), "MZ browser");
  if (!alsoInstalled.empty()) rig.addProgram(expand(alsoInstalled), "MZ other browser");
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

// A channel installed beside stable: each one's shortcut comes back to
// itself, not to the other.
TEST(BrowserInstallTest, ChannelAndStableEachComeBackToThemselves) {
  struct Case {
    std::u16string_view channelName;
    std::u16string_view channelPath;
    std::u16string_view stableName;
    std::u16string_view stablePath;
  };
  for (const Case& c : {
           Case{u"google chrome beta", u"<PF64>\\Google\\Chrome Beta\\Application\\chrome.exe",
                u"google chrome", u"<PF64>\\Google\\Chrome\\Application\\chrome.exe"},
           Case{u"google chrome canary",
                u"<LocalAppData>\\Google\\Chrome SxS\\Application\\chrome.exe", u"google chrome",
                u"<LocalAppData>\\Google\\Chrome\\Application\\chrome.exe"},
           Case{u"microsoft edge dev", u"<PF32>\\Microsoft\\Edge Dev\\Application\\msedge.exe",
                u"microsoft edge", u"<PF32>\\Microsoft\\Edge\\Application\\msedge.exe"},
           Case{u"brave nightly",
                u"<PF64>\\BraveSoftware\\Brave-Browser-Nightly\\Application\\brave.exe", u"brave",
                u"<PF64>\\BraveSoftware\\Brave-Browser\\Application\\brave.exe"},
           Case{u"firefox developer edition", u"<PF64>\\Firefox Developer Edition\\firefox.exe",
                u"firefox", u"<PF64>\\Mozilla Firefox\\firefox.exe"},
           Case{u"firefox private browsing", u"<PF64>\\Mozilla Firefox\\private_browsing.exe",
                u"firefox", u"<PF64>\\Mozilla Firefox\\firefox.exe"},
           Case{u"opera gx", u"<LocalAppData>\\Programs\\Opera GX\\launcher.exe", u"opera",
                u"<LocalAppData>\\Programs\\Opera\\launcher.exe"},
       }) {
    SCOPED_TRACE(utf16ToUtf8(c.channelName));
    const std::u16string channel = cureHijacked(c.channelName, {c.channelPath}, c.stablePath);
    EXPECT_TRUE(equalsNoCase(channel, expand(c.channelPath))) << utf16ToUtf8(channel);
    const std::u16string stable = cureHijacked(c.stableName, {c.stablePath}, c.channelPath);
    EXPECT_TRUE(equalsNoCase(stable, expand(c.stablePath))) << utf16ToUtf8(stable);
  }
}

// Stable is a channel's fallback: with the channel gone its shortcut still
// starts the browser.
TEST(BrowserInstallTest, ChannelFallsBackToStable) {
  for (const auto& [name, stable] :
       std::initializer_list<std::pair<std::u16string_view, std::u16string_view>>{
           {u"google chrome dev", u"<PF64>\\Google\\Chrome\\Application\\chrome.exe"},
           {u"microsoft edge canary", u"<PF32>\\Microsoft\\Edge\\Application\\msedge.exe"},
           {u"brave beta", u"<LocalAppData>\\BraveSoftware\\Brave-Browser\\Application\\brave.exe"},
           {u"firefox nightly", u"<PF64>\\Mozilla Firefox\\firefox.exe"},
       }) {
    SCOPED_TRACE(utf16ToUtf8(name));
    const std::u16string cured = cureHijacked(name, {stable});
    EXPECT_TRUE(equalsNoCase(cured, expand(stable))) << utf16ToUtf8(cured);
  }
}

}  // namespace
}  // namespace tolvaran
