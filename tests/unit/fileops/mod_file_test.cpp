// The module-level file helpers over the simulated machine.
#include "fileops/mod_file.h"

#include <gtest/gtest.h>

#include "common/recording_recorder.h"
#include "fileops/text_decoding.h"
#include "platform/scoped_file.h"
#include "platform/sim/sim_machine.h"
#include "support/file_time.h"
#include "support/text.h"
#include "unit/fileops/forwarding_files.h"

namespace tolvaran {
namespace {

using platform::SystemTime;
using platform::sim::FileOp;
using platform::sim::OsProfile;
using platform::sim::ProfileOptions;
using platform::sim::SimMachine;
using platform::sim::WindowsRelease;

OsProfile osProfile(bool is64BitOs, std::uint32_t pointerSize = 4) {
  return platform::sim::makeOsProfile(ProfileOptions{.release = WindowsRelease::Windows7,
                                                     .is64BitOs = is64BitOs,
                                                     .processPointerSize = pointerSize});
}

// A machine, the helpers over it and what they record. The file port may be
// wrapped (ForwardingFiles) to make one call throw.
struct Rig {
  explicit Rig(OsProfile os = platform::sim::defaultOsProfile())
      : machine(os), forwarding(machine.files()) {}

  platform::Ports ports() {
    platform::Ports sim = machine.ports();
    return platform::Ports{forwarding,   sim.system,     sim.clock,     sim.profile,
                           sim.ui,       sim.registry,   sim.osInfo,    sim.processes,
                           sim.shellOps, sim.shellLinks, sim.installer, sim.shellNotify};
  }
  std::vector<FileOp> calls() {
    std::vector<FileOp> ops;
    for (const auto& entry : machine.files().journal()) ops.push_back(entry.op);
    return ops;
  }

  SimMachine machine;
  ForwardingFiles forwarding;
  RecordingRecorder recorder;
  SavedFsRedirection saved;
  modFile files{ports(), recorder, saved, machine.osInfo().profile().is64BitOs};
};

// --- isFileExists ------------------------------------------------------------

struct ExistsCase {
  const char* name;
  std::u16string path;
  bool exists;
  std::u16string failed;
};

void PrintTo(const ExistsCase& c, std::ostream* out) {
  *out << c.name;
}

class ExistenceTest : public ::testing::TestWithParam<ExistsCase> {};

TEST_P(ExistenceTest, FiveTestsAndTheOnesThatFailed) {
  const ExistsCase& c = GetParam();
  Rig rig;
  auto& files = rig.machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\dir\\a.txt", "a"));
  ASSERT_TRUE(
      files.addFile(u"C:\\dir\\locked.txt", "l",
                    platform::attr::kReadOnly | platform::attr::kHidden | platform::attr::kSystem));

  std::u16string failed = u"stale";
  EXPECT_EQ(rig.files.isFileExists(c.path, failed), c.exists);
  EXPECT_EQ(failed, c.failed);
  EXPECT_FALSE(files.wow64().disabled());
  EXPECT_EQ(files.openHandleCount() + files.openFindCount(), 0u);
  EXPECT_TRUE(rig.recorder.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExistenceTest,
    ::testing::Values(ExistsCase{"File", u"C:\\dir\\a.txt", true, u""},
                      ExistsCase{"ReadOnlyHiddenSystemFile", u"C:\\dir\\locked.txt", true, u""},
                      ExistsCase{"LongPathForm", u"\\\\?\\C:\\dir\\a.txt", true, u""},
                      ExistsCase{"Folder", u"C:\\dir", true, u"456"},
                      ExistsCase{"MissingFile", u"C:\\dir\\none.txt", false, u"34567"},
                      ExistsCase{"Empty", u"", false, u""},
                      // No file has these, whatever FindFirstFileW's wildcards match.
                      ExistsCase{"QuestionMark", u"C:\\dir\\?.txt", false, u""},
                      ExistsCase{"Star", u"C:\\dir\\a.*", false, u""},
                      ExistsCase{"LongPathFormThenWildcard", u"\\\\?\\C:\\dir\\?.txt", false, u""},
                      ExistsCase{"DeviceFormThenWildcard", u"\\\\.\\C:\\dir\\*", false, u""},
                      ExistsCase{"DosWildcard", u"C:\\dir\\a<txt", false, u""},
                      ExistsCase{"Bar", u"C:\\dir\\a.txt|x", false, u""},
                      ExistsCase{"Quote", u"\"C:\\dir\\a.txt\"", false, u""},
                      ExistsCase{"EmbeddedNul", std::u16string(u"C:\\dir\\a.txt\0x", 14), false,
                                 u""},
                      ExistsCase{"Tab", u"C:\\dir\\a.txt\t", false, u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExistenceNumbersTest, EachFailingTestIsNamedByItsNumber) {
  const std::array<std::pair<FileOp, char16_t>, 5> tests{{{FileOp::kPathFileExists, u'3'},
                                                          {FileOp::kGetFileAttributes, u'4'},
                                                          {FileOp::kFindFirstFile, u'5'},
                                                          {FileOp::kCreateFile, u'6'},
                                                          {FileOp::kShellPathFileExists, u'7'}}};
  for (const auto& [op, number] : tests) {
    Rig rig;
    ASSERT_TRUE(rig.machine.files().addFile(u"C:\\a.txt", "a"));
    rig.machine.files().faults().failAlways(op, platform::kErrorAccessDenied);
    std::u16string failed;
    EXPECT_TRUE(rig.files.isFileExists(u"C:\\a.txt", failed));
    EXPECT_EQ(failed, std::u16string(1, number));
  }
}

TEST(ExistenceNetworkTest, NoCallReachesTheNetwork) {
  Rig rig;
  rig.machine.files().clearJournal();
  for (const char16_t* path :
       {u"\\\\unreachable\\share\\x.lnk", u"//unreachable/share/x.lnk", u"\\/unreachable/x.lnk"}) {
    std::u16string failed = u"stale";
    EXPECT_FALSE(rig.files.isFileExists(path, failed));
    EXPECT_EQ(failed, u"");
  }
  EXPECT_TRUE(rig.calls().empty());
}

TEST(IsNetworkPathTest, KnowsSharesFromLocalDeviceForms) {
  EXPECT_TRUE(isNetworkPath(u"\\\\server\\share\\a.exe"));
  EXPECT_TRUE(isNetworkPath(u"//server/share/a.exe"));
  EXPECT_TRUE(isNetworkPath(u"\\\\?\\UNC\\server\\share\\a.exe"));
  EXPECT_FALSE(isNetworkPath(u"\\\\?\\C:\\a.exe"));
  EXPECT_FALSE(isNetworkPath(u"\\\\.\\C:\\a.exe"));
  EXPECT_FALSE(isNetworkPath(u"C:\\a.exe"));
  EXPECT_TRUE(isNetworkPath(u"\\/server/share"));
  EXPECT_TRUE(isNetworkPath(u"//?/unc/server/share"));
  EXPECT_FALSE(isNetworkPath(u"\\\\?\\UNCLE\\a.exe"));
  EXPECT_FALSE(isNetworkPath(u""));
}

// --- The native System32 from a 32-bit program ------------------------------

TEST(NativeSystem32Test, Wow64ProgramSeesTheNativeFolderOnlyInsideTheTest) {
  Rig rig;  // 64-bit Windows, the 32-bit build
  auto& files = rig.machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\Windows\\System32\\only-native.exe", "n"));
  ASSERT_TRUE(files.addFile(u"C:\\Windows\\SysWOW64\\only-wow.exe", "w"));
  ASSERT_FALSE(files.getFileAttributes(u"C:\\Windows\\System32\\only-native.exe").ok());
  files.clearJournal();

  std::u16string failed;
  EXPECT_TRUE(rig.files.isFileExists(u"C:\\Windows\\System32\\only-native.exe", failed));
  EXPECT_EQ(failed, u"");
  const auto calls = rig.calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), FileOp::kDisableWow64FsRedirection);
  EXPECT_EQ(calls.back(), FileOp::kRevertWow64FsRedirection);
  EXPECT_FALSE(files.wow64().disabled());

  EXPECT_FALSE(rig.files.isFileExists(u"C:\\Windows\\System32\\only-wow.exe", failed));
  EXPECT_EQ(failed, u"34567");
  EXPECT_TRUE(rig.files.isFileExists(u"C:\\Windows\\SysWOW64\\only-wow.exe"));
}

TEST(NativeSystem32Test, OtherSystemsTakeThePathAsIs) {
  for (const OsProfile& os : {osProfile(false), osProfile(true, 8)}) {
    Rig rig(os);
    ASSERT_TRUE(rig.machine.files().addFile(u"C:\\Windows\\System32\\native.exe", "n"));
    std::u16string failed;
    EXPECT_TRUE(rig.files.isFileExists(u"C:\\Windows\\System32\\native.exe", failed));
    EXPECT_EQ(failed, u"");
  }
}

// --- ToggleWow64FsRedirection -------------------------------------------------

TEST(ToggleTest, SwitchesOnlyInsideTheWindowsFolderAndOnlyOnAChange) {
  Rig rig;
  auto& files = rig.machine.files();
  files.clearJournal();
  EXPECT_FALSE(rig.files.ToggleWow64FsRedirection(false, u"C:\\Program Files\\x.exe"));
  EXPECT_FALSE(rig.files.ToggleWow64FsRedirection(true, u"D:\\x"));
  EXPECT_TRUE(files.journal().empty());

  EXPECT_TRUE(rig.files.ToggleWow64FsRedirection(false, u"c:\\WINDOWS\\system32\\x.exe"));
  EXPECT_TRUE(files.wow64().disabled());
  EXPECT_TRUE(rig.files.redirectionIsOff());
  EXPECT_FALSE(rig.files.ToggleWow64FsRedirection(false, u"C:\\Windows\\x")) << "already off";
  EXPECT_TRUE(rig.files.ToggleWow64FsRedirection(true, u""));
  EXPECT_FALSE(files.wow64().disabled());
  EXPECT_FALSE(rig.files.ToggleWow64FsRedirection(true, u"")) << "already on";
  EXPECT_EQ(files.journal().size(), 2u);
}

TEST(ToggleTest, NothingToSwitch) {
  // 32-bit Windows: never a call. The 64-bit build on 64-bit Windows: the
  // call is made and refused, and the helper says so.
  Rig x86(osProfile(false));
  x86.machine.files().clearJournal();
  EXPECT_FALSE(x86.files.ToggleWow64FsRedirection(false, u""));
  EXPECT_TRUE(x86.machine.files().journal().empty());

  Rig x64(osProfile(true, 8));
  EXPECT_FALSE(x64.files.ToggleWow64FsRedirection(false, u"C:\\Windows"));
  EXPECT_FALSE(x64.files.ToggleWow64FsRedirection(true, u""));
}

// --- GetFileSize ---------------------------------------------------------------

TEST(FileSizeTest, SizeOrZero) {
  Rig rig;
  auto& files = rig.machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\five.bin", "12345"));
  ASSERT_TRUE(files.addFile(u"C:\\empty.bin", ""));
  ASSERT_TRUE(files.addFile(u"C:\\denied.bin", "1234"));
  files.faults().failAlways(FileOp::kCreateFile, platform::kErrorAccessDenied, u"C:\\denied.bin");
  EXPECT_EQ(rig.files.GetFileSize(u"C:\\five.bin"), 5u);
  EXPECT_EQ(rig.files.GetFileSize(u"C:\\empty.bin"), 0u);
  EXPECT_EQ(rig.files.GetFileSize(u"C:\\denied.bin"), 0u);
  EXPECT_EQ(rig.files.GetFileSize(u"C:\\none.bin"), 0u);

  // Held open by another program without sharing: the size is still read.
  const auto held = files.createFile(u"C:\\five.bin", platform::access::kGenericWrite,
                                     platform::share::kNone, platform::Disposition::kOpenExisting);
  ASSERT_TRUE(held.ok());
  EXPECT_EQ(rig.files.GetFileSize(u"C:\\five.bin"), 5u);
  (void)files.closeHandle(held.value);
  EXPECT_EQ(files.openHandleCount(), 0u);
}

TEST(FileSizeTest, TheLimit) {
  Rig rig;
  ASSERT_TRUE(rig.machine.files().addFile(u"C:\\huge.bin", "x"));
  rig.forwarding.reportSize(kFileSizeLimit - 1);
  EXPECT_EQ(rig.files.GetFileSize(u"C:\\huge.bin"), kFileSizeLimit - 1);
  rig.forwarding.reportSize(kFileSizeLimit);
  EXPECT_EQ(rig.files.GetFileSize(u"C:\\huge.bin"), 0u);
  rig.forwarding.reportSize(~0ull);
  EXPECT_EQ(rig.files.GetFileSize(u"C:\\huge.bin"), 0u);
}

// --- GetFileDate ---------------------------------------------------------------

TEST(FileDateTest, EachKindInLocalTimeToTheSecond) {
  Rig rig;
  auto& files = rig.machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\a.lnk", "a"));
  const auto at = [](SystemTime t) { return *systemTimeToFileTime(t); };
  ASSERT_TRUE(files.setTimes(u"C:\\a.lnk", {at({2020, 1, 0, 2, 21, 30, 15, 999}),   // creation
                                            at({2024, 2, 0, 29, 23, 59, 59, 0}),    // access
                                            at({2025, 12, 0, 31, 22, 0, 0, 0})}));  // write
  rig.machine.clock().setUtcOffsetMinutes(180);

  EXPECT_EQ(rig.files.GetFileDate(u"C:\\a.lnk", file_date::kCreation),
            (SystemTime{2020, 1, 5, 3, 0, 30, 15, 0}));
  EXPECT_EQ(rig.files.GetFileDate(u"C:\\a.lnk", file_date::kLastWrite),
            (SystemTime{2026, 1, 4, 1, 1, 0, 0, 0}));
  EXPECT_EQ(rig.files.GetFileDate(u"C:\\a.lnk", file_date::kLastAccess),
            (SystemTime{2024, 3, 5, 1, 2, 59, 59, 0}));

  for (const std::int32_t kind : {0, 4, -1}) {
    EXPECT_EQ(rig.files.GetFileDate(u"C:\\a.lnk", kind), kNoFileDate) << kind;
  }
  EXPECT_EQ(rig.files.GetFileDate(u"C:\\none.lnk", file_date::kCreation), kNoFileDate);
  EXPECT_EQ(files.openHandleCount(), 0u);
  EXPECT_TRUE(rig.recorder.empty()) << "a missing file is no failure";
}

TEST(FileDateTest, TimesTheSystemCannotConvertGiveNoDate) {
  Rig rig;
  auto& files = rig.machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\a.lnk", "a"));
  ASSERT_TRUE(files.setTimes(u"C:\\a.lnk", {0, ~0ull, 0}));
  rig.machine.clock().setUtcOffsetMinutes(-60);  // time 0 moves before 1601
  EXPECT_EQ(rig.files.GetFileDate(u"C:\\a.lnk", file_date::kCreation), kNoFileDate);
  EXPECT_EQ(rig.files.GetFileDate(u"C:\\a.lnk", file_date::kLastAccess), kNoFileDate);
}

// --- Byte-order marks ---------------------------------------------------------------

TEST(ByteOrderMarkTest, MarksAreTheBytesDecodedWithTheAnsiCodePage) {
  Rig rig;
  auto& system = rig.machine.system();
  const auto decoded = [&](std::string_view bytes) { return system.ansiToWide(bytes); };
  EXPECT_TRUE(rig.files.IsUtf16Bom(decoded("\xFF\xFE@\0a\0")));
  EXPECT_FALSE(rig.files.IsUtf16Bom(decoded("\xFE\xFF")));
  EXPECT_FALSE(rig.files.IsUtf16Bom(decoded("\xFF")));
  EXPECT_TRUE(rig.files.IsUtf8Bom(decoded("\xEF\xBB\xBF@echo off")));
  EXPECT_FALSE(rig.files.IsUtf8Bom(decoded("\xEF\xBB")));
  EXPECT_FALSE(rig.files.IsUtf8Bom(decoded("\xFF\xFE")));

  // On a Cyrillic system the same bytes read as other letters.
  const std::u16string latin = decoded("\xFF\xFE");
  ASSERT_TRUE(system.setAnsiCodePage(1251));
  EXPECT_TRUE(rig.files.IsUtf16Bom(u"\u044F\u044Etext"));
  EXPECT_FALSE(rig.files.IsUtf16Bom(latin));
}

// --- Text decoding ---------------------------------------------------------------

TEST(TextDecodingTest, EachEncodingFromItsBytes) {
  const std::u16string path = u"start C:\\Программы\\x.exe";
  const std::string le = textToUtf16le(path);
  std::string be = le;
  for (std::size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  const struct {
    const char* name;
    std::uint32_t codePage;
    std::string bytes;
    std::u16string text;
    TextEncoding encoding;
  } cases[] = {
      {"UTF-16LE mark", 1252, "\xFF\xFE" + le, path, TextEncoding::kUtf16Le},
      {"UTF-16BE mark", 1252, "\xFE\xFF" + be, path, TextEncoding::kUtf16Be},
      {"UTF-16BE: odd byte dropped, NUL kept", 1252, std::string("\xFE\xFF\0a\0\0\0", 7),
       std::u16string(u"a\0", 2), TextEncoding::kUtf16Be},
      {"UTF-8 mark", 1251, "\xEF\xBB\xBF" + utf16ToUtf8(path), path, TextEncoding::kUtf8},
      {"UTF-8 mark, ill-formed after it", 1252,
       "\xEF\xBB\xBF"
       "a\xFF",
       u"a\uFFFD", TextEncoding::kUtf8},
      {"UTF-8 without mark", 1252, utf16ToUtf8(path), path, TextEncoding::kUtf8},
      {"plain ASCII", 1251, "start C:\\x.exe", u"start C:\\x.exe", TextEncoding::kAnsi},
      {"DOS Cyrillic, English system", 1252, utf16ToCodePage(path, 866), path,
       TextEncoding::kDosCyrillic},
      {"DOS Cyrillic, Russian system", 1251, utf16ToCodePage(path, 866), path,
       TextEncoding::kDosCyrillic},
      {"Windows-1251, Russian system", 1251, utf16ToCodePage(path, 1251), path,
       TextEncoding::kAnsi},
      {"ill-formed UTF-8 is ANSI", 1252, "C:\\H\xE9l\xC3ne\\x.exe", u"C:\\H\u00E9l\u00C3ne\\x.exe",
       TextEncoding::kAnsi},
      {"empty", 1251, "", u"", TextEncoding::kAnsi},
  };
  SimMachine machine;
  for (const auto& c : cases) {
    ASSERT_TRUE(machine.system().setAnsiCodePage(c.codePage));
    const DecodedText decoded = decodeTextBytes(machine.system(), c.bytes);
    EXPECT_EQ(decoded.text, c.text) << c.name;
    EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
  }
}

// --- Failures --------------------------------------------------------------------

TEST(FileHelperFailuresTest, GuardedHelpersRecordAndCleanUp) {
  {
    Rig rig;
    ASSERT_TRUE(rig.machine.files().addFile(u"C:\\Windows\\System32\\x.exe", "x"));
    rig.forwarding.throwIn("getFileAttributes");
    std::u16string failed;
    EXPECT_FALSE(rig.files.isFileExists(u"C:\\Windows\\System32\\x.exe", failed));
    EXPECT_EQ(failed, u"");
    EXPECT_FALSE(rig.machine.files().wow64().disabled()) << "redirection is back on";
    ASSERT_EQ(rig.recorder.size(), 1u);
    EXPECT_EQ(rig.recorder.records()[0].context,
              std::vector<std::u16string>{u"modFile.isFileExists"});
    EXPECT_EQ(rig.recorder.records()[0].failure.number, rt::kOutOfMemory);
  }
  {
    Rig rig;
    ASSERT_TRUE(rig.machine.files().addFile(u"C:\\a.lnk", "a"));
    rig.forwarding.throwIn("getFileTime");
    EXPECT_EQ(rig.files.GetFileDate(u"C:\\a.lnk", 2), kNoFileDate);
    EXPECT_EQ(rig.machine.files().openHandleCount(), 0u);
    ASSERT_EQ(rig.recorder.size(), 1u);
    EXPECT_EQ(rig.recorder.records()[0].context,
              (std::vector<std::u16string>{u"Parser.GetFileDate", u"File:", u"C:\\a.lnk"}));
  }
  {
    // These never report: they only answer their neutral value.
    Rig rig;
    ASSERT_TRUE(rig.machine.files().addFile(u"C:\\a.lnk", "a"));
    rig.forwarding.throwIn("getFileSize");
    EXPECT_EQ(rig.files.GetFileSize(u"C:\\a.lnk"), 0u);
    rig.forwarding.throwIn("disableWow64FsRedirection");
    EXPECT_FALSE(rig.files.ToggleWow64FsRedirection(false, u"C:\\Windows"));
    EXPECT_TRUE(rig.recorder.empty());
  }
}

}  // namespace
}  // namespace tolvaran
