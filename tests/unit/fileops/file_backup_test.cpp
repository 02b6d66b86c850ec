// The run's backup of every file the cure deletes or rewrites.
#include "fileops/file_backup.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"
#include "support/text.h"

namespace tolvaran {
namespace {

namespace attr = platform::attr;
using platform::sim::FileOp;
using platform::sim::SimMachine;

constexpr std::u16string_view kReport = u"C:\\Tools\\LOG\\Tolvaran-14.03.2026_09-30.log";
constexpr std::u16string_view kFolder = u"C:\\Tools\\LOG\\Backup\\Tolvaran-14.03.2026_09-30";
constexpr std::u16string_view kShortcut = u"C:\\Users\\User\\Desktop\\Google Chrome.lnk";
constexpr std::u16string_view kBackup =
    u"C:\\Tools\\LOG\\Backup\\Tolvaran-14.03.2026_09-30\\C\\Users\\User\\Desktop\\Google "
    u"Chrome.lnk.bak";

struct Rig {
  Rig() {
    machine.files().addFolder(u"C:\\Tools\\LOG");
    machine.files().addFile(kShortcut, "original bytes", attr::kHidden | attr::kReadOnly);
    backup.SetReportLog(kReport);
  }
  SimMachine machine;
  FileBackup backup{machine.files()};
};

TEST(MirroredPathTest, KeepsTheOriginalPathUnderItsVolume) {
  const struct {
    std::u16string_view in;
    std::u16string_view out;
  } cases[] = {
      {u"C:\\Users\\x\\a.lnk", u"C\\Users\\x\\a.lnk"},
      {u"d:\\a.lnk", u"D\\a.lnk"},
      {u"\\\\server\\share\\dir\\a.lnk", u"UNC\\server\\share\\dir\\a.lnk"},
      {u"\\\\?\\C:\\long\\a.lnk", u"C\\long\\a.lnk"},
      {u"\\\\?\\UNC\\server\\share\\a.lnk", u"UNC\\server\\share\\a.lnk"},
      // Nothing that names no file on a volume.
      {u"C:\\", u""},
      {u"C:\\dir\\", u""},
      {u"relative\\a.lnk", u""},
      {u"C:a.lnk", u""},
      {u"\\\\.\\pipe\\x", u""},
      {u"\\\\", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mirroredPath(c.in), c.out) << utf16ToUtf8(c.in);
  }
}

TEST(FileBackupTest, SavesBytesAndExactAttributesBesideTheReport) {
  Rig rig;
  EXPECT_EQ(rig.backup.Folder(), kFolder);
  const BackupResult saved = rig.backup.Save(kShortcut);
  ASSERT_TRUE(saved.ok()) << saved.code;
  EXPECT_EQ(saved.backupPath, kBackup);
  EXPECT_EQ(rig.machine.files().readFileBytes(kBackup), "original bytes");
  EXPECT_EQ(rig.machine.files().attributesOf(kBackup), attr::kHidden | attr::kReadOnly);
  // The original is untouched.
  EXPECT_EQ(rig.machine.files().attributesOf(kShortcut), attr::kHidden | attr::kReadOnly);
}

TEST(FileBackupTest, KeepsTheFirstBackupOfARun) {
  Rig rig;
  ASSERT_TRUE(rig.backup.Save(kShortcut).ok());
  rig.machine.files().addFile(kShortcut, "the cure's own file");
  ASSERT_TRUE(rig.backup.Save(kShortcut).ok());
  EXPECT_EQ(rig.machine.files().readFileBytes(kBackup), "original bytes");
}

TEST(FileBackupTest, SaysWhyNothingWasSaved) {
  Rig rig;
  rig.machine.files().addFolder(u"C:\\Users\\User\\Desktop\\folder.lnk");
  const BackupResult missing = rig.backup.Save(u"C:\\Users\\User\\Desktop\\absent.lnk");
  EXPECT_EQ(missing.code, platform::kErrorFileNotFound);
  EXPECT_TRUE(missing.sourceMissing);
  EXPECT_EQ(rig.backup.Save(u"C:\\Users\\User\\Desktop\\folder.lnk").code,
            platform::kErrorAccessDenied);

  rig.machine.files().faults().failNth(FileOp::kCopyFile, 1, platform::kErrorDiskFull);
  const BackupResult full = rig.backup.Save(kShortcut);
  EXPECT_EQ(full.code, platform::kErrorDiskFull);
  EXPECT_FALSE(full.sourceMissing);
  EXPECT_EQ(rig.machine.files().readFileBytes(kShortcut), "original bytes");

  FileBackup unset(rig.machine.files());
  EXPECT_EQ(unset.Save(kShortcut).code, platform::kErrorPathNotFound);
}

TEST(FileBackupTest, ProvesItsFolderBeforeTheRunAndLeavesNothingBehind) {
  Rig rig;
  EXPECT_EQ(rig.backup.ProveWritable(kReport), platform::kErrorSuccess);
  EXPECT_FALSE(rig.machine.files().exists(kFolder));
  // Another run's originals: the name is taken.
  rig.machine.files().addFolder(kFolder);
  EXPECT_EQ(rig.backup.ProveWritable(kReport), platform::kErrorFileExists);
  // A file where the folder should be, a full disk.
  Rig blocked;
  blocked.machine.files().addFile(u"C:\\Tools\\LOG\\Backup", "x");
  EXPECT_EQ(blocked.backup.ProveWritable(kReport), platform::kErrorAlreadyExists);
  Rig full;
  full.machine.files().faults().failAlways(platform::sim::FileOp::kCreateFile,
                                           platform::kErrorDiskFull);
  EXPECT_EQ(full.backup.ProveWritable(kReport), platform::kErrorDiskFull);
  EXPECT_FALSE(full.machine.files().exists(kFolder));
}

TEST(FileBackupTest, RestorePutsTheFileBackWithItsAttributes) {
  Rig rig;
  ASSERT_TRUE(rig.backup.Save(kShortcut).ok());
  rig.machine.files().addFile(kShortcut, "half-written", attr::kReadOnly);
  EXPECT_EQ(rig.backup.Restore(kShortcut), platform::kErrorSuccess);
  EXPECT_EQ(rig.machine.files().readFileBytes(kShortcut), "original bytes");
  EXPECT_EQ(rig.machine.files().attributesOf(kShortcut), attr::kHidden | attr::kReadOnly);

  // Gone altogether: back as well.
  ASSERT_TRUE(rig.machine.files().setFileAttributes(kShortcut, attr::kNormal).ok());
  ASSERT_TRUE(rig.machine.files().deleteFile(kShortcut).ok());
  EXPECT_EQ(rig.backup.Restore(kShortcut), platform::kErrorSuccess);
  EXPECT_EQ(rig.machine.files().readFileBytes(kShortcut), "original bytes");

  EXPECT_EQ(rig.backup.Restore(u"C:\\Users\\User\\Desktop\\never saved.lnk"),
            platform::kErrorFileNotFound);
}

TEST(FileBackupTest, HandlesPathsBeyondMaxPath) {
  Rig rig;
  std::u16string deep = u"C:\\Users\\User\\Desktop";
  while (deep.size() < 250) deep += u"\\a rather long folder name";
  const std::u16string file = deep + u"\\shortcut.lnk";
  ASSERT_TRUE(rig.machine.files().addFile(file, "deep bytes"));
  const BackupResult saved = rig.backup.Save(file);
  ASSERT_TRUE(saved.ok()) << saved.code;
  EXPECT_GT(saved.backupPath.size(), 260u);
  EXPECT_EQ(rig.machine.files().readFileBytes(saved.backupPath), "deep bytes");

  ASSERT_TRUE(rig.machine.files().deleteFile(extendedLengthPath(file)).ok());
  EXPECT_EQ(rig.backup.Restore(file), platform::kErrorSuccess);
  EXPECT_EQ(rig.machine.files().readFileBytes(file), "deep bytes");
}

}  // namespace
}  // namespace tolvaran
