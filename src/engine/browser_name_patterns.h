#pragma once
// The shortcut names that stand for browsers (and for the few other
// programs adware hijacks), the names that only look like them, and the
// normaliser that undoes look-alike letters.
//
// The texts are regular expressions written as the engine reads them
// ("\." is a dot). "\uXXXX" escapes are turned into their characters before
// anything else is done with a pattern.
#include <array>
#include <string>
#include <string_view>

namespace tolvaran {

namespace browser_names {

// Names recognised where they stand as words of a shortcut name: bounded by
// its start or end or by a character that is not a letter, so that "Google
// Chrome" and "chrome2" are Chrome but "Monochrome Studio" is not (the build
// adds the bounds). At one position the first name listed wins: a longer
// name goes before the name it begins with ("Chrome Beta" before "chrome").
inline constexpr std::array<std::u16string_view, 14> kContainedNames{
    uR"re(Opera Mail|Opera  Mail|Удалить Mail\.Ru Агент|МойМир@Mail\.ru|ВКонтакте Онлайн|Скриншоты в Яндекс\.Диске|Яндекс\.Диск|Яндекс\.Браузер|)re",
    uR"re(Avant Browser \[частный режим\]|Avant Browser \[Private Mode\]|Avant|Амиго\.Музыка|Амиго|Amigo|ЛовиВконтакте|Вконтакте|Одноклассники|)re",
    uR"re(Internet \(Chromium Secure\)|Uninstall Internet \(Chromodo\)|Internet \(Chromodo\)|Avast SafeZone Browser|Avast Secure Browser|)re",
    uR"re(Панель запуска приложений Chrome|Chrome App Launcher|Chrome Beta|Chrome Dev|Chrome Canary|chrome|nichrome|Рамблер Браузер|Uninstall Chromium|Chromium|icedragon|)re",
    uR"re(Firefox Developer Edition|Firefox Nightly|Firefox Private Browsing|firefox|Maxthon Nitro|Maxthon|)re",
    uR"re(Mail\.Ru Агент|Игровой центр@Mail\.Ru|Cloud Mail\.Ru|Mail\.Ru Cloud|Портал Mail\.Ru|Mail\.Ru|Войти в Интернет|Искать в Интернете|)re",
    uR"re(Netscape Navigator \(Safe Mode\)|Netscape Navigator|Opera AC|OperaAC|Opera Next|Opera GX|opera|опера|safari|SeaMonkey \(Safe Mode\)|SeaMonkey \(Безопасный Режим\)|)re",
    uR"re(SeaMonkey Почта|SeaMonkey Mail|seamonkey|)re",
    uR"re(Internet Explorer Compatibility Test Tool|Internet Explorer \(64-разрядный\)|Internet Explorer \(64-bit\)|Internet Explorer \(без надстроек\)|Internet Explorer \(No Add-ons\)|)re",
    uR"re(Internet Explorer|Internet Exploror|Start Tor Browser|Tor Browser|Браузер в песочнице|CoolNovo|OrbitumUpdate|Orbitum|Amaya|iRider|)re",
    uR"re(K-Meleon|Kometa|Lunascape6 \(Safe Mode\)|Lunascape|Midori|Pale Moon|QtWeb|Baidu Spark Browser|SRWare Iron|Comodo Dragon|)re",
    uR"re(Безопасный режим Waterfox|Настройки Waterfox|Удалить Waterfox|Waterfox|Sleipnir|\u730E\u8C79\u5B89\u5168\u6D4F\u89C8\u5668|Yandex Browser|)re",
    uR"re(Cyberfox|QQBrowser|Менеджер браузеров|Интернет браузер Phoenix|Vivaldi|CometBird|BoBrowser|ДругВокруг|UC Browser|Epic Privacy Browser|FlashPeak Slimjet|Slimjet|)re",
    uR"re(Microsoft Edge Beta|Microsoft Edge Dev|Microsoft Edge Canary|Microsoft Edge|Brave Beta|Brave Dev|Brave Nightly)re",
};

// Names recognised only as the last word after " - ", the form in which
// browsers name the shortcuts of their profiles ("Work - Edge"): on their
// own they are common words.
inline constexpr std::u16string_view kProfileShortcutNames = u"Edge|Brave";

// Names recognised only as the whole shortcut name, perhaps decorated as
// Windows decorates copies: short or common words that are browsers only on
// their own ("Яндекс Музыка" is no browser). The first is three Latin letters
// and a Cyrillic one: a known imitation of the Russian word for Chrome.
inline constexpr std::u16string_view kExactNames =
    uR"re(Xpoм|ie|Интернет|dragon|Мазила|Nightly|Uran|Torch|Aurora|iexplore|Dropbox|Punto Switcher|pera|Yandex|Start_YandexDisk|Brave|Яндекс)re";

// What joins the two groups, and the decorations of copies and shortcuts.
inline constexpr std::u16string_view kExactNamesOpen = uR"re()|^((copy of )?()re";
inline constexpr std::u16string_view kCopySuffixOpen = uR"re()( - Ярлык)?( - копия)?( )re";
inline constexpr std::u16string_view kEmDash = uR"re(\u2014)re";
inline constexpr std::u16string_view kCopySuffixMiddle =
    uR"re( копия)?( - Shortcut)?( - Copy)?( )re";
inline constexpr std::u16string_view kCopySuffixClose = uR"re( Copy)?( \(\d+\))?)$)re";

// Names with browser words that are not browsers.
inline constexpr std::array<std::u16string_view, 2> kExcludedNames{
    uR"re(operat|операц|операт|Интернет-Нарды|Интернет-Пики|Интернет-Реверси|Интернет-Червы|Интернет-Шашки|Интернете|Torchl|)re",
    uR"re(игр|game|Virtual Comodo Dragon|Avantu|Viewer for Google Chrome|ChromePasswordDecryptor|Chromecast|ChromePass|360Amigo|Password)re",
};

// Browser names that the exclusion would catch but that are kept.
inline constexpr std::array<std::u16string_view, 2> kLetThroughNames{
    u"Игровой центр@Mail.Ru",
    u"Искать в Интернете",
};

// Short names of programs the patterns do not name, and the bare vendor.
inline constexpr std::u16string_view kMoreShortNames = u"ICQ|Pidgin|R&Q";
inline constexpr std::u16string_view kVendorShortName = u"Google";

}  // namespace browser_names

// Look-alike letters turned into the one Latin letter they imitate, unit by
// unit, so the result has the input's length: the Cyrillic А В Е И К М Н О Р
// С Т У Х І (either case) become a b e u k m h o r c t y x L; the Latin P p
// become r, I i and the digit 1 become L, the digit 0 becomes o. Everything
// else is kept.
std::u16string DeMaskName(std::u16string_view text);

// The pattern texts with their escapes decoded, plain and de-masked.
struct BrowserNamePatterns {
  std::u16string browser;
  std::u16string exclude;
  std::u16string shortNames;
  std::u16string deMaskedBrowser;
  std::u16string deMaskedExclude;
  std::u16string deMaskedShortNames;
};

BrowserNamePatterns buildBrowserNamePatterns();

}  // namespace tolvaran
