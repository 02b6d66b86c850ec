#pragma once
// Simulated systems: what Windows 2000 to 11 tell a program about
// themselves, in English and Russian, 32- and 64-bit, run by an
// administrator (elevated or not) or a standard user. The values are those
// of real installations: build numbers, service packs, suite masks, product
// types, language ids, token groups in token order, and the registry
// strings the program reads beside the API.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os_info.h"

namespace tolvaran::platform::sim {

// One REG_SZ value under HKEY_LOCAL_MACHINE, for the simulated registry.
struct HklmString {
  std::u16string key;
  std::u16string valueName;
  std::u16string data;
};

struct OsProfile {
  std::u16string label;  // "Windows 7 SP1 x64 en, admin elevated", for test output
  OsVersionInfo version;
  // GetProductInfo's answer; empty where the call does not exist (before Vista).
  std::optional<std::uint32_t> productInfo;
  // GetSystemMetrics values that are not 0.
  std::map<int, int> systemMetrics;
  bool is64BitOs = false;
  bool hasIsWow64Process = true;  // kernel32 has it from XP SP2 on
  std::uint32_t processPointerSize = 4;
  std::uint16_t userUiLanguage = 1033;
  std::uint16_t systemUiLanguage = 1033;
  std::uint32_t systemLcid = 1033;
  std::uint32_t userLcid = 1033;  // LOCALE_USER_DEFAULT
  // TokenElevation and TokenIntegrityLevel answers; empty before Vista.
  std::optional<std::uint32_t> tokenElevation;
  std::optional<std::uint32_t> integrityRid;
  std::vector<std::u16string> tokenGroups;
  std::vector<HklmString> hklmStrings;
};

enum class WindowsRelease {
  Windows2000,
  WindowsXP,
  WindowsVista,
  Windows7,
  Windows81,
  Windows10,
  Windows11
};
enum class OsLanguage { English, Russian };
enum class UserAccount { Administrator, StandardUser };

struct ProfileOptions {
  WindowsRelease release = WindowsRelease::Windows10;
  // Windows 2000 had no 64-bit desktop edition: it is always 32-bit. 64-bit
  // XP is XP Professional x64 Edition, which reports version 5.2.
  bool is64BitOs = true;
  OsLanguage language = OsLanguage::English;
  UserAccount account = UserAccount::Administrator;
  // Vista and later: whether the administrator's process runs with the full
  // token. Before Vista an administrator always has it; a standard user
  // never does.
  bool elevated = false;
  std::uint32_t processPointerSize = 4;  // 8 for the program's 64-bit build
};

OsProfile makeOsProfile(const ProfileOptions& options);

class SimRegistry;
// Writes the profile's HKLM strings into a simulated registry (as REG_SZ).
void writeRegistryStrings(const OsProfile& profile, SimRegistry& registry);

// Every release in both languages and each bitness it shipped in (2000 only
// 32-bit, 11 only 64-bit), run by an elevated administrator, a non-elevated
// administrator (Vista and later: before, there is no such thing) and a
// standard user; all for the 32-bit program.
std::vector<ProfileOptions> allProfileOptions();

// Registry key and value names the profiles fill.
inline constexpr std::u16string_view kCodePageKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
inline constexpr std::u16string_view kCurrentVersionKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

}  // namespace tolvaran::platform::sim
