// What the contract tests cannot reach: the simulation's own controls (fault
// plan, journal, volumes and shares) and the rules no real machine can be
// set up for in a test (relative paths, missing drives, hostile offsets).
#include <gtest/gtest.h>

#include <array>

#include "platform/scoped_file.h"
#include "platform/sim/sim_machine.h"

namespace tolvaran::platform::sim {
namespace {

std::span<const std::byte> bytes(std::string_view text) {
  return std::as_bytes(std::span(text));
}

class SimFilesTest : public ::testing::Test {
 protected:
  SimMachine machine;
  SimFiles& files = machine.files();
};

TEST_F(SimFilesTest, FaultOnTheNthCallOnly) {
  ASSERT_TRUE(files.addFile(u"C:\\a.txt", "a"));
  files.faults().failNth(FileOp::kDeleteFile, 2, kErrorAccessDenied);
  EXPECT_EQ(files.deleteFile(u"C:\\none.txt").code, kErrorFileNotFound);  // call 1
  EXPECT_EQ(files.deleteFile(u"C:\\a.txt").code, kErrorAccessDenied);     // call 2: faulted
  EXPECT_TRUE(files.exists(u"C:\\a.txt")) << "a faulted call changes nothing";
  EXPECT_EQ(files.deleteFile(u"C:\\a.txt").code, kErrorSuccess);  // call 3
}

TEST_F(SimFilesTest, PersistentFaultForOnePathUntilCleared) {
  ASSERT_TRUE(files.addFile(u"C:\\dir\\locked.lnk", "l"));
  ASSERT_TRUE(files.addFile(u"C:\\dir\\free.lnk", "f"));
  files.faults().failAlways(FileOp::kDeleteFile, kErrorAccessDenied, u"C:\\DIR\\Locked.lnk");
  EXPECT_EQ(files.deleteFile(u"c:/dir/locked.lnk").code, kErrorAccessDenied);
  EXPECT_EQ(files.deleteFile(u"C:\\dir\\locked.lnk").code, kErrorAccessDenied);
  EXPECT_EQ(files.deleteFile(u"C:\\dir\\free.lnk").code, kErrorSuccess);
  files.faults().clearPath(u"C:\\dir\\locked.lnk");
  EXPECT_EQ(files.deleteFile(u"C:\\dir\\locked.lnk").code, kErrorSuccess);
}

TEST_F(SimFilesTest, HandleCallsAreFaultedByTheirFilesPath) {
  ASSERT_TRUE(files.addFile(u"C:\\a.txt", "abc"));
  files.faults().failNth(FileOp::kReadFile, 1, kErrorLockViolation, false, u"C:\\a.txt");
  auto file = ScopedFile::openForReading(files, u"C:\\a.txt");
  std::array<std::byte, 8> buffer{};
  EXPECT_EQ(files.readFile(file.get(), buffer).code, kErrorLockViolation);
  EXPECT_EQ(files.readFile(file.get(), buffer).value, 3u);
}

TEST_F(SimFilesTest, JournalRecordsEveryCall) {
  ASSERT_TRUE(files.addFile(u"C:\\a.txt", "a"));
  files.faults().failNth(FileOp::kGetFileAttributes, 1, kErrorNotReady);
  EXPECT_EQ(files.getFileAttributes(u"C:\\a.txt").value, kInvalidFileAttributes);
  (void)files.moveFile(u"C:\\a.txt", u"C:\\b.txt");
  const auto opened = files.createFile(u"C:\\b.txt", access::kGenericRead, share::kRead,
                                       Disposition::kOpenExisting);
  (void)files.closeHandle(opened.value);
  (void)files.closeHandle(opened.value);

  const auto& journal = files.journal();
  ASSERT_EQ(journal.size(), 5u);
  EXPECT_EQ(journal[0].op, FileOp::kGetFileAttributes);
  EXPECT_EQ(journal[0].code, kErrorNotReady);
  EXPECT_EQ(journal[1].op, FileOp::kMoveFile);
  EXPECT_EQ(journal[1].path, u"C:\\a.txt");
  EXPECT_EQ(journal[1].otherPath, u"C:\\b.txt");
  EXPECT_EQ(journal[3].op, FileOp::kCloseHandle);
  EXPECT_EQ(journal[3].path, u"C:\\b.txt");
  EXPECT_EQ(journal[4].code, kErrorInvalidHandle);
  EXPECT_EQ(journal[4].path, u"") << "a closed handle has no path left";
}

TEST_F(SimFilesTest, VolumesAndShares) {
  EXPECT_EQ(files.getFileAttributes(u"D:\\x").code, kErrorPathNotFound);
  EXPECT_TRUE(files.addVolume(u"D:"));
  EXPECT_FALSE(files.addVolume(u"d:\\")) << "already there";
  EXPECT_FALSE(files.addVolume(u"D:\\dir"));
  ASSERT_TRUE(files.addFile(u"d:\\x", "x"));
  EXPECT_TRUE(files.getFileAttributes(u"D:\\X").ok());

  EXPECT_TRUE(files.addVolume(u"\\\\Server\\Share"));
  ASSERT_TRUE(files.addFile(u"\\\\server\\share\\dir\\f.txt", "f"));
  EXPECT_TRUE(files.getFileAttributes(u"\\\\SERVER\\SHARE\\dir\\f.txt").ok());
  EXPECT_TRUE(files.getFileAttributes(u"\\\\?\\UNC\\server\\share\\dir\\f.txt").ok());
  EXPECT_EQ(files.getFileAttributes(u"\\\\server\\other\\f.txt").code, 67u);
  EXPECT_EQ(files.getFileAttributes(u"\\\\nobody\\share\\f.txt").code, kErrorBadNetPath);
  EXPECT_EQ(files.getFileAttributes(u"\\\\server").code, kErrorInvalidName);
  EXPECT_EQ(files.getFileAttributes(u"\\\\.\\C:\\x").code, kErrorInvalidName);
}

TEST_F(SimFilesTest, RelativePathsStartAtTheRootOfC) {
  ASSERT_TRUE(files.addFile(u"C:\\dir\\f.txt", "f"));
  for (const char16_t* path :
       {u"dir\\f.txt", u"\\dir\\f.txt", u"C:dir\\f.txt", u".\\dir\\f.txt", u"..\\..\\dir\\f.txt"}) {
    EXPECT_TRUE(files.getFileAttributes(path).ok()) << static_cast<int>(path[0]);
  }
  EXPECT_NE(files.getFileAttributes(u"C:").value & attr::kDirectory, 0u);
  EXPECT_EQ(files.getFullPathName(u"dir\\x\\..\\f.txt").value, u"C:\\dir\\f.txt");
  EXPECT_EQ(files.getFullPathName(u"\\\\?\\C:\\a\\..\\b.").value, u"\\\\?\\C:\\a\\..\\b.");
}

TEST_F(SimFilesTest, DeletePendingUntilTheLastHandleCloses) {
  ASSERT_TRUE(files.addFile(u"C:\\a.txt", "a"));
  const auto first = files.createFile(u"C:\\a.txt", access::kGenericRead,
                                      share::kRead | share::kDelete, Disposition::kOpenExisting);
  ASSERT_TRUE(first.ok());
  EXPECT_TRUE(files.deleteFile(u"C:\\a.txt").ok());
  EXPECT_TRUE(files.exists(u"C:\\a.txt"));
  EXPECT_EQ(files.getFileAttributes(u"C:\\a.txt").code, kErrorAccessDenied);
  EXPECT_EQ(files
                .createFile(u"C:\\a.txt", access::kGenericRead, share::kRead | share::kDelete,
                            Disposition::kOpenExisting)
                .code,
            kErrorAccessDenied);
  std::array<std::byte, 4> buffer{};
  EXPECT_EQ(files.readFile(first.value, buffer).value, 1u) << "the open handle still reads";
  EXPECT_TRUE(files.closeHandle(first.value).ok());
  EXPECT_FALSE(files.exists(u"C:\\a.txt"));
  EXPECT_EQ(files.openHandleCount(), 0u);
}

TEST_F(SimFilesTest, HostileOffsetsFailWithoutAllocating) {
  const auto opened =
      files.createFile(u"C:\\a.bin", access::kGenericWrite, share::kNone, Disposition::kCreateNew);
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(files.seekFile(opened.value, ~0ull).code, 131u);
  EXPECT_TRUE(files.seekFile(opened.value, 1ull << 62).ok());
  EXPECT_EQ(files.writeFile(opened.value, bytes("x")).code, kErrorDiskFull);
  EXPECT_EQ(files.getFileSize(opened.value).value, 0u);
  EXPECT_TRUE(files.closeHandle(opened.value).ok());
}

TEST_F(SimFilesTest, TimesComeFromTheClock) {
  ASSERT_TRUE(files.createDirectory(u"C:\\dir").ok());
  const std::uint64_t created = machine.clock().fileTimeNow();
  EXPECT_EQ(files.timesOf(u"C:\\dir")->creation, created);
  const auto opened = files.createFile(u"C:\\dir\\a.txt", access::kGenericWrite, share::kNone,
                                       Disposition::kCreateNew);
  machine.clock().sleep(2000);
  ASSERT_TRUE(files.writeFile(opened.value, bytes("abc")).ok());
  const auto times = files.getFileTime(opened.value);
  EXPECT_EQ(times.value.creation, created);
  EXPECT_EQ(times.value.lastWrite, created + 2000 * 10'000);
  EXPECT_TRUE(files.closeHandle(opened.value).ok());
}

TEST_F(SimFilesTest, MovesBetweenVolumes) {
  ASSERT_TRUE(files.addVolume(u"D:"));
  ASSERT_TRUE(files.addFile(u"C:\\dir\\a.txt", "a"));
  EXPECT_EQ(files.moveFile(u"C:\\dir", u"D:\\dir").code, kErrorNotSameDevice);
  EXPECT_EQ(files.moveFile(u"C:\\dir", u"C:\\dir\\inner").code, kErrorAccessDenied);
  EXPECT_TRUE(files.moveFile(u"C:\\dir\\a.txt", u"D:\\a.txt").ok());
  EXPECT_EQ(files.readFileBytes(u"D:\\a.txt"), "a");
}

TEST_F(SimFilesTest, SetUpHelpers) {
  EXPECT_TRUE(files.addFile(u"C:\\x\\y\\z.txt", "z", attr::kHidden | attr::kReadOnly));
  EXPECT_EQ(files.attributesOf(u"C:\\x\\y\\z.txt"), attr::kHidden | attr::kReadOnly);
  EXPECT_FALSE(files.addFile(u"C:\\x\\y\\z.txt\\w.txt", "")) << "a file is in the way";
  EXPECT_FALSE(files.addFile(u"C:\\x\\y", "")) << "a folder is in the way";
  EXPECT_TRUE(files.addFolder(u"C:\\x\\B"));
  EXPECT_EQ(files.listFolder(u"c:\\X"), (std::vector<std::u16string>{u"B", u"y"}));
  EXPECT_EQ(files.readFileBytes(u"C:\\x\\B"), std::nullopt);
  EXPECT_TRUE(files.addFile(u"C:\\x\\y\\z.txt", "new"));
  EXPECT_EQ(files.readFileBytes(u"C:\\X\\Y\\Z.TXT"), "new");
}

TEST(SimPathTest, WildcardMatching) {
  EXPECT_TRUE(matchesWildcard(u"*", u"anything"));
  EXPECT_TRUE(matchesWildcard(u"*.*", u"noextension"));
  EXPECT_TRUE(matchesWildcard(u"*.LNK", u"Chrome.lnk"));
  EXPECT_FALSE(matchesWildcard(u"*.lnk", u"Chrome.lnk.txt"));
  EXPECT_TRUE(matchesWildcard(u"a?c", u"abc"));
  EXPECT_FALSE(matchesWildcard(u"a?c", u"ac"));
  EXPECT_TRUE(matchesWildcard(u"*a*b*", u"xxaxxbxx"));
  EXPECT_FALSE(matchesWildcard(u"*.lnk", u"."));
  // A pathological pattern stays fast.
  EXPECT_FALSE(matchesWildcard(u"*a*a*a*a*a*a*a*b", std::u16string(200, u'a')));
}

TEST(SimPathTest, ParsedForms) {
  const SimPath literal = parseSimPath(u"\\\\?\\c:\\dir\\name. ");
  EXPECT_TRUE(literal.literal);
  EXPECT_EQ(literal.volume, u"C:");
  EXPECT_EQ(literal.components, (std::vector<std::u16string>{u"dir", u"name. "}));
  EXPECT_EQ(joinSimPath(parseSimPath(u"c:\\")), u"C:\\");
  EXPECT_EQ(joinSimPath(parseSimPath(u"\\\\srv\\share\\a\\")), u"\\\\srv\\share\\a\\");
  EXPECT_EQ(parseSimPath(std::u16string(32768, u'a')).code, kErrorFilenameExcedRange);
  EXPECT_EQ(parseSimPath(u"C:\\" + std::u16string(256, u'n')).code, kErrorInvalidName);
  EXPECT_TRUE(parseSimPath(u"C:\\" + std::u16string(255, u'n')).ok());
  EXPECT_TRUE(sameSimPath(u"C:\\A\\.\\b.", u"c:/a/B"));
  EXPECT_FALSE(sameSimPath(u"C:\\a", u"D:\\a"));
}

}  // namespace
}  // namespace tolvaran::platform::sim
