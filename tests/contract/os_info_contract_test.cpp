// The OS-information port and the object built on it: the same sanity
// assertions against a simulated system and, in Windows builds, the real
// one. Wine's answers depend on the prefix (a fresh 64-bit prefix runs
// programs elevated and reports Windows 7 SP1 to an exe without a manifest,
// Windows 10 to one that declares it), so the real system is checked for
// being a coherent Windows rather than a particular one.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "common/recording_recorder.h"
#include "platform/os_info.h"
#include "platform/registry.h"
#include "platform/sim/os_profiles.h"
#include "platform/sim/sim_os_info.h"
#include "platform/sim/sim_registry.h"
#include "support/text.h"
#include "system/os_info.h"

#ifdef _WIN32
#include "platform/win32/win32_os_info.h"
#include "platform/win32/win32_registry.h"
#endif

namespace tolvaran::platform {
namespace {

constexpr std::uint32_t kPointerSize = sizeof(void*);

class OsInfoBench {
 public:
  virtual ~OsInfoBench() = default;
  virtual OsInfo& os() = 0;
  virtual Registry& registry() = 0;
};

// Built like the Wine prefixes the tests run in: 64-bit Windows, elevated,
// run by this build's own kind of process.
class SimBench final : public OsInfoBench {
 public:
  SimBench() : sim_(profile()), registry_(true, kPointerSize == 8) {
    writeRegistryStrings(sim_.profile(), registry_);
  }
  OsInfo& os() override { return sim_; }
  Registry& registry() override { return registry_; }

 private:
  static sim::OsProfile profile() {
    sim::ProfileOptions options;
    options.release = sim::WindowsRelease::Windows7;
    options.elevated = true;
    options.processPointerSize = kPointerSize;
    return sim::makeOsProfile(options);
  }
  sim::SimOsInfo sim_;
  sim::SimRegistry registry_;
};

#ifdef _WIN32
class Win32Bench final : public OsInfoBench {
 public:
  OsInfo& os() override { return os_; }
  Registry& registry() override { return registry_; }

 private:
  win32::Win32OsInfo os_;
  win32::Win32Registry registry_;
};
#endif

struct Implementation {
  std::string name;
  std::unique_ptr<OsInfoBench> (*make)();
};

std::vector<Implementation> implementations() {
  std::vector<Implementation> all{
      {"sim", [] { return std::unique_ptr<OsInfoBench>(new SimBench); }}};
#ifdef _WIN32
  all.push_back({"win32", [] { return std::unique_ptr<OsInfoBench>(new Win32Bench); }});
#endif
  return all;
}

class OsInfoContract : public ::testing::TestWithParam<Implementation> {
 protected:
  void SetUp() override { bench_ = GetParam().make(); }
  OsInfo& os() { return bench_->os(); }
  Registry& registry() { return bench_->registry(); }

 private:
  std::unique_ptr<OsInfoBench> bench_;
};

std::string narrow(std::u16string_view text) {
  return utf16ToUtf8(text);
}

TEST_P(OsInfoContract, VersionIsACoherentWindowsNt) {
  const auto version = os().getVersionEx();
  ASSERT_TRUE(version.ok()) << version.code;
  EXPECT_GE(version.value.majorVersion, 5u);
  EXPECT_EQ(version.value.platformId, 2u);  // VER_PLATFORM_WIN32_NT
  EXPECT_GT(version.value.buildNumber, 2000u);
  EXPECT_GE(version.value.productType, 1u);
  EXPECT_LE(version.value.productType, 3u);
  if (version.value.servicePackMajor > 0) {
    EXPECT_NE(version.value.csdVersion.find(u"Service Pack"), std::u16string::npos);
  }
  if (version.value.majorVersion >= 6) {
    const auto product =
        os().getProductInfo(version.value.majorVersion, version.value.minorVersion,
                            version.value.servicePackMajor, version.value.servicePackMinor);
    EXPECT_TRUE(product.ok()) << product.code;
  }
}

TEST_P(OsInfoContract, Wow64MatchesTheProcessKind) {
  EXPECT_EQ(os().processPointerSize(), kPointerSize);
  const auto wow64 = os().isWow64Process(kCurrentProcess);
  ASSERT_TRUE(wow64.ok()) << wow64.code;
  // Both simulated and Wine machines are 64-bit.
  EXPECT_EQ(wow64.value, kPointerSize == 4);
}

TEST_P(OsInfoContract, LanguagesAndLocaleNames) {
  EXPECT_NE(os().getUserDefaultUILanguage(), 0);
  EXPECT_NE(os().getSystemDefaultUILanguage(), 0);
  EXPECT_NE(os().getSystemDefaultLcid() & 0xFFFF, 0u);
  const struct {
    std::uint32_t lcid;
    std::u16string english;
    std::u16string decimal;
  } cases[] = {{1033, u"English", u"."}, {1049, u"Russian", u","}, {1031, u"German", u","}};
  for (const auto& c : cases) {
    const auto name = os().getLocaleInfo(c.lcid, kLocaleSEnglishLanguageName);
    EXPECT_EQ(name.code, kErrorSuccess) << c.lcid;
    EXPECT_EQ(name.value, c.english) << c.lcid;
    const auto decimal = os().getLocaleInfo(c.lcid, kLocaleSDecimal);
    EXPECT_EQ(decimal.value, c.decimal) << c.lcid;
  }
  const auto user = os().getLocaleInfo(kLocaleUserDefault, kLocaleSDecimal);
  EXPECT_TRUE(user.ok());
  EXPECT_EQ(user.value.size(), 1u);
}

TEST_P(OsInfoContract, TokenOfTheRunningProcess) {
  const auto version = os().getVersionEx();
  ASSERT_TRUE(version.ok());
  const auto groups = os().tokenGroups(kCurrentProcess);
  ASSERT_TRUE(groups.ok()) << groups.code;
  ASSERT_FALSE(groups.value.empty());
  for (const auto& sid : groups.value) EXPECT_TRUE(sid.starts_with(u"S-1-")) << narrow(sid);
  const auto has = [&](std::u16string_view sid) {
    return std::find(groups.value.begin(), groups.value.end(), sid) != groups.value.end();
  };
  EXPECT_TRUE(has(u"S-1-1-0"));  // Everyone
  EXPECT_TRUE(has(u"S-1-5-32-544") || has(u"S-1-5-32-545"));

  if (version.value.majorVersion >= 6) {
    const auto elevation = os().tokenElevation(kCurrentProcess);
    ASSERT_TRUE(elevation.ok()) << elevation.code;
    const auto rid = os().tokenIntegrityLevel(kCurrentProcess);
    ASSERT_TRUE(rid.ok()) << rid.code;
    EXPECT_EQ(rid.value % 0x1000, 0u) << rid.value;
    EXPECT_GE(rid.value, 0x1000u);
    EXPECT_LE(rid.value, 0x4000u);
    // An elevated process runs at high integrity or above.
    if (elevation.value != 0) {
      EXPECT_GE(rid.value, 0x3000u);
    }
  }
}

TEST_P(OsInfoContract, ForeignHandleIsRejected) {
  // No process has this handle value: handles are multiples of four.
  const ProcessHandle bogus = 0x7FF1;
  EXPECT_EQ(os().isWow64Process(bogus).code, kErrorInvalidHandle);
  EXPECT_EQ(os().tokenGroups(bogus).code, kErrorInvalidHandle);
}

TEST_P(OsInfoContract, DescribedCompletelyWithoutFailures) {
  RecordingRecorder recorder;
  clsOSInfo info(os(), registry(), recorder);
  for (const auto& record : recorder.records()) {
    ADD_FAILURE() << narrow(record.context.front()) << ": " << narrow(record.failure.description);
  }
  std::cout << "  [" << GetParam().name << "] " << narrow(info.OSName()) << " "
            << narrow(info.Edition()) << " " << narrow(info.Bitness()) << " build " << info.Build()
            << " SP " << narrow(formatSingle(info.SPVer(), u".")) << ", "
            << (info.IsElevated() ? "elevated" : "not elevated") << ", "
            << narrow(info.IntegrityLevel()) << ", " << narrow(info.UserType()) << ", UI "
            << info.LangDisplayCode() << " " << narrow(info.LangDisplayName()) << " ("
            << narrow(info.LangDisplayNameFull()) << "), code pages " << narrow(info.CodepageOEM())
            << "/" << narrow(info.CodepageANSI()) << " " << narrow(info.CodepageOEM_File()) << "/"
            << narrow(info.CodepageANSI_File()) << ", suite " << narrow(info.SuiteMask()) << ", "
            << narrow(info.ProductType()) << "\n";

  EXPECT_TRUE(info.OSName().starts_with(u"Windows ")) << narrow(info.OSName());
  EXPECT_FALSE(info.OSName().starts_with(u"Windows Unknown")) << narrow(info.OSName());
  EXPECT_EQ(info.Bitness(), u"x64");
  EXPECT_TRUE(info.IsWin64());
  EXPECT_EQ(info.IsVistaOrLater(), info.Major() > 5);
  EXPECT_EQ(info.Family(), info.Major() > 5 ? u"Vista" : u"NT");
  EXPECT_FALSE(info.IsSafeBoot());
  EXPECT_NE(info.UserType(), u"Unknown");
  if (info.IsVistaOrLater()) {
    EXPECT_NE(info.IntegrityLevel(), u"Unknown");
    EXPECT_EQ(info.IsElevated(),
              info.IntegrityLevel() == u"High" || info.IntegrityLevel() == u"System");
  }
  EXPECT_FALSE(info.LangDisplayNameFull().empty());
  EXPECT_NE(info.LangDisplayName(), u"unknown");
  EXPECT_FALSE(info.CodepageOEM().empty());
  EXPECT_FALSE(info.CodepageANSI().empty());
  EXPECT_TRUE(info.CodepageANSI_File().ends_with(u".nls") ||
              info.CodepageANSI_File().ends_with(u".NLS"))
      << narrow(info.CodepageANSI_File());
  EXPECT_FALSE(info.ProductType().empty());
}

INSTANTIATE_TEST_SUITE_P(Ports, OsInfoContract, ::testing::ValuesIn(implementations()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tolvaran::platform
