#include "system/registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "common/recording_recorder.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"
#include "support/text.h"

namespace tolvaran {
namespace {

using platform::sim::RegistryOp;
using platform::sim::SimRegistry;

// A 64-bit machine and a 32-bit process, as the primary build runs: the
// 32-bit view differs, and the class must still read the native one.
constexpr const char* kRegistry = R"(Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Clients\StartMenuInternet]
@="IEXPLORE.EXE"

[HKEY_LOCAL_MACHINE\SOFTWARE\Clients\StartMenuInternet\IEXPLORE.EXE]
[HKEY_LOCAL_MACHINE\SOFTWARE\Clients\StartMenuInternet\Google Chrome]
[HKEY_LOCAL_MACHINE\SOFTWARE\Clients\StartMenuInternet\FIREFOX.EXE]
[HKEY_LOCAL_MACHINE\SOFTWARE\Clients\StartMenuInternet\Firefox-308046B0AF4A39CB]
[HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Clients\StartMenuInternet\Opera]
[HKEY_CLASSES_ROOT\.txt]
[HKEY_USERS\.DEFAULT\Software]
[HKEY_CURRENT_CONFIG\System]

[HKEY_CURRENT_USER\Software\Tolvaran\Order\b]
[HKEY_CURRENT_USER\Software\Tolvaran\Order\A_]
[HKEY_CURRENT_USER\Software\Tolvaran\Order\AB]
[HKEY_CURRENT_USER\Software\Tolvaran\Order\a]
[HKEY_CURRENT_USER\Software\Tolvaran\Order\Zed]
[HKEY_CURRENT_USER\Software\Tolvaran\Order\ab2]
[HKEY_CURRENT_USER\Software\Tolvaran\Order]
"zeta"="1"
"Alpha"="2"
@="3"
"mid"="4"

[HKEY_CURRENT_USER\Software\Tolvaran\Values]
@="default"
"Text"="C:\\Program Files\\App"
"OneNul"=hex(1):00,00
"Empty"=hex(1):
"OneByte"=hex(1):41
"NoNul"=hex(1):41,00,42,00
"OddSize"=hex(1):41,00,42
"Multi"=hex(7):61,00,00,00,62,00,00,00,00,00
"MultiNone"=hex(7):00,00
"Dword"=dword:04030201
"Negative"=dword:ffffffff
"ShortDword"=hex(4):01,02
"LongDword"=hex(4):01,02,03,04,05,06,07,08
"Big"=hex(5):01,02,03,04
"Binary"=hex:41,42,c0
"None"=hex(0):
"Qword"=hex(b):41,42,43,44,45,46,47,48
"Strange"=hex(12345678):61,62

[HKEY_CURRENT_USER\Software\Tolvaran\Denied]
"Text"="hidden"
)";

constexpr std::u16string_view kValues = u"HKCU\\Software\\Tolvaran\\Values";
constexpr std::u16string_view kStartMenu = u"HKLM\\SOFTWARE\\Clients\\StartMenuInternet";

class ClsRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sim_.loadRegFile(kRegistry), std::vector<std::size_t>{});
    ASSERT_TRUE(sim_.setString(kValues, u"Expand", u"%SystemRoot%\\x", platform::kRegExpandSz));
    ASSERT_TRUE(
        sim_.setString(kValues, u"ExpandUnknown", u"%NoSuchVariable%\\x", platform::kRegExpandSz));
    sim_.denyAccess(u"HKCU\\Software\\Tolvaran\\Denied");
  }
  void TearDown() override {
    // Every operation closes what it opened, whatever way it returned.
    EXPECT_EQ(sim_.openHandleCount(), 0u);
  }

  SimRegistry sim_{true, false};
  platform::sim::SimSystem system_;
  RecordingRecorder recorder_;
  clsRegistry registry_{sim_, system_, recorder_};
};

TEST(RegistryRoot, NamesAndSubKeys) {
  struct Case {
    std::u16string_view key;
    platform::RegKeyHandle root;
    std::u16string_view subKey;
  };
  const Case cases[] = {
      {u"HKLM", 0x80000002, u""},
      {u"hkey_local_machine\\SOFTWARE\\x", 0x80000002, u"SOFTWARE\\x"},
      {u"HKEY_CLASSES_ROOT\\.txt", 0x80000000, u".txt"},
      {u"hkcr\\", 0x80000000, u""},
      {u"HKCU\\Software", 0x80000001, u"Software"},
      {u"HKU\\.DEFAULT", 0x80000003, u".DEFAULT"},
      {u"HKUS\\.DEFAULT", 0x80000003, u".DEFAULT"},
      {u"HKEY_PERFORMANCE_DATA", 0x80000004, u""},
      {u"HKCC\\System", 0x80000005, u"System"},
      {u"HKEY_DYN_DATA\\a\\b", 0x80000006, u"a\\b"},
      {u"HKXX\\Software", 0, u"Software"},
      {u"HKLMX", 0, u""},
      {u"", 0, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registryRoot(c.key), c.root) << utf16ToUtf8(c.key);
    EXPECT_EQ(registrySubKey(c.key), c.subKey) << utf16ToUtf8(c.key);
  }
}

TEST_F(ClsRegistryTest, KeyExistsByEveryRootName) {
  const std::u16string tooLong = u"HKCU\\Software\\" + std::u16string(300, u'k');
  struct Case {
    std::u16string_view key;
    bool exists;
  };
  const Case cases[] = {
      {u"HKLM", true},  // the root itself
      {u"HKLM\\", true},
      {u"hkey_local_machine\\software\\clients", true},
      {u"HKLM\\SOFTWARE\\Clients\\StartMenuInternet\\Opera", false},  // 32-bit view only
      {u"HKLM\\SOFTWARE\\WOW6432Node\\Clients\\StartMenuInternet\\Opera", true},
      {u"HKCR\\.txt", true},
      {u"HKU\\.DEFAULT\\Software", true},
      {u"HKCC\\System", true},
      {u"HKCU\\Software\\Tolvaran\\Missing", false},
      {u"HKCU\\Software\\Tolvaran\\Denied", false},
      {u"HKXX\\Software", false},
      {u"", false},
      {tooLong, false},  // longer than a key name may be
  };
  for (const Case& c : cases) EXPECT_EQ(registry_.KeyExists(c.key), c.exists) << utf16ToUtf8(c.key);
  EXPECT_TRUE(recorder_.empty());
}

TEST_F(ClsRegistryTest, GetRegDataByValueType) {
  const RegData fallback = std::u16string(u"<default>");
  struct Case {
    std::u16string_view value;
    RegData expected;
  };
  const Case cases[] = {
      {u"", std::u16string(u"default")},
      {u"Text", std::u16string(u"C:\\Program Files\\App")},
      {u"text", std::u16string(u"C:\\Program Files\\App")},
      {u"OneNul", std::u16string()},        // one NUL: empty text, not the default
      {u"Empty", fallback},                 // size 0
      {u"OneByte", fallback},               // size 1
      {u"NoNul", std::u16string(u"AB")},    // no terminating NUL: the whole text
      {u"OddSize", std::u16string(u"AB")},  // an odd last byte is a character of its own
      {u"Multi", std::u16string(u"a")},     // the first string only
      {u"MultiNone", std::u16string()},
      {u"Expand", std::u16string(u"C:\\Windows\\x")},
      {u"ExpandUnknown", std::u16string(u"%NoSuchVariable%\\x")},
      {u"Dword", std::int32_t{0x04030201}},
      {u"Negative", std::int32_t{-1}},
      {u"ShortDword", std::int32_t{0x0201}},
      {u"LongDword", fallback},                  // eight bytes do not fit four
      {u"Big", std::int32_t{0x01020304}},        // 01 02 03 04 read big-endian
      {u"Binary", std::u16string(u"AB\u00C0")},  // bytes through the ANSI code page
      {u"None", std::u16string()},
      {u"Qword", std::u16string(u"ABCDEFGH")},
      {u"Strange", std::u16string(u"ab")},
      {u"Missing", fallback},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registry_.GetRegData(kValues, c.value, fallback), c.expected) << utf16ToUtf8(c.value);
  }
  EXPECT_EQ(registry_.GetRegData(kValues, u"Missing", std::int32_t{7}), RegData(std::int32_t{7}));
  EXPECT_EQ(registry_.GetRegData(u"HKCU\\Software\\Tolvaran\\Missing", u"Text", fallback),
            fallback);
  EXPECT_EQ(registry_.GetRegData(u"HKCU\\Software\\Tolvaran\\Denied", u"Text", fallback), fallback);
  EXPECT_EQ(registry_.GetRegData(u"HKXX\\Software\\Tolvaran\\Values", u"Text", fallback), fallback);
  EXPECT_TRUE(recorder_.empty());
}

TEST_F(ClsRegistryTest, GetRegDataOfLargeValues) {
  std::u16string big(512 * 1024 - 1, u'x');
  ASSERT_TRUE(sim_.setString(kValues, u"Big text", big));  // 1 MB with its NUL
  EXPECT_EQ(registry_.GetRegData(kValues, u"Big text", RegData{}), RegData(big));
  EXPECT_EQ(registry_.ValueType(kValues, u"Big text"), platform::kRegSz);
  EXPECT_TRUE(registry_.ValueExists(kValues, u"Big text"));
  EXPECT_TRUE(recorder_.empty());
}

TEST_F(ClsRegistryTest, GetRegDataWhenTheValueChangesBetweenCalls) {
  // The size query succeeds, the read fails: the value grew meanwhile.
  sim_.faults().failNth(RegistryOp::queryValue, 2, platform::kErrorMoreData);
  EXPECT_EQ(registry_.GetRegData(kValues, u"Text", std::int32_t{0}), RegData(std::int32_t{0}));
  // A size query that fails for another reason gives the default too.
  sim_.faults().clear();
  sim_.faults().failNth(RegistryOp::queryValue, 1, platform::kErrorAccessDenied);
  EXPECT_EQ(registry_.GetRegData(kValues, u"Dword", std::int32_t{0}), RegData(std::int32_t{0}));
  EXPECT_TRUE(recorder_.empty());
}

TEST_F(ClsRegistryTest, ValueTypeAndValueExists) {
  struct Case {
    std::u16string_view key, value;
    std::uint32_t type;
    bool exists;
  };
  const Case cases[] = {
      {kValues, u"Text", platform::kRegSz, true},
      {kValues, u"", platform::kRegSz, true},
      {kValues, u"None", platform::kRegNone, true},    // exists, though its type is 0
      {kValues, u"Qword", platform::kRegQword, true},  // more than four bytes
      {kValues, u"Strange", 0x12345678, true},
      {kValues, u"Missing", 0, false},
      {u"HKCU\\Software\\Tolvaran\\Missing", u"Text", 0, false},
      {u"HKCU\\Software\\Tolvaran\\Denied", u"Text", 0, false},
      {u"HKXX\\Software", u"Text", 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registry_.ValueType(c.key, c.value), c.type) << utf16ToUtf8(c.value);
    EXPECT_EQ(registry_.ValueExists(c.key, c.value), c.exists) << utf16ToUtf8(c.value);
  }
  // A value that cannot be read for a reason other than absence still exists.
  sim_.faults().failAlways(RegistryOp::queryValue, platform::kErrorAccessDenied);
  EXPECT_TRUE(registry_.ValueExists(kValues, u"Text"));
  EXPECT_EQ(registry_.ValueType(kValues, u"Text"), 0u);
  EXPECT_TRUE(recorder_.empty());
}

TEST_F(ClsRegistryTest, ListsInRegistryOrder) {
  std::vector<std::u16string> names{u"stale"};
  EXPECT_EQ(registry_.GetRegSubKeys(u"HKCU\\Software\\Tolvaran\\Order", names), 6u);
  // Sorted by upper case: "_" comes after the letters.
  EXPECT_EQ(names, (std::vector<std::u16string>{u"a", u"AB", u"ab2", u"A_", u"b", u"Zed"}));
  EXPECT_EQ(registry_.GetRegValueNames(u"HKCU\\Software\\Tolvaran\\Order", names), 4u);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"zeta", u"Alpha", u"", u"mid"}));

  // The native view, whatever the process.
  EXPECT_EQ(registry_.GetRegSubKeys(kStartMenu, names), 4u);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Firefox-308046B0AF4A39CB", u"FIREFOX.EXE",
                                                u"Google Chrome", u"IEXPLORE.EXE"}));

  for (std::u16string_view key : {u"HKCU\\Software\\Tolvaran\\Missing",
                                  u"HKCU\\Software\\Tolvaran\\Denied", u"HKXX\\Software"}) {
    names = {u"stale"};
    EXPECT_EQ(registry_.GetRegSubKeys(key, names), 0u);
    EXPECT_TRUE(names.empty());
    names = {u"stale"};
    EXPECT_EQ(registry_.GetRegValueNames(key, names), 0u);
    EXPECT_TRUE(names.empty());
  }
  EXPECT_EQ(registry_.GetRegValueNames(std::u16string(kStartMenu) + u"\\Google Chrome", names), 0u);
  EXPECT_TRUE(recorder_.empty());
}

TEST_F(ClsRegistryTest, FindSubKey) {
  struct Case {
    std::u16string_view key, mask, found;
  };
  const Case cases[] = {
      {kStartMenu, u"FIREFOX.EXE", u"FIREFOX.EXE"},
      {kStartMenu, u"firefox.exe", u"firefox.exe"},           // exists: the mask as given
      {kStartMenu, u"FIREFOX", u"Firefox-308046B0AF4A39CB"},  // first in order ("-" < ".")
      {kStartMenu, u"google", u"Google Chrome"},
      {kStartMenu, u"Opera", u""},  // only in the 32-bit view
      {kStartMenu, u"IEXPLORE.EXE.", u""},
      {u"HKCU\\Software\\Tolvaran\\Missing", u"a", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registry_.FindSubKey(c.key, c.mask), c.found) << utf16ToUtf8(c.mask);
  }
  ASSERT_TRUE(sim_.createKey(u"HKLM\\SOFTWARE\\Clients\\StartMenuInternet\\FIREFOX"));
  EXPECT_EQ(registry_.FindSubKey(kStartMenu, u"Firefox"), u"Firefox");
  EXPECT_TRUE(recorder_.empty());
}

TEST_F(ClsRegistryTest, SplitRegString) {
  struct Case {
    std::u16string_view input, key, value;
  };
  const Case cases[] = {
      {u"HKCU\\Software\\App\\Path", u"HKCU\\Software\\App", u"Path"},
      {u"HKCU\\Software\\App\\", u"HKCU\\Software\\App", u""},
      {u"HKCU\\", u"HKCU", u""},
      {u"\\", u"", u""},
      {u"\\Name", u"", u"Name"},
  };
  for (const Case& c : cases) {
    std::u16string key = u"old", value = u"old";
    registry_.SplitRegString(c.input, key, value);
    EXPECT_EQ(key, c.key) << utf16ToUtf8(c.input);
    EXPECT_EQ(value, c.value) << utf16ToUtf8(c.input);
  }
  // The input may be one of the outputs.
  std::u16string both = u"HKLM\\a\\b", value;
  registry_.SplitRegString(both, both, value);
  EXPECT_EQ(both, u"HKLM\\a");
  EXPECT_EQ(value, u"b");
  EXPECT_TRUE(recorder_.empty());

  // No backslash: a failure, and the outputs stay as they were.
  std::u16string key = u"keep", kept = u"keep";
  registry_.SplitRegString(u"HKLM", key, kept);
  EXPECT_EQ(key, u"keep");
  EXPECT_EQ(kept, u"keep");
  ASSERT_EQ(recorder_.size(), 1u);
  EXPECT_EQ(recorder_.records()[0].failure.number, rt::kInvalidProcedureCall);
  EXPECT_EQ(recorder_.records()[0].context,
            (std::vector<std::u16string>{u"clsRegistry.SplitRegString", u"income:", u"HKLM"}));
}

TEST(ClsRegistryHelpers, SwapEndianExpandAndText) {
  EXPECT_EQ(clsRegistry::SwapEndian(0x01020304), 0x04030201);
  EXPECT_EQ(clsRegistry::SwapEndian(-1), -1);
  EXPECT_EQ(clsRegistry::SwapEndian(0xFF), static_cast<std::int32_t>(0xFF000000u));
  EXPECT_EQ(clsRegistry::SwapEndian(static_cast<std::int32_t>(0x80000000u)), 0x80);

  SimRegistry sim;
  platform::sim::SimSystem system;
  RecordingRecorder recorder;
  clsRegistry registry(sim, system, recorder);
  EXPECT_EQ(registry.ExpandEnvStr(u"%SystemRoot%\\System32"), u"C:\\Windows\\System32");
  EXPECT_EQ(registry.ExpandEnvStr(u"%Unknown%"), u"%Unknown%");
  EXPECT_EQ(registry.ExpandEnvStr(u""), u"");

  EXPECT_EQ(regDataText(RegData(std::int32_t{-42})), u"-42");
  EXPECT_EQ(regDataText(RegData(std::u16string(u"text"))), u"text");
}

// A registry whose chosen call runs out of memory, to see what each
// operation records and that it still closes its key.
class ExhaustedRegistry final : public platform::Registry {
 public:
  ExhaustedRegistry(platform::Registry& inner, RegistryOp failing)
      : inner_(inner), failing_(failing) {}
  platform::Result<platform::RegKeyHandle> regOpenKeyEx(platform::RegKeyHandle key,
                                                        std::u16string_view subKey,
                                                        std::uint32_t options,
                                                        std::uint32_t sam) override {
    fail(RegistryOp::open);
    return inner_.regOpenKeyEx(key, subKey, options, sam);
  }
  platform::Result<std::u16string> regEnumKey(platform::RegKeyHandle key, std::uint32_t index,
                                              std::uint32_t chars) override {
    fail(RegistryOp::enumKey);
    return inner_.regEnumKey(key, index, chars);
  }
  platform::Result<std::u16string> regEnumValue(platform::RegKeyHandle key, std::uint32_t index,
                                                std::uint32_t chars) override {
    fail(RegistryOp::enumValue);
    return inner_.regEnumValue(key, index, chars);
  }
  platform::Result<platform::RegKeyInfo> regQueryInfoKey(platform::RegKeyHandle key) override {
    fail(RegistryOp::queryInfo);
    return inner_.regQueryInfoKey(key);
  }
  platform::Result<platform::RegValueData> regQueryValueEx(platform::RegKeyHandle key,
                                                           std::u16string_view name,
                                                           std::uint32_t bytes) override {
    fail(RegistryOp::queryValue);
    return inner_.regQueryValueEx(key, name, bytes);
  }
  platform::Status regCloseKey(platform::RegKeyHandle key) override {
    return inner_.regCloseKey(key);
  }

 private:
  void fail(RegistryOp op) const {
    if (op == failing_) throw std::bad_alloc();
  }
  platform::Registry& inner_;
  RegistryOp failing_;
};

TEST_F(ClsRegistryTest, UnexpectedFailuresAreRecordedWithTheirContext) {
  using Context = std::vector<std::u16string>;
  struct Case {
    RegistryOp failing;
    std::function<bool(clsRegistry&)> neutral;  // runs the operation, true for a neutral result
    Context context;
  };
  const RegData fallback = std::int32_t{-1};
  const std::vector<Case> cases = {
      {RegistryOp::enumKey,
       [&](clsRegistry& r) {
         std::vector<std::u16string> names;
         return r.GetRegSubKeys(kStartMenu, names) == 0 && names.empty();
       },
       {u"clsRegistry.GetRegSubKeys", u"Key:", u"SOFTWARE\\Clients\\StartMenuInternet"}},
      {RegistryOp::enumValue,
       [&](clsRegistry& r) {
         std::vector<std::u16string> names;
         return r.GetRegValueNames(kValues, names) == 0 && names.empty();
       },
       {u"clsRegistry.GetRegValueNames", u"Key:", u"Software\\Tolvaran\\Values"}},
      {RegistryOp::queryValue,
       [&](clsRegistry& r) { return r.GetRegData(kValues, u"Text", fallback) == fallback; },
       {u"clsRegistry.GetRegData", u"Key:", u"Software\\Tolvaran\\Values", u"Value:", u"Text"}},
      {RegistryOp::open,
       [&](clsRegistry& r) { return !r.KeyExists(kValues); },
       {u"clsRegistry.KeyExists", u"Key:", u"Software\\Tolvaran\\Values"}},
      {RegistryOp::queryValue,
       [&](clsRegistry& r) { return r.ValueType(kValues, u"Text") == 0; },
       {u"clsRegistry.ValueType", u"Key:", u"Software\\Tolvaran\\Values", u"Value:", u"Text"}},
      {RegistryOp::queryValue,
       [&](clsRegistry& r) { return !r.ValueExists(kValues, u"Text"); },
       {u"clsRegistry.ValueExists", u"Key:", u"Software\\Tolvaran\\Values", u"Value:", u"Text"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf16ToUtf8(c.context[0]));
    ExhaustedRegistry exhausted(sim_, c.failing);
    RecordingRecorder recorder;
    clsRegistry registry(exhausted, system_, recorder);
    EXPECT_TRUE(c.neutral(registry));
    ASSERT_EQ(recorder.size(), 1u);
    EXPECT_EQ(recorder.records()[0].failure.number, rt::kOutOfMemory);
    EXPECT_EQ(recorder.records()[0].context, c.context);
    EXPECT_EQ(sim_.openHandleCount(), 0u);
  }
  // FindSubKey goes through KeyExists and GetRegSubKeys, which record their own failures.
  ExhaustedRegistry exhausted(sim_, RegistryOp::open);
  RecordingRecorder recorder;
  clsRegistry registry(exhausted, system_, recorder);
  EXPECT_EQ(registry.FindSubKey(kStartMenu, u"FIREFOX"), u"");
  ASSERT_EQ(recorder.size(), 2u);
  EXPECT_EQ(recorder.records()[0].context[0], u"clsRegistry.KeyExists");
  EXPECT_EQ(recorder.records()[0].context[2], u"SOFTWARE\\Clients\\StartMenuInternet\\FIREFOX");
  EXPECT_EQ(recorder.records()[1].context[0], u"clsRegistry.GetRegSubKeys");
}

}  // namespace
}  // namespace tolvaran
