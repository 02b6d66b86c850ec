#include "platform/sim/os_profiles.h"

#include <string_view>

#include "platform/sim/sim_registry.h"

namespace tolvaran::platform::sim {
namespace {

// What each release reports about itself (the final service pack of each).
struct Release {
  std::u16string_view name;
  std::uint32_t major;
  std::uint32_t minor;
  std::uint32_t build;
  std::u16string_view csd;
  std::uint16_t spMajor;
  std::uint16_t suiteMask;
  std::optional<std::uint32_t> productInfo;
  std::u16string_view registryProductName;
  bool hasIsWow64Process;
};

constexpr std::uint16_t kSingleUserTs = 0x100;
constexpr std::uint16_t kPersonal = 0x200;

Release releaseFacts(WindowsRelease release, bool is64Bit) {
  // One release in two lines: name, major and minor version, build, service-pack
  // text and number; then suite mask, product type for GetProductInfo (none
  // before Vista), the registry's ProductName, and whether kernel32 has
  // IsWow64Process.
  // clang-format off
  switch (release) {
    case WindowsRelease::Windows2000:
      // Professional: no suite bits at all; IsWow64Process came with XP SP2.
      return {u"Windows 2000 SP4",      5, 0,  2195, u"Service Pack 4", 4,
                0,                         std::nullopt, u"Microsoft Windows 2000",      false};
    case WindowsRelease::WindowsXP:
      if (is64Bit) {
        // XP Professional x64 Edition shares the Server 2003 kernel.
        return {u"Windows XP x64 SP2",  5, 2,  3790, u"Service Pack 2", 2,
                kSingleUserTs,             std::nullopt, u"Microsoft Windows XP",        true};
      }
      return {u"Windows XP SP3",        5, 1,  2600, u"Service Pack 3", 3,
                kSingleUserTs,             std::nullopt, u"Microsoft Windows XP",        true};
    case WindowsRelease::WindowsVista:
      return {u"Windows Vista SP2",     6, 0,  6002, u"Service Pack 2", 2,
                kSingleUserTs,             1u,           u"Windows Vista (TM) Ultimate", true};
    case WindowsRelease::Windows7:
      return {u"Windows 7 SP1",         6, 1,  7601, u"Service Pack 1", 1,
                kSingleUserTs,             48u,          u"Windows 7 Professional",      true};
    case WindowsRelease::Windows81:
      return {u"Windows 8.1",           6, 3,  9600, u"",               0,
                kSingleUserTs,             48u,          u"Windows 8.1 Pro",             true};
    case WindowsRelease::Windows10:
      // Home editions carry the Personal suite bit beside SingleUserTS.
      return {u"Windows 10 22H2",      10, 0, 19045, u"",               0,
                kSingleUserTs | kPersonal, 101u,         u"Windows 10 Home",             true};
    case WindowsRelease::Windows11:
      // Windows 11 still calls itself Windows 10 in the registry.
      return {u"Windows 11 23H2",      10, 0, 22631, u"",               0,
                kSingleUserTs,             48u,          u"Windows 10 Pro",              true};
  }
  // clang-format on
  return {};
}

constexpr std::u16string_view kMachineNone = u"S-1-5-21-1004336348-1177238915-682003330-513";
constexpr std::u16string_view kLogonSession = u"S-1-5-5-0-219775";

// The token's groups as `whoami /groups` lists them for a local account.
std::vector<std::u16string> tokenGroupsFor(WindowsRelease release, const ProfileOptions& options) {
  const bool admin = options.account == UserAccount::Administrator;
  const bool vistaOrLater = release >= WindowsRelease::WindowsVista;
  const bool localAccountSids = release >= WindowsRelease::Windows81;
  std::vector<std::u16string> groups;
  const auto add = [&](std::u16string_view sid) { groups.emplace_back(sid); };
  add(kMachineNone);
  add(u"S-1-1-0");                                   // Everyone
  if (admin && localAccountSids) add(u"S-1-5-114");  // local account and Administrators member
  // A non-elevated administrator keeps Administrators as a deny-only group;
  // the SID is still in the list.
  if (admin) add(u"S-1-5-32-544");
  add(u"S-1-5-32-545");
  add(u"S-1-5-4");                                           // INTERACTIVE
  if (release >= WindowsRelease::Windows7) add(u"S-1-2-1");  // CONSOLE LOGON
  add(u"S-1-5-11");                                          // Authenticated Users
  if (vistaOrLater) add(u"S-1-5-15");                        // This Organization
  if (localAccountSids) add(u"S-1-5-113");                   // Local account
  add(kLogonSession);
  add(u"S-1-2-0");  // LOCAL
  if (vistaOrLater) {
    add(u"S-1-5-64-10");  // NTLM Authentication
    const bool full = admin && options.elevated;
    add(full ? u"S-1-16-12288" : u"S-1-16-8192");
  }
  return groups;
}

std::vector<HklmString> registryStrings(OsLanguage language, std::u16string_view productName) {
  const bool russian = language == OsLanguage::Russian;
  std::vector<HklmString> values = {
      {std::u16string(kCodePageKey), u"OEMCP", russian ? u"866" : u"437"},
      {std::u16string(kCodePageKey), u"ACP", russian ? u"1251" : u"1252"},
      {std::u16string(kCodePageKey), u"MACCP", russian ? u"10007" : u"10000"},
      {std::u16string(kCurrentVersionKey), u"ProductName", std::u16string(productName)},
  };
  for (const std::u16string_view page : {u"437", u"850", u"866", u"1250", u"1251", u"1252"}) {
    values.push_back({std::u16string(kCodePageKey), std::u16string(page),
                      u"c_" + std::u16string(page) + u".nls"});
  }
  return values;
}

}  // namespace

OsProfile makeOsProfile(const ProfileOptions& options) {
  const bool is64Bit = options.is64BitOs && options.release != WindowsRelease::Windows2000;
  const Release facts = releaseFacts(options.release, is64Bit);
  const bool russian = options.language == OsLanguage::Russian;
  const bool admin = options.account == UserAccount::Administrator;
  const bool vistaOrLater = options.release >= WindowsRelease::WindowsVista;

  OsProfile profile;
  profile.version.majorVersion = facts.major;
  profile.version.minorVersion = facts.minor;
  profile.version.buildNumber = facts.build;
  profile.version.platformId = 2;  // VER_PLATFORM_WIN32_NT
  profile.version.csdVersion = std::u16string(facts.csd);
  profile.version.servicePackMajor = facts.spMajor;
  profile.version.suiteMask = facts.suiteMask;
  profile.version.productType = kVerNtWorkstation;
  profile.productInfo = facts.productInfo;
  profile.is64BitOs = is64Bit;
  profile.hasIsWow64Process = facts.hasIsWow64Process;
  profile.processPointerSize = is64Bit ? options.processPointerSize : 4;
  const std::uint16_t language = russian ? 1049 : 1033;
  profile.userUiLanguage = language;
  profile.systemUiLanguage = language;
  profile.systemLcid = language;
  profile.userLcid = language;
  if (vistaOrLater) {
    profile.tokenElevation = (admin && options.elevated) ? 1u : 0u;
    profile.integrityRid = (admin && options.elevated) ? 0x3000u : 0x2000u;
  }
  profile.tokenGroups = tokenGroupsFor(options.release, options);
  profile.hklmStrings = registryStrings(options.language, facts.registryProductName);

  std::u16string account = u"standard user";
  if (admin) account = (!vistaOrLater || options.elevated) ? u"admin elevated" : u"admin filtered";
  profile.label = std::u16string(facts.name) + (is64Bit ? u" x64" : u" x86") +
                  (profile.processPointerSize == 8 ? u" (64-bit process)" : u"") +
                  (russian ? u" ru, " : u" en, ") + account;
  return profile;
}

void writeRegistryStrings(const OsProfile& profile, SimRegistry& registry) {
  for (const HklmString& value : profile.hklmStrings) {
    registry.setString(u"HKLM\\" + value.key, value.valueName, value.data);
  }
}

std::vector<ProfileOptions> allProfileOptions() {
  std::vector<ProfileOptions> all;
  for (const WindowsRelease release :
       {WindowsRelease::Windows2000, WindowsRelease::WindowsXP, WindowsRelease::WindowsVista,
        WindowsRelease::Windows7, WindowsRelease::Windows81, WindowsRelease::Windows10,
        WindowsRelease::Windows11}) {
    for (const bool is64Bit : {false, true}) {
      if (is64Bit && release == WindowsRelease::Windows2000) continue;
      // Windows 11 exists only for 64-bit processors.
      if (!is64Bit && release == WindowsRelease::Windows11) continue;
      for (const OsLanguage language : {OsLanguage::English, OsLanguage::Russian}) {
        ProfileOptions options;
        options.release = release;
        options.is64BitOs = is64Bit;
        options.language = language;
        options.account = UserAccount::Administrator;
        options.elevated = true;
        all.push_back(options);
        if (release >= WindowsRelease::WindowsVista) {
          options.elevated = false;
          all.push_back(options);
        }
        options.account = UserAccount::StandardUser;
        options.elevated = false;
        all.push_back(options);
      }
    }
  }
  return all;
}

}  // namespace tolvaran::platform::sim
