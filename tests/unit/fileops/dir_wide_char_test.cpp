// The folder helpers over the simulated machine.
#include "fileops/dir_wide_char.h"

#include <gtest/gtest.h>

#include "common/recording_recorder.h"
#include "fileops/mod_file.h"
#include "platform/sim/sim_machine.h"
#include "unit/fileops/forwarding_files.h"

namespace tolvaran {
namespace {

using platform::sim::FileOp;
using platform::sim::SimMachine;
namespace attr = platform::attr;

constexpr std::u16string_view kSys32 = u"C:\\Windows\\System32";

// The default machine: 64-bit Windows, the program's 32-bit build.
struct Rig {
  explicit Rig(std::u16string bitness = u"x64") : forwarding(machine.files()) {
    platform::Ports sim = machine.ports();
    ports.emplace(platform::Ports{forwarding, sim.system, sim.clock, sim.profile, sim.ui,
                                  sim.registry, sim.osInfo, sim.processes, sim.shellOps,
                                  sim.shellLinks, sim.installer, sim.shellNotify});
    folders.emplace(*ports, recorder, saved, std::move(bitness), std::u16string(kSys32));
  }
  std::vector<std::u16string> all(std::u16string_view pattern, std::uint32_t exclude,
                                  bool isDirectory) {
    std::vector<std::u16string> names;
    for (auto name = folders->DirW(pattern, exclude, isDirectory); !name.empty();
         name = folders->DirW()) {
      names.push_back(name);
    }
    return names;
  }

  SimMachine machine;
  ForwardingFiles forwarding;
  RecordingRecorder recorder;
  SavedFsRedirection saved;
  std::optional<platform::Ports> ports;
  std::optional<clsDirWideChar> folders;
};

// --- DirW ------------------------------------------------------------------------

class DirWTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& files = rig.machine.files();
    for (const char16_t* name : {u"b.lnk", u"A.lnk", u"c.url"}) {
      ASSERT_TRUE(files.addFile(std::u16string(u"C:\\dir\\") + name, "x"));
    }
    ASSERT_TRUE(files.addFile(u"C:\\dir\\archived.lnk", "x", attr::kArchive));
    ASSERT_TRUE(files.addFile(u"C:\\dir\\readonly.lnk", "x", attr::kReadOnly));
    ASSERT_TRUE(files.addFile(u"C:\\dir\\hidden.lnk", "x", attr::kHidden));
    ASSERT_TRUE(files.addFile(u"C:\\dir\\system.lnk", "x", attr::kSystem));
    ASSERT_TRUE(files.addFile(u"C:\\dir\\sparse.lnk", "x", attr::kSparseFile));
    ASSERT_TRUE(files.addFile(u"C:\\dir\\link.lnk", "x", attr::kReparsePoint));
    ASSERT_TRUE(files.addFolder(u"C:\\dir\\sub"));
    ASSERT_TRUE(files.addFolder(u"C:\\dir\\hiddensub", attr::kHidden));
    ASSERT_TRUE(files.addFolder(u"C:\\dir\\junction", attr::kReparsePoint));
  }
  Rig rig;
};

TEST_F(DirWTest, FilesOnlyWithoutExcludedOrLinkedEntries) {
  EXPECT_EQ(rig.all(u"C:\\dir\\*", 7, false),
            (std::vector<std::u16string>{u"A.lnk", u"archived.lnk", u"b.lnk", u"c.url"}));
  EXPECT_EQ(rig.machine.files().openFindCount(), 0u) << "closed when the entries ran out";
  EXPECT_EQ(rig.all(u"C:\\dir\\*.lnk", 0, false),
            (std::vector<std::u16string>{u"A.lnk", u"archived.lnk", u"b.lnk", u"hidden.lnk",
                                         u"readonly.lnk", u"system.lnk"}));
  EXPECT_EQ(rig.all(u"C:\\dir\\*", attr::kArchive, false),
            (std::vector<std::u16string>{u"hidden.lnk", u"readonly.lnk", u"system.lnk"}));
  EXPECT_TRUE(rig.recorder.empty());
}

TEST_F(DirWTest, FoldersIncludeDotEntriesButNoJunction) {
  EXPECT_EQ(rig.all(u"C:\\dir\\*", 0, true),
            (std::vector<std::u16string>{u".", u"..", u"hiddensub", u"sub"}));
  EXPECT_EQ(rig.all(u"C:\\dir\\*", attr::kHidden, true),
            (std::vector<std::u16string>{u".", u"..", u"sub"}));
}

TEST_F(DirWTest, SearchesStartEndAndClose) {
  auto& files = rig.machine.files();
  EXPECT_EQ(rig.folders->DirW(u"C:\\none\\*"), u"");
  EXPECT_EQ(rig.folders->DirW(u"C:\\dir\\*.none"), u"");
  EXPECT_EQ(rig.folders->DirW(), u"") << "no search open: a new one for the empty path";
  EXPECT_EQ(files.openFindCount(), 0u);

  EXPECT_EQ(rig.folders->DirW(u"C:\\dir\\*", 7, false), u"A.lnk");
  EXPECT_EQ(rig.folders->DirW(u"C:\\dir\\*", 0, true), u".") << "a new path restarts";
  EXPECT_EQ(files.openFindCount(), 1u);
  EXPECT_EQ(rig.folders->DirW(), u"..") << "the new search's settings hold";
  rig.folders.reset();
  EXPECT_EQ(files.openFindCount(), 0u) << "the destructor closes an open search";
}

// --- IsFolder ----------------------------------------------------------------------

TEST(IsFolderTest, FoldersSeenNatively) {
  struct Case {
    const char* name;
    std::u16string_view bitness;
    std::u16string path;
    bool folder;
  };
  const std::vector<Case> cases{
      {"Folder", u"x64", u"C:\\dir", true},
      {"TrimmedSpaces", u"x64", u"  C:\\dir  ", true},
      {"File", u"x64", u"C:\\dir\\a.txt", false},
      {"Missing", u"x64", u"C:\\none", false},
      {"NativeOnlyFolder", u"x64", u"C:\\Windows\\System32\\Tasks", true},
      {"RedirectedOn32BitBitness", u"x86", u"C:\\Windows\\System32\\Tasks", false},
  };
  for (const Case& c : cases) {
    Rig rig(std::u16string(c.bitness));
    ASSERT_TRUE(rig.machine.files().addFile(u"C:\\dir\\a.txt", "a"));
    ASSERT_TRUE(rig.machine.files().addFolder(u"C:\\Windows\\System32\\Tasks"));
    EXPECT_EQ(rig.folders->IsFolder(c.path), c.folder) << c.name;
    EXPECT_FALSE(rig.machine.files().wow64().disabled()) << c.name;
  }
}

// --- CreateFolderStruct ------------------------------------------------------------

std::vector<std::u16string> createdFolders(const platform::sim::SimFiles& files) {
  std::vector<std::u16string> created;
  for (const auto& entry : files.journal()) {
    if (entry.op == FileOp::kCreateDirectory) created.push_back(entry.path);
  }
  return created;
}

TEST(CreateFolderStructTest, MissingFoldersOutermostFirst) {
  Rig rig;
  auto& files = rig.machine.files();
  ASSERT_TRUE(files.addFolder(u"C:\\Tools"));
  files.clearJournal();
  EXPECT_TRUE(rig.folders->CreateFolderStruct(u"C:\\Tools\\a\\b\\c\\report.log", true));
  EXPECT_EQ(createdFolders(files), (std::vector<std::u16string>{u"C:\\Tools\\a", u"C:\\Tools\\a\\b",
                                                                u"C:\\Tools\\a\\b\\c"}));
  EXPECT_FALSE(files.exists(u"C:\\Tools\\a\\b\\c\\report.log"));

  files.clearJournal();
  EXPECT_FALSE(rig.folders->CreateFolderStruct(u"C:\\Tools\\a\\b", false)) << "nothing needed";
  EXPECT_TRUE(createdFolders(files).empty());
  EXPECT_TRUE(rig.folders->CreateFolderStruct(u"C:\\Tools\\a\\b\\d\\", false));
  EXPECT_TRUE(files.exists(u"C:\\Tools\\a\\b\\d"));
  EXPECT_TRUE(rig.recorder.empty());
}

TEST(CreateFolderStructTest, UnicodeNamesSurvive) {
  Rig rig;
  const std::u16string folder =
      u"C:\\\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u044B\\\u5DE5\u5177\\LOG";
  EXPECT_TRUE(rig.folders->CreateFolderStruct(folder + u"\\x.log", true));
  EXPECT_EQ(
      rig.machine.files().listFolder(u"C:\\\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u044B"),
      std::vector<std::u16string>{u"\u5DE5\u5177"});
  EXPECT_TRUE(rig.machine.files().exists(folder));
}

TEST(CreateFolderStructTest, TheLastAttemptDecides) {
  Rig rig;
  auto& files = rig.machine.files();
  ASSERT_TRUE(files.addFile(u"C:\\blocker", "f"));
  EXPECT_FALSE(rig.folders->CreateFolderStruct(u"C:\\blocker\\a\\b", false));
  EXPECT_FALSE(files.exists(u"C:\\blocker\\a"));
  EXPECT_FALSE(rig.folders->CreateFolderStruct(u"noseparator", true));
  // An early success followed by a failure: the failure is the answer.
  files.faults().failAlways(FileOp::kCreateDirectory, platform::kErrorAccessDenied, u"C:\\x\\y");
  EXPECT_FALSE(rig.folders->CreateFolderStruct(u"C:\\x\\y", false));
  EXPECT_TRUE(files.exists(u"C:\\x"));
}

// --- FS_Disable_Redirection -------------------------------------------------------

TEST(DisableRedirectionTest, OnlyOn64BitWindowsAndInsideSystem32) {
  Rig x86(u"x86");
  x86.machine.files().clearJournal();
  EXPECT_FALSE(x86.folders->FS_Disable_Redirection(true, u""));
  EXPECT_TRUE(x86.machine.files().journal().empty());

  Rig rig;
  auto& files = rig.machine.files();
  files.clearJournal();
  EXPECT_FALSE(rig.folders->FS_Disable_Redirection(true, u"C:\\Windows\\notepad.exe"));
  EXPECT_TRUE(files.journal().empty());
  EXPECT_TRUE(rig.folders->FS_Disable_Redirection(true, u"c:\\windows\\SYSTEM32\\x"));
  EXPECT_TRUE(files.wow64().disabled());
  EXPECT_TRUE(rig.folders->FS_Disable_Redirection(false, u""));
  EXPECT_FALSE(files.wow64().disabled());
}

TEST(DisableRedirectionTest, TheSavedValueIsSharedWithTheModule) {
  Rig rig;
  modFile module(*rig.ports, rig.recorder, rig.saved, true);
  auto& files = rig.machine.files();
  ASSERT_TRUE(module.ToggleWow64FsRedirection(false, u"C:\\Windows"));
  // Whoever switches back uses the value the other one saved.
  EXPECT_TRUE(rig.folders->FS_Disable_Redirection(false, u""));
  EXPECT_FALSE(files.wow64().disabled());
  EXPECT_TRUE(rig.folders->FS_Disable_Redirection(true, u""));
  EXPECT_EQ(rig.saved.value, 0u) << "the state before: on";
}

// --- Failures --------------------------------------------------------------------

TEST(FolderFailuresTest, RecordedWithTheirNamesAndCleanedUp) {
  struct Case {
    const char* call;
    std::vector<std::u16string> context;
  };
  const std::vector<Case> cases{
      {"findNextFile", {u"clsDirWideChar.DirW"}},
      {"getFileAttributes", {u"clsDirWideChar.IsFolder"}},
      {"createDirectory", {u"clsDirWideChar.CreateFolderStruct"}},
      {"disableWow64FsRedirection",
       {u"clsDirWideChar.FS_Disable_Redirection", u"Path:", u"C:\\Windows\\System32\\new"}},
  };
  for (const Case& c : cases) {
    Rig rig;
    ASSERT_TRUE(rig.machine.files().addFile(u"C:\\Windows\\System32\\a.dll", "a"));
    rig.forwarding.throwIn(c.call);
    (void)rig.folders->DirW(u"C:\\Windows\\System32\\*");
    (void)rig.folders->IsFolder(u"C:\\Windows\\System32\\new");
    (void)rig.folders->CreateFolderStruct(u"C:\\Windows\\System32\\new", false);
    EXPECT_EQ(rig.machine.files().openFindCount(), 0u) << c.call;
    EXPECT_FALSE(rig.machine.files().wow64().disabled()) << c.call;
    ASSERT_FALSE(rig.recorder.empty()) << c.call;
    EXPECT_EQ(rig.recorder.records()[0].context, c.context) << c.call;
  }
}

}  // namespace
}  // namespace tolvaran
