#include "system/os_info.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "support/text.h"
#include "system/os_info_tables.h"

namespace tolvaran {
namespace {

using platform::Result;

constexpr std::u16string_view kCodePageKey = u"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
constexpr std::u16string_view kCurrentVersionKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

constexpr std::uint32_t kSuiteEnterprise = 0x2;
constexpr std::uint32_t kSuiteDataCenter = 0x80;
constexpr std::uint32_t kSuitePersonal = 0x200;
constexpr std::uint32_t kSuiteStorageServer = 0x2000;
constexpr std::uint32_t kSuiteWhServer = 0x8000;

// Windows 11 kept version 10.0, and "Windows 10" in the registry's
// ProductName: only its build numbers, from this one on, tell it apart.
constexpr std::uint32_t kFirstWindows11Build = 22000;

// Only so many token groups are looked at, as the program always did.
constexpr std::size_t kMaxGroups = 21;

// The built-in groups that name the user, in the order they are tested.
struct BuiltinGroup {
  std::u16string_view sid;
  std::u16string_view userType;
};
constexpr BuiltinGroup kBuiltinGroups[] = {
    {u"S-1-5-32-544", u"Administrator"},
    {u"S-1-5-32-547", u"Power User"},
    {u"S-1-5-32-545", u"Limited User"},
    {u"S-1-5-32-546", u"Guest"},
};

// Closes an opened key on every way out.
class KeyCloser {
 public:
  KeyCloser(platform::Registry& registry, platform::RegKeyHandle key)
      : registry_(registry), key_(key) {}
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;
  ~KeyCloser() {
    try {
      (void)registry_.regCloseKey(key_);
    } catch (...) {
      // A destructor: nothing may leave it, and there is nothing to undo
      // when closing fails.
    }
  }

 private:
  platform::Registry& registry_;
  platform::RegKeyHandle key_;
};

ErrorContext initContext() {
  return ErrorContext(u"clsOSInfo.Class_Initialize");
}

std::uint32_t decimalDigits(std::uint32_t value) noexcept {
  std::uint32_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace

float versionNumber(std::uint32_t major, std::uint32_t minor) noexcept {
  double scale = 1.0;
  for (std::uint32_t i = decimalDigits(minor); i > 0; --i) scale *= 10.0;
  return static_cast<float>(static_cast<double>(major) + static_cast<double>(minor) / scale);
}

std::u16string formatSingle(float value, std::u16string_view separator) {
  char buffer[32] = {};
  // %G keeps seven significant digits and drops trailing zeros; the decimal
  // point of the C locale is replaced below, whatever locale is set.
  const int length = std::snprintf(buffer, sizeof buffer, "%.7G", static_cast<double>(value));
  std::u16string text;
  for (int i = 0; i < length && i < static_cast<int>(sizeof buffer) - 1; ++i) {
    const char c = buffer[i];
    if (c == '.' || c == ',') {
      text += separator;
    } else {
      text += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
  }
  return text;
}

clsOSInfo::clsOSInfo(platform::OsInfo& os, platform::Registry& registry, FailureRecorder& recorder)
    : os_(os), registry_(registry), recorder_(recorder) {
  initialise();
}

void clsOSInfo::initialise() {
  const auto step = [this](auto&& body) { guardedStep(recorder_, body, initContext); };
  step([&] { langDisplay_ = describeLanguage(os_.getUserDefaultUILanguage()); });
  step([&] { langSystem_ = describeLanguage(os_.getSystemDefaultUILanguage()); });
  step([&] { langNonUnicode_ = describeLanguage(os_.getSystemDefaultLcid() & 0xFFFFu); });
  step([&] { readVersion(); });
  step([&] { nameSystem(); });
  step([&] {
    if (!edition_.empty() || majorMinor_ < 6.0f) return;
    const Result<std::uint32_t> product =
        os_.getProductInfo(version_.majorVersion, version_.minorVersion, version_.servicePackMajor,
                           version_.servicePackMinor);
    if (product.ok()) edition_ = GetProductName(product.value);
  });
  step([&] { isElevated_ = IsProcessElevated(platform::kCurrentProcess); });
  step([&] { integrityLevel_ = GetIntegrityLevel(platform::kCurrentProcess); });
  step([&] { userType_ = GetUserType(platform::kCurrentProcess); });
  step([&] { GetCodePageInfo(); });
  step([&] { suiteMask_ = suiteMaskText(version_.suiteMask); });
  step([&] { productType_ = std::u16string(productTypeText(version_.productType)); });
}

clsOSInfo::Language clsOSInfo::describeLanguage(std::uint32_t code) {
  Language language;
  language.code = static_cast<std::int32_t>(code);
  language.name = GetLangNameByCultureCode(code);
  language.nameFull = GetLangNameFullByCultureCode(code);
  return language;
}

void clsOSInfo::readVersion() {
  const Result<platform::OsVersionInfo> read = os_.getVersionEx();
  // A failed call leaves the numbers at zero: the system is then named
  // "Windows Unknown" with what the registry says, and the other values
  // below are still worked out.
  version_ = read.ok() ? read.value : platform::OsVersionInfo{};
  if (!read.ok()) {
    recorder_.recordError(
        runtimeFailure(rt::kInvalidProcedureCall, static_cast<std::int32_t>(read.code)),
        ErrorContext(u"clsOSInfo.Class_Initialize", u"Call: ", u"GetVersionExW"));
  }
  major_ = static_cast<std::int32_t>(version_.majorVersion);
  minor_ = static_cast<std::int32_t>(version_.minorVersion);
  build_ = static_cast<std::int32_t>(version_.buildNumber);
  family_ = major_ > 5 ? u"Vista" : u"NT";
  isVistaOrLater_ = major_ > 5;
  bitness_ = IsWin64() ? u"x64" : u"x32";
  isSafeBoot_ = os_.getSystemMetrics(platform::kSmCleanBoot) > 0;
  majorMinor_ = versionNumber(version_.majorVersion, version_.minorVersion);
  spVer_ = versionNumber(version_.servicePackMajor, version_.servicePackMinor);
}

void clsOSInfo::nameSystem() {
  const bool workstation = version_.productType == platform::kVerNtWorkstation;
  const std::uint32_t suite = version_.suiteMask;
  const auto pick = [&](std::u16string_view client, std::u16string_view server) {
    osName_ = std::u16string(workstation ? client : server);
  };
  // Exact comparisons with the single-precision constants, as versionNumber
  // rounds to the same floats.
  if (majorMinor_ == 10.0f) {
    // Servers keep the one name they have always had here, whatever the
    // build (Server 2025 is 26100).
    pick(version_.buildNumber >= kFirstWindows11Build ? u"Windows 11" : u"Windows 10",
         u"Windows Server 2016 Technical Preview");
  } else if (majorMinor_ == 6.4f) {
    osName_ = u"Windows 10 Technical Preview";
  } else if (majorMinor_ == 6.3f) {
    pick(u"Windows 8.1", u"Windows Server 2012 R2");
  } else if (majorMinor_ == 6.2f) {
    pick(u"Windows 8", u"Windows Server 2012");
  } else if (majorMinor_ == 6.1f) {
    pick(u"Windows 7", u"Windows Server 2008 R2");
  } else if (majorMinor_ == 6.0f) {
    pick(u"Windows Vista", u"Windows Server 2008");
  } else if (majorMinor_ == 5.2f) {
    if (os_.getSystemMetrics(platform::kSmServerR2) != 0) {
      osName_ = u"Windows Server 2003 R2";
    } else if ((suite & kSuiteStorageServer) != 0) {
      osName_ = u"Windows Storage Server 2003";
    } else if ((suite & kSuiteWhServer) != 0) {
      osName_ = u"Windows 2003 Home Server";
    } else if (bitness_ == u"x64" && workstation) {
      osName_ = u"Windows XP";
      edition_ = u"Professional";
    } else {
      osName_ = u"Windows Server 2003";
    }
  } else if (majorMinor_ == 5.1f) {
    osName_ = u"Windows XP";
    if (os_.getSystemMetrics(platform::kSmMediaCenter) != 0) {
      edition_ = u"Windows XP Media Center Edition";
    } else if (os_.getSystemMetrics(platform::kSmStarter) != 0) {
      edition_ = u"Windows XP Starter Edition";
    } else if (os_.getSystemMetrics(platform::kSmTabletPc) != 0) {
      edition_ = u"Windows XP Tablet PC Edition";
    } else if ((suite & kSuitePersonal) != 0) {
      // Home Edition also sets SingleUserTS (0x300): the bit decides, not
      // the whole mask.
      edition_ = u"Home Edition";
    } else {
      edition_ = u"Professional";
    }
  } else if (majorMinor_ == 5.0f) {
    osName_ = u"Windows 2000";
    if (workstation) {
      edition_ = u"Professional";
    } else if ((suite & kSuiteDataCenter) != 0) {
      edition_ = u"Datacenter Server";
    } else if ((suite & kSuiteEnterprise) != 0) {
      edition_ = u"Advanced Server";
    } else {
      edition_ = u"Server";
    }
  } else {
    osName_ = unknownSystemName();
  }
}

std::u16string clsOSInfo::unknownSystemName() {
  // No space before "(ver.": the name has always been printed this way.
  return u"Windows Unknown(ver. " + formatSingle(majorMinor_, decimalSeparator()) + u") (Build: " +
         toDecimal(build_) + u") Registry's data: " +
         RegRead_REG_SZ(platform::kHkeyLocalMachine, kCurrentVersionKey, u"ProductName");
}

std::u16string clsOSInfo::decimalSeparator() {
  Result<std::u16string> separator =
      os_.getLocaleInfo(platform::kLocaleUserDefault, platform::kLocaleSDecimal);
  if (!separator.ok() || separator.value.empty()) return u".";
  return std::move(separator.value);
}

void clsOSInfo::GetCodePageInfo() {
  guardedStep(
      recorder_,
      [&] {
        codepageOem_ = RegRead_REG_SZ(platform::kHkeyLocalMachine, kCodePageKey, u"OEMCP");
        codepageAnsi_ = RegRead_REG_SZ(platform::kHkeyLocalMachine, kCodePageKey, u"ACP");
        codepageOemFile_ = codepageOem_.empty() ? std::u16string()
                                                : RegRead_REG_SZ(platform::kHkeyLocalMachine,
                                                                 kCodePageKey, codepageOem_);
        codepageAnsiFile_ = codepageAnsi_.empty() ? std::u16string()
                                                  : RegRead_REG_SZ(platform::kHkeyLocalMachine,
                                                                   kCodePageKey, codepageAnsi_);
      },
      [] { return ErrorContext(u"clsOSInfo.GetCodePageInfo"); });
}

std::u16string clsOSInfo::GetLangNameFullByCultureCode(std::uint32_t code) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        Result<std::u16string> name =
            os_.getLocaleInfo(code, platform::kLocaleSEnglishLanguageName);
        return name.ok() ? std::move(name.value) : std::u16string();
      },
      [&] { return ErrorContext(u"clsOSInfo.GetLangNameFullByCultureCode", u"Code: ", code); });
}

std::u16string clsOSInfo::RegRead_REG_SZ(platform::RegKeyHandle hive, std::u16string_view key,
                                         std::u16string_view valueName) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        const Result<platform::RegKeyHandle> opened = registry_.regOpenKeyEx(
            hive, key, 0, platform::kKeyQueryValue | platform::kKeyWow64_64Key);
        if (!opened.ok()) return std::u16string();
        const KeyCloser closer{registry_, opened.value};
        const auto probe = registry_.regQueryValueEx(opened.value, valueName, 0);
        if (!probe.ok() && probe.code != platform::kErrorMoreData) return std::u16string();
        const std::uint32_t type = probe.value.type;
        if (type != platform::kRegSz && type != platform::kRegExpandSz &&
            type != platform::kRegMultiSz) {
          return std::u16string();
        }
        if (probe.value.size < 2) return std::u16string();
        // A value that grew between the two calls is not read half.
        const auto read = registry_.regQueryValueEx(opened.value, valueName, probe.value.size);
        if (!read.ok()) return std::u16string();
        std::u16string text = utf16leToText(read.value.bytes);
        const std::size_t nul = text.find(u'\0');
        if (nul != std::u16string::npos) text.resize(nul);
        return text;
      },
      [&] {
        return ErrorContext(u"clsOSInfo.RegRead_REG_SZ", u"Key: ", key, u"Value: ", valueName);
      });
}

bool clsOSInfo::IsProcessElevated(platform::ProcessHandle process) {
  return guarded(
      recorder_, false,
      [&] {
        if (major_ > 5) {
          const Result<std::uint32_t> elevation = os_.tokenElevation(process);
          return elevation.ok() && elevation.value != 0;
        }
        // Before UAC an administrator's process always has the full token.
        return GetUserType(process) == u"Administrator";
      },
      [] { return ErrorContext(u"clsOSInfo.IsProcessElevated"); });
}

std::u16string clsOSInfo::GetUserType(platform::ProcessHandle process) {
  return guarded(
      recorder_, std::u16string(u"Unknown"),
      [&] {
        const Result<std::vector<std::u16string>> groups = os_.tokenGroups(process);
        if (!groups.ok()) return std::u16string(u"Unknown");
        // Token order decides: the first group that is one of the four
        // built-in groups names the user, whatever its attributes.
        const std::size_t count = std::min(groups.value.size(), kMaxGroups);
        for (std::size_t i = 0; i < count; ++i) {
          for (const BuiltinGroup& builtin : kBuiltinGroups) {
            if (equalsNoCase(groups.value[i], builtin.sid)) return std::u16string(builtin.userType);
          }
        }
        return std::u16string(u"Unknown");
      },
      [] { return ErrorContext(u"clsOSInfo.GetUserType"); });
}

std::u16string clsOSInfo::GetIntegrityLevel(platform::ProcessHandle process) {
  return guarded(
      recorder_, std::u16string(u"Unknown"),
      [&] {
        if (major_ <= 5) return std::u16string(u"Not supported");
        const Result<std::uint32_t> rid = os_.tokenIntegrityLevel(process);
        if (!rid.ok()) return std::u16string(u"Unknown");
        // The level was always held in a signed 32-bit number.
        const auto level = static_cast<std::int32_t>(rid.value);
        if (level < 0) return std::u16string(u"Unknown");
        if (level < 0x1000) return std::u16string(u"Untrusted");
        if (level < 0x2000) return std::u16string(u"Low");
        if (level < 0x3000) return std::u16string(u"Medium");
        if (level < 0x4000) return std::u16string(u"High");
        if (level < 0x5000) return std::u16string(u"System");
        return std::u16string(u"ProtectedProcess");
      },
      [] { return ErrorContext(u"clsOSInfo.GetIntegrityLevel"); });
}

std::u16string clsOSInfo::GetProductName(std::uint32_t productType) {
  return guarded(
      recorder_, std::u16string(), [&] { return productNameByType(productType); },
      [&] { return ErrorContext(u"clsOSInfo.GetProductName", u"Type: ", productType); });
}

std::u16string clsOSInfo::GetLangNameByCultureCode(std::uint32_t code) {
  return std::u16string(cultureNameByCode(code));
}

bool clsOSInfo::IsWin64() {
  if (!isWin64_) {
    // The 64-bit build is no WOW64 process, yet it runs on 64-bit Windows.
    if (os_.processPointerSize() == 8) {
      isWin64_ = true;
    } else {
      const Result<bool> wow64 = os_.isWow64Process(platform::kCurrentProcess);
      isWin64_ = wow64.ok() && wow64.value;
    }
  }
  return *isWin64_;
}

}  // namespace tolvaran
