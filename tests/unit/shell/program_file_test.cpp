// The program's own file: its path made ordinary, its folder and names, the
// language its name asks for, and the version its resource declares.
#include "shell/program_file.h"

#include <gtest/gtest.h>

#include "shell/file_version.h"
#include "unit/shell/startup_rig.h"

namespace tolvaran {
namespace {

std::string narrow(std::u16string_view text) {
  return utf16ToUtf8(text);
}

TEST(ModulePathTest, KernelPrefixesBecomeOrdinaryPaths) {
  struct Case {
    std::u16string_view path;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {u"C:\\Tools\\Tolvaran.exe", u"C:\\Tools\\Tolvaran.exe"},
      {u"\\SystemRoot\\Temp\\Tolvaran.exe", u"D:\\WINNT\\Temp\\Tolvaran.exe"},
      {u"\\systemroot\\x.exe", u"D:\\WINNT\\x.exe"},
      {u"\\SystemRootX\\x.exe", u"\\SystemRootX\\x.exe"},  // not the prefix: no backslash after it
      {u"\\SystemRoot", u"\\SystemRoot"},
      {u"\\??\\C:\\Tools\\Tolvaran.exe", u"C:\\Tools\\Tolvaran.exe"},
      {u"\\??\\", u""},
      {u"\\\\?\\C:\\Tools\\Tolvaran.exe", u"\\\\?\\C:\\Tools\\Tolvaran.exe"},
      {u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(normaliseModulePath(c.path, u"D:\\WINNT"), c.expected) << narrow(c.path);
  }
}

TEST(ModulePathTest, OnlyAFinalExeIsDropped) {
  struct Case {
    std::u16string_view name;
    std::u16string_view expected;
  };
  const Case cases[] = {
      {u"Tolvaran.exe", u"Tolvaran"},
      {u"Tolvaran_EN.EXE", u"Tolvaran_EN"},
      {u"Tolvaran.scr", u"Tolvaran.scr"},
      {u"Tolvaran.exe.bak", u"Tolvaran.exe.bak"},
      {u".exe", u".exe"},
      {u"a.exe", u"a"},
      {u"Tolvaran", u"Tolvaran"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(exeNameOf(c.name), c.expected) << narrow(c.name);
}

TEST(FileNameLanguageTest, TheFirstCodeFoundAfterTheProgramNameWins) {
  struct Case {
    std::u16string_view name;
    std::uint32_t language;
  };
  const Case cases[] = {
      {u"Tolvaran", 0},       {u"Tolvaran_EN", 1033},
      {u"Tolvaran_ru", 1049}, {u"Tolvaran-Fr", 2060},
      {u"TolvaranDE", 3079},  {u"Tolvaran_DE_RU", 1049},
      {u"Tolvaran (2)", 0},   {u"Enderman", 0},             // too short: the code must follow
      {u"RUsomethi", 0},      {u"Tolvaran_renamed", 1033},  // "en" is anywhere after 8
      {u"Tolvarax_FR", 2060}, {u"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(languageFromFileName(c.name), c.language) << narrow(c.name);
}

TEST(ProgramFileTest, FolderAndNamesComeFromTheModulePath) {
  StartupRig rig;
  rig.machine.system().setModuleFileName(u"\\SystemRoot\\Temp\\Rar$EX01\\Tolvaran_EN.Exe");
  EXPECT_EQ(rig.program.modulePath(), u"C:\\Windows\\Temp\\Rar$EX01\\Tolvaran_EN.Exe");
  EXPECT_EQ(rig.program.AppPath(), u"C:\\Windows\\Temp\\Rar$EX01");
  EXPECT_EQ(rig.program.AppExeName(), u"Tolvaran_EN");
  EXPECT_EQ(rig.program.fileName(), u"Tolvaran_EN.Exe");
  EXPECT_TRUE(rig.recorder.empty());
}

TEST(ProgramFileTest, ThePathIsAskedForOnce) {
  StartupRig rig;
  rig.machine.system().setModuleFileName(u"C:\\Tools\\Tolvaran.exe");
  EXPECT_EQ(rig.program.AppPath(), u"C:\\Tools");
  rig.machine.system().setModuleFileName(u"D:\\Elsewhere\\Other.exe");
  EXPECT_EQ(rig.program.AppPath(), u"C:\\Tools");
  EXPECT_EQ(rig.program.AppExeName(), u"Tolvaran");
}

TEST(FileVersionTest, FourPartsMostSignificantFirst) {
  EXPECT_EQ(versionText({0x00010002, 0x00030004}), u"1.2.3.4");
  EXPECT_EQ(versionText({0xFFFF0000, 0x0000FFFF}), u"65535.0.0.65535");
  EXPECT_EQ(versionText({}), u"0.0.0.0");
}

TEST(FileVersionTest, EmptyForAMissingFileOrOneWithoutAVersion) {
  StartupRig rig;
  auto& modules = rig.machine.modules();
  rig.machine.files().addFile(u"C:\\Tools\\Tolvaran.exe", "MZ");
  rig.machine.files().addFile(u"C:\\Tools\\readme.txt", "text");
  modules.setFileVersion(u"C:\\Tools\\Tolvaran.exe", {0x00010004, 0x00020000});
  EXPECT_EQ(GetFilePropVersion(modules, rig.recorder, u"C:\\Tools\\Tolvaran.exe"), u"1.4.2.0");
  EXPECT_EQ(GetFilePropVersion(modules, rig.recorder, u"C:\\Tools\\readme.txt"), u"");
  EXPECT_EQ(GetFilePropVersion(modules, rig.recorder, u"C:\\Tools\\missing.exe"), u"");
  EXPECT_EQ(GetFilePropVersion(modules, rig.recorder, u"Q:\\nowhere\\x.exe"), u"");
  EXPECT_TRUE(rig.recorder.empty());
}

}  // namespace
}  // namespace tolvaran
