// Started from inside the temporary folder: the offer to copy the program
// to the desktop and start it from there.
#include "shell/archive_launch.h"

#include <gtest/gtest.h>

#include <map>

#include "unit/shell/startup_rig.h"

namespace tolvaran {
namespace {

constexpr std::u16string_view kTemp = u"C:\\Users\\User\\AppData\\Local\\Temp";
constexpr std::u16string_view kDesktop = u"C:\\Users\\User\\Desktop";

std::string narrow(std::u16string_view text) {
  return utf16ToUtf8(text);
}

TEST(InsideFolderTest, WholeComponentsOnly) {
  struct Case {
    std::u16string_view path;
    std::u16string_view folder;
    bool inside;
  };
  const Case cases[] = {
      {u"C:\\Temp", u"C:\\Temp", true},
      {u"C:\\Temp\\Rar$EX01", u"C:\\Temp", true},
      {u"c:\\temp\\a\\b", u"C:\\TEMP\\", true},
      {u"C:\\Temp2\\x", u"C:\\Temp", false},
      {u"C:\\Tem", u"C:\\Temp", false},
      {u"C:\\Temp", u"C:\\Temp\\x", false},
      {u"D:\\x", u"D:", true},
      {u"D:\\x", u"D:\\", true},
      {u"C:\\x", u"D:", false},
      {u"C:\\x", u"", false},
      {u"", u"C:\\Temp", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isInsideFolder(c.path, c.folder), c.inside)
        << narrow(c.path) << " in " << narrow(c.folder);
  }
}

struct ArchiveRig : StartupRig {
  ArchiveRig() {
    folders.TempDir = kTemp;
    folders.DesktopDir = kDesktop;
    machine.files().addFolder(kDesktop);
  }
  bool run() { return IsLaunchedFromArchive(parts(), folders); }
  [[nodiscard]] std::u16string onDesktop(std::u16string_view name) const {
    return std::u16string(kDesktop) + u"\\" + std::u16string(name);
  }

  ProgramFolders folders;
};

TEST(ArchiveLaunchTest, OutsideTheTemporaryFolderNothingIsAsked) {
  for (const auto* path :
       {u"C:\\Tools\\Tolvaran.exe", u"C:\\Users\\User\\AppData\\Local\\Temp2\\Tolvaran.exe"}) {
    ArchiveRig rig;
    rig.placeProgram(path);
    EXPECT_FALSE(rig.run()) << narrow(path);
    EXPECT_TRUE(rig.machine.ui().messages().empty());
  }
}

TEST(ArchiveLaunchTest, DeclinedTheCopyStillEnds) {
  ArchiveRig rig;
  rig.placeProgram(std::u16string(kTemp) + u"\\Rar$EXa1.234\\Tolvaran.exe");
  (void)rig.instance.create();
  rig.machine.ui().queueAnswer(platform::id::kNo);
  EXPECT_TRUE(rig.run());
  ASSERT_EQ(rig.machine.ui().messages().size(), 1u);
  const auto& box = rig.machine.ui().messages()[0];
  EXPECT_EQ(box.text, rig.messages[Msg::kUnpackFromArchive]);
  EXPECT_EQ(box.caption, kAppTitle);
  EXPECT_EQ(box.type, 52u);
  EXPECT_FALSE(rig.machine.files().exists(rig.onDesktop(u"Tolvaran.exe")));
  EXPECT_TRUE(rig.machine.processes().started().empty());
  EXPECT_TRUE(rig.instance.held());
}

// The copy keeps the file's real name, whatever it is, and replaces a
// read-only, hidden or system copy left from before.
TEST(ArchiveLaunchTest, AcceptedTheProgramRunsFromTheDesktop) {
  const struct {
    std::u16string_view name;
    std::uint32_t attributes;
  } cases[] = {{u"Tolvaran.exe", platform::attr::kReadOnly},
               {u"Tolvaran_EN.scr", platform::attr::kHidden},
               {u"Tolvaran.exe", platform::attr::kSystem | platform::attr::kHidden}};
  for (const auto& [name, attributes] : cases) {
    SCOPED_TRACE(narrow(name));
    ArchiveRig rig;
    const std::u16string program = std::u16string(kTemp) + u"\\7zO1C2\\" + std::u16string(name);
    rig.placeProgram(program);
    const std::u16string copy = rig.onDesktop(name);
    rig.machine.files().addFile(copy, "old version", attributes);
    (void)rig.instance.create();
    rig.machine.ui().queueAnswer(platform::id::kYes);

    EXPECT_TRUE(rig.run());
    EXPECT_EQ(rig.machine.files().readFileBytes(copy), std::optional<std::string>("MZ program"));
    EXPECT_TRUE(rig.machine.files().exists(program));
    EXPECT_FALSE(rig.instance.held());
    EXPECT_FALSE(rig.machine.modules().mutexExists(std::u16string(kSingleInstanceMutex)));
    const auto& started = rig.machine.processes().started();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].imagePath, copy);
    EXPECT_EQ(started[0].argv.size(), 1u);
    EXPECT_EQ(started[0].showWindow, platform::kSwShowNormal);
  }
}

TEST(ArchiveLaunchTest, AFailedCopyStartsNothing) {
  ArchiveRig rig;
  rig.placeProgram(std::u16string(kTemp) + u"\\Tolvaran.exe");
  (void)rig.instance.create();
  rig.machine.files().faults().failAlways(platform::sim::FileOp::kCopyFile,
                                          platform::kErrorDiskFull);
  rig.machine.ui().queueAnswer(platform::id::kYes);
  EXPECT_TRUE(rig.run());
  EXPECT_TRUE(rig.machine.processes().started().empty());
  EXPECT_TRUE(rig.instance.held());
  // The user learns that the copy failed, where and why.
  const auto& shown = rig.machine.ui().messages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_TRUE(shown[1].text.starts_with(rig.messages[Msg::kCopyToDesktopFailed] + u"\r\n" +
                                        rig.onDesktop(u"Tolvaran.exe") + u"\r\n"));
}

// Were the desktop itself in the temporary folder, the copy would ask again
// and again: the program runs where it is.
TEST(ArchiveLaunchTest, NoOfferWhenTheDesktopIsInTheTemporaryFolder) {
  ArchiveRig rig;
  rig.folders.TempDir = u"C:\\Users\\User";
  rig.placeProgram(u"C:\\Users\\User\\Downloads\\Tolvaran.exe");
  EXPECT_FALSE(rig.run());
  rig.folders.DesktopDir.clear();
  EXPECT_FALSE(rig.run());
  EXPECT_TRUE(rig.machine.ui().messages().empty());
}

// A file port whose long-name call knows 8.3 aliases.
class ShortNames final : public platform::Files {
 public:
  ShortNames(platform::Files& inner, std::map<std::u16string, std::u16string> longNames)
      : inner_(inner), longNames_(std::move(longNames)) {}
  using Path = std::u16string_view;
  using Status = platform::Status;
  platform::Result<std::u16string> getLongPathName(Path p) override {
    const auto found = longNames_.find(std::u16string(p));
    if (found != longNames_.end()) return {found->second, platform::kErrorSuccess};
    return inner_.getLongPathName(p);
  }
  platform::Result<std::uint32_t> getFileAttributes(Path p) override {
    return inner_.getFileAttributes(p);
  }
  Status setFileAttributes(Path p, std::uint32_t a) override {
    return inner_.setFileAttributes(p, a);
  }
  Status deleteFile(Path p) override { return inner_.deleteFile(p); }
  Status createDirectory(Path p) override { return inner_.createDirectory(p); }
  Status removeDirectory(Path p) override { return inner_.removeDirectory(p); }
  Status moveFile(Path a, Path b) override { return inner_.moveFile(a, b); }
  Status copyFile(Path a, Path b, bool f) override { return inner_.copyFile(a, b, f); }
  platform::Result<std::u16string> getFullPathName(Path p) override {
    return inner_.getFullPathName(p);
  }
  platform::Result<platform::FindFirst> findFirstFile(Path p) override {
    return inner_.findFirstFile(p);
  }
  platform::Result<platform::FindData> findNextFile(platform::FindHandle h) override {
    return inner_.findNextFile(h);
  }
  Status findClose(platform::FindHandle h) override { return inner_.findClose(h); }
  platform::Result<platform::FileHandle> createFile(Path p, std::uint32_t a, std::uint32_t s,
                                                    platform::Disposition d) override {
    return inner_.createFile(p, a, s, d);
  }
  platform::Result<std::uint32_t> readFile(platform::FileHandle f,
                                           std::span<std::byte> b) override {
    return inner_.readFile(f, b);
  }
  platform::Result<std::uint32_t> writeFile(platform::FileHandle f,
                                            std::span<const std::byte> b) override {
    return inner_.writeFile(f, b);
  }
  platform::Result<std::uint64_t> getFileSize(platform::FileHandle f) override {
    return inner_.getFileSize(f);
  }
  platform::Result<std::uint64_t> seekFile(platform::FileHandle f, std::uint64_t o) override {
    return inner_.seekFile(f, o);
  }
  platform::Result<platform::FileTimes> getFileTime(platform::FileHandle f) override {
    return inner_.getFileTime(f);
  }
  Status closeHandle(platform::FileHandle f) override { return inner_.closeHandle(f); }
  platform::Result<bool> pathFileExists(Path p) override { return inner_.pathFileExists(p); }
  platform::Result<bool> shellPathFileExists(Path p) override {
    return inner_.shellPathFileExists(p);
  }
  platform::Result<platform::Wow64RedirectionValue> disableWow64FsRedirection() override {
    return inner_.disableWow64FsRedirection();
  }
  Status revertWow64FsRedirection(platform::Wow64RedirectionValue v) override {
    return inner_.revertWow64FsRedirection(v);
  }

 private:
  platform::Files& inner_;
  std::map<std::u16string, std::u16string> longNames_;
};

TEST(ArchiveLaunchTest, AShortFormOfTheTemporaryFolderIsRecognised) {
  ArchiveRig rig;
  rig.placeProgram(u"C:\\Users\\User\\AppData\\Local\\Temp\\Rar$EX01\\Tolvaran.exe");
  rig.folders.TempDir = u"C:\\Users\\LONGUS~1\\AppData\\Local\\Temp";
  ShortNames files(rig.machine.files(), {{u"C:\\Users\\LONGUS~1\\AppData\\Local\\Temp",
                                          u"C:\\Users\\User\\AppData\\Local\\Temp"}});
  rig.machine.ui().queueAnswer(platform::id::kNo);
  StartupParts parts = rig.parts();
  StartupParts shortParts{
      platform::Ports{files, parts.ports.system, parts.ports.clock, parts.ports.profile,
                      parts.ports.ui, parts.ports.registry, parts.ports.osInfo,
                      parts.ports.processes, parts.ports.shellOps, parts.ports.shellLinks,
                      parts.ports.installer, parts.ports.shellNotify},
      rig.messages,
      rig.program,
      rig.instance,
      *rig.process,
      rig.recorder};
  EXPECT_TRUE(IsLaunchedFromArchive(shortParts, rig.folders));
  EXPECT_EQ(rig.shown(Msg::kUnpackFromArchive), 1u);
}

}  // namespace
}  // namespace tolvaran
