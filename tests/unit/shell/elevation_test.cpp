// The offer to restart with administrator rights, and the single-instance
// guard it lets go of and takes back.
#include "shell/elevation.h"

#include <gtest/gtest.h>

#include "unit/shell/startup_rig.h"

namespace tolvaran {
namespace {

using platform::sim::WindowsRelease;

constexpr std::u16string_view kProgram = u"C:\\Tools\\Tolvaran.exe";
constexpr std::u16string_view kArguments = u"-EN \"C:\\Users\\User\\Desktop\\list.txt\"";
constexpr platform::WindowHandle kOwner = 0x10042;

// The shell's "runas": on the XP family the copy it starts shows up among
// the processes only when `copyStarts`.
class RunAsShell final : public platform::ShellOperations {
 public:
  RunAsShell(platform::sim::SimMachine& machine, bool copyStarts)
      : machine_(machine), copyStarts_(copyStarts) {}
  platform::ShellFileOperationResult fileOperation(
      const platform::ShellFileOperation& op) override {
    return machine_.shellOps().fileOperation(op);
  }
  void changeNotify(std::int32_t event, std::uint32_t flags, std::u16string_view path,
                    std::u16string_view second) override {
    machine_.shellOps().changeNotify(event, flags, path, second);
  }
  platform::Status shellExecuteEx(const platform::ShellExecuteRequest& request) override {
    if (copyStarts_) (void)machine_.processes().addProcess(u"Tolvaran.exe", request.file);
    return machine_.shellOps().shellExecuteEx(request);
  }
  platform::Result<std::vector<std::u16string>> commandLineToArgv(
      std::u16string_view line) override {
    return machine_.shellOps().commandLineToArgv(line);
  }

 private:
  platform::sim::SimMachine& machine_;
  bool copyStarts_;
};

struct ElevationRig : StartupRig {
  explicit ElevationRig(platform::sim::OsProfile os) : StartupRig(std::move(os)) {
    placeProgram(std::u16string(kProgram));
    (void)instance.create();
  }

  Elevation check(platform::ShellOperations* shell = nullptr) {
    return CheckAdmin(parts(shell), os, files, kArguments, kOwner);
  }

  clsOSInfo os{machine.osInfo(), machine.registry(), recorder};
  platform::Ports simPorts = machine.ports();
  SavedFsRedirection saved;
  modFile files{simPorts, recorder, saved, true};
};

TEST(CheckAdminTest, AnElevatedProgramIsNotAsked) {
  for (const auto release : {WindowsRelease::WindowsXP, WindowsRelease::Windows10}) {
    ElevationRig rig(startupProfile(release, true));
    EXPECT_EQ(rig.check(), Elevation::kAlreadyElevated);
    EXPECT_TRUE(rig.machine.ui().messages().empty());
  }
}

TEST(CheckAdminTest, DeclinedTheProgramGoesOnAsTheOneInstance) {
  ElevationRig rig(startupProfile(WindowsRelease::Windows7, false));
  rig.machine.ui().queueAnswer(platform::id::kNo);
  EXPECT_EQ(rig.check(), Elevation::kDeclined);
  ASSERT_EQ(rig.machine.ui().messages().size(), 1u);
  EXPECT_EQ(rig.machine.ui().messages()[0].text, rig.messages[Msg::kAskElevate]);
  EXPECT_EQ(rig.machine.ui().messages()[0].type, 52u);
  EXPECT_TRUE(rig.machine.shellOps().executed().empty());
  EXPECT_TRUE(rig.instance.held());
}

TEST(CheckAdminTest, AcceptedTheProgramRestartsElevatedWithItsArguments) {
  ElevationRig rig(startupProfile(WindowsRelease::Windows7, false));
  rig.machine.system().setModuleFileName(u"\\??\\C:\\Tools\\Tolvaran.bin");
  rig.machine.files().addFile(u"C:\\Tools\\Tolvaran.bin", "MZ");
  rig.machine.ui().queueAnswer(platform::id::kYes);
  EXPECT_EQ(rig.check(), Elevation::kRelaunched);
  const auto& executed = rig.machine.shellOps().executed();
  ASSERT_EQ(executed.size(), 1u);
  EXPECT_EQ(executed[0].verb, u"runas");
  // The real file, also when it is not named ".exe".
  EXPECT_EQ(executed[0].file, u"C:\\Tools\\Tolvaran.bin");
  EXPECT_EQ(executed[0].parameters, kArguments);
  EXPECT_EQ(executed[0].window, kOwner);
  // The new copy must not find the mutex taken.
  EXPECT_FALSE(rig.instance.held());
  EXPECT_EQ(rig.machine.modules().openMutexHandles(), 0u);
}

// The user cancelled the system's prompt, or the copy could not start.
TEST(CheckAdminTest, ARelaunchThatFailsLeavesThisCopyRunning) {
  for (const auto code : {platform::kErrorCancelled, platform::kErrorAccessDenied}) {
    ElevationRig rig(startupProfile(WindowsRelease::Windows10, false));
    rig.machine.shellOps().faults().failAlways(platform::sim::ShellOp::kShellExecuteEx, code);
    rig.machine.ui().queueAnswer(platform::id::kYes);
    EXPECT_EQ(rig.check(), Elevation::kRelaunchFailed);
    EXPECT_TRUE(rig.instance.held());
    EXPECT_EQ(rig.machine.ui().messages().size(), 1u);
  }
}

TEST(CheckAdminTest, OnXpTheNewCopyIsLookedForASecondLater) {
  ElevationRig rig(startupProfile(WindowsRelease::WindowsXP, false, false));
  RunAsShell shell(rig.machine, true);
  rig.machine.ui().queueAnswer(platform::id::kYes);
  EXPECT_EQ(rig.check(&shell), Elevation::kRelaunched);
  EXPECT_EQ(rig.machine.ui().messages().at(0).text, rig.messages[Msg::kAskRunAsAdminUser]);
  EXPECT_EQ(rig.shown(Msg::kRelaunchFailed), 0u);
  EXPECT_EQ(rig.machine.clock().totalSlept(), 1000u);
}

// A copy the user allowed earlier must not make the new one look missing,
// nor hide that it is.
TEST(CheckAdminTest, OnXpTheCountMustGoUpWhateverRanBefore) {
  struct Case {
    bool copyStarts;
    Elevation outcome;
  };
  for (const Case c :
       {Case{true, Elevation::kRelaunched}, Case{false, Elevation::kNeedsAdministrator}}) {
    ElevationRig rig(startupProfile(WindowsRelease::WindowsXP, false, false));
    (void)rig.machine.processes().addProcess(u"Tolvaran.exe", std::u16string(kProgram));
    RunAsShell shell(rig.machine, c.copyStarts);
    rig.machine.ui().queueAnswer(platform::id::kYes);
    EXPECT_EQ(rig.check(&shell), c.outcome);
    EXPECT_EQ(rig.shown(Msg::kRelaunchFailed), c.copyStarts ? 0u : 1u);
    EXPECT_FALSE(rig.instance.held());
  }
}

TEST(SingleInstanceTest, ASecondCopyAsks) {
  struct Case {
    bool otherCopy;
    int answer;
    InstanceCheck outcome;
  };
  const Case cases[] = {
      {false, platform::id::kNo, InstanceCheck::kOnlyCopy},
      {true, platform::id::kYes, InstanceCheck::kSecondAllowed},
      {true, platform::id::kNo, InstanceCheck::kSecondRefused},
  };
  for (const Case& c : cases) {
    StartupRig rig;
    if (c.otherCopy) rig.machine.modules().holdMutexElsewhere(std::u16string(kSingleInstanceMutex));
    rig.machine.ui().queueAnswer(c.answer);
    EXPECT_EQ(checkSingleInstance(rig.instance, rig.machine.ui(), rig.messages), c.outcome);
    EXPECT_EQ(rig.shown(Msg::kSecondCopy), c.otherCopy ? 1u : 0u);
    EXPECT_TRUE(rig.instance.held());
  }
}

TEST(SingleInstanceTest, TheGuardIsLetGoOfAndTakenBack) {
  StartupRig rig;
  const std::u16string name(kSingleInstanceMutex);
  {
    SingleInstance first(rig.machine.modules());
    EXPECT_FALSE(first.create());
    SingleInstance second(rig.machine.modules());
    EXPECT_TRUE(second.create());
    first.close();
    second.close();
    EXPECT_FALSE(rig.machine.modules().mutexExists(name));
    EXPECT_FALSE(first.create());
    EXPECT_FALSE(first.create());  // taking it again replaces the old handle
    EXPECT_EQ(rig.machine.modules().openMutexHandles(), 1u);
  }
  EXPECT_FALSE(rig.machine.modules().mutexExists(name));
}

}  // namespace
}  // namespace tolvaran
