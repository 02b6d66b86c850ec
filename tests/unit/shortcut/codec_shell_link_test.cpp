// The simulated shell-link object: what Load answers for files that are no
// shortcut, which part of a shortcut GetPath reads, how the getters fill a
// caller's buffer, and what Save does on the simulated disk.
#include "shortcut/codec_shell_link.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/scoped_file.h"
#include "platform/sim/sim_machine.h"
#include "shortcut/id_list_path.h"
#include "shortcut/lnk_bytes.h"
#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_reader.h"
#include "shortcut/lnk_writer.h"
#include "support/text.h"

namespace tolvaran {
namespace {

namespace link = platform::shell_link;
using lnk::LnkFile;
using platform::HResult;
using platform::sim::FileOp;
using platform::sim::SimMachine;

constexpr char16_t kLink[] = u"C:\\Users\\User\\Desktop\\App.lnk";
constexpr std::int32_t kBuffer = 32767;

const lnk::AnsiCodec& western() {
  static const lnk::AnsiCodec codec = lnk::codePageCodec(1252);
  return codec;
}

// --- ID lists as Windows writes them -----------------------------------------

std::string u16le(std::u16string_view text) {
  return textToUtf16le(text) + std::string(2, '\0');
}

std::string myComputer() {
  return std::string("\x1f\x50", 2) +
         std::string("\xe0\x4f\xd0\x20\xea\x3a\x69\x10\xa2\xd8\x08\x00\x2b\x30\x30\x9d", 16);
}

std::string drive(std::string root) {
  std::string item = "\x2f" + root;
  item.resize(23, '\0');
  return item;
}

// A folder or file item: the 8.3 name in the item, the long name in a
// version 9 0xBEEF0004 block, as Windows 8 and later write them.
std::string fileEntry(std::string shortName, std::u16string longName, bool folder = false) {
  std::string item(1, folder ? '\x31' : '\x32');
  item += std::string(11, '\0');
  item += shortName;
  item.push_back('\0');
  if (item.size() % 2 != 0) item.push_back('\0');
  const std::size_t extension = item.size();
  std::string block;
  lnk::appendU16(block, 0);  // size, patched below
  lnk::appendU16(block, 9);
  lnk::appendU32(block, 0xBEEF0004);
  block += std::string(8, '\0');  // times
  lnk::appendU16(block, 46);      // where the long name starts
  block += std::string(46 - block.size(), '\0');
  block += u16le(longName);
  lnk::appendU16(block, 0);
  const auto size = static_cast<std::uint16_t>(block.size());
  block[0] = static_cast<char>(size & 0xFF);
  block[1] = static_cast<char>(size >> 8);
  item += block;
  // The item ends with the offset of its first extension block.
  lnk::appendU16(item, static_cast<std::uint16_t>(extension + 2));
  return item;
}

lnk::IdList idList(const std::vector<std::string>& items) {
  return *lnk::idListFromItems(items);
}

// --- The rig -----------------------------------------------------------------

class CodecShellLinkTest : public ::testing::Test {
 protected:
  CodecShellLinkTest() {
    machine.files().addFolder(u"C:\\Users\\User\\Desktop");
    machine.files().addFile(u"C:\\Apps\\app.exe", "MZ");
    auto created = links.createShellLink();
    object = std::move(created.value);
  }

  void put(std::u16string_view path, const std::string& bytes) {
    ASSERT_TRUE(machine.files().addFile(path, bytes));
  }
  void put(const LnkFile& file, std::u16string_view path = kLink) {
    put(path, lnk::writeLnk(file, western()).bytes);
  }
  HResult load(std::u16string_view path = kLink) { return object->load(path, link::kStgmRead).hr; }
  std::u16string path(std::uint32_t flags = link::kSlgpUncPriority) {
    return object->getPath(kBuffer, flags).value;
  }
  std::u16string arguments() { return object->getArguments(kBuffer).value; }

  SimMachine machine;
  lnk::CodecShellLinks links{machine.files(), machine.system()};
  std::unique_ptr<platform::ShellLink> object;
};

LnkFile withArguments(std::u16string_view arguments) {
  LnkFile file;
  lnk::setTargetPath(file, u"C:\\Apps\\app.exe", western());
  lnk::setArguments(file, arguments, western());
  return file;
}

// --- Load --------------------------------------------------------------------

TEST_F(CodecShellLinkTest, LoadAnswersWhatTheShellAnswers) {
  const std::string shortcut = lnk::writeLnk(withArguments(u"--x"), western()).bytes;
  std::string otherClass = shortcut;
  otherClass[4] = '\x02';
  std::string truncated = shortcut.substr(0, shortcut.size() - 10);
  struct Case {
    const char* what;
    std::string bytes;  // nothing written when empty and `exists` false
    bool exists;
    std::u16string path;
    HResult expected;
  };
  const std::vector<Case> cases = {
      {"a shortcut", shortcut, true, u"C:\\Users\\User\\Desktop\\a.lnk", 0},
      {"missing file", {}, false, u"C:\\Users\\User\\Desktop\\none.lnk", 0x80070002u},
      {"missing folder", {}, false, u"C:\\Users\\Nobody\\none.lnk", 0x80070003u},
      {"a folder", {}, false, u"C:\\Users\\User\\Desktop", 0x80070005u},
      {"empty file", "", true, u"C:\\Users\\User\\Desktop\\b.lnk", 0x80004005u},
      {"all NUL bytes", std::string(1536, '\0'), true, u"C:\\Users\\User\\Desktop\\c.lnk",
       0x80004005u},
      {"an HTML page", "<html>\r\n<head><title>x</title></head></html>\r\n", true,
       u"C:\\Users\\User\\Desktop\\d.lnk", 0x80004005u},
      {"another class", otherClass, true, u"C:\\Users\\User\\Desktop\\e.lnk", 0x80004005u},
      {"cut short", truncated, true, u"C:\\Users\\User\\Desktop\\f.lnk", 0x80004005u},
  };
  for (const Case& c : cases) {
    if (c.exists) put(c.path, c.bytes);
    EXPECT_EQ(load(c.path), c.expected) << c.what;
  }
}

TEST_F(CodecShellLinkTest, AFileThatIsNoShortcutLeavesTheObjectAsItWas) {
  put(withArguments(u"--kept"));
  put(u"C:\\Users\\User\\Desktop\\html.lnk", "<html></html>");
  ASSERT_EQ(load(), 0u);
  EXPECT_EQ(load(u"C:\\Users\\User\\Desktop\\html.lnk"), 0x80004005u);
  EXPECT_EQ(load(u"C:\\Users\\User\\Desktop\\missing.lnk"), 0x80070002u);
  EXPECT_EQ(arguments(), u"--kept");
}

TEST_F(CodecShellLinkTest, AFileOpenWithoutReadSharingCannotBeLoaded) {
  put(withArguments(u"--x"));
  const auto held =
      machine.files().createFile(kLink, platform::access::kGenericRead, platform::share::kNone,
                                 platform::Disposition::kOpenExisting);
  ASSERT_TRUE(held.ok());
  EXPECT_EQ(load(), 0x80070020u);
  (void)machine.files().closeHandle(held.value);
  EXPECT_EQ(load(), 0u);
  EXPECT_EQ(machine.files().openHandleCount(), 0u);
}

// --- GetPath -----------------------------------------------------------------

struct PathCase {
  const char* what;
  std::function<LnkFile()> make;
  std::uint32_t flags;
  std::u16string expected;  // empty: S_FALSE
};

LnkFile linkInfoTo(std::u16string_view target) {
  LnkFile file;
  lnk::setTargetPath(file, target, western());
  return file;
}

LnkFile withIdList(LnkFile file, const std::vector<std::string>& items) {
  file.idList = idList(items);
  return file;
}

// A mapped drive: Z: is \\srv\share.
LnkFile mappedDrive(std::u16string_view suffix) {
  LnkFile file = linkInfoTo(u"\\\\srv\\share\\" + std::u16string(suffix));
  file.linkInfo->network->flags |= lnk::netlink::kValidDevice;
  file.linkInfo->network->deviceName = "Z:";
  return file;
}

std::vector<PathCase> pathCases() {
  const std::vector<std::string> appItems = {myComputer(), drive("C:\\"),
                                             fileEntry("PROGRA~1", u"Program Files", true),
                                             fileEntry("BROWSE~1.EXE", u"Browser Launcher.exe")};
  return {
      {"the LinkInfo's local path", [] { return linkInfoTo(u"C:\\Apps\\app.exe"); },
       link::kSlgpUncPriority, u"C:\\Apps\\app.exe"},
      {"the local base path and the suffix",
       [] {
         LnkFile file = linkInfoTo(u"C:\\Apps\\");
         file.linkInfo->commonPathSuffix = "app.exe";
         return file;
       },
       link::kSlgpUncPriority, u"C:\\Apps\\app.exe"},
      {"the ID list over the LinkInfo, with long names",
       [appItems] { return withIdList(linkInfoTo(u"C:\\Apps\\app.exe"), appItems); },
       link::kSlgpUncPriority, u"C:\\Program Files\\Browser Launcher.exe"},
      {"an ID list that is no file-system path gives way to the LinkInfo",
       [] {
         return withIdList(linkInfoTo(u"C:\\Apps\\app.exe"),
                           {myComputer(), std::string("\x2e\x00", 2) + std::string(20, '\x11')});
       },
       link::kSlgpUncPriority, u"C:\\Apps\\app.exe"},
      {"the environment-variable target over everything",
       [appItems] {
         LnkFile file;
         lnk::setEnvironmentTarget(file, u"%windir%\\notepad.exe", u"C:\\Old\\notepad.exe",
                                   western());
         return withIdList(std::move(file), appItems);
       },
       link::kSlgpUncPriority, u"C:\\Windows\\notepad.exe"},
      {"the environment-variable target unexpanded with RAWPATH",
       [] {
         LnkFile file;
         lnk::setEnvironmentTarget(file, u"%windir%\\notepad.exe", u"C:\\Old\\notepad.exe",
                                   western());
         return file;
       },
       link::kSlgpRawPath, u"%windir%\\notepad.exe"},
      {"a share with UNC priority", [] { return mappedDrive(u"dir\\f.exe"); },
       link::kSlgpUncPriority, u"\\\\srv\\share\\dir\\f.exe"},
      {"a share through its mapped drive without it", [] { return mappedDrive(u"dir\\f.exe"); }, 0,
       u"Z:\\dir\\f.exe"},
      {"an ID list on a mapped drive, as UNC",
       [] {
         return withIdList(mappedDrive(u"dir\\f.exe"),
                           {myComputer(), drive("Z:\\"), fileEntry("DIR", u"dir", true),
                            fileEntry("F.EXE", u"f.exe")});
       },
       link::kSlgpUncPriority, u"\\\\srv\\share\\dir\\f.exe"},
      {"ForceNoLinkInfo hides the LinkInfo",
       [] {
         LnkFile file = linkInfoTo(u"C:\\Apps\\app.exe");
         file.header.linkFlags |= lnk::flag::kForceNoLinkInfo;
         return file;
       },
       link::kSlgpUncPriority, u""},
      {"a relative path found beside the shortcut",
       [] {
         LnkFile file;
         lnk::setString(file, lnk::StringField::kRelativePath, u"..\\..\\..\\Apps\\app.exe",
                        western());
         return file;
       },
       link::kSlgpUncPriority, u"C:\\Apps\\app.exe"},
      {"a relative path found nowhere stays as it is",
       [] {
         LnkFile file;
         lnk::setString(file, lnk::StringField::kRelativePath, u".\\gone.exe", western());
         return file;
       },
       link::kSlgpUncPriority, u".\\gone.exe"},
      {"no target at all", [] { return LnkFile{}; }, link::kSlgpUncPriority, u""},
  };
}

TEST_F(CodecShellLinkTest, GetPathReadsThePartTheShellReads) {
  for (const PathCase& c : pathCases()) {
    put(c.make());
    ASSERT_EQ(load(), 0u) << c.what;
    const auto answer = object->getPath(kBuffer, c.flags);
    EXPECT_EQ(utf16ToUtf8(answer.value), utf16ToUtf8(c.expected)) << c.what;
    EXPECT_EQ(answer.hr, c.expected.empty() ? platform::kHresultFalse : platform::kHresultOk)
        << c.what;
  }
}

TEST_F(CodecShellLinkTest, TextGettersFillTheCallersBufferLikeLstrcpyn) {
  LnkFile file = withArguments(std::u16string(u"abc\0def", 7));
  put(file);
  ASSERT_EQ(load(), 0u);
  EXPECT_EQ(object->getArguments(0).value, u"");
  EXPECT_EQ(object->getArguments(1).value, u"");
  EXPECT_EQ(object->getArguments(3).value, u"ab");
  EXPECT_EQ(object->getArguments(100).value, u"abc");  // up to the embedded NUL
  EXPECT_EQ(object->getPath(6, link::kSlgpUncPriority).value, u"C:\\Ap");
  EXPECT_EQ(object->getPath(6, link::kSlgpUncPriority).hr, platform::kHresultOk);
}

// --- Setters and Save --------------------------------------------------------

TEST_F(CodecShellLinkTest, SavedFieldsComeBackThroughTheCodec) {
  ASSERT_EQ(object->setPath(u"\"C:\\Apps\\app.exe\"").hr, platform::kHresultOk);
  ASSERT_EQ(object->setArguments(u"--profile \"Б\"").hr, 0u);
  ASSERT_EQ(object->setWorkingDirectory(u"C:\\Apps").hr, 0u);
  ASSERT_EQ(object->setIconLocation(u"C:\\Apps\\app.ico", 3).hr, 0u);
  ASSERT_EQ(object->setShowCmd(7).hr, 0u);
  ASSERT_EQ(object->setHotkey(0x0641).hr, 0u);
  ASSERT_EQ(object->setDescription(u"Браузер").hr, 0u);
  ASSERT_EQ(object->save(kLink, true).hr, 0u);
  ASSERT_EQ(object->saveCompleted(kLink).hr, 0u);

  const auto read = lnk::readLnk(*machine.files().readFileBytes(kLink), western());
  ASSERT_TRUE(read.ok());
  const LnkFile& file = read.file;
  EXPECT_EQ(lnk::localPath(*file.linkInfo, western()), u"C:\\Apps\\app.exe");
  EXPECT_EQ(file.strings[lnk::StringField::kArguments], u"--profile \"Б\"");
  EXPECT_EQ(file.strings[lnk::StringField::kWorkingDir], u"C:\\Apps");
  EXPECT_EQ(file.strings[lnk::StringField::kIconLocation], u"C:\\Apps\\app.ico");
  EXPECT_EQ(file.strings[lnk::StringField::kName], u"Браузер");
  EXPECT_EQ(file.header.iconIndex, 3);
  EXPECT_EQ(file.header.showCommand, 7u);
  EXPECT_EQ(file.header.hotKey, 0x0641);
}

TEST_F(CodecShellLinkTest, SetPathStoresTheAbsoluteTargetAndSaysWhetherItExists) {
  EXPECT_EQ(object->setPath(u"C:\\Apps\\.\\app.exe").hr, platform::kHresultOk);
  EXPECT_EQ(path(), u"C:\\Apps\\app.exe");
  EXPECT_EQ(object->setPath(u"C:\\Apps\\gone.exe").hr, platform::kHresultFalse);
  EXPECT_EQ(path(), u"C:\\Apps\\gone.exe");
  // Two "%" make an environment-variable target, expanded for GetPath.
  EXPECT_EQ(object->setPath(u"%windir%\\notepad.exe").hr, platform::kHresultFalse);
  EXPECT_EQ(path(), u"C:\\Windows\\notepad.exe");
  EXPECT_EQ(path(link::kSlgpRawPath), u"%windir%\\notepad.exe");
  EXPECT_EQ(object->setPath(u"").hr, platform::kHresultOk);
  EXPECT_EQ(object->getPath(kBuffer, link::kSlgpUncPriority).hr, platform::kHresultFalse);
}

TEST_F(CodecShellLinkTest, SaveFailsWithTheFileSystemsAnswer) {
  ASSERT_EQ(object->setPath(u"C:\\Apps\\app.exe").hr, 0u);
  put(u"C:\\Users\\User\\Desktop\\ro.lnk", "old");
  ASSERT_TRUE(machine.files()
                  .setFileAttributes(u"C:\\Users\\User\\Desktop\\ro.lnk", platform::attr::kReadOnly)
                  .ok());
  EXPECT_EQ(object->save(u"C:\\Users\\User\\Desktop\\ro.lnk", true).hr, 0x80070005u);
  EXPECT_EQ(machine.files().readFileBytes(u"C:\\Users\\User\\Desktop\\ro.lnk"), "old");
  EXPECT_EQ(object->save(u"C:\\Users\\Nobody\\x.lnk", true).hr, 0x80070003u);
  // A folder whose permissions refuse new files.
  machine.files().faults().failAlways(FileOp::kCreateFile, platform::kErrorAccessDenied, kLink);
  EXPECT_EQ(object->save(kLink, true).hr, platform::kHresultAccessDenied);
  EXPECT_FALSE(machine.files().exists(kLink));
}

TEST_F(CodecShellLinkTest, ATextTooLongForTheFileIsNotSaved) {
  ASSERT_EQ(object->setArguments(std::u16string(70000, u'a')).hr, 0u);
  EXPECT_EQ(object->save(kLink, true).hr, platform::kHresultInvalidArg);
  EXPECT_FALSE(machine.files().exists(kLink));
}

// --- ID lists ------------------------------------------------------------------

// Damaged items (any byte changed, any length cut) give a path or nothing,
// never a read outside the item (the sanitizer build checks).
TEST(IdListPathTest, DamagedItemsAreReadSafely) {
  const lnk::IdList good =
      idList({myComputer(), drive("C:\\"), fileEntry("PROGRA~1", u"Program Files", true),
              fileEntry("APP.EXE", u"app.exe")});
  ASSERT_EQ(lnk::idListFileSystemPath(good, western()), u"C:\\Program Files\\app.exe");
  std::size_t readable = 0;
  for (std::size_t at = 0; at < good.items.size(); ++at) {
    for (const char value : {'\x00', '\x01', '\x7f', '\xff'}) {
      lnk::IdList damaged = good;
      damaged.items[at] = value;
      readable += lnk::idListFileSystemPath(damaged, western()).has_value() ? 1 : 0;
    }
    lnk::IdList cut = good;
    cut.items.resize(at);
    (void)lnk::idListFileSystemPath(cut, western());
  }
  EXPECT_GT(readable, 0u);
}

// --- ID lists of real shortcuts ----------------------------------------------

std::filesystem::path corpusFolder() {
  return std::filesystem::path(TOLVARAN_SOURCE_DIR "/../shared/corpus/lnk");
}

bool isAscii(std::u16string_view text) {
  for (const char16_t c : text) {
    if (c > 0x7F) return false;
  }
  return true;
}

// Where a real shortcut has both, its ID list, read as a path, names what
// its LinkInfo records (compared where the code page cannot blur the
// narrow path).
TEST(IdListPathTest, AgreesWithTheLinkInfoOfRealShortcuts) {
  std::error_code error;
  if (!std::filesystem::is_directory(corpusFolder(), error)) {
    GTEST_SKIP() << "no shortcut corpus at " << corpusFolder().string();
  }
  std::size_t compared = 0;
  for (std::filesystem::recursive_directory_iterator it(corpusFolder(), error), end;
       !error && it != end; it.increment(error)) {
    if (it->path().extension() != ".lnk") continue;
    std::ifstream in(it->path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const auto read = lnk::readLnk(bytes.str(), western());
    if (!read.file.idList || !read.file.linkInfo) continue;
    const std::u16string local = lnk::localPath(*read.file.linkInfo, western());
    const auto fromIdList = lnk::idListFileSystemPath(*read.file.idList, western());
    if (local.empty() || !fromIdList || !isAscii(local)) continue;
    ++compared;
    EXPECT_TRUE(equalsNoCase(*fromIdList, local))
        << it->path().filename() << ": " << utf16ToUtf8(*fromIdList) << " vs "
        << utf16ToUtf8(local);
  }
  EXPECT_GE(compared, 50u);
}

}  // namespace
}  // namespace tolvaran
