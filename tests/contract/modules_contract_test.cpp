// The modules port: named mutexes and version resources, the same on the
// simulated machine and on Windows.
#include "contract/contract_fixture.h"

namespace tolvaran::contract {
namespace {

using namespace platform;

class ModulesContract : public ContractTest, public ::testing::WithParamInterface<Implementation> {
 protected:
  void SetUp() override { start(GetParam()); }

  std::u16string systemFile(std::u16string_view name) {
    return system().getWindowsDirectory().value + u"\\System32\\" + std::u16string(name);
  }
  // A name no other test or process uses.
  std::u16string uniqueName() {
    return u"tolvaran-contract-" + scratch().substr(scratch().rfind(u'\\') + 1);
  }
};

TEST_P(ModulesContract, AMutexNameIsSharedUntilItsLastHandleCloses) {
  const std::u16string name = uniqueName();
  const auto first = modules().createMutex(name, true);
  ASSERT_EQ(first.code, kErrorSuccess);
  ASSERT_NE(first.value, kNoHandle);
  const auto second = modules().createMutex(name, false);
  EXPECT_EQ(second.code, kErrorAlreadyExists);
  ASSERT_NE(second.value, kNoHandle);
  EXPECT_TRUE(modules().closeMutex(first.value).ok());
  EXPECT_TRUE(modules().closeMutex(second.value).ok());

  const auto again = modules().createMutex(name, true);
  EXPECT_EQ(again.code, kErrorSuccess);
  EXPECT_TRUE(modules().closeMutex(again.value).ok());

  // Without a name nothing is shared.
  const auto a = modules().createMutex(u"", false);
  const auto b = modules().createMutex(u"", false);
  EXPECT_EQ(a.code, kErrorSuccess);
  EXPECT_EQ(b.code, kErrorSuccess);
  EXPECT_TRUE(modules().closeMutex(a.value).ok());
  EXPECT_TRUE(modules().closeMutex(b.value).ok());
}

TEST_P(ModulesContract, FileVersions) {
  const auto kernel = modules().getFileVersion(systemFile(u"kernel32.dll"));
  ASSERT_TRUE(kernel.ok()) << kernel.code;
  const std::uint32_t major = kernel.value.mostSignificant >> 16;
  EXPECT_GE(major, 5u);
  EXPECT_LE(major, 10u);

  EXPECT_EQ(modules().getFileVersion(at(u"missing.exe")).code, kErrorFileNotFound);
  EXPECT_EQ(modules().getFileVersion(at(u"no folder\\missing.exe")).code, kErrorPathNotFound);
  makeFile(u"readme.txt", "no resources here");
  const auto text = modules().getFileVersion(at(u"readme.txt"));
  EXPECT_FALSE(text.ok());
  EXPECT_EQ(text.value, FileVersion{});
}

INSTANTIATE_TEST_SUITE_P(Ports, ModulesContract, ::testing::ValuesIn(implementations()),
                         implementationName);

}  // namespace
}  // namespace tolvaran::contract
