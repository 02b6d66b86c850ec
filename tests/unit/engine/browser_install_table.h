#pragma once
// Where each browser of the database is usually installed and what its
// shortcuts are called: for tests that plant a browser on a simulated
// machine, hijack its shortcut and expect the cure to bring it back.
//
// Paths use the database's folder macros (<PF32>, <PF64>, <LocalAppData>,
// <AppData>, <Desktop>, <UserProfile>); a test expands them for its machine.
// A form with a registry value is found only through that value (the path is
// not one the database names), so the test must write the value too; its
// data may use the same macros. Shortcut names are as the cure sees them:
// file name without extension, lower case.
#include <string_view>
#include <vector>

namespace tolvaran::browser_test {

struct BrowserInstallForm {
  std::u16string_view path;
  std::u16string_view regKey = {};    // e.g. HKCU\Software\...\App Paths\chrome.exe
  std::u16string_view regValue = {};  // empty: the key's default value
  std::u16string_view regData = {};
};

struct BrowserInstallCase {
  std::u16string_view title;  // the database title of the first name
  std::vector<std::u16string_view> shortcutNames;
  std::vector<BrowserInstallForm> forms;
};

inline const std::vector<BrowserInstallCase>& browserInstallTable() {
  static const std::vector<BrowserInstallCase> table{
      {u"Google Chrome",
       {u"google chrome", u"chrome", u"james - chrome", u"google chrome - ярлык"},
       {{u"<PF64>\\Google\\Chrome\\Application\\chrome.exe"},
        {u"<PF32>\\Google\\Chrome\\Application\\chrome.exe"},
        {u"<LocalAppData>\\Google\\Chrome\\Application\\chrome.exe"},
        {u"D:\\Apps\\Chrome\\Application\\chrome.exe",
         u"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Google Chrome",
         u"InstallLocation", u"D:\\Apps\\Chrome\\Application"},
        {u"D:\\Apps\\Chrome2\\chrome.exe",
         u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\chrome.exe", u"",
         u"D:\\Apps\\Chrome2\\chrome.exe"}}},
      {u"Chromium",
       {u"chromium"},
       {{u"<LocalAppData>\\Chromium\\Application\\chrome.exe"},
        {u"<PF64>\\Chromium\\Application\\chrome.exe"}}},
      {u"Firefox",
       {u"mozilla firefox", u"firefox", u"firefox - копия (2)"},
       {{u"<PF64>\\Mozilla Firefox\\firefox.exe"},
        {u"<PF32>\\Mozilla Firefox\\firefox.exe"},
        {u"<LocalAppData>\\Mozilla Firefox\\firefox.exe"},
        {u"D:\\Fx\\firefox.exe",
         u"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\firefox.exe", u"",
         u"D:\\Fx\\firefox.exe"}}},
      {u"Opera",
       {u"opera", u"opera browser", u"opera gx browser"},
       {{u"<LocalAppData>\\Programs\\Opera\\launcher.exe"},
        {u"<PF64>\\Opera\\launcher.exe"},
        {u"<PF32>\\Opera\\opera.exe"},
        {u"<LocalAppData>\\Programs\\Opera GX\\launcher.exe"},
        {u"D:\\Op\\launcher.exe", u"HKCU\\Software\\Opera Software", u"Last Stable Install Path",
         u"D:\\Op"}}},
      {u"Yandex",
       {u"yandex"},
       {{u"<LocalAppData>\\Yandex\\YandexBrowser\\Application\\browser.exe"},
        {u"<PF32>\\Yandex\\YandexBrowser\\Application\\browser.exe"}}},
      {u"Internet Explorer",
       {u"internet explorer", u"ie", u"iexplore"},
       {{u"<PF64>\\Internet Explorer\\iexplore.exe"},
        {u"<PF32>\\Internet Explorer\\iexplore.exe"}}},
      {u"Vivaldi",
       {u"vivaldi"},
       {{u"<LocalAppData>\\Vivaldi\\Application\\vivaldi.exe"},
        {u"<PF64>\\Vivaldi\\Application\\vivaldi.exe"}}},
      {u"Pale Moon", {u"pale moon"}, {{u"<PF64>\\Pale Moon\\palemoon.exe"}}},
      {u"Waterfox",
       {u"waterfox"},
       {{u"<PF64>\\Waterfox\\waterfox.exe"}, {u"<PF64>\\Waterfox Classic\\waterfox.exe"}}},
      {u"SeaMonkey",
       {u"seamonkey"},
       {{u"<PF32>\\SeaMonkey\\seamonkey.exe"}, {u"<PF32>\\mozilla.org\\SeaMonkey\\seamonkey.exe"}}},
      {u"Maxthon",
       {u"maxthon", u"maxthon cloud browser"},
       {{u"<PF32>\\Maxthon\\Bin\\Maxthon.exe"},
        {u"<LocalAppData>\\Maxthon\\Application\\Maxthon.exe"}}},
      {u"Амиго", {u"амиго", u"amigo"}, {{u"<LocalAppData>\\Amigo\\Application\\amigo.exe"}}},
      {u"Comodo Dragon", {u"dragon"}, {{u"<PF32>\\Comodo\\Dragon\\dragon.exe"}}},
      {u"Comodo IceDragon", {u"comodo icedragon"}, {{u"<PF32>\\Comodo\\IceDragon\\icedragon.exe"}}},
      {u"Start Tor Browser",
       {u"start tor browser"},
       {{u"<Desktop>\\Tor Browser\\Browser\\firefox.exe"}}},
      {u"UC Browser",
       {u"uc browser"},
       {{u"<LocalAppData>\\UCBrowser\\Application\\UCBrowser.exe"}}},
      {u"Slimjet", {u"flashpeak slimjet"}, {{u"<PF64>\\Slimjet\\slimjet.exe"}}},
      {u"Epic Privacy Browser",
       {u"epic privacy browser"},
       {{u"<LocalAppData>\\Epic Privacy Browser\\Application\\epic.exe"}}},
      {u"Orbitum", {u"orbitum"}, {{u"<LocalAppData>\\Orbitum\\Application\\orbitum.exe"}}},
      {u"Kometa", {u"kometa"}, {{u"<LocalAppData>\\Kometa\\Application\\kometa.exe"}}},
      {u"Uran", {u"uran"}, {{u"<LocalAppData>\\uCozMedia\\Uran\\Application\\uran.exe"}}},
      {u"Torch", {u"torch"}, {{u"<LocalAppData>\\Torch\\Application\\torch.exe"}}},
      {u"Sleipnir", {u"sleipnir 6"}, {{u"<PF32>\\Fenrir Inc\\Sleipnir5\\bin\\Sleipnir.exe"}}},
      {u"Lunascape", {u"lunascape"}, {{u"<PF32>\\Lunascape\\Lunascape6\\Luna.exe"}}},
      {u"K-Meleon", {u"k-meleon"}, {{u"<PF32>\\K-Meleon\\k-meleon.exe"}}},
      {u"Midori", {u"midori"}, {{u"<PF32>\\Midori\\midori.exe"}}},
      {u"QtWeb", {u"qtweb internet browser"}, {{u"<PF32>\\QtWeb\\QtWeb.exe"}}},
      {u"Baidu Spark Browser",
       {u"baidu spark browser"},
       {{u"<PF32>\\baidu\\Spark Browser\\spark.exe"}}},
      {u"SRWare Iron",
       {u"srware iron"},
       {{u"<PF64>\\SRWare Iron\\iron.exe"}, {u"<PF32>\\SRWare Iron\\chrome.exe"}}},
      {u"CoolNovo",
       {u"coolnovo"},
       {{u"<LocalAppData>\\MapleStudio\\ChromePlus\\Application\\chrome.exe"}}},
      {u"Avant Browser", {u"avant browser"}, {{u"<PF32>\\Avant Browser\\avant.exe"}}},
      {u"Safari", {u"safari"}, {{u"<PF32>\\Safari\\Safari.exe"}}},
      {u"Netscape Navigator",
       {u"netscape navigator"},
       {{u"<PF32>\\Netscape\\Navigator 9\\navigator.exe"}}},
      {u"Cyberfox", {u"cyberfox"}, {{u"<PF64>\\Cyberfox\\cyberfox.exe"}}},
      {u"QQBrowser", {u"qqbrowser"}, {{u"<PF32>\\Tencent\\QQBrowser\\QQBrowser.exe"}}},
      {u"CometBird", {u"cometbird"}, {{u"<PF32>\\CometBird\\cometbird.exe"}}},
      {u"BoBrowser", {u"bobrowser"}, {{u"<LocalAppData>\\BoBrowser\\Application\\bobrowser.exe"}}},
      {u"Рамблер Браузер",
       {u"рамблер браузер", u"nichrome"},
       {{u"<LocalAppData>\\Nichrome\\Application\\nichrome.exe"}}},
      {u"Mail.Ru Агент", {u"mail.ru агент"}, {{u"<AppData>\\Mail.Ru\\Agent\\magent.exe"}}},
      {u"Игровой центр@Mail.Ru",
       {u"игровой центр@mail.ru"},
       {{u"<LocalAppData>\\GameCenter\\GameCenter.exe"}}},
      {u"Яндекс.Диск", {u"яндекс.диск"}, {{u"<AppData>\\Yandex\\YandexDisk2\\YandexDisk2.exe"}}},
      {u"Punto Switcher", {u"punto switcher"}, {{u"<PF32>\\Yandex\\Punto Switcher\\punto.exe"}}},
      {u"Dropbox",
       {u"dropbox"},
       {{u"<PF32>\\Dropbox\\Client\\Dropbox.exe"}, {u"<AppData>\\Dropbox\\bin\\Dropbox.exe"}}},
  };
  return table;
}

}  // namespace tolvaran::browser_test
