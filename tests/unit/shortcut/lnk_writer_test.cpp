// Shortcuts made from nothing through the edit functions: each property
// lands in every structure that carries it, and reads back as set.
#include "shortcut/lnk_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "shortcut/lnk_bytes.h"
#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_reader.h"
#include "support/text.h"

namespace tolvaran::lnk {
namespace {

struct WriterCase {
  const char* name;
  std::uint32_t codePage;
  bool ansiStrings;  // start with IsUnicode clear
  std::function<void(LnkFile&, const AnsiCodec&)> edit;
  // Checks the model read back and the bytes written.
  std::function<void(const LnkFile&, const std::string&)> check;
};

constexpr char16_t kTarget[] = u"C:\\Program Files\\Browser\\browser.exe";

std::u16string stringOf(const LnkFile& file, StringField field) {
  return file.strings[field].value_or(u"<absent>");
}

std::optional<ExpandableString> blockText(const LnkFile& file, std::uint32_t signature) {
  const ExtraBlock* block = file.findBlock(signature);
  return block ? readExpandableString(*block) : std::nullopt;
}

const std::vector<WriterCase>& writerCases() {
  static const std::vector<WriterCase> cases = {
      {"plain target", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) { setTargetPath(f, kTarget, c); },
       [](const LnkFile& f, const std::string& bytes) {
         ASSERT_TRUE(f.linkInfo && f.linkInfo->local);
         EXPECT_EQ(f.linkInfo->local->basePath, utf16ToUtf8(kTarget));
         EXPECT_EQ(localPath(*f.linkInfo, codePageCodec(1252)), kTarget);
         EXPECT_FALSE(f.linkInfo->local->basePathUnicode);
         EXPECT_FALSE(f.idList);
         EXPECT_EQ(u32At(bytes, 20), flag::kHasLinkInfo | flag::kIsUnicode);
         EXPECT_EQ(u32At(bytes, 76 + 4), kLinkInfoHeaderSize);
       }},
      {"UNC target", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) { setTargetPath(f, u"\\\\srv\\apps\\bin\\x.exe", c); },
       [](const LnkFile& f, const std::string&) {
         ASSERT_TRUE(f.linkInfo && f.linkInfo->network);
         EXPECT_FALSE(f.linkInfo->local);
         EXPECT_EQ(f.linkInfo->network->netName, "\\\\srv\\apps");
         EXPECT_EQ(f.linkInfo->commonPathSuffix, "bin\\x.exe");
         EXPECT_EQ(networkPath(*f.linkInfo, codePageCodec(1252)), u"\\\\srv\\apps\\bin\\x.exe");
       }},
      {"strings", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) {
         setArguments(f, u"--profile-directory=Default http://example.com", c);
         setDescription(f, u"Browse the web", c);
         setWorkingDirectory(f, u"C:\\Program Files\\Browser", c);
       },
       [](const LnkFile& f, const std::string& bytes) {
         EXPECT_EQ(stringOf(f, StringField::kArguments),
                   u"--profile-directory=Default http://example.com");
         EXPECT_EQ(stringOf(f, StringField::kName), u"Browse the web");
         EXPECT_EQ(stringOf(f, StringField::kWorkingDir), u"C:\\Program Files\\Browser");
         EXPECT_EQ(u32At(bytes, 20),
                   flag::kHasName | flag::kHasWorkingDir | flag::kHasArguments | flag::kIsUnicode);
       }},
      {"arguments removed", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) {
         setArguments(f, u"http://ads.example", c);
         setArguments(f, u"", c);
       },
       [](const LnkFile& f, const std::string& bytes) {
         EXPECT_FALSE(f.strings[StringField::kArguments]);
         EXPECT_EQ(u32At(bytes, 20) & flag::kHasArguments, 0u);
       }},
      {"icon, hot key and show command", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) {
         setIconLocation(f, u"C:\\icons\\b.ico", 5, c);
         setHotKey(f, 0x0341);  // Ctrl+Shift+A
         setShowCommand(f, show::kMinNoActive);
       },
       [](const LnkFile& f, const std::string& bytes) {
         EXPECT_EQ(stringOf(f, StringField::kIconLocation), u"C:\\icons\\b.ico");
         EXPECT_FALSE(f.findBlock(sig::kIconEnvironment));
         EXPECT_FALSE(f.hasFlag(flag::kHasExpIcon));
         EXPECT_EQ(u32At(bytes, 56), 5u);
         EXPECT_EQ(u32At(bytes, 60), show::kMinNoActive);
         EXPECT_EQ(u16At(bytes, 64), 0x0341);
       }},
      {"icon naming a variable", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) {
         setIconLocation(f, u"%SystemRoot%\\system32\\shell32.dll", -13, c);
       },
       [](const LnkFile& f, const std::string&) {
         EXPECT_EQ(f.header.iconIndex, -13);
         const auto icon = blockText(f, sig::kIconEnvironment);
         ASSERT_TRUE(icon);
         EXPECT_EQ(icon->ansi, "%SystemRoot%\\system32\\shell32.dll");
         EXPECT_EQ(icon->unicode, u"%SystemRoot%\\system32\\shell32.dll");
         EXPECT_TRUE(f.hasFlag(flag::kHasExpIcon));
       }},
      {"Unicode names", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) {
         setTargetPath(f, u"C:\\Users\\Дмитрий\\说明.exe", c);
         setDescription(f, u"\U0001F310 Браузер", c);
       },
       [](const LnkFile& f, const std::string& bytes) {
         ASSERT_TRUE(f.linkInfo && f.linkInfo->local);
         // The code page cannot hold the path: a UTF-16 copy rides along.
         EXPECT_EQ(u32At(bytes, 76 + 4), kLinkInfoHeaderSizeUnicode);
         EXPECT_EQ(f.linkInfo->local->basePath, "C:\\Users\\???????\\??.exe");
         EXPECT_EQ(localPath(*f.linkInfo, codePageCodec(1252)), u"C:\\Users\\Дмитрий\\说明.exe");
         EXPECT_EQ(stringOf(f, StringField::kName), u"\U0001F310 Браузер");
       }},
      {"long path", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) {
         setTargetPath(f, u"C:\\" + std::u16string(300, u'a') + u"\\x.exe", c);
         setArguments(f, std::u16string(40000, u'z'), c);
       },
       [](const LnkFile& f, const std::string&) {
         EXPECT_EQ(localPath(*f.linkInfo, codePageCodec(1252)).size(), 309u);
         EXPECT_EQ(stringOf(f, StringField::kArguments).size(), 40000u);
       }},
      {"environment target", 1252, false,
       [](LnkFile& f, const AnsiCodec& c) {
         setEnvironmentTarget(f, u"%USERPROFILE%\\说明.exe", u"C:\\Users\\User\\说明.exe", c);
       },
       [](const LnkFile& f, const std::string&) {
         const auto env = blockText(f, sig::kEnvironmentVariables);
         ASSERT_TRUE(env);
         EXPECT_EQ(env->ansi, "%USERPROFILE%\\??.exe");  // what the code page can hold
         EXPECT_EQ(env->unicode, u"%USERPROFILE%\\说明.exe");
         EXPECT_TRUE(f.hasFlag(flag::kHasExpString));
         EXPECT_EQ(localPath(*f.linkInfo, codePageCodec(1252)), u"C:\\Users\\User\\说明.exe");
       }},
      {"code-page strings", 1251, true,
       [](LnkFile& f, const AnsiCodec& c) {
         setArguments(f, u"-профиль", c);
         setWorkingDirectory(f, u"C:\\Игры", c);
       },
       [](const LnkFile& f, const std::string& bytes) {
         EXPECT_FALSE(f.isUnicode());
         EXPECT_EQ(stringOf(f, StringField::kArguments), u"-профиль");
         // Counted in bytes, one per character in this code page.
         EXPECT_NE(bytes.find("\x07\x00"
                              "C:\\\xC8\xE3\xF0\xFB",
                              0),
                   std::string::npos);
       }},
      {"code-page strings switch to UTF-16 for a foreign character", 1251, true,
       [](LnkFile& f, const AnsiCodec& c) {
         setArguments(f, u"-профиль", c);
         setDescription(f, u"说明", c);
       },
       [](const LnkFile& f, const std::string&) {
         EXPECT_TRUE(f.isUnicode());
         EXPECT_EQ(stringOf(f, StringField::kArguments), u"-профиль");
         EXPECT_EQ(stringOf(f, StringField::kName), u"说明");
       }},
  };
  return cases;
}

TEST(LnkWriter, EachPropertyLandsInItsStructures) {
  for (const WriterCase& c : writerCases()) {
    SCOPED_TRACE(c.name);
    const AnsiCodec codec = codePageCodec(c.codePage);
    LnkFile file;
    if (c.ansiStrings) file.header.linkFlags = 0;
    c.edit(file, codec);
    const WriteResult written = writeLnk(file, codec);
    ASSERT_TRUE(written.ok());
    const ReadResult back = readLnk(written.bytes, codec);
    ASSERT_TRUE(back.ok()) << utf16ToUtf8(describe(back.error)) << " at " << back.errorOffset;
    EXPECT_TRUE(back.file == file);
    c.check(back.file, written.bytes);
  }
}

TEST(LnkWriter, RefusesWhatTheFormatCannotHold) {
  const AnsiCodec codec = codePageCodec(1252);
  LnkFile tooLongString;
  setArguments(tooLongString, std::u16string(0x10000, u'x'), codec);
  EXPECT_EQ(writeLnk(tooLongString, codec).error, WriteError::kStringTooLong);

  LnkFile tooLongList;
  tooLongList.idList = idListFromItems({std::string(40000, 'a'), std::string(40000, 'b')});
  EXPECT_EQ(writeLnk(tooLongList, codec).error, WriteError::kIdListTooLong);
  EXPECT_FALSE(idListFromItems({std::string(0x10000, 'a')}));
}

// Retargeting a shortcut leaves nothing that could lead the shell back to the
// old target, and keeps what has nothing to do with it.
TEST(LnkWriter, RetargetingDropsWhatDescribedTheOldTarget) {
  const AnsiCodec codec = codePageCodec(1252);
  LnkFile file;
  file.idList = idListFromItems({std::string(20, 'i')});
  setTargetPath(file, u"C:\\Windows\\System32\\cmd.exe", codec);
  setString(file, StringField::kRelativePath, u"..\\..\\Windows\\System32\\cmd.exe", codec);
  file.header.linkFlags |= flag::kForceNoLinkInfo | flag::kHasDarwinId | flag::kRunAsUser;
  const ExtraBlock store{sig::kPropertyStore, std::string(40, 'p')};
  file.extraData = {makeExpandableString(sig::kEnvironmentVariables, {"%x%", u"%x%"}),
                    makeConsoleFe(866),
                    makeSpecialFolder({0x26, 20}),
                    makeKnownFolder({{1, 2, 3}, 20}),
                    makeTracker({}),
                    store,
                    makeExpandableString(sig::kDarwin, {"id", u"id"}),
                    makeVistaIdList(*idListFromItems({"v"}))};

  setTargetPath(file, kTarget, codec);
  EXPECT_FALSE(file.idList);
  EXPECT_FALSE(file.strings[StringField::kRelativePath]);
  EXPECT_EQ(file.header.linkFlags & (flag::kForceNoLinkInfo | flag::kHasDarwinId), 0u);
  EXPECT_TRUE(file.hasFlag(flag::kRunAsUser));
  EXPECT_EQ(file.extraData, (std::vector<ExtraBlock>{makeConsoleFe(866), store}));
}

// What each view reads is what its maker wrote, field by field.
TEST(LnkExtraData, EveryKnownBlockReadsBackWhatWasMade) {
  ConsoleData console;
  console.fillAttributes = 0x07;
  console.screenBufferSizeY = 9001;
  console.windowOriginX = -5;
  console.fontWeight = 400;
  console.faceName = u"Lucida Console";
  console.historyNoDup = 1;
  console.colorTable[15] = 0x00FFFFFF;
  const ExtraBlock consoleBlock = makeConsole(console);
  EXPECT_EQ(consoleBlock.data.size() + kBlockHeaderSize, kConsoleBlockSize);
  EXPECT_EQ(readConsole(consoleBlock), console);

  TrackerData tracker;
  tracker.machineId = "workstation-01";
  tracker.droidFile[15] = 0xAB;
  tracker.birthDroidVolume[0] = 0xCD;
  EXPECT_EQ(readTracker(makeTracker(tracker)), tracker);

  EXPECT_EQ(readConsoleFeCodePage(makeConsoleFe(936)), 936u);
  const KnownFolderData known{{0xDE, 0xAD}, 0x51};
  EXPECT_EQ(readKnownFolder(makeKnownFolder(known)), known);
  const SpecialFolderData special{0x26, 0x3D};
  EXPECT_EQ(readSpecialFolder(makeSpecialFolder(special)), special);
  EXPECT_EQ(readShimLayerName(makeShim(u"WinXPSp3")), u"WinXPSp3");
  const IdList list = *idListFromItems({"abc", "de"});
  EXPECT_EQ(readVistaIdList(makeVistaIdList(list)), list);

  // A string longer than its buffer keeps room for its terminator.
  const std::u16string longText(300, u'x');
  const auto cut =
      readExpandableString(makeExpandableString(sig::kDarwin, {std::string(300, 'x'), longText}));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->ansi.size(), kMaxPath - 1);
  EXPECT_EQ(cut->unicode.size(), kMaxPath - 1);

  // A view of the wrong kind, or of a block of the wrong size, sees nothing.
  EXPECT_FALSE(readTracker(consoleBlock));
  EXPECT_FALSE(readExpandableString(ExtraBlock{sig::kEnvironmentVariables, std::string(100, 'a')}));
  EXPECT_FALSE(readShimLayerName(ExtraBlock{sig::kShim, "a\0"}));
}

// Writes the fuzz seeds: every writer case, and one file with a block of
// every kind. Run by hand after a format change:
//   unit_shortcut --gtest_also_run_disabled_tests --gtest_filter=*WriteFuzzSeeds
TEST(LnkWriter, DISABLED_WriteFuzzSeeds) {
  namespace fs = std::filesystem;
  std::vector<std::pair<std::string, std::string>> seeds;
  for (const WriterCase& c : writerCases()) {
    const AnsiCodec codec = codePageCodec(c.codePage);
    LnkFile file;
    if (c.ansiStrings) file.header.linkFlags = 0;
    c.edit(file, codec);
    std::string name = c.name;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char ch) { return !std::isalnum(ch); }, '_');
    seeds.emplace_back(name, writeLnk(file, codec).bytes);
  }
  const AnsiCodec codec = codePageCodec(1252);
  LnkFile every;
  setTargetPath(every, u"C:\\Windows\\System32\\cmd.exe", codec);
  every.idList = idListFromItems({std::string(18, '\x1f'), "/C:\\"});
  setString(every, StringField::kRelativePath, u"..\\cmd.exe", codec);
  every.extraData = {makeExpandableString(sig::kEnvironmentVariables, {"%x%", u"%x%"}),
                     makeConsole({}),
                     makeTracker({}),
                     makeConsoleFe(866),
                     makeSpecialFolder({0x25, 20}),
                     makeExpandableString(sig::kDarwin, {"id", u"id"}),
                     makeExpandableString(sig::kIconEnvironment, {"%y%", u"%y%"}),
                     makeShim(u"WinXPSp3"),
                     ExtraBlock{sig::kPropertyStore, std::string(40, 'p')},
                     makeKnownFolder({{1, 2, 3}, 20}),
                     makeVistaIdList(*idListFromItems({"v"}))};
  seeds.emplace_back("every_block", writeLnk(every, codec).bytes);

  for (const char* target : {"lnk_codec", "link_info_target"}) {
    const fs::path folder = fs::path(TOLVARAN_SOURCE_DIR) / "fuzz" / "corpus" / target;
    fs::create_directories(folder);
    for (const auto& [name, bytes] : seeds) {
      if (bytes.size() > 16 * 1024) continue;  // mutations of small inputs find more
      std::ofstream(folder / (name + ".lnk"), std::ios::binary) << bytes;
    }
  }
}

}  // namespace
}  // namespace tolvaran::lnk
