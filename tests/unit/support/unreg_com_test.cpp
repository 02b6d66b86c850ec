// COM objects from their DLL without registration, over the simulated
// machine's system DLLs: what is loaded and freed when, and the failures
// raised with their numbers and texts.
#include "support/unreg_com.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"
#include "support/failure.h"
#include "support/text.h"

namespace tolvaran {
namespace {

using platform::sim::ModuleOp;

constexpr std::u16string_view kRegExp = u"{3F4DACA4-160D-11D2-A8E9-00104B365C9F}";
constexpr std::u16string_view kScript = u"C:\\Windows\\System32\\vbscript.dll";

struct Rig {
  Rig() { machine.modules().installSystemLibraries(u"C:\\Windows", true); }

  // The failure a creation raises; number 0 when it succeeded.
  Failure failureOf(std::u16string_view dll, std::u16string_view classId) {
    try {
      (void)com.CreateObjectFromDll(dll, classId);
    } catch (const RuntimeError& error) {
      return error.failure();
    }
    return {};
  }
  std::uint32_t references(std::u16string_view dll) {
    return machine.modules().libraryReferences(dll);
  }

  platform::sim::SimMachine machine;
  UnregCOM com{machine.modules()};
};

TEST(ParseGuidTest, OnlyTheBracedTextForm) {
  const auto regExp = parseGuid(kRegExp);
  ASSERT_TRUE(regExp);
  EXPECT_EQ(*regExp, platform::sim::kRegExpClassId);
  EXPECT_EQ(parseGuid(u"{3f4daca4-160d-11d2-a8e9-00104b365c9f}"), regExp);
  for (const std::u16string_view bad :
       {u"3F4DACA4-160D-11D2-A8E9-00104B365C9F", u"{3F4DACA4-160D-11D2-A8E9-00104B365C9F",
        u"{3F4DACA4-160D-11D2-A8E9-00104B365C9G}", u"{3F4DACA4+160D-11D2-A8E9-00104B365C9F}",
        u"{3F4DACA4-160D-11D2-A8E900104B365C9F0}", u"{ 3F4DACA4-160D-11D2-A8E9-00104B365C9}", u"{}",
        u""}) {
    EXPECT_FALSE(parseGuid(bad)) << utf16ToUtf8(bad);
  }
}

TEST(UnregComTest, TheObjectLivesAndItsDllIsFreedWhenUnused) {
  Rig rig;
  EXPECT_FALSE(rig.com.ReleaseDllIfUnused(kScript));  // nothing created yet
  {
    const UnregComObject first = rig.com.CreateObjectFromDll(kScript, kRegExp);
    const UnregComObject second = rig.com.CreateObjectFromDll(kScript, kRegExp);
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
    EXPECT_NE(first.get(), second.get());
    // Loaded once, by the first creation; the factories are already gone.
    EXPECT_EQ(rig.references(kScript), 1u);
    EXPECT_EQ(rig.machine.modules().liveObjects(), 2u);
    EXPECT_FALSE(rig.com.ReleaseDllIfUnused(kScript));
    EXPECT_EQ(rig.references(kScript), 1u);
  }
  EXPECT_EQ(rig.machine.modules().liveObjects(), 0u);
  EXPECT_TRUE(rig.com.ReleaseDllIfUnused(u"c:\\windows\\system32\\VBSCRIPT.DLL"));
  EXPECT_EQ(rig.references(kScript), 0u);
  EXPECT_FALSE(rig.com.ReleaseDllIfUnused(kScript));
}

TEST(UnregComTest, FailuresFreeWhatTheyLoaded) {
  struct Case {
    const char* label;
    std::u16string_view dll;
    std::u16string_view classId;
    std::int32_t number;
    std::u16string description;
  };
  const std::u16string version = u"C:\\Windows\\System32\\version.dll";
  const std::u16string missing = u"C:\\Windows\\System32\\nosuch.dll";
  const Case cases[] = {
      {"no such DLL", missing, kRegExp, 53, u"File not found \"" + missing + u"\""},
      {"no class factory export", version, kRegExp, 453,
       u"Can't find dll entry point DllGetClasesObject in \"" + version + u"\""},
      {"a class the DLL lacks", kScript, u"{00000000-1111-2222-3333-444444444444}",
       static_cast<std::int32_t>(platform::kHresultClassNotAvailable),
       u"Application-defined or object-defined error"},
      {"an identifier that is no identifier", kScript, u"RegExp",
       static_cast<std::int32_t>(0x800401F3u), u"Application-defined or object-defined error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Rig rig;
    const Failure failure = rig.failureOf(c.dll, c.classId);
    EXPECT_EQ(failure.number, c.number);
    EXPECT_EQ(failure.description, c.description);
    EXPECT_EQ(rig.references(c.dll), 0u);
    EXPECT_EQ(rig.machine.modules().liveObjects(), 0u);
  }
}

TEST(UnregComTest, AFailedCreationOfTheObjectReleasesTheFactory) {
  Rig rig;
  rig.machine.modules().faults().failAlways(ModuleOp::kCreateInstance, 0x8007000Eu);
  EXPECT_EQ(static_cast<std::uint32_t>(rig.failureOf(kScript, kRegExp).number), 0x8007000Eu);
  EXPECT_EQ(rig.machine.modules().liveObjects(), 0u);
  EXPECT_EQ(rig.references(kScript), 0u);
}

// A DLL the process had loaded before is used as it is and never freed on
// its owner's behalf.
TEST(UnregComTest, ADllLoadedElsewhereKeepsItsReference) {
  Rig rig;
  ASSERT_TRUE(rig.machine.modules().loadLibrary(kScript).ok());
  EXPECT_NE(rig.failureOf(kScript, u"{00000000-1111-2222-3333-444444444444}").number, 0);
  EXPECT_EQ(rig.references(kScript), 1u);
  { const UnregComObject object = rig.com.CreateObjectFromDll(kScript, kRegExp); }
  EXPECT_FALSE(rig.com.ReleaseDllIfUnused(kScript));
  EXPECT_EQ(rig.references(kScript), 1u);
}

}  // namespace
}  // namespace tolvaran
