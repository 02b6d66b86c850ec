// Deleting protected shortcuts: the passes, the unlock tools, the recycle
// bin, the report line and the counters, on the simulated machine.
#include "fileops/file_deletion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <type_traits>

#include "common/recording_recorder.h"
#include "platform/sim/sim_machine.h"
#include "support/crc32.h"
#include "support/embedded_resources.h"
#include "support/text.h"
#include "unit/fileops/forwarding_files.h"

namespace tolvaran {
namespace {

namespace attr = platform::attr;
using platform::sim::exitingWith;
using platform::sim::FileOp;
using platform::sim::makeOsProfile;
using platform::sim::OsProfile;
using platform::sim::ProcessOp;
using platform::sim::ProfileOptions;
using platform::sim::ShellOp;
using platform::sim::SimMachine;
using platform::sim::WindowsRelease;

constexpr std::u16string_view kReport = u"C:\\Tools\\LOG\\Tolvaran-14.03.2026_09-30.log";
constexpr std::u16string_view kShortcut = u"C:\\Users\\User\\Desktop\\Google Chrome.lnk";
constexpr std::u16string_view kBackup =
    u"C:\\Tools\\LOG\\Backup\\Tolvaran-14.03.2026_09-30\\C\\Users\\User\\Desktop\\Google "
    u"Chrome.lnk.bak";
constexpr std::u16string_view kTarget = u"C:\\Windows\\System32\\cmd.exe";
constexpr std::u16string_view kArguments = u"/c start http://ads.example";

// A clock that also remembers every sleep.
class RecordingClock final : public platform::Clock {
 public:
  explicit RecordingClock(platform::Clock& inner) : inner_(inner) {}
  platform::SystemTime localTime() override { return inner_.localTime(); }
  std::uint64_t monotonicMilliseconds() override { return inner_.monotonicMilliseconds(); }
  void sleep(std::uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    inner_.sleep(milliseconds);
  }
  platform::Result<std::uint64_t> fileTimeToLocalFileTime(std::uint64_t time) override {
    return inner_.fileTimeToLocalFileTime(time);
  }
  [[nodiscard]] std::size_t pauses() const {
    return std::count(sleeps.begin(), sleeps.end(), 3000u);
  }

  std::vector<std::uint32_t> sleeps;

 private:
  platform::Clock& inner_;
};

// A window that notices messages handled while the program sees the disk
// without WOW64 redirection.
class WatchfulUi final : public platform::Ui {
 public:
  WatchfulUi(platform::Ui& inner, platform::sim::SimFiles& files) : inner_(inner), files_(files) {}
  int messageBox(std::u16string_view text, std::u16string_view caption,
                 std::uint32_t type) override {
    return inner_.messageBox(text, caption, type);
  }
  void setStatus(std::u16string_view text) override { inner_.setStatus(text); }
  void pumpMessages() override {
    if (files_.wow64().disabled()) ++pumpsUnredirected;
    inner_.pumpMessages();
  }
  [[noreturn]] void endProgram(std::uint32_t exitCode) override {
    inner_.endProgram(exitCode);
    throw platform::ProgramEnded{exitCode};
  }

  int pumpsUnredirected = 0;

 private:
  platform::Ui& inner_;
  platform::sim::SimFiles& files_;
};

// A file port that lets something happen before each call, as another
// program on the machine would (adware's watchdog re-creating its file).
class BusyMachineFiles final : public platform::Files {
 public:
  explicit BusyMachineFiles(platform::Files& inner) : inner_(inner) {}
  std::function<void()> beforeEachCall;

  using Path = std::u16string_view;
  using Status = platform::Status;
  platform::Result<std::uint32_t> getFileAttributes(Path p) override {
    return at().getFileAttributes(p);
  }
  Status setFileAttributes(Path p, std::uint32_t a) override {
    return at().setFileAttributes(p, a);
  }
  Status deleteFile(Path p) override { return at().deleteFile(p); }
  Status createDirectory(Path p) override { return at().createDirectory(p); }
  Status removeDirectory(Path p) override { return at().removeDirectory(p); }
  Status moveFile(Path a, Path b) override { return at().moveFile(a, b); }
  Status copyFile(Path a, Path b, bool f) override { return at().copyFile(a, b, f); }
  platform::Result<std::u16string> getFullPathName(Path p) override {
    return at().getFullPathName(p);
  }
  platform::Result<std::u16string> getLongPathName(Path p) override {
    return at().getLongPathName(p);
  }
  platform::Result<platform::FindFirst> findFirstFile(Path p) override {
    return at().findFirstFile(p);
  }
  platform::Result<platform::FindData> findNextFile(platform::FindHandle h) override {
    return at().findNextFile(h);
  }
  Status findClose(platform::FindHandle h) override { return at().findClose(h); }
  platform::Result<platform::FileHandle> createFile(Path p, std::uint32_t a, std::uint32_t s,
                                                    platform::Disposition d) override {
    return at().createFile(p, a, s, d);
  }
  platform::Result<std::uint32_t> readFile(platform::FileHandle h,
                                           std::span<std::byte> b) override {
    return at().readFile(h, b);
  }
  platform::Result<std::uint32_t> writeFile(platform::FileHandle h,
                                            std::span<const std::byte> d) override {
    return at().writeFile(h, d);
  }
  platform::Result<std::uint64_t> getFileSize(platform::FileHandle h) override {
    return at().getFileSize(h);
  }
  platform::Result<std::uint64_t> seekFile(platform::FileHandle h, std::uint64_t o) override {
    return at().seekFile(h, o);
  }
  platform::Result<platform::FileTimes> getFileTime(platform::FileHandle h) override {
    return at().getFileTime(h);
  }
  Status closeHandle(platform::FileHandle h) override { return at().closeHandle(h); }
  platform::Result<bool> pathFileExists(Path p) override { return at().pathFileExists(p); }
  platform::Result<bool> shellPathFileExists(Path p) override {
    return at().shellPathFileExists(p);
  }
  platform::Result<platform::Wow64RedirectionValue> disableWow64FsRedirection() override {
    return at().disableWow64FsRedirection();
  }
  Status revertWow64FsRedirection(platform::Wow64RedirectionValue v) override {
    return at().revertWow64FsRedirection(v);
  }

 private:
  platform::Files& at() {
    if (beforeEachCall) beforeEachCall();
    return inner_;
  }
  platform::Files& inner_;
};

// One program's deletion machinery over a fresh machine with a shortcut on
// the desktop and the unlock tools installed.
struct Rig {
  explicit Rig(OsProfile os = platform::sim::defaultOsProfile()) : machine(std::move(os)) {
    machine.files().addFolder(u"C:\\Tools\\LOG");
    machine.files().addFile(kShortcut, "shortcut bytes", attr::kArchive | attr::kReadOnly);
    machine.installUnlockTools();
    messages.LoadLangTable(resource::kLanguageEnglish, machine.ui(), u"Tolvaran");
    backup.SetReportLog(kReport);
  }

  platform::Ports makePorts() {
    platform::Ports sim = machine.ports();
    return platform::Ports{busy,         sim.system,     clock,         sim.profile,
                           ui,           sim.registry,   sim.osInfo,    sim.processes,
                           sim.shellOps, sim.shellLinks, sim.installer, sim.shellNotify};
  }

  // The file stays locked whatever the tools do.
  void lockForGood(std::u16string_view path = kShortcut) {
    machine.files().faults().failAlways(FileOp::kDeleteFile, platform::kErrorAccessDenied, path);
    toolsChangeNothing();
  }
  void toolsChangeNothing() {
    machine.processes().setBehaviour(u"takeown.exe", exitingWith(0, 300));
    machine.processes().setBehaviour(u"icacls.exe", exitingWith(0, 300));
  }
  [[nodiscard]] bool exists(std::u16string_view path = kShortcut) {
    return machine.files().exists(path);
  }
  [[nodiscard]] std::vector<std::u16string> lines(std::u16string_view tag) {
    std::vector<std::u16string> found;
    for (const auto& line : log.MainLines) {
      if (line.starts_with(tag)) found.push_back(line);
    }
    return found;
  }
  [[nodiscard]] std::vector<std::u16string> trials() {
    std::vector<std::u16string> found;
    for (const auto& status : machine.ui().statusHistory()) {
      if (status.starts_with(messages.msg(Msg::kWaitingForUnlock))) found.push_back(status);
    }
    return found;
  }
  [[nodiscard]] std::vector<std::u16string> commandLines() {
    std::vector<std::u16string> found;
    for (const auto& started : machine.processes().started()) found.push_back(started.commandLine);
    return found;
  }
  [[nodiscard]] std::size_t calls(ProcessOp op) {
    std::size_t n = 0;
    for (const auto& entry : machine.processes().journal()) n += entry.op == op ? 1 : 0;
    return n;
  }
  // Nothing left open: files, searches, process handles, redirection. A
  // failed close or revert leaves its object as it was: nothing the program
  // can undo.
  void expectTidy(std::optional<FileOp> failedRelease = std::nullopt) {
    if (failedRelease != FileOp::kCloseHandle) {
      EXPECT_EQ(machine.files().openHandleCount(), 0u);
    }
    if (failedRelease != FileOp::kFindClose) {
      EXPECT_EQ(machine.files().openFindCount(), 0u);
    }
    if (failedRelease != FileOp::kRevertWow64FsRedirection) {
      EXPECT_FALSE(machine.files().wow64().disabled());
      EXPECT_EQ(ui.pumpsUnredirected, 0);
    }
    EXPECT_EQ(machine.processes().invalidCloses(), 0u);
  }

  SimMachine machine;
  RecordingClock clock{machine.clock()};
  WatchfulUi ui{machine.ui(), machine.files()};
  ForwardingFiles throwing{machine.files()};
  BusyMachineFiles busy{throwing};
  platform::Ports ports = makePorts();
  Translation messages;
  RecordingRecorder failures;
  RecordingRecorder osFailures;
  clsOSInfo os{machine.osInfo(), machine.registry(), osFailures};
  ErrorLog errors{ports, messages, u"C:\\Tools"};
  SettingsFile settings{machine.profile(), errors, u"C:\\Tools\\Tolvaran.ini"};
  clsCRC32 crc{machine.system(), machine.files()};
  WriteLog log{ports,
               messages,
               errors,
               settings,
               crc,
               os,
               ProgramIdentity{u"C:\\Tools", u"Tolvaran", u"1.0.0.0"}};
  SavedFsRedirection saved;
  modFile files{ports, failures, saved, os.IsWin64()};
  clsProcess process{ports, failures};
  CureCodes codes{u"R2", u"A1", u"", ListSelector::kMain};
  FileBackup backup{ports.files};
  FileDeletion deletion{ports, failures, files, process, os, log, messages, codes, backup};
};

OsProfile windowsXp() {
  return makeOsProfile(
      ProfileOptions{.release = WindowsRelease::WindowsXP, .is64BitOs = false, .elevated = true});
}

// --- DeleteFileEx -----------------------------------------------------------------

TEST(DeleteFileExTest, AReadOnlyShortcutGoesAtTheFirstAttempt) {
  Rig rig;
  EXPECT_EQ(rig.deletion.DeleteFileEx(kShortcut, kTarget, kArguments), 0u);
  EXPECT_FALSE(rig.exists());
  EXPECT_EQ(rig.log.Statistics, RunStatistics{});
  EXPECT_TRUE(rig.machine.processes().started().empty());
  EXPECT_TRUE(rig.clock.sleeps.empty());
  EXPECT_TRUE(rig.log.MainLines.size() == 1 && rig.log.AlsoLines.size() == 1);
  EXPECT_EQ(rig.machine.shellOps().notifications(),
            (std::vector<platform::sim::ChangeNotification>{
                {platform::shell::kShcneAttributes, 0x1005, std::u16string(kShortcut)},
                {platform::shell::kShcneDelete, 0x1005, std::u16string(kShortcut)}}));
  EXPECT_EQ(rig.machine.ui().status(), rig.messages.msg(Msg::kBackToOperating));
  // Backed up first, read-only bit and all.
  EXPECT_EQ(rig.machine.files().readFileBytes(kBackup), "shortcut bytes");
  EXPECT_EQ(rig.machine.files().attributesOf(kBackup), attr::kArchive | attr::kReadOnly);
  EXPECT_TRUE(rig.failures.empty());
  rig.expectTidy();
}

TEST(DeleteFileExTest, ABlockedShortcutGoesOnceTheToolsGrantAccess) {
  Rig rig;
  (void)rig.machine.system().setEnvironmentVariable(u"USERNAME", u"Ivan Petrov");
  rig.machine.files().faults().failAlways(FileOp::kDeleteFile, platform::kErrorAccessDenied,
                                          kShortcut);
  EXPECT_EQ(rig.deletion.DeleteFileEx(kShortcut, kTarget, kArguments), 0u);
  EXPECT_FALSE(rig.exists());
  EXPECT_EQ(rig.log.Statistics.Blocked, 1);
  EXPECT_EQ(rig.log.Statistics.Errors, 0);
  EXPECT_TRUE(rig.lines(status::kError).empty());
  EXPECT_TRUE(rig.trials().empty());
  EXPECT_EQ(rig.clock.pauses(), 0u);
  EXPECT_EQ(rig.commandLines(),
            (std::vector<std::u16string>{
                u"\"C:\\Windows\\System32\\takeown.exe\" \"/F\" \"C:\\Users\\User\\Desktop\\Google "
                u"Chrome.lnk\" \"/A\"",
                u"\"C:\\Windows\\System32\\icacls.exe\" \"C:\\Users\\User\\Desktop\\Google "
                u"Chrome.lnk\" \"/grant:r\" \"*S-1-5-32-544:F\"",
                u"\"C:\\Windows\\System32\\icacls.exe\" \"C:\\Users\\User\\Desktop\\Google "
                u"Chrome.lnk\" \"/grant:r\" \"Ivan Petrov:F\""}));
  for (const auto& started : rig.machine.processes().started()) {
    EXPECT_EQ(started.showWindow, platform::kSwHide);
    EXPECT_EQ(started.creationFlags, platform::kNormalPriorityClass);
  }
  // Each tool was waited for, polling, and its process handle closed; the
  // last one's thread handle stays with clsProcess until it starts another.
  EXPECT_EQ(rig.clock.sleeps, std::vector<std::uint32_t>(9, 100));
  EXPECT_EQ(rig.machine.processes().openHandleCount(), 1u);
  rig.expectTidy();
}

TEST(DeleteFileExTest, AShortcutNothingRemovesIsReportedOnce) {
  Rig rig;
  rig.lockForGood();
  rig.log.Statistics.Blocked = 10;
  EXPECT_EQ(rig.deletion.DeleteFileEx(kShortcut, kTarget, kArguments),
            platform::kErrorAccessDenied);
  EXPECT_TRUE(rig.exists());
  const std::u16string trial = rig.messages.msg(Msg::kWaitingForUnlock) + u" ";
  EXPECT_EQ(rig.trials(), (std::vector<std::u16string>{trial + u"1", trial + u"2", trial + u"3"}));
  EXPECT_EQ(rig.clock.pauses(), 3u);
  EXPECT_EQ(rig.commandLines().size(), 12u);  // four unlocks of three tool runs
  EXPECT_EQ(rig.log.Statistics.Blocked, 11);
  EXPECT_EQ(rig.log.Statistics.Errors, 1);
  const auto errors = rig.lines(status::kError);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0],
            u"[ERR ] 1  \"C:\\Users\\User\\Desktop\\Google Chrome.lnk\"    -> [ "
            u"\"C:\\Windows\\System32\\cmd.exe\" /c start hxxp://ads.example ]   (ERROR: cannot "
            u"delete a shortcut! Code: 5. Access is denied.)");
  // Every retry pass tried the recycle bin twice, silently.
  const auto& operations = rig.machine.shellOps().fileOperations();
  ASSERT_EQ(operations.size(), 6u);
  for (const auto& operation : operations) {
    EXPECT_EQ(operation.function, platform::shell::kFoDelete);
    EXPECT_EQ(operation.flags, 0x454);
    EXPECT_EQ(operation.from, std::u16string(kShortcut) + u'\0');
  }
  EXPECT_TRUE(rig.machine.shellOps().recycleBin().empty());
  EXPECT_EQ(rig.machine.ui().status(), rig.messages.msg(Msg::kBackToOperating));
  rig.expectTidy();
}

TEST(DeleteFileExTest, TheRecycleBinOfTheFirstRetryTakesIt) {
  Rig rig;
  rig.toolsChangeNothing();
  auto& faults = rig.machine.files().faults();
  faults.failNth(FileOp::kDeleteFile, 1, platform::kErrorSharingViolation, false, kShortcut);
  faults.failNth(FileOp::kDeleteFile, 2, platform::kErrorSharingViolation, false, kShortcut);
  EXPECT_EQ(rig.deletion.DeleteFileEx(kShortcut, kTarget, kArguments), 0u);
  EXPECT_FALSE(rig.exists());
  EXPECT_EQ(rig.log.Statistics.Blocked, 0);
  EXPECT_EQ(rig.log.Statistics.Errors, 0);
  EXPECT_TRUE(rig.lines(status::kError).empty());
  EXPECT_EQ(rig.trials().size(), 1u);
  EXPECT_EQ(rig.clock.pauses(), 1u);
  const auto& bin = rig.machine.shellOps().recycleBin();
  ASSERT_EQ(bin.size(), 1u);
  EXPECT_EQ(bin[0].originalPath, kShortcut);
  EXPECT_EQ(bin[0].contents, "shortcut bytes");
  rig.expectTidy();
}

TEST(DeleteFileExTest, WindowsXpRetriesWithoutAnyTool) {
  Rig rig(windowsXp());
  rig.lockForGood();
  EXPECT_EQ(rig.deletion.DeleteFileEx(kShortcut, kTarget, kArguments),
            platform::kErrorAccessDenied);
  EXPECT_TRUE(rig.machine.processes().started().empty());
  EXPECT_EQ(rig.clock.pauses(), 3u);
  EXPECT_EQ(rig.log.Statistics.Blocked, 1);
  EXPECT_EQ(rig.lines(status::kError).size(), 1u);
  rig.expectTidy();
}

TEST(DeleteFileExTest, InsideTheWindowsFolderTheRealFileIsDeleted) {
  Rig rig;  // the 32-bit build on 64-bit Windows
  const std::u16string native = u"C:\\Windows\\System32\\planted.lnk";
  const std::u16string wow64 = u"C:\\Windows\\SysWOW64\\planted.lnk";
  rig.machine.files().addFile(native, "native", attr::kReadOnly);
  rig.machine.files().addFile(wow64, "32-bit twin");
  EXPECT_EQ(rig.deletion.DeleteFileEx(native), 0u);
  EXPECT_FALSE(rig.exists(native));
  EXPECT_TRUE(rig.exists(wow64));
  EXPECT_EQ(rig.machine.files().readFileBytes(std::u16string(rig.backup.Folder()) +
                                              u"\\C\\Windows\\System32\\planted.lnk.bak"),
            "native");
  rig.expectTidy();
}

TEST(DeleteFileExTest, AFileThatComesBackAtOnceIsNeverReportedGone) {
  Rig rig;
  rig.busy.beforeEachCall = [&] {
    if (!rig.exists()) rig.machine.files().addFile(kShortcut, "planted again");
  };
  EXPECT_EQ(rig.deletion.DeleteFileEx(kShortcut, kTarget, u""), platform::kErrorFileExists);
  EXPECT_TRUE(rig.exists());
  const auto errors = rig.lines(status::kError);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_TRUE(errors[0].ends_with(u"Code: 80. The file exists.)")) << utf16ToUtf8(errors[0]);
  EXPECT_EQ(rig.log.Statistics.Errors, 1);
}

TEST(DeleteFileExTest, AFailureInsideIsRecordedAndTheAnswerStaysTrue) {
  Rig rig;
  rig.throwing.throwIn("deleteFile");
  EXPECT_EQ(rig.deletion.DeleteFileEx(kShortcut, kTarget, u""), platform::kErrorFileExists);
  ASSERT_EQ(rig.failures.size(), 1u);
  EXPECT_EQ(rig.failures.records()[0].failure.number, rt::kOutOfMemory);
  EXPECT_EQ(
      rig.failures.records()[0].context,
      (std::vector<std::u16string>{u"Parser.DeleteFileEx", u"File:", std::u16string(kShortcut)}));
  EXPECT_EQ(rig.machine.ui().status(), rig.messages.msg(Msg::kBackToOperating));
  rig.expectTidy();
}

TEST(DeleteFileExTest, AFileThatCannotBeBackedUpIsNotDeleted) {
  Rig rig;
  rig.machine.files().faults().failAlways(FileOp::kCopyFile, platform::kErrorDiskFull);
  EXPECT_EQ(rig.deletion.DeleteFileEx(kShortcut), platform::kErrorDiskFull);
  EXPECT_TRUE(rig.exists());
  EXPECT_EQ(rig.lines(status::kError).size(), 1u);
  EXPECT_EQ(rig.log.Statistics.Errors, 1);
  ASSERT_EQ(rig.failures.size(), 1u);
  const auto& record = rig.failures.records()[0];
  EXPECT_EQ(record.failure.number, static_cast<std::int32_t>(platform::kErrorDiskFull));
  EXPECT_EQ(record.context,
            (std::vector<std::u16string>{u"FileBackup.Save", u"File:", std::u16string(kShortcut),
                                         u"Backup:", std::u16string(kBackup)}));
}

// --- TryUnlock ---------------------------------------------------------------------

TEST(TryUnlockTest, SkipsAToolThatIsMissing) {
  Rig rig;
  // As under Wine: no takeown.exe.
  auto& disk = rig.machine.files();
  const auto off = disk.disableWow64FsRedirection();
  ASSERT_TRUE(disk.deleteFile(u"C:\\Windows\\System32\\takeown.exe").ok());
  ASSERT_TRUE(disk.deleteFile(u"C:\\Windows\\SysWOW64\\takeown.exe").ok());
  ASSERT_TRUE(disk.revertWow64FsRedirection(off.value).ok());
  rig.deletion.TryUnlock(kShortcut);
  const auto lines = rig.commandLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].starts_with(u"\"C:\\Windows\\System32\\icacls.exe\""));
  EXPECT_EQ(rig.log.Statistics.Blocked, 1);
}

TEST(TryUnlockTest, InsideTheWindowsFolderTheNativeToolsRunAndNoMessageWaitsUnredirected) {
  Rig rig;  // the 32-bit build on 64-bit Windows
  const std::u16string planted = u"C:\\Windows\\System32\\planted.lnk";
  rig.machine.files().addFile(planted, "x");
  rig.deletion.TryUnlock(planted);
  const auto& started = rig.machine.processes().started();
  ASSERT_EQ(started.size(), 3u);
  for (const auto& s : started) {
    EXPECT_TRUE(s.redirectionOff);
    EXPECT_TRUE(s.imagePath.starts_with(u"C:\\Windows\\System32\\")) << utf16ToUtf8(s.imagePath);
  }
  EXPECT_GT(rig.machine.ui().pumpCount(), 0u);
  rig.expectTidy();

  // Elsewhere redirection is left alone.
  rig.deletion.TryUnlock(kShortcut);
  EXPECT_FALSE(started.back().redirectionOff);
}

TEST(TryUnlockTest, AToolThatCannotStartIsNotWaitedFor) {
  Rig rig;
  rig.machine.processes().faults().failAlways(ProcessOp::kCreateProcess,
                                              platform::kErrorAccessDenied);
  rig.deletion.TryUnlock(kShortcut);
  EXPECT_EQ(rig.calls(ProcessOp::kCreateProcess), 3u);
  EXPECT_EQ(rig.calls(ProcessOp::kGetExitCodeProcess), 0u);
  EXPECT_EQ(rig.calls(ProcessOp::kCloseHandle), 0u);
  EXPECT_TRUE(rig.clock.sleeps.empty());
  rig.expectTidy();
}

TEST(TryUnlockTest, AToolThatHangsIsGivenUpAfterItsLimit) {
  Rig rig;
  rig.machine.processes().setBehaviour(u"takeown.exe", exitingWith(0, platform::sim::kRunsForever));
  rig.machine.processes().setBehaviour(u"icacls.exe", exitingWith(0, 0));
  const std::uint64_t before = rig.machine.clock().monotonicMilliseconds();
  rig.deletion.TryUnlock(kShortcut);
  const std::uint64_t waited = rig.machine.clock().monotonicMilliseconds() - before;
  EXPECT_GE(waited, 5000u * 1000u);
  EXPECT_LT(waited, 5000u * 1000u + 1000u);
  EXPECT_EQ(rig.commandLines().size(), 3u);
}

// --- SendFileToRecycleBin, UnHideFile ---------------------------------------------

TEST(SendFileToRecycleBinTest, AsksTheShellWithTheRightFlags) {
  const struct {
    bool confirm;
    bool silent;
    std::uint16_t flags;
  } cases[] = {{false, true, 0x454}, {true, false, 0x40}};
  for (const auto& c : cases) {
    Rig rig;
    EXPECT_EQ(rig.deletion.SendFileToRecycleBin(kShortcut, c.confirm, c.silent), 0);
    ASSERT_EQ(rig.machine.shellOps().fileOperations().size(), 1u);
    EXPECT_EQ(rig.machine.shellOps().fileOperations()[0].flags, c.flags);
    ASSERT_EQ(rig.machine.shellOps().recycleBin().size(), 1u);
    EXPECT_EQ(rig.machine.shellOps().recycleBin()[0].attributes, attr::kArchive | attr::kReadOnly);
    EXPECT_FALSE(rig.exists());
  }
  Rig rig;
  EXPECT_EQ(rig.deletion.SendFileToRecycleBin(u"C:\\absent.lnk", false, true),
            static_cast<std::int32_t>(platform::kErrorFileNotFound));
}

TEST(UnHideFileTest, ClearsOnlyTheHiddenAndSystemBits) {
  const struct {
    const char* name;
    std::uint32_t before;  // 0: no file
    bool failSet;
    bool result;
    bool hidden;
    bool system;
    std::uint32_t after;
    bool notified;
  } cases[] = {
      {"both", attr::kHidden | attr::kSystem | attr::kArchive, false, true, true, true,
       attr::kArchive, true},
      {"hidden", attr::kHidden | attr::kReadOnly, false, true, true, false, attr::kReadOnly, true},
      {"system", attr::kSystem, false, true, false, true, attr::kNormal, true},
      {"neither", attr::kArchive, false, false, false, false, attr::kArchive, false},
      {"missing", 0, false, false, false, false, 0, false},
      {"refused", attr::kHidden, true, false, true, false, attr::kHidden, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    const std::u16string path = u"C:\\Users\\User\\Desktop\\x.lnk";
    if (c.before) rig.machine.files().addFile(path, "x", c.before);
    if (c.failSet) {
      rig.machine.files().faults().failAlways(FileOp::kSetFileAttributes,
                                              platform::kErrorAccessDenied);
    }
    bool hidden = !c.hidden;
    bool system = !c.system;
    EXPECT_EQ(rig.deletion.UnHideFile(path, hidden, system), c.result);
    EXPECT_EQ(hidden, c.hidden);
    EXPECT_EQ(system, c.system);
    if (c.before) {
      EXPECT_EQ(rig.machine.files().attributesOf(path), c.after);
    }
    EXPECT_EQ(rig.machine.shellOps().notifications().size(), c.notified ? 1u : 0u);
  }
}

// --- Every operation failing once -----------------------------------------------------

// A run that needs everything DeleteFileEx has: the backup, the first pass,
// the tools, a pause and a recycle-bin pass.
void prepareBlockedShortcut(Rig& rig) {
  rig.toolsChangeNothing();
  auto& faults = rig.machine.files().faults();
  faults.failNth(FileOp::kDeleteFile, 1, platform::kErrorAccessDenied, false, kShortcut);
  faults.failNth(FileOp::kDeleteFile, 2, platform::kErrorAccessDenied, false, kShortcut);
}

// After any single failure: the answer tells the truth about the file, a
// gone file is in the backup, a surviving file has exactly one report line
// and error, the counters add up and nothing is left open. A file that could
// not be backed up is never touched.
void expectConsistent(Rig& rig, platform::Win32Code result, const std::string& what,
                      std::optional<FileOp> failed) {
  SCOPED_TRACE(what);
  const bool gone = !rig.exists();
  EXPECT_EQ(result == 0, gone);
  bool backupFailed = false;
  for (const auto& record : rig.failures.records()) {
    backupFailed |= record.context.front() == u"FileBackup.Save";
  }
  if (gone) {
    EXPECT_FALSE(backupFailed);
    EXPECT_EQ(rig.machine.files().readFileBytes(kBackup), "shortcut bytes");
    EXPECT_TRUE(rig.lines(status::kError).empty());
    EXPECT_EQ(rig.log.Statistics.Errors, 0);
  } else {
    EXPECT_EQ(rig.lines(status::kError).size(), 1u);
    EXPECT_EQ(rig.log.Statistics.Errors, 1);
    EXPECT_EQ(rig.machine.files().readFileBytes(kShortcut), "shortcut bytes");
  }
  // One unlock per pass, one fewer per retry: a file that went in a first
  // attempt leaves 0 behind, any other 1.
  EXPECT_GE(rig.log.Statistics.Blocked, 0);
  EXPECT_LE(rig.log.Statistics.Blocked, 1);
  if (backupFailed) {
    EXPECT_EQ(rig.log.Statistics.Blocked, 0);
  } else {
    if (!gone) {
      EXPECT_EQ(rig.log.Statistics.Blocked, 1);
    }
    EXPECT_EQ(rig.machine.ui().status(), rig.messages.msg(Msg::kBackToOperating));
  }
  rig.expectTidy(failed);
}

template <class Op>
std::map<Op, std::uint32_t> countCalls(
    const std::vector<platform::sim::JournalEntry<Op>>& journal) {
  std::map<Op, std::uint32_t> counts;
  for (const auto& entry : journal) ++counts[entry.op];
  return counts;
}

TEST(DeleteFileExFaultTest, EveryOperationFailingOnceLeavesAConsistentState) {
  Rig clean;
  prepareBlockedShortcut(clean);
  ASSERT_EQ(clean.deletion.DeleteFileEx(kShortcut, kTarget, kArguments), 0u);
  const auto fileCalls = countCalls(clean.machine.files().journal());
  const auto processCalls = countCalls(clean.machine.processes().journal());
  const auto shellCalls = countCalls(clean.machine.shellOps().journal());
  ASSERT_GT(fileCalls.size(), 5u);

  std::size_t runs = 0;
  const auto run = [&](const std::string& what, const std::function<void(Rig&)>& inject,
                       std::optional<FileOp> failed = std::nullopt) {
    Rig rig;
    prepareBlockedShortcut(rig);
    inject(rig);
    const auto result = rig.deletion.DeleteFileEx(kShortcut, kTarget, kArguments);
    expectConsistent(rig, result, what, failed);
    ++runs;
  };
  // Fails the nth call of one operation of the port whose plan `faults` gives.
  const auto eachCall = [&](const auto& counts, const std::string& port, auto faults) {
    for (const auto& entry : counts) {
      const auto op = entry.first;
      std::optional<FileOp> failed;
      if constexpr (std::is_same_v<std::decay_t<decltype(op)>, FileOp>) failed = op;
      for (std::uint32_t n = 1; n <= entry.second; ++n) {
        run(
            port + " op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(n),
            [&](Rig& rig) { faults(rig).failNth(op, n, platform::kErrorAccessDenied); }, failed);
      }
    }
  };
  const auto fileFaults = [](Rig & rig) -> auto& {
    return rig.machine.files().faults();
  };
  const auto processFaults = [](Rig & rig) -> auto& {
    return rig.machine.processes().faults();
  };
  const auto shellFaults = [](Rig & rig) -> auto& {
    return rig.machine.shellOps().faults();
  };
  eachCall(fileCalls, "file", fileFaults);
  eachCall(processCalls, "process", processFaults);
  eachCall(shellCalls, "shell", shellFaults);
  EXPECT_GT(runs, 30u);
}

}  // namespace
}  // namespace tolvaran
