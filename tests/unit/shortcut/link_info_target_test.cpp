// The target recorded in a shortcut's LinkInfo, read from the file's bytes
// on the simulated machine, including what damaged offsets lead to.
#include "shortcut/link_info_target.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/recording_recorder.h"
#include "platform/sim/sim_machine.h"
#include "shortcut/lnk_bytes.h"
#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_writer.h"

namespace tolvaran {
namespace {

using lnk::LinkInfo;
using lnk::LnkFile;

constexpr char16_t kPath[] = u"C:\\Users\\User\\Desktop\\Browser.lnk";

const lnk::AnsiCodec& western() {
  static const lnk::AnsiCodec codec = lnk::codePageCodec(1252);
  return codec;
}

std::string bytesOf(const LnkFile& file) {
  return lnk::writeLnk(file, western()).bytes;
}

// A shortcut whose only section is the given LinkInfo, behind `idList`.
std::string withLinkInfo(const LinkInfo& info, std::optional<lnk::IdList> idList = {}) {
  LnkFile file;
  file.idList = std::move(idList);
  file.linkInfo = info;
  return bytesOf(file);
}

LinkInfo localInfo(std::string basePath, std::string suffix = {}) {
  LinkInfo info;
  info.local = lnk::LocalTarget{{}, std::move(basePath), {}};
  info.commonPathSuffix = std::move(suffix);
  return info;
}

// The LinkInfo of a sample file starts right after the header.
constexpr std::size_t kLinkInfo = 76;
void patch32(std::string& bytes, std::size_t offset, std::uint32_t value) {
  lnk::patchU32(bytes, offset, value);
}

struct TargetCase {
  const char* name;
  std::function<std::string()> bytes;
  std::u16string expected;
  std::uint32_t codePage = 1252;
};

std::vector<TargetCase> targetCases() {
  return {
      {"no LinkInfo",
       [] {
         LnkFile file;
         lnk::setArguments(file, u"C:\\not\\this.exe", western());
         return bytesOf(file);
       },
       u""},
      {"network part only",
       [] {
         LnkFile file;
         lnk::setTargetPath(file, u"\\\\srv\\share\\app.exe", western());
         return bytesOf(file);
       },
       u""},
      {"ID list of 300 bytes puts the LinkInfo at 378",
       [] {
         // One item of 298 bytes and the 2-byte terminator.
         const auto list = lnk::idListFromItems({std::string(296, 'i')});
         std::string bytes = withLinkInfo(localInfo("C:\\x\\y.exe"), list);
         EXPECT_EQ(lnk::u16At(bytes, 76), 300);
         EXPECT_EQ(lnk::u32At(bytes, 378 + 4), lnk::kLinkInfoHeaderSize);
         return bytes;
       },
       u"C:\\x\\y.exe"},
      {"header 0x1C: local base path and suffix",
       [] {
         LinkInfo info = localInfo("C:\\Users\\", "root\\Desktop\\a.rdp");
         info.network = lnk::NetworkLink{};
         info.network->netName = "\\\\HOST\\Users";
         return withLinkInfo(info);
       },
       u"C:\\Users\\root\\Desktop\\a.rdp"},
      {"header 0x24: the UTF-16 path wins over a differing narrow one",
       [] {
         LinkInfo info = localInfo("C:\\??\\app.exe");
         info.local->basePathUnicode = u"C:\\说明\\app.exe";
         info.commonPathSuffixUnicode = u"";
         return withLinkInfo(info);
       },
       u"C:\\说明\\app.exe"},
      {"header 0x24: UTF-16 base path and suffix",
       [] {
         LinkInfo info = localInfo("C:\\Users\\", "????\\x.txt");
         info.local->basePathUnicode = u"C:\\Users\\";
         info.commonPathSuffixUnicode = u"Дима\\x.txt";
         return withLinkInfo(info);
       },
       u"C:\\Users\\Дима\\x.txt"},
      {"header 0x24 whose UTF-16 strings are empty: the narrow path",
       [] {
         LinkInfo info = localInfo("C:\\a.exe");
         info.local->basePathUnicode = u"";
         info.commonPathSuffixUnicode = u"";
         return withLinkInfo(info);
       },
       u"C:\\a.exe"},
      {"narrow strings in the machine's code page",
       [] { return withLinkInfo(localInfo("C:\\\xC8\xE3\xF0\xFB\\game.exe")); },
       u"C:\\Игры\\game.exe", 1251},
      {"spaces around the narrow path are trimmed",
       [] { return withLinkInfo(localInfo("  C:\\a b\\c.exe  ")); }, u"C:\\a b\\c.exe"},
      {"a file shorter than its header",
       [] { return std::string("L\0\0\0\x01\x14\x02\0\0\0\0\0", 12); }, u""},
      {"LinkInfo offsets beyond the end of the file",
       [] {
         std::string bytes = withLinkInfo(localInfo("C:\\a.exe"));
         patch32(bytes, kLinkInfo + 16, 0x10000);  // local base path
         patch32(bytes, kLinkInfo + 24, 0x20000);  // suffix
         return bytes;
       },
       u""},
      {"a narrow path running off the end of the file ends there",
       [] {
         std::string bytes = withLinkInfo(localInfo("C:\\a.exe"));
         bytes.resize(kLinkInfo + 0x2D + 6);  // "C:\a.e"
         return bytes;
       },
       u"C:\\a.e"},
  };
}

TEST(GetLinkInfoTarget, ReadsTheRecordedLocalPath) {
  for (const TargetCase& c : targetCases()) {
    SCOPED_TRACE(c.name);
    platform::sim::SimMachine machine;
    ASSERT_TRUE(machine.system().setAnsiCodePage(c.codePage));
    ASSERT_TRUE(machine.files().addFile(kPath, c.bytes()));
    RecordingRecorder recorder;
    EXPECT_EQ(GetLinkInfoTarget(machine.files(), machine.system(), recorder, kPath), c.expected);
    EXPECT_TRUE(recorder.empty());
    EXPECT_EQ(machine.files().openHandleCount(), 0u);
  }
}

struct FailureCase {
  const char* name;
  std::function<void(platform::sim::SimMachine&)> prepare;
  std::int32_t number;
};

TEST(GetLinkInfoTarget, RecordsWhatCannotBeRead) {
  const std::vector<FailureCase> cases = {
      {"missing file",
       [](platform::sim::SimMachine& machine) {
         ASSERT_TRUE(machine.files().addFolder(u"C:\\Users\\User\\Desktop"));
       },
       rt::kFileNotFound},
      {"file locked after its header was read",
       [](platform::sim::SimMachine& machine) {
         ASSERT_TRUE(machine.files().addFile(kPath, withLinkInfo(localInfo("C:\\a.exe"))));
         machine.files().faults().failNth(platform::sim::FileOp::kReadFile, 2,
                                          platform::kErrorLockViolation);
       },
       rt::kPermissionDenied},
      {"base path length of zero: a length of -1 to read",
       [](platform::sim::SimMachine& machine) {
         std::string bytes = withLinkInfo(localInfo("C:\\a.exe"));
         patch32(bytes, kLinkInfo + 24, lnk::u32At(bytes, kLinkInfo + 16));
         ASSERT_TRUE(machine.files().addFile(kPath, bytes));
       },
       rt::kInvalidProcedureCall},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.name);
    platform::sim::SimMachine machine;
    c.prepare(machine);
    RecordingRecorder recorder;
    EXPECT_EQ(GetLinkInfoTarget(machine.files(), machine.system(), recorder, kPath), u"");
    ASSERT_EQ(recorder.size(), 1u);
    EXPECT_EQ(recorder.records()[0].failure.number, c.number);
    EXPECT_EQ(recorder.records()[0].context,
              (std::vector<std::u16string>{u"Parser.GetLinkInfoTarget", u"File: ", kPath}));
    EXPECT_EQ(machine.files().openHandleCount(), 0u);
  }
}

}  // namespace
}  // namespace tolvaran
