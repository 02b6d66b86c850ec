// Target recovery: the methods of each record in their order, the record
// order itself, the internet-client lookup and the LinkInfo method.
#include "engine/target_recovery.h"

#include <gtest/gtest.h>

#include "unit/engine/browser_test_rig.h"
#include "unit/engine/engine_rig.h"

namespace tolvaran {
namespace {

using namespace engine_test;

constexpr std::u16string_view kChromeName = u"google chrome";

// The engine with a database of its own: every browser named "chrome" with
// the given records (their text fields 1 to 12).
struct RecoveryRig : EngineRig {
  explicit RecoveryRig(const std::vector<std::u16string>& records) {
    std::vector<std::pair<std::u16string, std::size_t>> index;
    for (std::size_t i = 0; i < records.size(); ++i) index.emplace_back(u"chrome", i);
    std::vector<std::u16string> texts;
    for (const auto& r : records) texts.push_back(u";" + r);
    const auto resource = browser_test::makeResource(index, texts);
    engine.database().cryptInit(kBrowserDatabaseSeed);
    engine.database().GetBrowserCryptOffset(resource);
    engine.identification().CreatePatterns();
  }
  void registry(std::string_view text) {
    const auto bad = machine.registry().loadRegFile("Windows Registry Editor Version 5.00\r\n" +
                                                    std::string(text));
    EXPECT_TRUE(bad.empty());
  }
  // What recovery finds for a Chrome shortcut (or `name`), and its A-code.
  std::pair<std::u16string, std::u16string> find(std::u16string_view target = kCmd,
                                                 std::u16string_view name = kChromeName,
                                                 std::u16string_view lnk = kChromeShortcut) {
    std::u16string code(u"AN");
    bool keep = false;
    std::u16string found = engine.recovery().FindTargetByFileName(name, keep, lnk, code, target);
    keepWorkingFolder = keep;
    return {found, code};
  }
  bool keepWorkingFolder = false;
};

// Title;InetClass;ExePath;DefaultArgs;LegitArgs;AppPathsName;Field7;IsFolder;Keep;RegPath;RegFolder;Masked
std::u16string record(std::u16string_view exe, std::u16string_view appPaths = u"",
                      std::u16string_view client = u"", std::u16string_view regPath = u"",
                      std::u16string_view regFolder = u"", bool isFolder = false,
                      bool keep = false) {
  return u"Google Chrome;" + std::u16string(client) + u";" + std::u16string(exe) + u";;;" +
         std::u16string(appPaths) + u";;" + (isFolder ? u"1" : u"0") + u";" + (keep ? u"1" : u"0") +
         u";" + std::u16string(regPath) + u";" + std::u16string(regFolder) + u";0";
}

using Found = std::pair<std::u16string, std::u16string>;

TEST(FindTargetByFileNameTest, AnExistingExePathWinsOverTheRegistry) {
  RecoveryRig rig({record(u"C:\\Chrome\\chrome.exe", u"chrome.exe")});
  rig.addProgram(u"C:\\Chrome\\chrome.exe");
  rig.addProgram(u"C:\\Other\\chrome.exe");
  rig.registry(
      R"([HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\chrome.exe]
@="C:\\Other\\chrome.exe"
)");
  EXPECT_EQ(rig.find(), (Found{u"C:\\Chrome\\chrome.exe", u"A2"}));
}

TEST(FindTargetByFileNameTest, TriesTheMethodsOfEachRecordInOrder) {
  const std::string appPaths =
      R"([HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\chrome.exe]
@="\"C:\\Registered\\chrome.exe\" --flag"
)";
  const std::string client =
      R"([HKEY_LOCAL_MACHINE\Software\Clients\StartMenuInternet\Google Chrome]
[HKEY_LOCAL_MACHINE\Software\Clients\StartMenuInternet\Google Chrome\shell\open\command]
@="\"C:\\Client\\chrome.exe\""
)";
  const std::string values = R"([HKEY_CURRENT_USER\Software\Vendor]
"Path"="\"C:\\ByValue\\chrome.exe\" --x"
"Folder"="\"C:\\ByFolder\""
)";
  const std::u16string hints =
      record(u"C:\\Missing\\chrome.exe", u"chrome.exe", u"Google Chrome.<SID>",
             u"HKCU\\Software\\Vendor\\Path", u"HKCU\\Software\\Vendor\\Folder");
  struct Case {
    const char* name;
    std::vector<std::u16string_view> programs;
    std::string registry;
    Found expected;
  } cases[] = {
      {"App Paths",
       {u"C:\\Registered\\chrome.exe", u"C:\\Client\\chrome.exe"},
       appPaths + client,
       {u"C:\\Registered\\chrome.exe", u"A3"}},
      {"internet client",
       {u"C:\\Client\\chrome.exe", u"C:\\ByValue\\chrome.exe"},
       client + values,
       {u"C:\\Client\\chrome.exe", u"A4"}},
      {"registry value",
       {u"C:\\ByValue\\chrome.exe", u"C:\\ByFolder\\chrome.exe"},
       values,
       {u"C:\\ByValue\\chrome.exe", u"A5.1"}},
      {"install folder",
       {u"C:\\ByFolder\\chrome.exe"},
       values,
       {u"C:\\ByFolder\\chrome.exe", u"A5.2"}},
      // App Paths naming a missing program ends this record's search,
      // though its other hints would have found one.
      {"App Paths to a missing program",
       {u"C:\\Client\\chrome.exe"},
       appPaths + client + values,
       {u"", u"AN"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecoveryRig rig({hints});
    for (const auto program : c.programs) rig.addProgram(program);
    rig.registry(c.registry);
    EXPECT_EQ(rig.find(), c.expected);
    EXPECT_FALSE(rig.keepWorkingFolder);
  }
}

TEST(FindTargetByFileNameTest, ASkippedRecordHandsOnToTheNext) {
  RecoveryRig rig({record(u"C:\\Missing\\chrome.exe", u"chrome.exe", u"Google Chrome"),
                   record(u"C:\\Second\\chrome.exe")});
  rig.addProgram(u"C:\\Client\\chrome.exe");
  rig.addProgram(u"C:\\Second\\chrome.exe");
  rig.registry(
      R"([HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\chrome.exe]
@="C:\\Gone\\chrome.exe"
[HKEY_LOCAL_MACHINE\Software\Clients\StartMenuInternet\Google Chrome\shell\open\command]
@="C:\\Client\\chrome.exe"
)");
  EXPECT_EQ(rig.find(), (Found{u"C:\\Second\\chrome.exe", u"A2"}));
}

TEST(FindTargetByFileNameTest, KeepExePathTakesThePathAsItStands) {
  RecoveryRig rig({record(u"C:\\Nowhere\\chrome.exe", u"", u"", u"", u"", false, true),
                   record(u"C:\\Second\\chrome.exe")});
  rig.addProgram(u"C:\\Second\\chrome.exe");
  EXPECT_EQ(rig.find(), (Found{u"C:\\Nowhere\\chrome.exe", u"AN"}));
  EXPECT_TRUE(rig.keepWorkingFolder);
}

TEST(FindTargetByFileNameTest, ReadsTheLinkInfoLeftBehind) {
  struct Case {
    const char* name;
    std::u16string_view lnk;
    std::u16string_view lnkName;
    std::u16string_view linkInfo;
    std::vector<std::u16string_view> programs;
    Found expected;
  } cases[] = {
      {"any file for another shortcut",
       u"C:\\Users\\User\\Desktop\\Report.lnk",
       u"report",
       u"C:\\Docs\\report.pdf",
       {u"C:\\Docs\\report.pdf"},
       {u"C:\\Docs\\report.pdf", u"A1"}},
      {"only a program for a browser",
       kChromeShortcut,
       kChromeName,
       u"C:\\Docs\\report.pdf",
       {u"C:\\Docs\\report.pdf"},
       {u"", u"AN"}},
      {"a program for a browser",
       kChromeShortcut,
       kChromeName,
       u"C:\\Chrome\\chrome2.exe",
       {u"C:\\Chrome\\chrome2.exe"},
       {u"C:\\Chrome\\chrome2.exe", u"A1"}},
      {"the 32-bit twin of a native path",
       u"C:\\Users\\User\\Desktop\\Tool.lnk",
       u"tool",
       u"C:\\Program Files\\Tool\\tool.exe",
       {u"C:\\Program Files (x86)\\Tool\\tool.exe"},
       {u"C:\\Program Files (x86)\\Tool\\tool.exe", u"A1"}},
      {"a missing file",
       u"C:\\Users\\User\\Desktop\\Tool.lnk",
       u"tool",
       u"C:\\Tool\\tool.exe",
       {},
       {u"", u"AN"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecoveryRig rig({record(u"C:\\Missing\\chrome.exe")});
    for (const auto program : c.programs) rig.addProgram(program);
    rig.addShortcut(c.lnk, {.target = std::u16string(kCmd),
                            .environmentTarget = u"%windir%\\System32\\cmd.exe",
                            .linkInfoTarget = std::u16string(c.linkInfo)});
    EXPECT_EQ(rig.find(kCmd, c.lnkName, c.lnk), c.expected);
  }
}

TEST(FindExeByInetClassTest, FindsPerUserClientsAndFullKeys) {
  RecoveryRig rig({record(u"C:\\Missing\\chrome.exe")});
  rig.addProgram(u"C:\\Users\\User\\AppData\\Local\\Chrome\\chrome.exe");
  rig.addProgram(u"C:\\Fox\\firefox.exe");
  rig.addProgram(u"C:\\Folder\\app.exe");
  rig.registry(
      R"([HKEY_CURRENT_USER\Software\Clients\StartMenuInternet\Google Chrome.ABCDEF\shell\open\command]
@="\"C:\\Users\\User\\AppData\\Local\\Chrome\\chrome.exe\""
[HKEY_LOCAL_MACHINE\SOFTWARE\Mozilla\Clients\FIREFOX.EXE\shell\open\command]
@="C:\\Fox\\firefox.exe"
[HKEY_LOCAL_MACHINE\Software\Clients\StartMenuInternet\Folder App\shell\open\command]
@="\"C:\\Folder\""
[HKEY_LOCAL_MACHINE\Software\Clients\StartMenuInternet\Broken\shell\open\command]
@="C:\\Gone\\broken.exe"
[HKEY_CURRENT_USER\Software\Clients\StartMenuInternet\Broken\shell\open\command]
@="C:\\Fox\\firefox.exe"
)");
  TargetRecovery& recovery = rig.engine.recovery();
  EXPECT_EQ(recovery.FindEXE_by_InetClass(u"Google Chrome", false, u"chrome.exe", u"HKLM"),
            u"C:\\Users\\User\\AppData\\Local\\Chrome\\chrome.exe");
  EXPECT_EQ(
      recovery.FindEXE_by_InetClass(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Mozilla\\Clients\\FIREFOX.EXE",
                                    false, u"", u"HKLM"),
      u"C:\\Fox\\firefox.exe");
  EXPECT_EQ(recovery.FindEXE_by_InetClass(u"Folder App", true, u"app.exe", u"HKLM"),
            u"C:\\Folder\\app.exe");
  // Found in HKLM but missing on disk: HKCU is not asked.
  EXPECT_EQ(recovery.FindEXE_by_InetClass(u"Broken", false, u"", u"HKLM"), u"");
  EXPECT_EQ(recovery.FindEXE_by_InetClass(u"Nobody", false, u"", u"HKLM"), u"");
}

TEST(IsInFolderTest, NeedsABackslashAfterTheFolder) {
  EXPECT_TRUE(isInFolder(u"C:\\Program Files\\a.exe", u"c:\\program files"));
  EXPECT_TRUE(isInFolder(u"C:\\Program Files", u"C:\\Program Files"));
  EXPECT_FALSE(isInFolder(u"C:\\Program Files (x86)\\a.exe", u"C:\\Program Files"));
  EXPECT_FALSE(isInFolder(u"C:\\a.exe", u""));
  EXPECT_TRUE(isInFolder(u"C:\\a.exe", u"C:\\"));
}

}  // namespace
}  // namespace tolvaran
