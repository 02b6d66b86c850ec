// The registry port, the same assertions against the simulated registry and,
// on Windows builds, the real one. Test keys live under
// HKCU\Software\TolvaranContractTest (and, for the two views,
// HKLM\SOFTWARE\TolvaranContractTest) and are removed afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_registry.h"
#include "support/text.h"

#ifdef _WIN32
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_registry_scratch.h"
#endif

namespace tolvaran::platform {
namespace {

constexpr std::u16string_view kTestKey = u"Software\\TolvaranContractTest";
constexpr std::u16string_view kViewKey = u"SOFTWARE\\TolvaranContractTest";
constexpr bool kProcessIs64Bit = sizeof(void*) == 8;

// One implementation with its own means of setting up keys.
class RegistryBench {
 public:
  virtual ~RegistryBench() = default;
  virtual Registry& registry() = 0;
  // `view32` writes the 32-bit view of a 64-bit machine.
  virtual bool createKey(RegKeyHandle root, std::u16string_view path, bool view32) = 0;
  virtual bool setValue(RegKeyHandle root, std::u16string_view path, std::u16string_view name,
                        std::uint32_t type, std::string_view data, bool view32) = 0;
  virtual void removeTree(RegKeyHandle root, std::u16string_view path, bool view32) = 0;

  // Wine keeps its own key in every prefix.
  bool isWine() {
    const auto key = registry().regOpenKeyEx(kHkeyLocalMachine, u"Software\\Wine", 0,
                                             kKeyQueryValue | kKeyWow64_64Key);
    if (key.ok()) (void)registry().regCloseKey(key.value);
    return key.ok();
  }
};

class SimBench final : public RegistryBench {
 public:
  Registry& registry() override { return sim_; }
  bool createKey(RegKeyHandle root, std::u16string_view path, bool view32) override {
    return sim_.createKey(physical(root, path, view32));
  }
  bool setValue(RegKeyHandle root, std::u16string_view path, std::u16string_view name,
                std::uint32_t type, std::string_view data, bool view32) override {
    return sim_.setValue(physical(root, path, view32), name, type, data);
  }
  void removeTree(RegKeyHandle root, std::u16string_view path, bool view32) override {
    (void)sim_.deleteKey(physical(root, path, view32));
  }

 private:
  static std::u16string physical(RegKeyHandle root, std::u16string_view path, bool view32) {
    std::u16string text = root == kHkeyLocalMachine ? u"HKLM\\" : u"HKCU\\";
    if (view32 && root == kHkeyLocalMachine && startsWithNoCase(path, u"SOFTWARE\\")) {
      return text + u"SOFTWARE\\WOW6432Node" + std::u16string(path.substr(8));
    }
    return text + std::u16string(path);
  }
  sim::SimRegistry sim_{true, kProcessIs64Bit};
};

#ifdef _WIN32
class Win32Bench final : public RegistryBench {
 public:
  Registry& registry() override { return registry_; }
  bool createKey(RegKeyHandle root, std::u16string_view path, bool view32) override {
    return win32::scratch::createKey(root, path, flags(view32)).ok();
  }
  bool setValue(RegKeyHandle root, std::u16string_view path, std::u16string_view name,
                std::uint32_t type, std::string_view data, bool view32) override {
    return win32::scratch::setValue(root, path, name, type, data, flags(view32)).ok();
  }
  void removeTree(RegKeyHandle root, std::u16string_view path, bool view32) override {
    (void)win32::scratch::deleteTree(root, path, flags(view32));
  }

 private:
  static std::uint32_t flags(bool view32) { return view32 ? kKeyWow64_32Key : kKeyWow64_64Key; }
  win32::Win32Registry registry_;
};
#endif

std::unique_ptr<RegistryBench> makeBench(std::string_view name) {
#ifdef _WIN32
  if (name == "win32") return std::make_unique<Win32Bench>();
#endif
  (void)name;
  return std::make_unique<SimBench>();
}

std::string utf16le(std::u16string_view text, bool withNul = true) {
  std::string bytes = textToUtf16le(text);
  if (withNul) bytes.append(2, '\0');
  return bytes;
}

std::string narrow(std::u16string_view text) {
  return utf16ToUtf8(text);
}

class RegistryContract : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    bench_ = makeBench(GetParam());
    bench_->removeTree(kHkeyCurrentUser, kTestKey, false);
    ASSERT_TRUE(bench_->createKey(kHkeyCurrentUser, kTestKey, false));
  }
  void TearDown() override {
    bench_->removeTree(kHkeyCurrentUser, kTestKey, false);
    if (viewKeysMade_) {
      bench_->removeTree(kHkeyLocalMachine, kViewKey, false);
      bench_->removeTree(kHkeyLocalMachine, kViewKey, true);
    }
  }

  Registry& reg() { return bench_->registry(); }

  // The test key opened for reading; closed by the caller.
  RegKeyHandle openTestKey(std::u16string_view below = {}) {
    std::u16string path(kTestKey);
    if (!below.empty()) path.append(u"\\").append(below);
    const auto key =
        reg().regOpenKeyEx(kHkeyCurrentUser, path, 0, kKeyQueryValue | kKeyEnumerateSubKeys);
    EXPECT_EQ(key.code, kErrorSuccess) << narrow(path);
    return key.value;
  }

  void setValue(std::u16string_view name, std::uint32_t type, std::string_view data) {
    ASSERT_TRUE(bench_->setValue(kHkeyCurrentUser, kTestKey, name, type, data, false));
  }

  std::vector<std::u16string> subKeys(RegKeyHandle key) {
    std::vector<std::u16string> names;
    for (std::uint32_t index = 0;; ++index) {
      auto name = reg().regEnumKey(key, index, 260);
      if (!name.ok()) {
        EXPECT_EQ(name.code, kErrorNoMoreItems);
        break;
      }
      names.push_back(std::move(name.value));
    }
    return names;
  }

  std::vector<std::u16string> valueNames(RegKeyHandle key) {
    std::vector<std::u16string> names;
    for (std::uint32_t index = 0;; ++index) {
      auto name = reg().regEnumValue(key, index, 32767);
      if (!name.ok()) {
        EXPECT_EQ(name.code, kErrorNoMoreItems);
        break;
      }
      names.push_back(std::move(name.value));
    }
    return names;
  }

  std::unique_ptr<RegistryBench> bench_;
  bool viewKeysMade_ = false;
};

TEST_P(RegistryContract, SubKeysEnumerateSortedWithoutRegardToCase) {
  for (const char16_t* name : {u"b", u"AB", u"a", u"Zed", u"ab2", u"A1", u"0"}) {
    ASSERT_TRUE(
        bench_->createKey(kHkeyCurrentUser, std::u16string(kTestKey) + u"\\" + name, false));
  }
  const RegKeyHandle key = openTestKey();
  EXPECT_EQ(subKeys(key),
            (std::vector<std::u16string>{u"0", u"a", u"A1", u"AB", u"ab2", u"b", u"Zed"}));
  EXPECT_TRUE(reg().regCloseKey(key).ok());
}

TEST_P(RegistryContract, SubKeysCompareLettersAsUpperCase) {
  // "_" sits between the upper- and lower-case letters: the hives compare
  // upper case and put "AB" first. Wine compares lower case.
  for (const char16_t* name : {u"A_", u"AB"}) {
    ASSERT_TRUE(
        bench_->createKey(kHkeyCurrentUser, std::u16string(kTestKey) + u"\\" + name, false));
  }
  const RegKeyHandle key = openTestKey();
  const auto names = subKeys(key);
  EXPECT_TRUE(reg().regCloseKey(key).ok());
  if (bench_->isWine()) {
    // Pinned, so that a Wine that changes its order is noticed.
    EXPECT_EQ(names, (std::vector<std::u16string>{u"A_", u"AB"}));
    GTEST_SKIP() << "Wine sorts subkeys by lower case (\"A_\" before \"AB\")";
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"AB", u"A_"}));
}

TEST_P(RegistryContract, ValuesEnumerateInCreationOrder) {
  for (const char16_t* name : {u"zeta", u"Alpha", u"mid", u"", u"beta"}) {
    setValue(name, kRegSz, utf16le(u"x"));
  }
  setValue(u"ALPHA", kRegDword, std::string("\1\0\0\0", 4));  // rewritten in place
  const RegKeyHandle key = openTestKey();
  const auto names = valueNames(key);
  EXPECT_TRUE(reg().regCloseKey(key).ok());
  if (bench_->isWine()) {
    EXPECT_EQ(names, (std::vector<std::u16string>{u"", u"Alpha", u"beta", u"mid", u"zeta"}));
    GTEST_SKIP() << "Wine keeps values sorted by name, Windows in creation order";
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"zeta", u"Alpha", u"mid", u"", u"beta"}));
}

TEST_P(RegistryContract, ValueNamesAreOneWithoutRegardToCase) {
  setValue(u"Alpha", kRegSz, utf16le(u"x"));
  setValue(u"ALPHA", kRegDword, std::string("\1\0\0\0", 4));
  const RegKeyHandle key = openTestKey();
  const auto names = valueNames(key);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_TRUE(equalsNoCase(names[0], u"alpha"));
  const auto query = reg().regQueryValueEx(key, u"aLpHa", 0);
  EXPECT_EQ(query.code, kErrorSuccess);
  EXPECT_EQ(query.value.type, kRegDword);
  EXPECT_TRUE(reg().regCloseKey(key).ok());
}

TEST_P(RegistryContract, QueryValueCodesAndSizes) {
  setValue(u"dword", kRegDword, std::string("\1\2\3\4", 4));
  setValue(u"odd", kRegSz, std::string("A\0B", 3));
  setValue(u"empty", kRegSz, {});
  setValue(u"none", kRegNone, {});
  setValue(u"strange", 0x12345678, "abcdefgh");
  const RegKeyHandle key = openTestKey();
  struct Case {
    std::u16string_view name;
    std::uint32_t buffer;
    Win32Code code;
    std::uint32_t type, size;
    std::string bytes;
  };
  const Case cases[] = {
      {u"dword", 0, kErrorSuccess, kRegDword, 4, {}},  // no buffer: type and size
      {u"dword", 2, kErrorMoreData, kRegDword, 4, {}},
      {u"dword", 4, kErrorSuccess, kRegDword, 4, std::string("\1\2\3\4", 4)},
      {u"DWORD", 8, kErrorSuccess, kRegDword, 4, std::string("\1\2\3\4", 4)},
      {u"odd", 0, kErrorSuccess, kRegSz, 3, {}},
      {u"odd", 3, kErrorSuccess, kRegSz, 3, std::string("A\0B", 3)},  // no NUL added
      {u"odd", 2, kErrorMoreData, kRegSz, 3, {}},
      {u"empty", 0, kErrorSuccess, kRegSz, 0, {}},
      {u"empty", 4, kErrorSuccess, kRegSz, 0, {}},
      {u"none", 0, kErrorSuccess, kRegNone, 0, {}},
      {u"strange", 0, kErrorSuccess, 0x12345678, 8, {}},
      {u"strange", 4, kErrorMoreData, 0x12345678, 8, {}},
      {u"strange", 8, kErrorSuccess, 0x12345678, 8, "abcdefgh"},
      {u"missing", 0, kErrorFileNotFound, 0, 0, {}},
      {u"missing", 4, kErrorFileNotFound, 0, 0, {}},
      {u"", 0, kErrorFileNotFound, 0, 0, {}},  // no default value set
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(narrow(c.name) + " buffer " + std::to_string(c.buffer));
    const auto query = reg().regQueryValueEx(key, c.name, c.buffer);
    EXPECT_EQ(query.code, c.code);
    if (c.code == kErrorFileNotFound) continue;
    EXPECT_EQ(query.value.type, c.type);
    EXPECT_EQ(query.value.size, c.size);
    EXPECT_EQ(query.value.bytes, c.bytes);
  }
  setValue(u"", kRegSz, utf16le(u"d"));
  const auto byDefault = reg().regQueryValueEx(key, u"", 16);
  EXPECT_EQ(byDefault.code, kErrorSuccess);
  EXPECT_EQ(byDefault.value.bytes, utf16le(u"d"));
  EXPECT_TRUE(reg().regCloseKey(key).ok());
}

TEST_P(RegistryContract, EnumerationBuffersMustHoldNameAndNul) {
  ASSERT_TRUE(bench_->createKey(kHkeyCurrentUser, std::u16string(kTestKey) + u"\\abcd", false));
  setValue(u"abc", kRegSz, utf16le(u"x"));
  const RegKeyHandle key = openTestKey();
  EXPECT_EQ(reg().regEnumKey(key, 0, 4).code, kErrorMoreData);
  const auto fits = reg().regEnumKey(key, 0, 5);
  EXPECT_EQ(fits.code, kErrorSuccess);
  EXPECT_EQ(fits.value, u"abcd");
  EXPECT_EQ(reg().regEnumKey(key, 1, 260).code, kErrorNoMoreItems);
  EXPECT_EQ(reg().regEnumValue(key, 0, 3).code, kErrorMoreData);
  EXPECT_EQ(reg().regEnumValue(key, 0, 0).code, kErrorMoreData);
  EXPECT_EQ(reg().regEnumValue(key, 0, 4).value, u"abc");
  EXPECT_EQ(reg().regEnumValue(key, 1, 260).code, kErrorNoMoreItems);
  EXPECT_TRUE(reg().regCloseKey(key).ok());
}

TEST_P(RegistryContract, QueryInfoGivesCountsAndLongestNames) {
  for (const char16_t* name : {u"k", u"longer"}) {
    ASSERT_TRUE(
        bench_->createKey(kHkeyCurrentUser, std::u16string(kTestKey) + u"\\" + name, false));
  }
  setValue(u"v", kRegBinary, std::string(10, 'x'));
  setValue(u"value7", kRegSz, utf16le(u"ab"));
  const RegKeyHandle key = openTestKey();
  const auto info = reg().regQueryInfoKey(key);
  ASSERT_EQ(info.code, kErrorSuccess);
  EXPECT_EQ(info.value.subKeys, 2u);
  EXPECT_EQ(info.value.maxSubKeyLen, 6u);
  EXPECT_EQ(info.value.values, 2u);
  EXPECT_EQ(info.value.maxValueNameLen, 6u);
  EXPECT_EQ(info.value.maxValueLen, 10u);
  EXPECT_EQ(info.value.maxClassLen, 0u);
  EXPECT_TRUE(reg().regCloseKey(key).ok());
}

TEST_P(RegistryContract, OpenAndCloseCodes) {
  ASSERT_TRUE(bench_->createKey(kHkeyCurrentUser, std::u16string(kTestKey) + u"\\Child", false));
  const std::u16string child = std::u16string(kTestKey) + u"\\Child";
  struct Case {
    RegKeyHandle root;
    std::u16string subKey;
    Win32Code code;
  };
  const Case cases[] = {
      {kHkeyCurrentUser, child, kErrorSuccess},
      {kHkeyCurrentUser, u"SOFTWARE\\tolvarancontracttest\\CHILD", kErrorSuccess},
      {kHkeyCurrentUser, child + u"\\", kErrorSuccess},
      {kHkeyCurrentUser, u"\\" + child, kErrorBadPathname},
      {kHkeyCurrentUser, child + u"\\Missing", kErrorFileNotFound},
      {kHkeyCurrentUser, std::u16string(kTestKey) + u"\\" + std::u16string(300, u'k'),
       kErrorInvalidParameter},
      {0, u"Software", kErrorInvalidHandle},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(narrow(c.subKey));
    const auto key = reg().regOpenKeyEx(c.root, c.subKey, 0, kKeyQueryValue);
    EXPECT_EQ(key.code, c.code);
    if (key.ok()) {
      EXPECT_TRUE(reg().regCloseKey(key.value).ok());
    }
  }
  // An empty subkey on a root gives the root back; closing a root is harmless.
  const auto root = reg().regOpenKeyEx(kHkeyCurrentUser, u"", 0, kKeyQueryValue);
  EXPECT_EQ(root.code, kErrorSuccess);
  EXPECT_EQ(root.value, kHkeyCurrentUser);
  EXPECT_TRUE(reg().regCloseKey(kHkeyCurrentUser).ok());
  // Relative to an opened key.
  const RegKeyHandle parent = openTestKey();
  const auto relative = reg().regOpenKeyEx(parent, u"child", 0, kKeyQueryValue);
  EXPECT_EQ(relative.code, kErrorSuccess);
  EXPECT_TRUE(reg().regCloseKey(relative.value).ok());
  EXPECT_TRUE(reg().regCloseKey(parent).ok());
  EXPECT_EQ(reg().regCloseKey(0).code, kErrorInvalidHandle);
}

TEST_P(RegistryContract, Wow64FlagsChooseTheView) {
  // On a 32-bit machine there is one view only.
  const auto wowNode = reg().regOpenKeyEx(kHkeyLocalMachine, u"SOFTWARE\\WOW6432Node", 0,
                                          kKeyQueryValue | kKeyWow64_64Key);
  if (!wowNode.ok()) GTEST_SKIP() << "not a 64-bit machine";
  (void)reg().regCloseKey(wowNode.value);
  viewKeysMade_ = true;
  if (!bench_->setValue(kHkeyLocalMachine, kViewKey, u"view", kRegSz, utf16le(u"64"), false) ||
      !bench_->setValue(kHkeyLocalMachine, kViewKey, u"view", kRegSz, utf16le(u"32"), true)) {
    GTEST_SKIP() << "no write access to HKLM\\SOFTWARE";
  }
  const auto viewSeen = [&](RegKeyHandle from, std::u16string_view path, std::uint32_t flags) {
    const auto key = reg().regOpenKeyEx(from, path, 0, kKeyQueryValue | flags);
    if (!key.ok()) return std::u16string(u"open failed");
    const auto value = reg().regQueryValueEx(key.value, u"view", 64);
    (void)reg().regCloseKey(key.value);
    return utf16leToText(value.value.bytes.substr(0, 4));
  };
  const std::u16string native = u"64";
  const std::u16string wow = u"32";
  const std::u16string byDefault = kProcessIs64Bit ? native : wow;
  EXPECT_EQ(viewSeen(kHkeyLocalMachine, kViewKey, kKeyWow64_64Key), native);
  EXPECT_EQ(viewSeen(kHkeyLocalMachine, kViewKey, kKeyWow64_32Key), wow);
  EXPECT_EQ(viewSeen(kHkeyLocalMachine, kViewKey, 0), byDefault);
  EXPECT_EQ(
      viewSeen(kHkeyLocalMachine, u"software\\wow6432node\\TolvaranContractTest", kKeyWow64_64Key),
      wow);
  // A key opened in one view keeps to it.
  const auto software =
      reg().regOpenKeyEx(kHkeyLocalMachine, u"SOFTWARE", 0, kKeyQueryValue | kKeyEnumerateSubKeys);
  ASSERT_TRUE(software.ok());
  EXPECT_EQ(viewSeen(software.value, u"TolvaranContractTest", kKeyWow64_64Key), byDefault);
  // The 32-bit view of SOFTWARE is the WOW6432Node key itself: it has no
  // WOW6432Node below it.
  const auto below = subKeys(software.value);
  const bool listsWowNode = std::any_of(below.begin(), below.end(), [](const auto& name) {
    return equalsNoCase(name, u"WOW6432Node");
  });
  EXPECT_EQ(listsWowNode, kProcessIs64Bit);
  (void)reg().regCloseKey(software.value);
}

std::vector<const char*> benches() {
#ifdef _WIN32
  return {"sim", "win32"};
#else
  return {"sim"};
#endif
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryContract, ::testing::ValuesIn(benches()),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace tolvaran::platform
