// Reading shortcuts into records on the simulated machine: the shared
// shell-link object, advertised shortcuts, the 64-bit program-files
// correction, failures and what the error log makes of them, and the
// refresh of shell and desktop.
#include "shortcut/shortcut_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/recording_recorder.h"
#include "platform/sim/sim_machine.h"
#include "report/error_log.h"
#include "shortcut/codec_shell_link.h"
#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_writer.h"
#include "shortcut/shell_refresh.h"
#include "support/embedded_resources.h"
#include "support/text.h"

namespace tolvaran {
namespace {

using platform::sim::ShellLinkOp;
using platform::sim::SimMachine;

constexpr char16_t kLink[] = u"C:\\Users\\User\\Desktop\\Browser.lnk";
constexpr char16_t kPf32[] = u"C:\\Program Files (x86)";
constexpr char16_t kPf64[] = u"C:\\Program Files";
constexpr std::int32_t kEFail = static_cast<std::int32_t>(0x80004005u);

const lnk::AnsiCodec& western() {
  static const lnk::AnsiCodec codec = lnk::codePageCodec(1252);
  return codec;
}

// A machine whose shell-link class is the codec's, and a reader over it.
class ReaderTest : public ::testing::Test {
 protected:
  explicit ReaderTest(bool isWin64 = true) : folders{isWin64, kPf32, kPf64} {
    machine.shellLinks().registerClass(
        std::make_unique<lnk::CodecShellLinks>(machine.files(), machine.system()));
    machine.files().addFolder(u"C:\\Users\\User\\Desktop");
    machine.files().addFile(u"C:\\Apps\\browser.exe", "MZ");
    reader.ISL_Init();
  }

  void put(const lnk::LnkFile& file, std::u16string_view path = kLink) {
    ASSERT_TRUE(machine.files().addFile(path, lnk::writeLnk(file, western()).bytes));
  }
  void putTarget(std::u16string_view target) {
    lnk::LnkFile file;
    lnk::setTargetPath(file, target, western());
    put(file);
  }
  LnkRecord read(std::u16string_view path = kLink) { return reader.GetTargetShellLinkW(path); }
  bool called(ShellLinkOp op) {
    for (const auto& entry : machine.shellLinks().journal()) {
      if (entry.op == op) return true;
    }
    return false;
  }

  SimMachine machine;
  platform::Ports ports = machine.ports();
  RecordingRecorder recorder;
  SavedFsRedirection saved;
  modFile fileHelpers{ports, recorder, saved, true};
  ReaderFolders folders;
  ShortcutReader reader{ports, fileHelpers, recorder, folders};
};

LnkRecord onlyPath(std::u16string_view path) {
  LnkRecord record;
  record.LnkPath = path;
  return record;
}

TEST_F(ReaderTest, AnOrdinaryShortcutFillsEveryFieldItReads) {
  lnk::LnkFile file;
  lnk::setTargetPath(file, u"C:\\Apps\\.\\browser.exe", western());
  lnk::setArguments(file, u"--profile-directory=\"Default\"", western());
  lnk::setDescription(file, u"Обозреватель", western());
  lnk::setIconLocation(file, u"C:\\Apps\\browser.ico", 2, western());
  lnk::setWorkingDirectory(file, u"C:\\Apps", western());
  lnk::setShowCommand(file, 3);
  lnk::setHotKey(file, 0xFF41);  // a high byte above 0x7F reads negative
  put(file);

  LnkRecord expected = onlyPath(kLink);
  expected.Target = u"C:\\Apps\\browser.exe";  // made absolute
  expected.Arguments = u"--profile-directory=\"Default\"";
  expected.Description = u"Обозреватель";
  expected.IconLocation = u"C:\\Apps\\browser.ico";
  expected.IconIndex = 2;
  expected.WorkingDir = u"C:\\Apps";
  expected.ShowCmd = 3;
  expected.Hotkey = -191;
  EXPECT_EQ(read(), expected);
  EXPECT_TRUE(recorder.empty());
  // One object serves every read.
  EXPECT_EQ(read(), expected);
  EXPECT_EQ(machine.shellLinks().liveObjects(), 1u);
}

TEST_F(ReaderTest, TextsAreCutToTheBufferOfTheRead) {
  lnk::LnkFile file;
  lnk::setArguments(file, std::u16string(40000, u'x'), western());
  put(file);
  const LnkRecord record = read();
  EXPECT_EQ(record.Arguments.size(), 32766u);
  EXPECT_EQ(record.Target, u"");
}

TEST_F(ReaderTest, FailuresLeaveOnlyThePathAndOneRecord) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::int32_t number;
  };
  const std::vector<Case> cases = {
      {"a file that is no shortcut", [this] { machine.files().addFile(kLink, "<html></html>"); },
       kEFail},
      {"a missing file", [] {}, static_cast<std::int32_t>(0x80070002u)},
      {"a getter that fails",
       [this] {
         putTarget(u"C:\\Apps\\browser.exe");
         machine.shellLinks().faults().failNth(ShellLinkOp::kGetIconLocation, 1,
                                               platform::kHresultOutOfMemory);
       },
       static_cast<std::int32_t>(platform::kHresultOutOfMemory)},
      {"no shell-link object",
       [this] {
         putTarget(u"C:\\Apps\\browser.exe");
         reader.ISL_Release();
       },
       rt::kObjectNotSet},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    (void)machine.files().deleteFile(kLink);
    reader.ISL_Init();
    recorder.clear();
    c.arrange();
    EXPECT_EQ(read(), onlyPath(kLink));
    ASSERT_EQ(recorder.size(), 1u);
    EXPECT_EQ(recorder.records()[0].failure.number, c.number);
    EXPECT_EQ(recorder.records()[0].context,
              (std::vector<std::u16string>{u"Parser.GetTargetShellLinkW", u"File: ", kLink}));
  }
}

TEST_F(ReaderTest, ACreationFailureIsRecordedAndEveryReadThenFails) {
  reader.ISL_Release();
  machine.shellLinks().unregisterClass();
  reader.ISL_Init();
  ASSERT_EQ(recorder.size(), 1u);
  EXPECT_EQ(recorder.records()[0].context, std::vector<std::u16string>{u"Parser.ISL_Init"});
  EXPECT_EQ(static_cast<std::uint32_t>(recorder.records()[0].failure.number),
            platform::kHresultClassNotRegistered);
  EXPECT_EQ(reader.sharedShellLink(), nullptr);
  putTarget(u"C:\\Apps\\browser.exe");
  EXPECT_EQ(read(), onlyPath(kLink));
  EXPECT_EQ(recorder.size(), 2u);
}

// Damaged shortcuts are what the error log explains instead of a plain record.
TEST_F(ReaderTest, TheErrorLogDiagnosesDamagedShortcuts) {
  Translation messages;
  messages.LoadLangTable(resource::kLanguageEnglish, machine.ui(), u"Tolvaran");
  machine.files().addFolder(u"C:\\Tools");
  ErrorLog log{ports, messages, u"C:\\Tools"};
  ShortcutReader logged{ports, fileHelpers, log, folders};
  logged.ISL_Init();
  machine.files().addFile(u"C:\\Users\\User\\Desktop\\Edge.lnk", std::string(1536, '\0'));
  machine.files().addFile(u"C:\\Users\\User\\Desktop\\Opera.lnk", "<html>");
  (void)logged.GetTargetShellLinkW(u"C:\\Users\\User\\Desktop\\Edge.lnk");
  (void)logged.GetTargetShellLinkW(u"C:\\Users\\User\\Desktop\\Opera.lnk");
  log.CloseErrorLog();
  EXPECT_EQ(machine.files().readFileBytes(u"C:\\Tools\\Errors.log"),
            "- It seems, some interceptor acts. File: \"C:\\Users\\User\\Desktop\\Edge.lnk\" "
            "contains just NUL characters. (1536 bytes)\r\n"
            "- Shortcut is damaged: \"C:\\Users\\User\\Desktop\\Opera.lnk\" (header doesn't match "
            "LNK type) Header=0x3C68746D6C3E (6 bytes)\r\n");
}

// --- Advertised shortcuts ----------------------------------------------------

constexpr char16_t kProduct[] = u"{90160000-0011-0000-0000-0000000FF1CE}";
constexpr char16_t kComponent[] = u"{0638C49D-BB8B-4CD1-B191-052E8F325736}";

TEST_F(ReaderTest, AnAdvertisedShortcutReadsAsItsComponent) {
  struct Case {
    std::int32_t state;
    std::u16string expected;
  };
  namespace state = platform::install_state;
  const std::vector<Case> cases = {
      {state::kLocal, u"C:\\Office\\WINWORD.EXE"},
      {state::kAbsent, u"INSTALLSTATE_UNKNOWN"},
      {state::kAdvertised, u"INSTALLSTATE_UNKNOWN"},
      {state::kSourceAbsent, u"INSTALLSTATE_UNKNOWN"},
  };
  putTarget(u"C:\\Windows\\Installer\\{90160000}\\wordicon.exe");
  machine.installer().addShortcut({kLink, kProduct, u"WordFiles", kComponent});
  for (const Case& c : cases) {
    machine.installer().addComponent({kProduct, kComponent, c.state, u"C:\\Office\\WINWORD.EXE"});
    machine.shellLinks().clearJournal();
    EXPECT_EQ(read().Target, c.expected) << c.state;
    EXPECT_FALSE(called(ShellLinkOp::kGetPath)) << "GetPath is not asked for an advertised target";
  }
}

TEST_F(ReaderTest, TheInstallerKnowsAShortcutByItsDescriptor) {
  // Wherever the file was copied, the descriptor inside it names the product.
  constexpr char16_t kDescriptor[] = u"w_1^VX!!!!!!!!!MKKSkWordFiles>jbU!X?Z.[-X[?_Lq`T";
  lnk::LnkFile file;
  lnk::setTargetPath(file, u"C:\\Windows\\Installer\\{90160000}\\wordicon.exe", western());
  file.extraData.push_back(lnk::makeExpandableString(
      lnk::sig::kDarwin, {lnk::codePageCodec(1252).toBytes(kDescriptor), kDescriptor}));
  file.header.linkFlags |= lnk::flag::kHasDarwinId;
  put(file, u"C:\\Users\\User\\Desktop\\Copy of Word.lnk");
  machine.installer().addShortcut({kDescriptor, kProduct, u"WordFiles", kComponent});
  machine.installer().addComponent(
      {kProduct, kComponent, platform::install_state::kLocal, u"C:\\Office\\WINWORD.EXE"});
  EXPECT_EQ(read(u"C:\\Users\\User\\Desktop\\Copy of Word.lnk").Target, u"C:\\Office\\WINWORD.EXE");
}

TEST_F(ReaderTest, InstallerAnswersForOrdinaryShortcuts) {
  putTarget(u"C:\\Apps\\browser.exe");
  EXPECT_EQ(reader.GetMSILinkTarget(kLink), u"");
  EXPECT_EQ(read().Target, u"C:\\Apps\\browser.exe");
  // A failure that still wrote a product code: advertised, but unreadable.
  machine.installer().addShortcut({kLink, kProduct, u"F", kComponent});
  machine.installer().faults().failNth(platform::sim::InstallerOp::kGetShortcutTarget, 1,
                                       platform::kErrorFunctionFailed);
  EXPECT_EQ(reader.GetMSILinkTarget(kLink), u"");
  EXPECT_TRUE(recorder.empty());
  // Without msi.dll the failure is recorded and the shortcut still read.
  machine.installer().setAvailable(false);
  EXPECT_EQ(read().Target, u"C:\\Apps\\browser.exe");
  ASSERT_EQ(recorder.size(), 1u);
  EXPECT_EQ(recorder.records()[0].context, std::vector<std::u16string>{u"Parser.GetMSILinkTarget"});
}

// --- The program-files correction --------------------------------------------

struct CorrectionCase {
  const char* what;
  bool isWin64;
  std::u16string target;
  std::vector<std::u16string> files;
  std::u16string expected;
};

class CorrectionTest : public ::testing::TestWithParam<CorrectionCase> {};

TEST_P(CorrectionTest, TargetsInThe32BitFolderMoveToTheNativeOne) {
  const CorrectionCase& c = GetParam();
  SimMachine machine;
  machine.shellLinks().registerClass(
      std::make_unique<lnk::CodecShellLinks>(machine.files(), machine.system()));
  platform::Ports ports = machine.ports();
  RecordingRecorder recorder;
  SavedFsRedirection saved;
  modFile helpers{ports, recorder, saved, c.isWin64};
  ShortcutReader reader{ports, helpers, recorder, {c.isWin64, kPf32, kPf64}};
  reader.ISL_Init();
  for (const auto& file : c.files) machine.files().addFile(file, "MZ");
  lnk::LnkFile link;
  lnk::setTargetPath(link, c.target, western());
  machine.files().addFile(kLink, lnk::writeLnk(link, western()).bytes);
  EXPECT_EQ(utf16ToUtf8(reader.GetTargetShellLinkW(kLink).Target), utf16ToUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, CorrectionTest,
                         ::testing::Values(CorrectionCase{"native copy exists",
                                                          true,
                                                          u"C:\\Program Files (x86)\\App\\app.exe",
                                                          {u"C:\\Program Files\\App\\app.exe"},
                                                          u"C:\\Program Files\\App\\app.exe"},
                                           CorrectionCase{"folder compared without case",
                                                          true,
                                                          u"c:\\PROGRAM FILES (X86)\\App\\app.exe",
                                                          {u"C:\\Program Files\\App\\app.exe"},
                                                          u"C:\\Program Files\\App\\app.exe"},
                                           CorrectionCase{"target exists where it points",
                                                          true,
                                                          u"C:\\Program Files (x86)\\App\\app.exe",
                                                          {u"C:\\Program Files (x86)\\App\\app.exe",
                                                           u"C:\\Program Files\\App\\app.exe"},
                                                          u"C:\\Program Files (x86)\\App\\app.exe"},
                                           CorrectionCase{"neither exists",
                                                          true,
                                                          u"C:\\Program Files (x86)\\App\\app.exe",
                                                          {},
                                                          u"C:\\Program Files (x86)\\App\\app.exe"},
                                           CorrectionCase{"32-bit system",
                                                          false,
                                                          u"C:\\Program Files (x86)\\App\\app.exe",
                                                          {u"C:\\Program Files\\App\\app.exe"},
                                                          u"C:\\Program Files (x86)\\App\\app.exe"},
                                           CorrectionCase{"outside the folder",
                                                          true,
                                                          u"C:\\Apps\\app.exe",
                                                          {u"C:\\Program Files\\Apps\\app.exe"},
                                                          u"C:\\Apps\\app.exe"}),
                         [](const auto& info) {
                           std::string name;
                           for (const char c : std::string(info.param.what))
                             name += std::isalnum(c) ? c : '_';
                           return name;
                         });

// --- Refreshing --------------------------------------------------------------

TEST(RefreshTest, RefreshLnkNotifiesAndRefreshesTheActiveDesktop) {
  SimMachine machine;
  RecordingRecorder recorder;
  RefreshLNK(machine.shellOps(), machine.shellNotify(), recorder);
  EXPECT_EQ(machine.shellOps().notifications(),
            (std::vector<platform::sim::ChangeNotification>{{0x08000000, 0x1000, u""}}));
  EXPECT_EQ(machine.shellNotify().appliedChanges(), (std::vector<std::uint32_t>{4, 12}));
  EXPECT_EQ(machine.shellNotify().liveActiveDesktops(), 0u);
  EXPECT_TRUE(recorder.empty());
}

TEST(RefreshTest, RefreshLnkWithoutActiveDesktopStillNotifies) {
  SimMachine machine;
  RecordingRecorder recorder;
  machine.shellNotify().setActiveDesktopAvailable(false);
  RefreshLNK(machine.shellOps(), machine.shellNotify(), recorder);
  EXPECT_EQ(machine.shellOps().notifications().size(), 1u);
  EXPECT_TRUE(machine.shellNotify().appliedChanges().empty());
  EXPECT_TRUE(recorder.empty());
}

TEST(RefreshTest, OnlyTheFirstApplyChangesReports) {
  using platform::sim::ShellNotifyOp;
  for (const char16_t* failing : {u"4", u"12"}) {
    SimMachine machine;
    RecordingRecorder recorder;
    machine.shellNotify().faults().failAlways(ShellNotifyOp::kApplyChanges, platform::kHresultFail,
                                              failing);
    RefreshLNK(machine.shellOps(), machine.shellNotify(), recorder);
    const bool first = std::u16string_view(failing) == u"4";
    ASSERT_EQ(recorder.size(), first ? 1u : 0u) << utf16ToUtf8(failing);
    if (first) {
      EXPECT_EQ(recorder.records()[0].context, std::vector<std::u16string>{u"Parser.RefreshLNK"});
      EXPECT_EQ(machine.shellNotify().appliedChanges().size(), 0u) << "12 is not tried";
    }
  }
}

TEST(RefreshTest, RefreshDesktopPostsF5ToTheIconView) {
  using platform::sim::SimShellNotify;
  SimMachine machine;
  RefreshDesktop(machine.shellNotify());
  EXPECT_EQ(
      machine.shellNotify().postedMessages(),
      (std::vector<platform::sim::PostedMessage>{{SimShellNotify::kIconView, 0x0100, 116, 1}}));
  // Nothing to post to: no desktop, or a desktop without its icon view.
  for (const bool running : {false, true}) {
    SimMachine quiet;
    quiet.shellNotify().setDesktopRunning(running, false);
    RefreshDesktop(quiet.shellNotify());
    EXPECT_TRUE(quiet.shellNotify().postedMessages().empty());
  }
}

}  // namespace
}  // namespace tolvaran
