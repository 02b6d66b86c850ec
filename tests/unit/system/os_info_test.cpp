#include "system/os_info.h"

#include <gtest/gtest.h>

#include <map>
#include <new>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/recording_recorder.h"
#include "platform/sim/os_profiles.h"
#include "platform/sim/sim_os_info.h"
#include "platform/sim/sim_registry.h"
#include "support/text.h"
#include "system/os_info_tables.h"

namespace tolvaran {
namespace {

using platform::sim::makeOsProfile;
using platform::sim::OsInfoOp;
using platform::sim::OsLanguage;
using platform::sim::OsProfile;
using platform::sim::ProfileOptions;
using platform::sim::SimOsInfo;
using platform::sim::SimRegistry;
using platform::sim::UserAccount;
using platform::sim::WindowsRelease;
using platform::sim::writeRegistryStrings;

std::string narrow(std::u16string_view text) {
  return utf16ToUtf8(text);
}

struct Machine {
  explicit Machine(const ProfileOptions& options = {})
      : sim(makeOsProfile(options)),
        registry(sim.profile().is64BitOs, sim.profile().processPointerSize == 8) {}
  // The profile's registry strings are written at the first build, so a test
  // may change them before.
  clsOSInfo build() {
    if (!written) writeRegistryStrings(sim.profile(), registry);
    written = true;
    return clsOSInfo(sim, registry, recorder);
  }
  OsProfile& profile() { return sim.profile(); }

  SimOsInfo sim;
  SimRegistry registry;
  RecordingRecorder recorder;
  bool written = false;
};

// Every property as text, to compare two objects as a whole.
std::map<std::string, std::u16string> snapshot(const clsOSInfo& os) {
  const auto flag = [](bool b) { return std::u16string(b ? u"True" : u"False"); };
  return {
      {"Family", os.Family()},
      {"Bitness", os.Bitness()},
      {"Major", toDecimal(os.Major())},
      {"Minor", toDecimal(os.Minor())},
      {"MajorMinor", formatSingle(os.MajorMinor(), u".")},
      {"Build", toDecimal(os.Build())},
      {"SPVer", formatSingle(os.SPVer(), u".")},
      {"OSName", os.OSName()},
      {"Edition", os.Edition()},
      {"IsElevated", flag(os.IsElevated())},
      {"IntegrityLevel", os.IntegrityLevel()},
      {"UserType", os.UserType()},
      {"IsSafeBoot", flag(os.IsSafeBoot())},
      {"LangSystemCode", toDecimal(os.LangSystemCode())},
      {"LangSystemName", os.LangSystemName()},
      {"LangSystemNameFull", os.LangSystemNameFull()},
      {"LangNonUnicodeCode", toDecimal(os.LangNonUnicodeCode())},
      {"LangNonUnicodeName", os.LangNonUnicodeName()},
      {"LangNonUnicodeNameFull", os.LangNonUnicodeNameFull()},
      {"LangDisplayCode", toDecimal(os.LangDisplayCode())},
      {"LangDisplayName", os.LangDisplayName()},
      {"LangDisplayNameFull", os.LangDisplayNameFull()},
      {"IsVistaOrLater", flag(os.IsVistaOrLater())},
      {"CodepageOEM", os.CodepageOEM()},
      {"CodepageOEM_File", os.CodepageOEM_File()},
      {"CodepageANSI", os.CodepageANSI()},
      {"CodepageANSI_File", os.CodepageANSI_File()},
      {"SuiteMask", os.SuiteMask()},
      {"ProductType", os.ProductType()},
  };
}

// --- Simulated systems -------------------------------------------------------

struct ReleaseExpectation {
  WindowsRelease release;
  bool is64Bit;
  std::u16string osName;
  std::u16string edition;
  float majorMinor;
  float spVer;
  std::u16string suiteMask;
};

const std::vector<ReleaseExpectation>& releaseExpectations() {
  static const std::vector<ReleaseExpectation> table = {
      {WindowsRelease::Windows2000, false, u"Windows 2000", u"Professional", 5.0f, 4.0f, u""},
      {WindowsRelease::WindowsXP, false, u"Windows XP", u"Professional", 5.1f, 3.0f,
       u"SingleUserTS"},
      {WindowsRelease::WindowsXP, true, u"Windows XP", u"Professional", 5.2f, 2.0f,
       u"SingleUserTS"},
      {WindowsRelease::WindowsVista, false, u"Windows Vista", u"Ultimate", 6.0f, 2.0f,
       u"SingleUserTS"},
      {WindowsRelease::WindowsVista, true, u"Windows Vista", u"Ultimate", 6.0f, 2.0f,
       u"SingleUserTS"},
      {WindowsRelease::Windows7, false, u"Windows 7", u"Pro", 6.1f, 1.0f, u"SingleUserTS"},
      {WindowsRelease::Windows7, true, u"Windows 7", u"Pro", 6.1f, 1.0f, u"SingleUserTS"},
      {WindowsRelease::Windows81, false, u"Windows 8.1", u"Pro", 6.3f, 0.0f, u"SingleUserTS"},
      {WindowsRelease::Windows81, true, u"Windows 8.1", u"Pro", 6.3f, 0.0f, u"SingleUserTS"},
      {WindowsRelease::Windows10, false, u"Windows 10", u"Home", 10.0f, 0.0f,
       u"Personal + SingleUserTS"},
      {WindowsRelease::Windows10, true, u"Windows 10", u"Home", 10.0f, 0.0f,
       u"Personal + SingleUserTS"},
      // Windows 11 reports 10.0 and "Windows 10 Pro" in the registry.
      {WindowsRelease::Windows11, true, u"Windows 11", u"Pro", 10.0f, 0.0f, u"SingleUserTS"},
  };
  return table;
}

const ReleaseExpectation* expectationFor(const ProfileOptions& options) {
  for (const ReleaseExpectation& e : releaseExpectations()) {
    if (e.release == options.release && e.is64Bit == options.is64BitOs) return &e;
  }
  return nullptr;
}

TEST(OsInfoProfiles, EverySimulatedSystemIsDescribedCompletely) {
  const auto profiles = platform::sim::allProfileOptions();
  // 2000: 1 bitness; XP: 2 (x64 is 5.2); Vista to 10: 2 with three accounts; 11: 1.
  ASSERT_EQ(profiles.size(), 2u * (1 * 2 + 2 * 2 + 4 * 2 * 3 + 1 * 3));
  for (const ProfileOptions& options : profiles) {
    Machine machine(options);
    const std::string label = narrow(machine.profile().label);
    const ReleaseExpectation* expected = expectationFor(options);
    ASSERT_NE(expected, nullptr) << label;
    const clsOSInfo os = machine.build();
    EXPECT_TRUE(machine.recorder.empty()) << label;

    EXPECT_EQ(os.OSName(), expected->osName) << label;
    EXPECT_EQ(os.Edition(), expected->edition) << label;
    EXPECT_EQ(os.MajorMinor(), expected->majorMinor) << label;
    EXPECT_EQ(os.SPVer(), expected->spVer) << label;
    EXPECT_EQ(os.SuiteMask(), expected->suiteMask) << label;
    EXPECT_EQ(os.ProductType(), u"Workstation") << label;
    EXPECT_EQ(os.Bitness(), options.is64BitOs ? u"x64" : u"x32") << label;
    const bool vista = options.release >= WindowsRelease::WindowsVista;
    EXPECT_EQ(os.IsVistaOrLater(), vista) << label;
    EXPECT_EQ(os.Family(), vista ? u"Vista" : u"NT") << label;
    EXPECT_FALSE(os.IsSafeBoot()) << label;
    if (options.release == WindowsRelease::Windows11) {
      EXPECT_GE(os.Build(), 22000) << label;
    }

    const bool admin = options.account == UserAccount::Administrator;
    const bool fullToken = admin && (options.elevated || !vista);
    EXPECT_EQ(os.IsElevated(), fullToken) << label;
    EXPECT_EQ(os.UserType(), admin ? u"Administrator" : u"Limited User") << label;
    EXPECT_EQ(os.IntegrityLevel(), !vista ? u"Not supported" : (fullToken ? u"High" : u"Medium"))
        << label;

    const bool russian = options.language == OsLanguage::Russian;
    for (const auto& [code, name, full] :
         {std::tuple(os.LangDisplayCode(), os.LangDisplayName(), os.LangDisplayNameFull()),
          std::tuple(os.LangSystemCode(), os.LangSystemName(), os.LangSystemNameFull()),
          std::tuple(os.LangNonUnicodeCode(), os.LangNonUnicodeName(),
                     os.LangNonUnicodeNameFull())}) {
      EXPECT_EQ(code, russian ? 1049 : 1033) << label;
      EXPECT_EQ(name, russian ? u"RU" : u"EN") << label;
      EXPECT_EQ(full, russian ? u"Russian" : u"English") << label;
    }
    EXPECT_EQ(os.CodepageOEM(), russian ? u"866" : u"437") << label;
    EXPECT_EQ(os.CodepageANSI(), russian ? u"1251" : u"1252") << label;
    EXPECT_EQ(os.CodepageOEM_File(), russian ? u"c_866.nls" : u"c_437.nls") << label;
    EXPECT_EQ(os.CodepageANSI_File(), russian ? u"c_1251.nls" : u"c_1252.nls") << label;
  }
}

TEST(OsInfoBitness, SixtyFourBitBuildReportsX64ThoughItIsNoWow64Process) {
  struct Case {
    WindowsRelease release;
    bool is64BitOs;
    std::uint32_t pointerSize;
    const char16_t* bitness;
  };
  for (const Case& c : {Case{WindowsRelease::Windows10, true, 8, u"x64"},
                        Case{WindowsRelease::Windows10, true, 4, u"x64"},
                        Case{WindowsRelease::Windows10, false, 4, u"x32"},
                        Case{WindowsRelease::WindowsXP, true, 8, u"x64"},
                        Case{WindowsRelease::Windows2000, false, 4, u"x32"}}) {
    ProfileOptions options;
    options.release = c.release;
    options.is64BitOs = c.is64BitOs;
    options.processPointerSize = c.pointerSize;
    Machine machine(options);
    clsOSInfo os = machine.build();
    EXPECT_EQ(os.Bitness(), c.bitness) << narrow(machine.profile().label);
    EXPECT_EQ(os.IsWin64(), os.Bitness() == u"x64");
    EXPECT_TRUE(machine.recorder.empty());
  }
}

TEST(OsInfoBitness, ComputedOnceAndCached) {
  Machine machine;
  clsOSInfo os = machine.build();
  ASSERT_TRUE(os.IsWin64());
  machine.profile().is64BitOs = false;
  EXPECT_TRUE(os.IsWin64());
}

// --- Naming rules -------------------------------------------------------------

struct NameCase {
  std::uint32_t major, minor;
  std::uint8_t productType;
  std::uint16_t suiteMask;
  std::vector<int> metricsSet;  // GetSystemMetrics indexes that answer 1
  bool is64Bit;
  const char16_t* osName;
  const char16_t* edition;  // nullptr: the profile's GetProductInfo edition, "Home"
  std::uint32_t build = 19045;
};

TEST(OsInfoNames, ByVersionProductTypeSuiteAndMetrics) {
  using namespace platform;
  const char16_t* const s2003 = u"Windows Server 2003";
  // clang-format off
  const std::vector<NameCase> cases = {
      {10, 0, 1, 0x100, {}, true, u"Windows 10", nullptr, 19045},
      {10, 0, 1, 0x100, {}, true, u"Windows 11", nullptr, 22000},
      {10, 0, 1, 0x100, {}, true, u"Windows 11", nullptr, 22631},
      {10, 0, 3, 0x110, {}, true, u"Windows Server 2016 Technical Preview", nullptr, 20348},
      {10, 0, 2, 0, {}, true, u"Windows Server 2016 Technical Preview", nullptr, 26100},
      {6, 4, 1, 0x100, {}, true, u"Windows 10 Technical Preview", nullptr},
      {6, 4, 3, 0, {}, true, u"Windows 10 Technical Preview", nullptr},
      {6, 3, 3, 0x110, {}, true, u"Windows Server 2012 R2", nullptr},
      {6, 2, 1, 0x100, {}, true, u"Windows 8", nullptr},
      {6, 2, 3, 0x110, {}, true, u"Windows Server 2012", nullptr},
      {6, 1, 3, 0x110, {}, true, u"Windows Server 2008 R2", nullptr},
      {6, 10, 1, 0x100, {}, true, u"Windows 7", nullptr},  // minor 10 reads as .1
      {6, 0, 2, 0x110, {}, false, u"Windows Server 2008", nullptr},
      {5, 2, 3, 0x2000, {kSmServerR2}, false, u"Windows Server 2003 R2", u""},
      {5, 2, 3, 0x2010, {}, false, u"Windows Storage Server 2003", u""},
      {5, 2, 3, 0x8000, {}, false, u"Windows 2003 Home Server", u""},
      {5, 2, 1, 0x100, {}, true, u"Windows XP", u"Professional"},
      {5, 2, 1, 0x100, {}, false, s2003, u""},  // a workstation, but not x64
      {5, 2, 3, 0x10, {}, true, s2003, u""},
      {5, 1, 1, 0x100, {kSmMediaCenter, kSmTabletPc}, false, u"Windows XP",
       u"Windows XP Media Center Edition"},
      {5, 1, 1, 0x300, {kSmStarter}, false, u"Windows XP", u"Windows XP Starter Edition"},
      {5, 1, 1, 0x100, {kSmTabletPc}, false, u"Windows XP", u"Windows XP Tablet PC Edition"},
      {5, 1, 1, 0x300, {}, false, u"Windows XP", u"Home Edition"},  // as XP Home reports it
      {5, 1, 1, 0x200, {}, false, u"Windows XP", u"Home Edition"},
      {5, 1, 1, 0x100, {}, false, u"Windows XP", u"Professional"},
      {5, 0, 1, 0x80, {}, false, u"Windows 2000", u"Professional"},
      {5, 0, 3, 0x92, {}, false, u"Windows 2000", u"Datacenter Server"},
      {5, 0, 3, 0x12, {}, false, u"Windows 2000", u"Advanced Server"},
      {5, 0, 2, 0x10, {}, false, u"Windows 2000", u"Server"},
  };
  // clang-format on
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const NameCase& c = cases[i];
    Machine machine;
    auto& profile = machine.profile();
    profile.version.majorVersion = c.major;
    profile.version.minorVersion = c.minor;
    profile.version.buildNumber = c.build;
    profile.version.productType = c.productType;
    profile.version.suiteMask = c.suiteMask;
    for (const int index : c.metricsSet) profile.systemMetrics[index] = 1;
    profile.is64BitOs = c.is64Bit;
    if (c.major < 6) profile.productInfo.reset();
    const clsOSInfo os = machine.build();
    EXPECT_EQ(os.OSName(), c.osName) << "case " << i;
    EXPECT_EQ(os.Edition(), c.edition ? c.edition : u"Home") << "case " << i;
  }
}

TEST(OsInfoNames, UnknownVersionPrintsNumberBuildAndRegistryName) {
  struct Case {
    OsLanguage language;
    std::uint32_t major, minor;
    const char16_t* name;
  };
  for (const Case& c : {Case{OsLanguage::English, 11, 0,
                             u"Windows Unknown(ver. 11) (Build: 30000) "
                             u"Registry's data: Windows 10 Home"},
                        Case{OsLanguage::Russian, 6, 5,
                             u"Windows Unknown(ver. 6,5) (Build: 30000) "
                             u"Registry's data: Windows 10 Home"},
                        Case{OsLanguage::English, 4, 90,
                             u"Windows Unknown(ver. 4.9) (Build: 30000) "
                             u"Registry's data: Windows 10 Home"}}) {
    ProfileOptions options;
    options.language = c.language;
    Machine machine(options);
    machine.profile().version.majorVersion = c.major;
    machine.profile().version.minorVersion = c.minor;
    machine.profile().version.buildNumber = 30000;
    const clsOSInfo os = machine.build();
    EXPECT_EQ(os.OSName(), c.name);
    EXPECT_TRUE(machine.recorder.empty());
  }
}

TEST(OsInfoNames, UnknownVersionWithoutRegistryNameStillNamesTheSystem) {
  Machine machine;
  machine.profile().version.majorVersion = 12;
  machine.profile().hklmStrings.clear();
  const clsOSInfo os = machine.build();
  EXPECT_EQ(os.OSName(), u"Windows Unknown(ver. 12) (Build: 19045) Registry's data: ");
  EXPECT_EQ(os.CodepageOEM(), u"");
  EXPECT_EQ(os.CodepageOEM_File(), u"");
}

TEST(OsInfoNames, EditionFromGetProductInfoOnlyWhenTheCallSucceeds) {
  Machine failing;
  failing.sim.faults().failAlways(OsInfoOp::GetProductInfo, platform::kErrorInvalidParameter);
  EXPECT_EQ(failing.build().Edition(), u"");

  Machine unknown;
  unknown.profile().productInfo = 0xABCD;
  EXPECT_EQ(unknown.build().Edition(), u"Unknown Edition (0xABCD)");
}

// --- Numbers ------------------------------------------------------------------

TEST(OsInfoNumbers, VersionNumberTakesOneDigitPerPowerOfTen) {
  EXPECT_EQ(versionNumber(6, 1), 6.1f);
  EXPECT_EQ(versionNumber(6, 10), 6.1f);
  EXPECT_EQ(versionNumber(6, 3), 6.3f);
  EXPECT_EQ(versionNumber(10, 0), 10.0f);
  EXPECT_EQ(versionNumber(5, 12), 5.12f);
  EXPECT_EQ(versionNumber(3, 0xFFFFFFFFu), 3.4294967295f);
}

TEST(OsInfoNumbers, SingleFormatting) {
  EXPECT_EQ(formatSingle(6.1f, u"."), u"6.1");
  EXPECT_EQ(formatSingle(6.1f, u","), u"6,1");
  EXPECT_EQ(formatSingle(10.0f, u","), u"10");
  EXPECT_EQ(formatSingle(0.0f, u"."), u"0");
  EXPECT_EQ(formatSingle(5.12f, u"."), u"5.12");
  EXPECT_EQ(formatSingle(123456789.0f, u"."), u"1.234568E+08");
}

// --- Token ----------------------------------------------------------------------

TEST(OsInfoToken, IntegrityLevelBands) {
  const std::vector<std::pair<std::uint32_t, std::u16string>> cases = {
      {0x0000, u"Untrusted"},
      {0x0FFF, u"Untrusted"},
      {0x1000, u"Low"},
      {0x1FFF, u"Low"},
      {0x2000, u"Medium"},
      {0x2100, u"Medium"},
      {0x3000, u"High"},
      {0x4000, u"System"},
      {0x4FFF, u"System"},
      {0x5000, u"ProtectedProcess"},
      {0x7FFFFFFF, u"ProtectedProcess"},
      {0x80000000u, u"Unknown"},
  };
  for (const auto& [rid, level] : cases) {
    Machine machine;
    machine.profile().integrityRid = rid;
    EXPECT_EQ(machine.build().IntegrityLevel(), level) << rid;
  }
}

TEST(OsInfoToken, UnreadableTokenGivesDefaults) {
  Machine machine;
  for (const OsInfoOp op :
       {OsInfoOp::TokenElevation, OsInfoOp::TokenIntegrityLevel, OsInfoOp::TokenGroups}) {
    machine.sim.faults().failAlways(op, platform::kErrorAccessDenied);
  }
  const clsOSInfo os = machine.build();
  EXPECT_FALSE(os.IsElevated());
  EXPECT_EQ(os.IntegrityLevel(), u"Unknown");
  EXPECT_EQ(os.UserType(), u"Unknown");
  EXPECT_TRUE(machine.recorder.empty());
}

TEST(OsInfoToken, ForeignProcessHandleIsNotTheProgramsToken) {
  Machine machine;
  clsOSInfo os = machine.build();
  EXPECT_FALSE(os.IsProcessElevated(0x1234));
  EXPECT_EQ(os.GetUserType(0x1234), u"Unknown");
  EXPECT_EQ(os.GetIntegrityLevel(0x1234), u"Unknown");
}

TEST(OsInfoToken, FirstBuiltinGroupInTokenOrderNamesTheUser) {
  const std::u16string filler = u"S-1-5-21-1-2-3-513";
  struct Case {
    std::vector<std::u16string> groups;
    const char16_t* userType;
  };
  std::vector<Case> cases = {
      {{u"S-1-1-0", u"S-1-5-32-545", u"S-1-5-32-544"}, u"Limited User"},
      {{u"S-1-5-32-544", u"S-1-5-32-545"}, u"Administrator"},
      {{u"S-1-5-32-547", u"S-1-5-32-545"}, u"Power User"},
      {{u"S-1-5-32-546"}, u"Guest"},
      {{u"S-1-1-0", u"S-1-5-32-5440", u"S-1-5-32-54"}, u"Unknown"},
      {{}, u"Unknown"},
  };
  // Only the first 21 groups count.
  Case twentyFirst{std::vector<std::u16string>(20, filler), u"Administrator"};
  twentyFirst.groups.push_back(u"S-1-5-32-544");
  Case twentySecond{std::vector<std::u16string>(21, filler), u"Unknown"};
  twentySecond.groups.push_back(u"S-1-5-32-544");
  cases.push_back(twentyFirst);
  cases.push_back(twentySecond);
  for (const Case& c : cases) {
    ProfileOptions options;
    options.release = WindowsRelease::WindowsXP;
    Machine machine(options);
    machine.profile().tokenGroups = c.groups;
    const clsOSInfo os = machine.build();
    EXPECT_EQ(os.UserType(), c.userType) << c.groups.size();
    // Before UAC, being an administrator is being elevated.
    EXPECT_EQ(os.IsElevated(), std::u16string_view(c.userType) == u"Administrator");
  }
}

// --- Tables ---------------------------------------------------------------------

TEST(OsInfoTables, ProductNames) {
  Machine machine;
  clsOSInfo os = machine.build();
  const std::vector<std::pair<std::uint32_t, std::u16string>> cases = {
      {0, u"An unknown product"},
      {1, u"Ultimate"},
      {48, u"Pro"},
      {54, u"Server For SB Solutions EM"},
      {55, u"Server For SB Solutions EM"},
      {57, u"Unknown Edition (0x39)"},
      {66, u"Not supported"},
      {69, u"Not supported"},
      {70, u"Enterprise E"},
      {71, u"Not supported"},
      {101, u"Home"},
      {133, u"Mobile Enterprise"},
      {134, u"Unknown Edition (0x86)"},
      {0xFFFFFFFFu, u"Unknown Edition (0xFFFFFFFF)"},
  };
  for (const auto& [type, name] : cases) EXPECT_EQ(os.GetProductName(type), name) << type;
}

TEST(OsInfoTables, CultureNames) {
  EXPECT_EQ(cultureTableSize(), 136u);
  Machine machine;
  clsOSInfo os = machine.build();
  const std::vector<std::pair<std::uint32_t, std::u16string>> cases = {
      {4, u"zh-CHS"},      {31748, u"zh-CHT"},  {1026, u"BG"},       {1033, u"EN"},
      {1049, u"RU"},       {1058, u"UA"},       {1031, u"de-DE"},    {1036, u"fr-FR"},
      {1059, u"be-BY"},    {2057, u"en-GB"},    {3082, u"es-ES"},    {1068, u"Lt-az-AZ"},
      {2092, u"Cy-az-AZ"}, {3098, u"Cy-sr-SP"}, {2074, u"Lt-sr-SP"}, {1111, u"kok-IN"},
      {1114, u"syr-SY"},   {1125, u"div-MV"},   {1025, u"ar-SA"},    {20490, u"es-PR"},
      {0, u"unknown"},     {1034, u"unknown"},  {0x19, u"unknown"},  {0xFFFFFFFFu, u"unknown"},
  };
  for (const auto& [code, name] : cases) EXPECT_EQ(os.GetLangNameByCultureCode(code), name) << code;
}

TEST(OsInfoTables, SuiteMaskNamesInFixedOrder) {
  EXPECT_EQ(suiteMaskText(0x110), u"SingleUserTS + Terminal");
  EXPECT_EQ(suiteMaskText(0), u"");
  EXPECT_EQ(suiteMaskText(0x1000), u"");  // a bit without a name
  EXPECT_EQ(suiteMaskText(0x8004), u"BackOffice + WH_Server");
  EXPECT_EQ(suiteMaskText(0xFFFF),
            u"BackOffice + Blade + Compute_Server + DataCenter + Enterprise + EmbeddedNT + "
            u"Personal + SingleUserTS + SmallBusiness + SmallBusiness_Restricted + "
            u"Storage_Server + Terminal + WH_Server");
}

TEST(OsInfoTables, ProductTypeText) {
  Machine machine;
  machine.profile().version.productType = 2;
  EXPECT_EQ(machine.build().ProductType(), u"Domain_Controller");
  machine.profile().version.productType = 3;
  EXPECT_EQ(machine.build().ProductType(), u"Server");
  machine.profile().version.productType = 0;
  EXPECT_EQ(machine.build().ProductType(), u"");
}

TEST(OsInfoRegistry, ValueIsCutAtItsFirstNul) {
  Machine machine;
  for (auto& value : machine.profile().hklmStrings) {
    if (value.valueName == u"ACP") value.data = std::u16string(u"1251\0junk", 9);
  }
  const clsOSInfo os = machine.build();
  EXPECT_EQ(os.CodepageANSI(), u"1251");
  EXPECT_EQ(os.CodepageANSI_File(), u"c_1251.nls");
  EXPECT_EQ(machine.registry.openHandleCount(), 0u);
}

TEST(OsInfoRegistry, OnlyTextValuesAreRead) {
  Machine machine;
  machine.build();
  const std::u16string key = u"HKLM\\" + std::u16string(platform::sim::kCodePageKey);
  ASSERT_TRUE(machine.registry.setDword(key, u"OEMCP", 866));
  ASSERT_TRUE(machine.registry.setString(key, u"ACP", u"1251", platform::kRegExpandSz));
  ASSERT_TRUE(machine.registry.setValue(key, u"MACCP", platform::kRegSz, std::string_view("x", 1)));
  clsOSInfo os = machine.build();
  EXPECT_EQ(os.CodepageOEM(), u"");
  EXPECT_EQ(os.CodepageANSI(), u"1251");
  EXPECT_EQ(os.RegRead_REG_SZ(platform::kHkeyLocalMachine, platform::sim::kCodePageKey, u"MACCP"),
            u"");
  EXPECT_EQ(os.RegRead_REG_SZ(platform::kHkeyLocalMachine, u"SOFTWARE\\Missing", u"x"), u"");
  EXPECT_TRUE(machine.recorder.empty());
}

// --- Failures -------------------------------------------------------------------

// Throws from one chosen method and passes every other call to the profile.
class ThrowingOsInfo final : public platform::OsInfo {
 public:
  ThrowingOsInfo(platform::OsInfo& inner, std::string failing)
      : inner_(inner), failing_(std::move(failing)) {}

  platform::Result<platform::OsVersionInfo> getVersionEx() override {
    fail("getVersionEx");
    return inner_.getVersionEx();
  }
  platform::Result<std::uint32_t> getProductInfo(std::uint32_t a, std::uint32_t b, std::uint32_t c,
                                                 std::uint32_t d) override {
    fail("getProductInfo");
    return inner_.getProductInfo(a, b, c, d);
  }
  int getSystemMetrics(int index) override {
    fail("getSystemMetrics");
    return inner_.getSystemMetrics(index);
  }
  platform::Result<bool> isWow64Process(platform::ProcessHandle p) override {
    fail("isWow64Process");
    return inner_.isWow64Process(p);
  }
  std::uint32_t processPointerSize() override { return inner_.processPointerSize(); }
  std::uint16_t getUserDefaultUILanguage() override {
    fail("getUserDefaultUILanguage");
    return inner_.getUserDefaultUILanguage();
  }
  std::uint16_t getSystemDefaultUILanguage() override {
    fail("getSystemDefaultUILanguage");
    return inner_.getSystemDefaultUILanguage();
  }
  std::uint32_t getSystemDefaultLcid() override {
    fail("getSystemDefaultLcid");
    return inner_.getSystemDefaultLcid();
  }
  platform::Result<std::u16string> getLocaleInfo(std::uint32_t lcid, std::uint32_t type) override {
    fail("getLocaleInfo");
    return inner_.getLocaleInfo(lcid, type);
  }
  platform::Result<std::uint32_t> tokenElevation(platform::ProcessHandle p) override {
    fail("tokenElevation");
    return inner_.tokenElevation(p);
  }
  platform::Result<std::uint32_t> tokenIntegrityLevel(platform::ProcessHandle p) override {
    fail("tokenIntegrityLevel");
    return inner_.tokenIntegrityLevel(p);
  }
  platform::Result<std::vector<std::u16string>> tokenGroups(platform::ProcessHandle p) override {
    fail("tokenGroups");
    return inner_.tokenGroups(p);
  }

 private:
  void fail(const char* method) {
    if (failing_ == method) throw std::bad_alloc();
  }
  platform::OsInfo& inner_;
  std::string failing_;
};

TEST(OsInfoFailures, EachFailingStepIsRecordedAndTheRestIsStillKnown) {
  struct Case {
    std::string method;
    std::set<std::string> changed;        // properties that lose their value
    std::vector<std::u16string> records;  // the dotted names recorded
  };
  const std::u16string init = u"clsOSInfo.Class_Initialize";
  const std::vector<Case> cases = {
      {"getUserDefaultUILanguage",
       {"LangDisplayCode", "LangDisplayName", "LangDisplayNameFull"},
       {init}},
      {"getSystemDefaultUILanguage",
       {"LangSystemCode", "LangSystemName", "LangSystemNameFull"},
       {init}},
      {"getSystemDefaultLcid",
       {"LangNonUnicodeCode", "LangNonUnicodeName", "LangNonUnicodeNameFull"},
       {init}},
      {"getLocaleInfo",
       {"LangDisplayNameFull", "LangSystemNameFull", "LangNonUnicodeNameFull"},
       {u"clsOSInfo.GetLangNameFullByCultureCode", u"clsOSInfo.GetLangNameFullByCultureCode",
        u"clsOSInfo.GetLangNameFullByCultureCode"}},
      // The version step stops at the failing call; what it already set stays.
      {"isWow64Process",
       {"Bitness", "IsSafeBoot", "MajorMinor", "SPVer", "OSName", "Edition"},
       {init}},
      {"getProductInfo", {"Edition"}, {init}},
      {"tokenElevation", {"IsElevated"}, {u"clsOSInfo.IsProcessElevated"}},
      {"tokenIntegrityLevel", {"IntegrityLevel"}, {u"clsOSInfo.GetIntegrityLevel"}},
      {"tokenGroups", {"UserType"}, {u"clsOSInfo.GetUserType"}},
  };
  // A system where every value differs from its default.
  ProfileOptions options;
  options.release = WindowsRelease::Windows7;
  options.elevated = true;
  Machine reference(options);
  reference.profile().systemMetrics[platform::kSmCleanBoot] = 1;
  const auto expected = snapshot(reference.build());
  ASSERT_TRUE(reference.recorder.empty());
  for (const Case& c : cases) {
    Machine machine(options);
    machine.profile().systemMetrics[platform::kSmCleanBoot] = 1;
    ThrowingOsInfo throwing(machine.sim, c.method);
    writeRegistryStrings(machine.profile(), machine.registry);
    RecordingRecorder recorder;
    const clsOSInfo os(throwing, machine.registry, recorder);
    const auto actual = snapshot(os);
    std::set<std::string> changed;
    for (const auto& [name, value] : expected) {
      if (actual.at(name) != value) changed.insert(name);
    }
    EXPECT_EQ(changed, c.changed) << c.method;
    std::vector<std::u16string> names;
    for (const auto& record : recorder.records()) {
      names.push_back(record.context.front());
      EXPECT_EQ(record.failure.number, rt::kOutOfMemory) << c.method;
    }
    EXPECT_EQ(names, c.records) << c.method;
  }
}

class ThrowingRegistry final : public platform::Registry {
 public:
  platform::Result<platform::RegKeyHandle> regOpenKeyEx(platform::RegKeyHandle, std::u16string_view,
                                                        std::uint32_t, std::uint32_t) override {
    throw std::bad_alloc();
  }
  platform::Result<std::u16string> regEnumKey(platform::RegKeyHandle, std::uint32_t,
                                              std::uint32_t) override {
    throw std::bad_alloc();
  }
  platform::Result<std::u16string> regEnumValue(platform::RegKeyHandle, std::uint32_t,
                                                std::uint32_t) override {
    throw std::bad_alloc();
  }
  platform::Result<platform::RegKeyInfo> regQueryInfoKey(platform::RegKeyHandle) override {
    throw std::bad_alloc();
  }
  platform::Result<platform::RegValueData> regQueryValueEx(platform::RegKeyHandle,
                                                           std::u16string_view,
                                                           std::uint32_t) override {
    throw std::bad_alloc();
  }
  platform::Status regCloseKey(platform::RegKeyHandle) override { throw std::bad_alloc(); }
};

TEST(OsInfoFailures, RegistryFailureLeavesCodePagesEmptyAndIsRecordedPerRead) {
  Machine machine;
  ThrowingRegistry registry;
  RecordingRecorder recorder;
  const clsOSInfo os(machine.sim, registry, recorder);
  EXPECT_EQ(os.CodepageOEM(), u"");
  EXPECT_EQ(os.CodepageANSI(), u"");
  EXPECT_EQ(os.OSName(), u"Windows 10");
  ASSERT_EQ(recorder.size(), 2u);  // OEMCP and ACP; no file names looked up for empty pages
  EXPECT_EQ(recorder.records()[0].context,
            (std::vector<std::u16string>{u"clsOSInfo.RegRead_REG_SZ", u"Key: ",
                                         u"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage",
                                         u"Value: ", u"OEMCP"}));
}

TEST(OsInfoFailures, FailedVersionCallIsRecordedAndTheSystemNamedFromTheRegistry) {
  Machine machine;
  machine.sim.faults().failAlways(OsInfoOp::GetVersionEx, platform::kErrorInvalidParameter);
  const clsOSInfo os = machine.build();
  ASSERT_EQ(machine.recorder.size(), 1u);
  EXPECT_EQ(machine.recorder.records()[0].context.front(), u"clsOSInfo.Class_Initialize");
  EXPECT_EQ(machine.recorder.records()[0].failure.lastSystemError, 87);
  EXPECT_EQ(os.OSName(), u"Windows Unknown(ver. 0) (Build: 0) Registry's data: Windows 10 Home");
  EXPECT_EQ(os.Bitness(), u"x64");
  EXPECT_EQ(os.LangDisplayName(), u"EN");
  EXPECT_EQ(os.CodepageANSI(), u"1252");
}

}  // namespace
}  // namespace tolvaran
