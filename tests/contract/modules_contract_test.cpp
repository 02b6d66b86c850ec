// The modules port: named mutexes, version resources, DLLs loaded by path
// and a COM class made from its DLL without registration, the same on the
// simulated machine and on Windows.
#include "contract/contract_fixture.h"
#include "platform/sim/sim_modules.h"
#include "support/failure.h"
#include "support/text.h"
#include "support/unreg_com.h"

namespace tolvaran::contract {
namespace {

using namespace platform;

constexpr std::u16string_view kRegExpClass = u"{3F4DACA4-160D-11D2-A8E9-00104B365C9F}";

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

TEST_P(ModulesContract, LibrariesByPath) {
  EXPECT_EQ(modules().loadLibrary(at(u"missing.dll")).code, kErrorModNotFound);
  makeFile(u"text.dll", "this is no program image, however long it is written out to be");
  EXPECT_EQ(modules().loadLibrary(at(u"text.dll")).code, kErrorBadExeFormat);
  EXPECT_EQ(modules().getModuleHandle(at(u"missing.dll")).code, kErrorModNotFound);

  const auto kernel = modules().getModuleHandle(u"kernel32.dll");
  ASSERT_TRUE(kernel.ok()) << kernel.code;
  EXPECT_EQ(modules().getModuleHandle(systemFile(u"kernel32.dll")).value, kernel.value);
  EXPECT_TRUE(modules().getProcAddress(kernel.value, "LoadLibraryW").ok());
  EXPECT_EQ(modules().getProcAddress(kernel.value, "NoSuchExportAnywhere").code,
            kErrorProcNotFound);

  // A second load is the same module with one more reference.
  const std::u16string script = systemFile(u"vbscript.dll");
  const auto first = modules().loadLibrary(script);
  ASSERT_TRUE(first.ok()) << first.code;
  const auto second = modules().loadLibrary(script);
  EXPECT_EQ(second.value, first.value);
  EXPECT_EQ(modules().getModuleHandle(script).value, first.value);
  EXPECT_TRUE(modules().freeLibrary(second.value).ok());
  EXPECT_TRUE(modules().freeLibrary(first.value).ok());
}

// The script library's regular-expression class, straight from its DLL.
TEST_P(ModulesContract, AClassFromItsDllWithoutRegistration) {
  const auto library = modules().loadLibrary(systemFile(u"vbscript.dll"));
  ASSERT_TRUE(library.ok()) << library.code;
  const auto entry = modules().getProcAddress(library.value, "DllGetClassObject");
  ASSERT_TRUE(entry.ok()) << entry.code;
  const Guid regExp = *parseGuid(kRegExpClass);

  const auto unknownClass = modules().callDllGetClassObject(
      entry.value, *parseGuid(u"{01234567-89AB-CDEF-0123-456789ABCDEF}"), iid::kClassFactory);
  EXPECT_EQ(unknownClass.code, kHresultClassNotAvailable);
  EXPECT_EQ(unknownClass.value, 0u);

  const auto factory = modules().callDllGetClassObject(entry.value, regExp, iid::kClassFactory);
  ASSERT_EQ(factory.code, kHresultOk);
  ASSERT_NE(factory.value, 0u);
  const auto notOffered = modules().createInstance(factory.value, iid::kClassFactory);
  EXPECT_EQ(notOffered.code, kHresultNoInterface);
  const auto object = modules().createInstance(factory.value, iid::kUnknown);
  ASSERT_EQ(object.code, kHresultOk);
  ASSERT_NE(object.value, 0u);
  const auto dispatch = modules().queryInterface(object.value, iid::kDispatch);
  EXPECT_EQ(dispatch.code, kHresultOk);
  const auto regExpInterface = modules().queryInterface(object.value, sim::kRegExpInterfaceId);
  EXPECT_EQ(regExpInterface.code, kHresultOk);

  for (const ComInterface pointer :
       {regExpInterface.value, dispatch.value, object.value, factory.value}) {
    if (pointer != 0) (void)modules().release(pointer);
  }
  const auto canUnload = modules().getProcAddress(library.value, "DllCanUnloadNow");
  ASSERT_TRUE(canUnload.ok()) << canUnload.code;
  const Win32Code answer = modules().callDllCanUnloadNow(canUnload.value).code;
  EXPECT_TRUE(modules().freeLibrary(library.value).ok());
  EXPECT_TRUE(answer == kHresultOk || answer == kHresultFalse) << answer;
  if (answer != kHresultOk) TOLVARAN_SKIP_ON_WINE("the script library never agrees to be unloaded");
  EXPECT_EQ(answer, kHresultOk);
}

TEST_P(ModulesContract, UnregisteredCreationAndItsFailures) {
  UnregCOM com(modules());
  EXPECT_FALSE(com.ReleaseDllIfUnused(systemFile(u"vbscript.dll")));
  {
    const UnregComObject regExp =
        com.CreateObjectFromDll(systemFile(u"vbscript.dll"), kRegExpClass);
    EXPECT_TRUE(regExp);
    EXPECT_FALSE(com.ReleaseDllIfUnused(systemFile(u"vbscript.dll")));
  }
  const bool released = com.ReleaseDllIfUnused(systemFile(u"vbscript.dll"));

  const auto failure = [&](std::u16string_view dll, std::u16string_view classId) {
    try {
      (void)com.CreateObjectFromDll(dll, classId);
    } catch (const RuntimeError& error) {
      return error.failure();
    }
    return Failure{};
  };
  const std::u16string missing = at(u"missing.dll");
  const Failure notLoaded = failure(missing, kRegExpClass);
  EXPECT_EQ(notLoaded.number, 53);
  EXPECT_EQ(notLoaded.description, u"File not found \"" + missing + u"\"");
  const std::u16string version = systemFile(u"version.dll");
  const Failure noEntry = failure(version, kRegExpClass);
  EXPECT_EQ(noEntry.number, 453);
  EXPECT_EQ(noEntry.description,
            u"Can't find dll entry point DllGetClasesObject in \"" + version + u"\"");
  const Failure noClass =
      failure(systemFile(u"vbscript.dll"), u"{01234567-89AB-CDEF-0123-456789ABCDEF}");
  EXPECT_EQ(static_cast<Win32Code>(noClass.number), kHresultClassNotAvailable);

  if (!released) TOLVARAN_SKIP_ON_WINE("the script library never agrees to be unloaded");
  EXPECT_TRUE(released);
}

INSTANTIATE_TEST_SUITE_P(Ports, ModulesContract, ::testing::ValuesIn(implementations()),
                         implementationName);

}  // namespace
}  // namespace tolvaran::contract
