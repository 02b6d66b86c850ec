// The folders start-up finds, on the systems the program runs on.
#include "shell/program_folders.h"

#include <gtest/gtest.h>

#include "unit/shell/startup_rig.h"

namespace tolvaran {
namespace {

using platform::sim::WindowsRelease;

struct Folders {
  StartupRig rig;
  clsRegistry registry{rig.machine.registry(), rig.machine.system(), rig.recorder};
  clsOSInfo os{rig.machine.osInfo(), rig.machine.registry(), rig.recorder};

  explicit Folders(platform::sim::OsProfile profile) : rig(std::move(profile)) {}

  ProgramFolders find() { return InitVariables(rig.machine.system(), registry, os, rig.recorder); }
  void setEnvironment(std::u16string_view name, std::u16string_view value) {
    (void)rig.machine.system().setEnvironmentVariable(name, value);
  }
  void setTempValue(std::u16string_view value, std::uint32_t type) {
    rig.machine.registry().setString(u"HKEY_CURRENT_USER\\Environment", u"TEMP", value, type);
  }
};

TEST(ProgramFoldersTest, The32BitBuildOnWindows10x64) {
  Folders f(startupProfile(WindowsRelease::Windows10, true));
  f.setTempValue(u"%USERPROFILE%\\AppData\\Local\\Temp", platform::kRegExpandSz);
  const ProgramFolders folders = f.find();
  EXPECT_TRUE(folders.bIsWin64);
  EXPECT_EQ(folders.SysRoot, u"C:\\Windows");
  EXPECT_EQ(folders.SysDrive, u"C:");
  EXPECT_EQ(folders.Sys32, u"C:\\Windows\\System32");
  EXPECT_EQ(folders.SysWow64, u"C:\\Windows\\SysWow64");
  EXPECT_EQ(folders.PF32, u"C:\\Program Files (x86)");
  EXPECT_EQ(folders.PF64, u"C:\\Program Files");
  EXPECT_EQ(folders.AppDataDir, u"C:\\Users\\User\\AppData\\Roaming");
  EXPECT_EQ(folders.LocalAppDataDir, u"C:\\Users\\User\\AppData\\Local");
  EXPECT_EQ(folders.DesktopDir, u"C:\\Users\\User\\Desktop");
  EXPECT_EQ(folders.UserProfileDir, u"C:\\Users\\User");
  EXPECT_EQ(folders.TempDir, u"C:\\Users\\User\\AppData\\Local\\Temp");
  EXPECT_EQ(folders.SettingsPath, u"C:\\Users\\User\\AppData\\Local\\Temp\\Tolvaran.ini");
  EXPECT_TRUE(f.rig.recorder.empty());
}

// Both builds must find the same folders: the 64-bit one sees the native
// folder as %ProgramFiles%.
TEST(ProgramFoldersTest, The64BitBuildFindsTheSameProgramFolders) {
  Folders f(startupProfile(WindowsRelease::Windows10, true, true, 8));
  const ProgramFolders folders = f.find();
  EXPECT_EQ(folders.PF32, u"C:\\Program Files (x86)");
  EXPECT_EQ(folders.PF64, u"C:\\Program Files");
  EXPECT_TRUE(folders.bIsWin64);
}

TEST(ProgramFoldersTest, VistaX64HasNoProgramW6432) {
  Folders f(startupProfile(WindowsRelease::WindowsVista, true));
  (void)f.rig.machine.system().deleteEnvironmentVariable(u"ProgramW6432");
  f.setEnvironment(u"SystemDrive", u"D:");
  const ProgramFolders folders = f.find();
  // The drive comes from the Windows folder, not from the variable.
  EXPECT_EQ(folders.PF64, u"C:\\Program Files");
  EXPECT_EQ(folders.PF32, u"C:\\Program Files (x86)");
}

TEST(ProgramFoldersTest, WindowsXpOn32Bits) {
  Folders f(startupProfile(WindowsRelease::WindowsXP, true, false));
  f.setEnvironment(u"USERPROFILE", u"C:\\Documents and Settings\\User");
  f.setEnvironment(u"APPDATA", u"C:\\Documents and Settings\\User\\Application Data");
  (void)f.rig.machine.system().deleteEnvironmentVariable(u"LOCALAPPDATA");
  f.rig.machine.system().setWindowsDirectory(u"C:\\WINDOWS");
  const ProgramFolders folders = f.find();
  EXPECT_FALSE(folders.bIsWin64);
  EXPECT_EQ(folders.Sys32, u"C:\\WINDOWS\\System32");
  EXPECT_EQ(folders.PF32, u"C:\\Program Files");
  EXPECT_EQ(folders.PF64, folders.PF32);
  EXPECT_EQ(folders.LocalAppDataDir, folders.AppDataDir);
  EXPECT_EQ(folders.DesktopDir, u"C:\\Documents and Settings\\User\\Desktop");
  // No registry value: the profile's own temporary folder of that system.
  EXPECT_EQ(folders.TempDir, u"C:\\Documents and Settings\\User\\Local Settings\\Temp");
}

TEST(ProgramFoldersTest, TheTemporaryFolderValue) {
  struct Case {
    const char* label;
    std::u16string_view value;  // empty: no value at all
    std::uint32_t type;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {"expandable", u"%USERPROFILE%\\Temp", platform::kRegExpandSz, u"C:\\Users\\User\\Temp"},
      {"plain text with a reference", u"%USERPROFILE%\\Temp", platform::kRegSz,
       u"C:\\Users\\User\\Temp"},
      {"a trailing backslash", u"D:\\Scratch\\", platform::kRegSz, u"D:\\Scratch"},
      {"a drive root", u"D:\\", platform::kRegSz, u"D:"},
      {"an empty value", u"", platform::kRegSz, u"C:\\Users\\User\\AppData\\Local\\Temp"},
      {"an unknown reference", u"%NOSUCH%\\Temp", platform::kRegExpandSz, u"%NOSUCH%\\Temp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Folders f(startupProfile(WindowsRelease::Windows7, false));
    f.setTempValue(c.value, c.type);
    const ProgramFolders folders = f.find();
    EXPECT_EQ(folders.TempDir, c.expected);
    EXPECT_EQ(folders.SettingsPath, std::u16string(c.expected) + u"\\Tolvaran.ini");
  }
}

TEST(ProgramFoldersTest, WithoutTheRegistryValueTheProfileFolderIsUsed) {
  Folders f(startupProfile(WindowsRelease::Windows7, false));
  f.setEnvironment(u"USERPROFILE", u"E:\\Profiles\\Ann");
  EXPECT_EQ(f.find().TempDir, u"E:\\Profiles\\Ann\\AppData\\Local\\Temp");
}

}  // namespace
}  // namespace tolvaran
