// WOW64 as the simulated machine applies it, the shell's special folders by
// bitness and the clock's time zone: the rules no Wine prefix can be set up
// to show in full (32-bit Windows, XP, every exception folder).
#include <gtest/gtest.h>

#include <array>

#include "platform/scoped_file.h"
#include "platform/sim/sim_machine.h"
#include "support/file_time.h"
#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

OsProfile profile(bool is64BitOs, std::uint32_t pointerSize,
                  WindowsRelease release = WindowsRelease::Windows10) {
  return makeOsProfile(ProfileOptions{
      .release = release, .is64BitOs = is64BitOs, .processPointerSize = pointerSize});
}

// A 64-bit Windows disk where the native and the 32-bit system folders hold
// different files.
void populate(SimFiles& files) {
  ASSERT_TRUE(files.addFile(u"C:\\Windows\\System32\\native.dll", "native"));
  ASSERT_TRUE(files.addFile(u"C:\\Windows\\SysWOW64\\wow.dll", "wow"));
  ASSERT_TRUE(files.addFile(u"C:\\Windows\\SysWOW64\\drivers\\wow.sys", "s"));
  ASSERT_TRUE(files.addFile(u"C:\\Windows\\System32\\drivers\\etc\\hosts", "h"));
  for (const char16_t* folder : {u"catroot", u"catroot2", u"DriverStore", u"LogFiles", u"spool"}) {
    ASSERT_TRUE(files.addFile(std::u16string(u"C:\\Windows\\System32\\") + folder + u"\\x", "x"));
  }
}

struct ViewCase {
  const char* name;
  std::u16string path;
  Win32Code redirected;  // a 32-bit process, redirection on
  Win32Code disabled;    // the same, redirection off
  Win32Code native;      // a 64-bit process
};

void PrintTo(const ViewCase& c, std::ostream* out) {
  *out << c.name;
}

class Wow64View : public ::testing::TestWithParam<ViewCase> {};

TEST_P(Wow64View, AttributesThroughEachView) {
  const ViewCase& c = GetParam();
  SimMachine wow64(profile(true, 4));
  SimMachine native(profile(true, 8));
  populate(wow64.files());
  populate(native.files());

  EXPECT_EQ(wow64.files().getFileAttributes(c.path).code, c.redirected);
  ASSERT_TRUE(wow64.files().disableWow64FsRedirection().ok());
  EXPECT_EQ(wow64.files().getFileAttributes(c.path).code, c.disabled);
  EXPECT_EQ(native.files().getFileAttributes(c.path).code, c.native);
}

constexpr Win32Code kOk = kErrorSuccess;
constexpr Win32Code kNoFile = kErrorFileNotFound;
constexpr Win32Code kNoPath = kErrorPathNotFound;

INSTANTIATE_TEST_SUITE_P(
    Paths, Wow64View,
    ::testing::Values(
        ViewCase{"NativeFile", u"C:\\Windows\\System32\\native.dll", kNoFile, kOk, kOk},
        ViewCase{"WowFile", u"C:\\Windows\\System32\\wow.dll", kOk, kNoFile, kNoFile},
        ViewCase{"OtherSpelling", u"c:/WINDOWS/system32//wow.dll", kOk, kNoFile, kNoFile},
        ViewCase{"LiteralPath", u"\\\\?\\C:\\Windows\\System32\\wow.dll", kOk, kNoFile, kNoFile},
        ViewCase{"DriversIsRedirected", u"C:\\Windows\\System32\\drivers\\wow.sys", kOk, kNoFile,
                 kNoFile},
        ViewCase{"DriversEtcStaysNative", u"C:\\Windows\\System32\\drivers\\etc\\hosts", kOk, kOk,
                 kOk},
        ViewCase{"Catroot", u"C:\\Windows\\System32\\catroot\\x", kOk, kOk, kOk},
        ViewCase{"Catroot2", u"C:\\Windows\\System32\\CATROOT2\\x", kOk, kOk, kOk},
        ViewCase{"DriverStore", u"C:\\Windows\\System32\\driverstore\\x", kOk, kOk, kOk},
        ViewCase{"LogFiles", u"C:\\Windows\\System32\\logfiles\\x", kOk, kOk, kOk},
        ViewCase{"Spool", u"C:\\Windows\\System32\\spool\\x", kOk, kOk, kOk},
        ViewCase{"SysnativeReachesNative", u"C:\\Windows\\Sysnative\\native.dll", kOk, kNoPath,
                 kNoPath},
        ViewCase{"SysnativeIsNotSysWow64", u"C:\\Windows\\sysnative\\wow.dll", kNoFile, kNoPath,
                 kNoPath},
        ViewCase{"SysnativeFolder", u"C:\\Windows\\Sysnative", kOk, kNoFile, kNoFile},
        ViewCase{"SysWow64Direct", u"C:\\Windows\\SysWOW64\\wow.dll", kOk, kOk, kOk},
        ViewCase{"OutsideWindows", u"C:\\System32\\native.dll", kNoPath, kNoPath, kNoPath}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Wow64Test, EveryPathCallGoesThroughTheView) {
  SimMachine machine(profile(true, 4));
  SimFiles& files = machine.files();
  populate(files);
  ASSERT_TRUE(files.addFolder(u"C:\\Temp"));

  // A listing of System32 lists SysWOW64; one of the Windows folder shows no Sysnative.
  auto found = files.findFirstFile(u"C:\\Windows\\System32\\*.dll");
  ASSERT_TRUE(found.ok());
  EXPECT_EQ(found.value.data.name, u"wow.dll");
  EXPECT_EQ(files.findNextFile(found.value.handle).code, kErrorNoMoreFiles);
  (void)files.findClose(found.value.handle);
  EXPECT_EQ(files.listFolder(u"C:\\Windows"),
            (std::vector<std::u16string>{u"System32", u"SysWOW64"}));

  // Writes land in SysWOW64; both paths of a move are redirected.
  const auto created = files.createFile(u"C:\\Windows\\System32\\new.txt", access::kGenericWrite,
                                        share::kNone, Disposition::kCreateNew);
  ASSERT_TRUE(created.ok());
  (void)files.closeHandle(created.value);
  EXPECT_TRUE(files.exists(u"C:\\Windows\\SysWOW64\\new.txt"));
  EXPECT_TRUE(files.createDirectory(u"C:\\Windows\\System32\\dir").ok());
  EXPECT_TRUE(files.exists(u"C:\\Windows\\SysWOW64\\dir"));
  EXPECT_TRUE(files.moveFile(u"C:\\Windows\\System32\\wow.dll", u"C:\\Temp\\moved.dll").ok());
  EXPECT_EQ(files.readFileBytes(u"C:\\Temp\\moved.dll"), "wow");
  EXPECT_TRUE(
      files
          .copyFile(u"C:\\Windows\\Sysnative\\native.dll", u"C:\\Windows\\System32\\copy.dll", true)
          .ok());
  EXPECT_EQ(files.readFileBytes(u"C:\\Windows\\SysWOW64\\copy.dll"), "native");
  EXPECT_TRUE(files.pathFileExists(u"C:\\Windows\\System32\\new.txt").value);
  EXPECT_FALSE(files.shellPathFileExists(u"C:\\Windows\\System32\\native.dll").value);
  // GetFullPathName touches no disk and is never redirected.
  EXPECT_EQ(files.getFullPathName(u"C:\\Windows\\System32\\x").value, u"C:\\Windows\\System32\\x");
}

TEST(Wow64Test, AHandleKeepsTheFileItWasOpenedOn) {
  SimMachine machine(profile(true, 4));
  SimFiles& files = machine.files();
  populate(files);
  auto file = ScopedFile::openForReading(files, u"C:\\Windows\\System32\\wow.dll");
  ASSERT_TRUE(file.valid());
  const auto old = files.disableWow64FsRedirection();
  ASSERT_TRUE(old.ok());
  std::array<std::byte, 8> buffer{};
  const auto read = files.readFile(file.get(), buffer);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), read.value), "wow");
  EXPECT_EQ(files.getFileSize(file.get()).value, 3u);
  EXPECT_TRUE(files.revertWow64FsRedirection(old.value).ok());
}

TEST(Wow64Test, DisableAndRevertCarryTheOldState) {
  SimMachine machine(profile(true, 4));
  SimFiles& files = machine.files();
  const auto first = files.disableWow64FsRedirection();
  const auto second = files.disableWow64FsRedirection();
  ASSERT_TRUE(first.ok() && second.ok());
  EXPECT_EQ(first.value, 0u) << "it was on";
  EXPECT_EQ(second.value, 1u) << "it was off already";
  EXPECT_TRUE(files.revertWow64FsRedirection(second.value).ok());
  EXPECT_TRUE(files.wow64().disabled()) << "reverting the inner switch keeps it off";
  EXPECT_TRUE(files.revertWow64FsRedirection(first.value).ok());
  EXPECT_FALSE(files.wow64().disabled());
}

TEST(Wow64Test, NothingToSwitchOutsideWow64) {
  struct Case {
    const char* name;
    OsProfile os;
    Win32Code code;
  };
  const std::array cases{
      Case{"64-bit process", profile(true, 8), kErrorInvalidFunction},
      Case{"32-bit Windows 7", profile(false, 4, WindowsRelease::Windows7), kErrorInvalidFunction},
      Case{"32-bit XP", profile(false, 4, WindowsRelease::WindowsXP), kErrorCallNotImplemented},
  };
  for (const Case& c : cases) {
    SimMachine machine(c.os);
    SimFiles& files = machine.files();
    ASSERT_TRUE(files.addFile(u"C:\\Windows\\System32\\native.dll", "n"));
    EXPECT_EQ(files.disableWow64FsRedirection().code, c.code) << c.name;
    EXPECT_EQ(files.revertWow64FsRedirection(0).code, c.code) << c.name;
    EXPECT_TRUE(files.getFileAttributes(u"C:\\Windows\\System32\\native.dll").ok()) << c.name;
    EXPECT_EQ(files.exists(u"C:\\Windows\\SysWOW64"), c.os.is64BitOs) << c.name;
  }
}

// --- Special folders ---------------------------------------------------------

TEST(SimSpecialFoldersTest, ProgramFilesFollowTheProcessKind) {
  struct Case {
    const char* name;
    OsProfile os;
    const char16_t* programFiles;
    const char16_t* programFilesX86;
    const char16_t* systemX86;
  };
  const std::array cases{
      Case{"32-bit process on x64", profile(true, 4), u"C:\\Program Files (x86)",
           u"C:\\Program Files (x86)", u"C:\\Windows\\SysWOW64"},
      Case{"64-bit process", profile(true, 8), u"C:\\Program Files", u"C:\\Program Files (x86)",
           u"C:\\Windows\\SysWOW64"},
      Case{"32-bit Windows", profile(false, 4), u"C:\\Program Files", u"C:\\Program Files",
           u"C:\\Windows\\system32"},
  };
  for (const Case& c : cases) {
    SimMachine machine(c.os);
    SimSystem& system = machine.system();
    EXPECT_EQ(system.getSpecialFolderPath(csidl::kProgramFiles).value, c.programFiles) << c.name;
    EXPECT_EQ(system.getSpecialFolderPath(csidl::kProgramFilesX86).value, c.programFilesX86)
        << c.name;
    EXPECT_EQ(system.getSpecialFolderPath(csidl::kSystemX86).value, c.systemX86) << c.name;
    EXPECT_EQ(system.getSpecialFolderPath(csidl::kSystem).value, u"C:\\Windows\\system32")
        << c.name;
  }
}

TEST(SimSpecialFoldersTest, UserFoldersFollowTheEnvironment) {
  SimMachine machine;
  SimSystem& system = machine.system();
  EXPECT_EQ(system.getSpecialFolderPath(csidl::kDesktop).value, u"C:\\Users\\User\\Desktop");
  EXPECT_EQ(
      system.getSpecialFolderPath(csidl::kStartup).value,
      u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");
  EXPECT_EQ(system.getSpecialFolderPath(0x8000 | csidl::kDesktop).value,
            u"C:\\Users\\User\\Desktop")
      << "CSIDL_FLAG_CREATE is ignored";

  ASSERT_TRUE(system.setEnvironmentVariable(u"USERPROFILE", u"D:\\Home").ok());
  EXPECT_EQ(system.getSpecialFolderPath(csidl::kDesktopDirectory).value, u"D:\\Home\\Desktop");
  ASSERT_TRUE(system.deleteEnvironmentVariable(u"USERPROFILE").ok());
  EXPECT_EQ(system.getSpecialFolderPath(csidl::kProfile).code, kHresultFail);

  EXPECT_EQ(system.getSpecialFolderPath(csidl::kControls).code, kHresultFail);
  for (const std::int32_t unknown : {0x3f, 0x80, -1}) {
    const auto answer = system.getSpecialFolderPath(unknown);
    EXPECT_EQ(answer.code, kHresultInvalidArg) << unknown;
    EXPECT_TRUE(answer.value.empty());
  }
}

// --- Time zone ---------------------------------------------------------------

TEST(SimClockZoneTest, LocalTimeMovesFileTimesStay) {
  SimClock clock;
  const std::uint64_t utc = clock.fileTimeNow();
  const SystemTime before = clock.localTime();
  clock.setUtcOffsetMinutes(-300);
  EXPECT_EQ(clock.fileTimeNow(), utc);
  EXPECT_EQ(clock.localTime().hour, (before.hour + 24 - 5) % 24);

  constexpr std::uint64_t kHour = 36'000'000'000ull;
  EXPECT_EQ(clock.fileTimeToLocalFileTime(10 * kHour).value, 5 * kHour);
  EXPECT_EQ(clock.fileTimeToLocalFileTime(0).value, 0 - 5 * kHour) << "wraps, as Windows does";

  // Setting local time keeps UTC = local - offset.
  ASSERT_TRUE(clock.setLocalTime({2026, 7, 0, 1, 2, 0, 0, 0}));
  EXPECT_EQ(fileTimeToSystemTime(clock.fileTimeNow())->hour, 7);
  EXPECT_EQ(clock.localTime().day, 1);
}

}  // namespace
}  // namespace tolvaran::platform::sim
