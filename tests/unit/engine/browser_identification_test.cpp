// Browser identification over the shipped database: usual shortcut names,
// look-alike fakes, exclusions, and which targets and arguments may stay.
#include "engine/browser_identification.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "browser_install_table.h"
#include "browser_test_rig.h"
#include "support/reg_exp.h"

namespace tolvaran {
namespace {

using browser_test::makeResource;
using browser_test::Rig;

// Every name the browser pattern lists, as a shortcut would spell it.
std::vector<std::u16string> patternNames() {
  std::u16string all;
  for (const std::u16string_view piece : browser_names::kContainedNames) all += piece;
  all += u'|';
  all += browser_names::kExactNames;
  all = decodeUnicodeEscapes(all);
  std::vector<std::u16string> names;
  std::u16string name;
  for (std::size_t i = 0; i <= all.size(); ++i) {
    if (i == all.size() || all[i] == u'|') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else if (all[i] == u'\\' && i + 1 < all.size()) {
      name += all[++i];  // \. \( \) \[ \]
    } else {
      name += all[i];
    }
  }
  return names;
}

// The name with every letter that has a look-alike in the other script
// swapped for it, as fakes are spelt.
std::u16string lookAlike(std::u16string_view name) {
  constexpr std::u16string_view latin = u"aceopxyiABCEHKMOPTX";
  constexpr std::u16string_view cyrillic = u"асеорхуіАВСЕНКМОРТХ";
  std::u16string out(name);
  for (char16_t& c : out) {
    if (const std::size_t at = latin.find(c); at != std::u16string_view::npos) {
      c = cyrillic[at];
    } else if (const std::size_t back = cyrillic.find(c); back != std::u16string_view::npos) {
      c = latin[back];
    }
  }
  return out;
}

class Identify : public ::testing::Test {
 protected:
  void SetUp() override { rig.loadBuiltIn(); }
  std::u16string titleOf(std::u16string_view name, bool* masked = nullptr) {
    bool isMasked = false;
    const BrowserID id = rig.identification->GetBrowserID(name, isMasked);
    if (masked) *masked = isMasked;
    if (id == 0) return u"-";
    return rig.database->records(id).front().Title;
  }
  Rig rig;
};

TEST_F(Identify, EveryPatternNameAndItsLookAlikeIsInTheDatabase) {
  const std::vector<std::u16string> names = patternNames();
  ASSERT_EQ(names.size(), 129u);
  for (const std::u16string& name : names) {
    const std::u16string lower = foldCase(name);
    SCOPED_TRACE(utf16ToUtf8(lower));
    bool masked = true;
    const BrowserID id = rig.identification->GetBrowserID(lower, masked);
    ASSERT_NE(id, 0);
    const BrowserInfo& info = rig.database->records(id).front();
    EXPECT_EQ(masked, info.IsMasked);

    const std::u16string fake = lookAlike(lower);
    if (fake == lower) continue;
    const BrowserID fakeId = rig.identification->GetBrowserID(fake, masked);
    ASSERT_NE(fakeId, 0) << utf16ToUtf8(fake);
    EXPECT_TRUE(masked);
    EXPECT_EQ(rig.database->records(fakeId).front().Title, info.Title);
  }
  EXPECT_TRUE(rig.recorder.empty());
}

TEST_F(Identify, UsualShortcutNames) {
  struct Case {
    std::u16string_view name;
    std::u16string_view title;  // "-" for no browser
    bool masked;
  };
  for (const Case& c : {
           // Contained names match where they stand as words.
           Case{u"google chrome", u"Google Chrome", false},
           Case{u"james - chrome", u"Google Chrome", false},
           Case{u"chrome2", u"Google Chrome", false},
           Case{u"opera 12", u"Opera", false},
           Case{u"monochrome studio", u"-", false},
           Case{u"avantage accounting", u"-", false},
           Case{u"operational notes", u"-", false},
           Case{u"firefoxes", u"-", false},
           Case{u"m\u043Enochrome", u"-", false},  // de-masked, still inside a word
           // A longer name wins over the name it begins with.
           Case{u"google chrome beta", u"Google Chrome Beta", false},
           Case{u"chrome dev", u"Google Chrome Dev", false},
           Case{u"google chrome canary - copy", u"Google Chrome Canary", false},
           Case{u"opera gx", u"Opera GX", false},
           Case{u"firefox developer edition", u"Firefox Developer Edition", false},
           Case{u"firefox nightly", u"Firefox Nightly", false},
           Case{u"firefox private browsing", u"Firefox Private Browsing", false},
           Case{u"microsoft edge", u"Microsoft Edge", false},
           Case{u"microsoft edge beta", u"Microsoft Edge Beta", false},
           Case{u"brave nightly", u"Brave Nightly", false},
           Case{u"яндекс.диск", u"Яндекс.Диск", false},
           Case{u"яндекс.браузер", u"Yandex", false},
           Case{u"yandex browser", u"Yandex", false},
           Case{u"start tor browser", u"Start Tor Browser", false},
           Case{u"tor browser", u"Tor Browser", false},
           Case{u"avast secure browser", u"Avast Secure Browser", false},
           Case{u"comodo dragon", u"Comodo Dragon", false},
           Case{u"slimjet", u"Slimjet", false},
           // "Edge" and "Brave" only as a profile shortcut's last word, or
           // Brave as the whole name.
           Case{u"work - edge", u"Microsoft Edge", false},
           Case{u"julie - brave", u"Brave", false},
           Case{u"brave", u"Brave", false},
           Case{u"edge", u"-", false},
           Case{u"edge detection", u"-", false},
           Case{u"knowledge base", u"-", false},
           Case{u"work - edge detection", u"-", false},
           Case{u"a brave new world", u"-", false},
           Case{u"mozilla firefox - ярлык", u"Firefox", false},
           Case{u"[firefox]!", u"Firefox", false},
           Case{u"internet explorer", u"Internet Explorer", false},
           Case{u"internet explorer (64-bit)", u"Internet Explorer (64-bit)", false},
           Case{u"internet explorer (без надстроек)", u"Internet Explorer (без надстроек)", false},
           Case{u"chrome app launcher", u"Chrome App Launcher", false},
           Case{u"nichrome", u"Рамблер Браузер", false},
           Case{u"seamonkey mail", u"SeaMonkey Mail", false},
           Case{u"comodo icedragon", u"Comodo IceDragon", false},
           Case{u"uninstall chromium", u"Uninstall Chromium", false},
           Case{u"opera  mail", u"Opera Mail", false},
           Case{u"猎豹安全浏览器", u"猎豹安全浏览器", false},
           // Exact names only as the whole name, with the copy decorations.
           Case{u"ie", u"Internet Explorer", false},
           Case{u"internet ie", u"-", false},
           Case{u"ie2", u"-", false},
           Case{u"ie - copy (3)", u"Internet Explorer", false},
           Case{u"ie \u2014 копия", u"Internet Explorer", false},
           Case{u"copy of yandex - shortcut (2)", u"Yandex", false},
           Case{u"yandex - ярлык - копия", u"Yandex", false},
           Case{u"iexplore - copy", u"Internet Explorer", false},
           Case{u"интернет", u"Интернет", false},
           Case{u"start_yandexdisk", u"Start_YandexDisk", false},
           Case{u"яндекс", u"Yandex", false},
           Case{u"яндекс музыка", u"-", false},
           Case{u"brave - copy (2)", u"Brave", false},
           // Known fakes are masked by their record.
           Case{u"xpoм", u"Google Chrome", true},
           Case{u"pera", u"Opera", true},
           Case{u"internet exploror", u"Internet Explorer", true},
           // Look-alike letters: masked when only the de-masked name matches.
           Case{u"\u043Epera", u"Opera", true},                        // Cyrillic о
           Case{u"\u0445\u0440\u043E\u043C", u"Google Chrome", true},  // Хром, all Cyrillic
           Case{u"1e", u"Internet Explorer", true},                    // the digit one
           Case{u"g\u043E\u043Egle chrome", u"Google Chrome", false},  // "chrome" still plain
           Case{u"\u03BFpera", u"-", false},             // Greek omicron is no Cyrillic
           Case{u"f\u0456refox (2)", u"Firefox", true},  // Ukrainian і
           Case{u"w\u043Erk - \u0435dge", u"Microsoft Edge", true},
           // Names with browser words that are not browsers.
           Case{u"opera game", u"-", false},
           Case{u"chromecast", u"-", false},
           Case{u"chromepass", u"-", false},
           Case{u"viewer for google chrome", u"-", false},
           Case{u"virtual comodo dragon", u"-", false},
           Case{u"интернет-шашки", u"-", false},
           Case{u"360amigo", u"-", false},
           Case{u"firefox password", u"-", false},
           Case{u"\u043Epera g\u0430me", u"-", false},  // excluded after de-masking too
           // ... except the two that are kept.
           Case{u"игровой центр@mail.ru", u"Игровой центр@Mail.Ru", false},
           Case{u"искать в интернете", u"Искать в Интернете", false},
           Case{u"игр\u043Eвой центр@m\u0430il.ru", u"Игровой центр@Mail.Ru", true},
           Case{u"", u"-", false},
           Case{u"notepad", u"-", false},
       }) {
    bool masked = !c.masked;
    EXPECT_EQ(titleOf(c.name, &masked), c.title) << utf16ToUtf8(c.name);
    EXPECT_EQ(masked, c.masked) << utf16ToUtf8(c.name);
  }
  EXPECT_TRUE(rig.recorder.empty());
}

TEST_F(Identify, GetBrowserInfoGivesTheFirstRecordOrNothing) {
  const BrowserInfo chrome = rig.identification->GetBrowserInfo(u"google chrome");
  EXPECT_EQ(chrome.Key, u"chrome");
  EXPECT_EQ(chrome.ExePath, u"C:\\Program Files (x86)\\Google\\Chrome\\Application\\chrome.exe");
  EXPECT_EQ(rig.identification->GetBrowserInfo(u"internet explorer (no add-ons)").DefaultArgs,
            u"-extoff");
  EXPECT_EQ(rig.identification->GetBrowserInfo(u"notepad"), BrowserInfo{});
}

// The table the cure's end-to-end tests plant browsers from must name what
// the database knows: each shortcut name finds its browser, and each plain
// install path is one of that browser's records.
TEST_F(Identify, InstallTableAgreesWithTheDatabase) {
  for (const browser_test::BrowserInstallCase& c : browser_test::browserInstallTable()) {
    for (const std::u16string_view name : c.shortcutNames) {
      SCOPED_TRACE(utf16ToUtf8(name));
      ASSERT_EQ(titleOf(name), c.title);
      const auto& records = rig.database->records(rig.identification->GetBrowserID(name));
      for (const browser_test::BrowserInstallForm& form : c.forms) {
        if (!form.regKey.empty()) continue;
        // A program-files macro finds either folder: <PF32> and <PF64> are
        // the same install form.
        const std::u16string path = rig.database->ExpandMacroPath(form.path);
        const std::u16string twin = rig.database->ExpandMacroPath(
            form.path.starts_with(u"<PF32>")   ? u"<PF64>" + std::u16string(form.path.substr(6))
            : form.path.starts_with(u"<PF64>") ? u"<PF32>" + std::u16string(form.path.substr(6))
                                               : std::u16string(form.path));
        EXPECT_TRUE(std::any_of(records.begin(), records.end(), [&](const BrowserInfo& r) {
          return r.ExePath == path || r.ExePath == twin;
        })) << utf16ToUtf8(form.path);
      }
    }
  }
}

// --- patterns and de-masking -----------------------------------------------------------

TEST(DeMaskName, MapsLookAlikesOneForOne) {
  struct Case {
    std::u16string_view in;
    std::u16string_view out;
  };
  for (const Case& c : {
           Case{u"10", u"Lo"},
           Case{u"P", u"r"},
           Case{u"pIi", u"rLL"},
           Case{u"АВЕИКМНОРСТУХІ", u"abeukmhorctyxL"},
           Case{u"авеикмнорстухі", u"abeukmhorctyxL"},
           Case{u"Жёлтый Ягуар 2", u"Жёлtый Ягyar 2"},
           Case{u"Игровой центр@Mail.Ru", u"uгroboй цehtr@MaLl.Ru"},
           Case{u"Искать в Интернете", u"uckatь b uhterhete"},
           Case{u"\u2014\U0001F600", u"\u2014\U0001F600"},
           Case{u"", u""},
       }) {
    EXPECT_EQ(DeMaskName(c.in), c.out) << utf16ToUtf8(c.in);
  }
}

TEST(BrowserNamePatterns, EscapesAreDecodedBeforeDeMasking) {
  const BrowserNamePatterns p = buildBrowserNamePatterns();
  for (const std::u16string* text : {&p.browser, &p.exclude, &p.shortNames, &p.deMaskedBrowser,
                                     &p.deMaskedExclude, &p.deMaskedShortNames}) {
    EXPECT_EQ(text->find(u"\\u"), std::u16string::npos);
    EXPECT_EQ(text->find(u"\\x"), std::u16string::npos);
    EXPECT_TRUE(RegExp(*text).compileError().empty()) << utf16ToUtf8(*text);
  }
  EXPECT_NE(p.deMaskedBrowser.find(u"( \u2014 Cory)?"), std::u16string::npos);
  EXPECT_TRUE(p.deMaskedBrowser.starts_with(u"((?<![[:letter:]])(?:"));
  EXPECT_NE(p.browser.find(u"\u730E\u8C79\u5B89\u5168\u6D4F\u89C8\u5668|"), std::u16string::npos);
  EXPECT_EQ(p.shortNames.substr(p.shortNames.size() - 22), u"|ICQ|Pidgin|R&Q|Google");
}

// --- a database that lacks names ---------------------------------------------------------

TEST(IdentifyWithSmallDatabase, MissingNamesFallBackToShortNamesOrAreRecorded) {
  Rig rig;
  rig.load(makeResource({{u"ie", 0}, {u"Le", 0}, {u"Google", 1}},
                        {u"0;Internet Explorer;;iexplore.exe;;;;;0;0;;;0",
                         u"0;Google Chrome;;chrome.exe;;;;;0;0;;;0"}));
  // "ie - copy (3)" is not a name, but its first short name is.
  EXPECT_EQ(rig.identification->GetBrowserID(u"ie - copy (3)"), 1);
  bool masked = false;
  EXPECT_EQ(rig.identification->GetBrowserID(u"1e - copy (3)", masked), 2);
  EXPECT_TRUE(masked);
  // "google chrome" matched "chrome"; the fallback finds the vendor name.
  EXPECT_EQ(rig.identification->GetBrowserID(u"google chrome"), 3);
  EXPECT_TRUE(rig.recorder.empty());

  EXPECT_EQ(rig.identification->GetBrowserID(u"opera", masked), 0);
  EXPECT_FALSE(masked);
  EXPECT_EQ(rig.identification->GetBrowserID(u"\u043Epera", masked), 0);
  EXPECT_FALSE(masked);
  ASSERT_EQ(rig.recorder.size(), 2u);
  EXPECT_EQ(rig.recorder.records()[0].context,
            (std::vector<std::u16string>{u"Database Error. Engine.GetBrowserID", u"Name:", u"opera",
                                         u"isMasked:", u"False", u"Browser: ", u"opera"}));
  EXPECT_EQ(
      rig.recorder.records()[1].context,
      (std::vector<std::u16string>{u"Database Error. Engine.GetBrowserID", u"Name:", u"\u043Epera",
                                   u"isMasked:", u"False", u"Stady:", u"Browser: ", u"orera"}));
}

// --- legitimate targets and arguments ------------------------------------------------------

TEST_F(Identify, LegitimateTargetsAndArguments) {
  struct Case {
    std::u16string_view name;
    std::u16string_view target;
    std::u16string_view arguments;
    bool legit;
    bool argsOK;
  };
  for (const Case& c : {
           // The browser's own executable, in any folder and letter case.
           Case{u"google chrome", u"D:\\Anywhere\\CHROME.EXE", u"", true, false},
           Case{u"google chrome", u"chrome.exe", u"--profile-directory=Default", true, true},
           Case{u"google chrome", u"C:\\x\\chrome.exe", u"  --PROFILE-DIRECTORY=\"Profile 2\" ",
                true, true},
           Case{u"google chrome", u"C:\\x\\chrome.exe", u"http://ads.example/", true, false},
           Case{u"google chrome", u"C:\\x\\chrome.exe", u"--incognito http://ads.example/", true,
                false},
           Case{u"opera", u"C:\\Opera\\launcher.exe", u"", true, false},
           Case{u"opera", u"C:\\Opera\\opera.exe", u"-newprivatetab", true, true},
           Case{u"internet explorer (no add-ons)", u"C:\\IE\\iexplore.exe", u"-extoff", true, true},
           Case{u"удалить waterfox", u"C:\\W\\uninstall\\helper.exe", u"", true, false},
           // Anything else is not.
           Case{u"google chrome", u"C:\\Windows\\System32\\cmd.exe", u"/c start chrome", false,
                false},
           Case{u"google chrome", u"C:\\x\\chrome.exe.bat", u"", false, false},
           Case{u"google chrome", u"", u"", false, false},
           // A portable browser may live anywhere.
           Case{u"firefox", u"E:\\Portable\\Browsers\\chrome.exe", u"", true, false},
           Case{u"firefox портативный", u"E:\\x\\palemoon.exe", u"-safe-mode", true, true},
           Case{u"firefox", u"E:\\Portable\\chrome.bat", u"", false, false},
           // Uninstall shortcuts keep their uninstaller and its clean arguments.
           Case{u"uninstall chromium", u"C:\\p\\unins000.exe", u"/SILENT", true, true},
           Case{u"uninstall chromium", u"MsiExec.exe", u"/X{01234567-89AB-CDEF-0123-456789ABCDEF}",
                true, true},
           Case{u"uninstall chromium", u"C:\\p\\setup", u"", true, true},
           Case{u"uninstall chromium", u"C:\\p\\unins000.exe", u"/SILENT http://ads.example/", true,
                false},
           Case{u"uninstall chromium", u"C:\\p\\unins000.exe", u"https://ads.example/", true,
                false},
           Case{u"uninstall chromium", u"C:\\p\\notepad.exe", u"", false, false},
           Case{u"un\u0456nst\u0430ll chromium", u"C:\\p\\Uninstall.exe", u"", true, true},
           Case{u"\u5378\u8F7D chrome", u"C:\\p\\uninst.exe", u"", true, true},
           Case{u"google chrome", u"C:\\p\\setup.exe", u"", false, false},
       }) {
    const std::string trace =
        utf16ToUtf8(std::u16string(c.name) + u" | " + std::u16string(c.target) + u" | " +
                    std::u16string(c.arguments));
    const BrowserID id = rig.identification->GetBrowserID(c.name);
    ASSERT_NE(id, 0) << trace;
    bool argsOK = !c.argsOK;
    EXPECT_EQ(rig.identification->isLegit_BrowserTarget(u"ignored", c.name, id, c.target,
                                                        c.arguments, argsOK),
              c.legit)
        << trace;
    EXPECT_EQ(argsOK, c.argsOK) << trace;
  }
  EXPECT_TRUE(rig.recorder.empty());
}

}  // namespace
}  // namespace tolvaran
