#pragma once
// The OS-information port: version and product, a few system metrics, the
// WOW64 state, the language settings, and the three facts read from a
// process token. Every method mirrors one call (or the open-query-close of a
// token) and decides nothing.
#include <cstdint>
#include <string>
#include <vector>

#include "support/result.h"

namespace tolvaran::platform {

// OSVERSIONINFOEXW, field for field.
struct OsVersionInfo {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
  std::u16string csdVersion;  // "Service Pack 3", or empty
  std::uint16_t servicePackMajor = 0;
  std::uint16_t servicePackMinor = 0;
  std::uint16_t suiteMask = 0;
  std::uint8_t productType = 0;
};

// A raw process handle value; 0 stands for the running process.
using ProcessHandle = std::uintptr_t;
inline constexpr ProcessHandle kCurrentProcess = 0;

// GetSystemMetrics indexes the program asks for.
inline constexpr int kSmTabletPc = 86;
inline constexpr int kSmMediaCenter = 87;
inline constexpr int kSmStarter = 88;
inline constexpr int kSmServerR2 = 89;
inline constexpr int kSmCleanBoot = 67;

// GetLocaleInfoW.
inline constexpr std::uint32_t kLocaleUserDefault = 0x0400;
inline constexpr std::uint32_t kLocaleSystemDefault = 0x0800;
inline constexpr std::uint32_t kLocaleSDecimal = 0x000E;
inline constexpr std::uint32_t kLocaleSEnglishLanguageName = 0x1001;  // LOCALE_SENGLANGUAGE

// OSVERSIONINFOEXW.wProductType.
inline constexpr std::uint8_t kVerNtWorkstation = 1;
inline constexpr std::uint8_t kVerNtDomainController = 2;
inline constexpr std::uint8_t kVerNtServer = 3;

class OsInfo {
 public:
  virtual ~OsInfo() = default;

  // GetVersionExW with OSVERSIONINFOEXW. The numbers are what the system
  // tells this executable (a manifest without the newer systems' ids makes
  // Windows 8.1 and later report 6.2).
  virtual Result<OsVersionInfo> getVersionEx() = 0;

  // GetProductInfo, looked up in kernel32 at run time: the product type, or
  // ERROR_CALL_NOT_IMPLEMENTED on systems before Vista. A call that fails
  // without setting an error gives ERROR_INVALID_PARAMETER.
  virtual Result<std::uint32_t> getProductInfo(std::uint32_t osMajor, std::uint32_t osMinor,
                                               std::uint32_t spMajor, std::uint32_t spMinor) = 0;

  // GetSystemMetrics: 0 for an index the system does not know.
  virtual int getSystemMetrics(int index) = 0;

  // IsWow64Process, looked up in kernel32 at run time: true when a 32-bit
  // process runs on 64-bit Windows (false for a 64-bit process);
  // ERROR_CALL_NOT_IMPLEMENTED where kernel32 lacks it.
  virtual Result<bool> isWow64Process(ProcessHandle process) = 0;

  // sizeof(void*) of the running program: 4 or 8. Not a system call, but the
  // one fact IsWow64Process cannot tell (a 64-bit process is not "WOW64").
  virtual std::uint32_t processPointerSize() = 0;

  // GetUserDefaultUILanguage, GetSystemDefaultUILanguage, GetSystemDefaultLCID.
  virtual std::uint16_t getUserDefaultUILanguage() = 0;
  virtual std::uint16_t getSystemDefaultUILanguage() = 0;
  virtual std::uint32_t getSystemDefaultLcid() = 0;

  // GetLocaleInfoW: the text without its terminating NUL;
  // ERROR_INVALID_PARAMETER for a locale or type the system does not know.
  virtual Result<std::u16string> getLocaleInfo(std::uint32_t lcid, std::uint32_t lcType) = 0;

  // OpenProcessToken(TOKEN_QUERY) + GetTokenInformation + CloseHandle.
  // TokenElevation: TokenIsElevated (ERROR_INVALID_PARAMETER before Vista).
  virtual Result<std::uint32_t> tokenElevation(ProcessHandle process) = 0;
  // TokenIntegrityLevel: the label's last sub-authority, the level number
  // (ERROR_INVALID_PARAMETER before Vista).
  virtual Result<std::uint32_t> tokenIntegrityLevel(ProcessHandle process) = 0;
  // TokenGroups: every group's SID in string form ("S-1-5-32-544"), in
  // token order, attributes left out.
  virtual Result<std::vector<std::u16string>> tokenGroups(ProcessHandle process) = 0;
};

}  // namespace tolvaran::platform
