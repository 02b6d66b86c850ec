// The shell-link object against the real shell: for a table of shortcuts,
// what the codec's object writes the implementation's object reads back
// field by field, and what the implementation's object writes the codec's
// object reads back the same way. The implementation is the simulated
// machine everywhere and, in Windows builds, the real shell (under Wine on
// this project's machines), whose known gaps are skipped by name. It keeps
// machines of its own: the simulated one needs the codec registered as its
// shell-link class.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/scoped_file.h"
#include "platform/sim/sim_machine.h"
#include "shortcut/codec_shell_link.h"
#include "shortcut/lnk_reader.h"
#include "support/text.h"

#if defined(_WIN32)
#include "platform/win32/win32_machine.h"
#endif

namespace tolvaran {
namespace {

namespace link = platform::shell_link;
constexpr std::int32_t kBuffer = 32767;

// --- The machines ------------------------------------------------------------

class LinkMachine {
 public:
  virtual ~LinkMachine() = default;
  virtual platform::Files& files() = 0;
  virtual platform::System& system() = 0;
  // The implementation under test.
  virtual platform::ShellLinks& shellLinks() = 0;
  [[nodiscard]] virtual bool onWine() const { return false; }
};

class SimLinkMachine final : public LinkMachine {
 public:
  SimLinkMachine() {
    sim_.shellLinks().registerClass(
        std::make_unique<lnk::CodecShellLinks>(sim_.files(), sim_.system()));
    sim_.files().addFolder(sim_.system().getTempPath().value);
  }
  platform::Files& files() override { return sim_.files(); }
  platform::System& system() override { return sim_.system(); }
  platform::ShellLinks& shellLinks() override { return sim_.shellLinks(); }

 private:
  platform::sim::SimMachine sim_;
};

#if defined(_WIN32)
class Win32LinkMachine final : public LinkMachine {
 public:
  platform::Files& files() override { return real_.files(); }
  platform::System& system() override { return real_.system(); }
  platform::ShellLinks& shellLinks() override { return real_.shellLinks(); }
  [[nodiscard]] bool onWine() const override { return onWine_; }

 private:
  platform::win32::Win32Machine real_;
  bool onWine_ = platform::win32::isRunningOnWine();
};
#endif

struct Implementation {
  std::string name;
  std::function<std::unique_ptr<LinkMachine>()> make;
};

std::vector<Implementation> implementations() {
  std::vector<Implementation> all{{"sim", [] { return std::make_unique<SimLinkMachine>(); }}};
#if defined(_WIN32)
  all.push_back({"win32", [] { return std::make_unique<Win32LinkMachine>(); }});
#endif
  return all;
}

// --- The table ---------------------------------------------------------------

// Paths are relative to the test's scratch folder unless they start with "%".
struct Row {
  const char* name;
  std::u16string linkName;
  std::u16string target;  // created as a file unless it names an environment variable
  std::u16string arguments;
  std::u16string description;
  std::u16string icon;
  std::int32_t iconIndex = 0;
  std::uint16_t hotkey = 0;
  std::int32_t showCmd = 1;
  std::u16string workingDir;
  // Why the real shell under Wine cannot pass the row, per direction.
  const char* wineCannotRead = nullptr;
  const char* wineCannotWrite = nullptr;
};

std::u16string longName(char16_t letter, std::size_t length) {
  return std::u16string(length, letter);
}

std::vector<Row> rows() {
  const char* ansiOnly =
      "Wine keeps a LinkInfo path in the ANSI code page only: a target outside it reads back "
      "as \"?\"";
  return {
      {"plain", u"Plain.lnk", u"App\\app.exe"},
      {"arguments", u"Args.lnk", u"App\\app.exe",
       u"--profile-directory=\"Profile 1\" --flag https://example.com/?a=1&b=%20x"},
      {"icon", u"Icon.lnk", u"App\\app.exe", {}, {}, u"App\\app.ico", 5},
      {"negative icon index", u"IconId.lnk", u"App\\app.exe", {}, {}, u"App\\app.exe", -107},
      {"hot key", u"Hotkey.lnk", u"App\\app.exe", {}, {}, {}, 0, 0x0641},
      {"maximised", u"Max.lnk", u"App\\app.exe", {}, {}, {}, 0, 0, 3},
      {"minimised", u"Min.lnk", u"App\\app.exe", {}, {}, {}, 0, 0, 7},
      {"description", u"Desc.lnk", u"App\\app.exe", {}, u"Browse the web"},
      {"working folder", u"Work.lnk", u"App\\app.exe", {}, {}, {}, 0, 0, 1, u"App"},
      {"everything", u"All.lnk", u"App\\app.exe", u"-a -b", u"All of it", u"App\\app.ico", 1,
       0x0346, 3, u"App"},
      {"Unicode texts, ASCII target", u"Браузер 浏览器.lnk", u"App\\app.exe",
       u"--name=\"Ünïcødé Обозреватель\"", u"Обозреватель 浏览器", u"App\\Значок.ico", 0, 0, 1,
       u"App"},
      {"Unicode target",
       u"Unicode.lnk",
       u"Программы\\браузер.exe",
       {},
       {},
       {},
       0,
       0,
       1,
       u"Программы",
       ansiOnly,
       ansiOnly},
      {"long target and texts", u"Long.lnk",
       longName(u'd', 60) + u"\\" + longName(u'e', 60) + u"\\" + longName(u'f', 60) + u".exe",
       u"--" + longName(u'a', 1000), longName(u'd', 500)},
      {"environment-variable target",
       u"Env.lnk",
       u"%TEMP%\\app.exe",
       {},
       {},
       {},
       0,
       0,
       1,
       {},
       nullptr,
       "Wine's SetPath takes %TEMP% literally, as a name relative to the current folder"},
  };
}

struct Fields {
  std::u16string path;
  std::u16string arguments;
  std::u16string description;
  platform::IconLocation icon;
  std::uint16_t hotkey = 0;
  std::int32_t showCmd = 0;
  std::u16string workingDir;
  friend bool operator==(const Fields&, const Fields&) = default;
};

void PrintTo(const Fields& f, std::ostream* out) {
  *out << "{path \"" << utf16ToUtf8(f.path) << "\", arguments \"" << utf16ToUtf8(f.arguments)
       << "\", description \"" << utf16ToUtf8(f.description) << "\", icon \""
       << utf16ToUtf8(f.icon.path) << "\"," << f.icon.index << ", hotkey " << f.hotkey << ", show "
       << f.showCmd << ", working \"" << utf16ToUtf8(f.workingDir) << "\"}";
}

// --- The fixture -------------------------------------------------------------

class ShellLinkContract : public ::testing::TestWithParam<Implementation> {
 protected:
  void SetUp() override {
    machine_ = GetParam().make();
    auto temp = machine_->system().getTempPath();
    ASSERT_TRUE(temp.ok());
    if (!temp.value.empty() && temp.value.back() == u'\\') temp.value.pop_back();
    for (int attempt = 0; attempt < 100 && scratch_.empty(); ++attempt) {
      const std::u16string candidate = temp.value + u"\\tolvaran-links-" + toDecimal(attempt);
      if (files().createDirectory(candidate).ok()) scratch_ = candidate;
    }
    ASSERT_FALSE(scratch_.empty());
    folders_.push_back(scratch_);
  }
  void TearDown() override {
    if (!machine_) return;
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) (void)files().deleteFile(*it);
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
      (void)files().removeDirectory(*it);
    }
  }

  platform::Files& files() { return machine_->files(); }
  [[nodiscard]] bool onWine() const { return machine_->onWine(); }

  std::u16string at(std::u16string_view relative) const {
    if (!relative.empty() && relative.front() == u'%') return std::u16string(relative);
    return relative.empty() ? std::u16string() : scratch_ + u"\\" + std::u16string(relative);
  }
  void makeFolders(std::u16string_view relative) {
    for (std::size_t slash = relative.find(u'\\'); slash != std::u16string_view::npos;
         slash = relative.find(u'\\', slash + 1)) {
      const std::u16string folder = at(relative.substr(0, slash));
      if (files().createDirectory(folder).ok()) folders_.push_back(folder);
    }
  }
  void makeFile(std::u16string_view relative) {
    makeFolders(relative);
    const std::u16string path = at(relative);
    auto opened = files().createFile(path, platform::access::kGenericWrite, platform::share::kNone,
                                     platform::Disposition::kCreateAlways);
    ASSERT_TRUE(opened.ok()) << utf16ToUtf8(path) << ": " << opened.code;
    (void)files().closeHandle(opened.value);
    made_.push_back(path);
  }
  std::u16string expand(std::u16string_view text) {
    const auto expanded = machine_->system().expandEnvironmentStrings(text);
    return expanded.ok() ? expanded.value : std::u16string(text);
  }
  // The row's files, and the fields a reader should see.
  Fields prepare(const Row& row) {
    if (row.target.front() != u'%') makeFile(row.target);
    if (!row.icon.empty() && row.icon != row.target) makeFile(row.icon);
    if (!row.workingDir.empty()) makeFolders(row.workingDir + u"\\");
    made_.push_back(at(row.linkName));
    return Fields{expand(at(row.target)),
                  row.arguments,
                  row.description,
                  {at(row.icon), row.iconIndex},
                  row.hotkey,
                  row.showCmd,
                  at(row.workingDir)};
  }

  std::unique_ptr<platform::ShellLink> codecObject() {
    return lnk::CodecShellLinks(machine_->files(), machine_->system()).createShellLink().value;
  }
  std::unique_ptr<platform::ShellLink> implementationObject() {
    auto created = machine_->shellLinks().createShellLink();
    EXPECT_TRUE(created.succeeded()) << std::hex << created.hr;
    return std::move(created.value);
  }

  void write(platform::ShellLink& object, const Row& row) {
    EXPECT_TRUE(object.setPath(at(row.target)).succeeded());
    EXPECT_TRUE(object.setArguments(row.arguments).succeeded());
    EXPECT_TRUE(object.setDescription(row.description).succeeded());
    EXPECT_TRUE(object.setIconLocation(at(row.icon), row.iconIndex).succeeded());
    EXPECT_TRUE(object.setHotkey(row.hotkey).succeeded());
    EXPECT_TRUE(object.setShowCmd(row.showCmd).succeeded());
    EXPECT_TRUE(object.setWorkingDirectory(at(row.workingDir)).succeeded());
    const std::u16string path = at(row.linkName);
    ASSERT_EQ(object.save(path, true).hr, 0u) << utf16ToUtf8(path);
    ASSERT_EQ(object.saveCompleted(path).hr, 0u);
  }

  Fields read(platform::ShellLink& object, const Row& row) {
    const auto loaded = object.load(at(row.linkName), link::kStgmRead);
    EXPECT_EQ(loaded.hr, 0u) << std::hex << loaded.hr;
    Fields fields;
    fields.path = object.getPath(kBuffer, link::kSlgpUncPriority).value;
    fields.arguments = object.getArguments(kBuffer).value;
    fields.description = object.getDescription(kBuffer).value;
    fields.icon = object.getIconLocation(kBuffer).value;
    fields.hotkey = object.getHotkey().value;
    fields.showCmd = object.getShowCmd().value;
    fields.workingDir = object.getWorkingDirectory(kBuffer).value;
    return fields;
  }

  std::unique_ptr<LinkMachine> machine_;
  std::u16string scratch_;
  std::vector<std::u16string> made_;
  std::vector<std::u16string> folders_;
};

// Wine's Load leaves the object's show command as it was (measured: a
// fresh object reads every file as SW_SHOWNORMAL); Windows reads the
// header's ShowCommand.
void forgiveWineShowCommand(bool onWine, const Fields& actual, Fields& expected) {
  if (onWine) expected.showCmd = actual.showCmd;
}

TEST_P(ShellLinkContract, WhatTheCodecWritesTheShellReads) {
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.name);
    if (onWine() && row.wineCannotRead) {
      std::cout << "[ SKIPPED  ] " << row.name << " - Wine gap: " << row.wineCannotRead << "\n";
      continue;
    }
    const Fields expected = prepare(row);
    auto codec = codecObject();
    write(*codec, row);
    auto shell = implementationObject();
    ASSERT_TRUE(shell);
    const Fields actual = read(*shell, row);
    Fields wanted = expected;
    forgiveWineShowCommand(onWine(), actual, wanted);
    EXPECT_EQ(actual, wanted);
  }
}

TEST_P(ShellLinkContract, WhatTheShellWritesTheCodecReads) {
  for (const Row& row : rows()) {
    SCOPED_TRACE(row.name);
    if (onWine() && row.wineCannotWrite) {
      std::cout << "[ SKIPPED  ] " << row.name << " - Wine gap: " << row.wineCannotWrite << "\n";
      continue;
    }
    const Fields expected = prepare(row);
    auto shell = implementationObject();
    ASSERT_TRUE(shell);
    write(*shell, row);
    auto codec = codecObject();
    const Fields fromCodec = read(*codec, row);
    EXPECT_EQ(fromCodec, expected);
    // And the shell itself, with an object that has not seen the values.
    auto fresh = implementationObject();
    ASSERT_TRUE(fresh);
    const Fields actual = read(*fresh, row);
    Fields wanted = fromCodec;
    forgiveWineShowCommand(onWine(), actual, wanted);
    EXPECT_EQ(actual, wanted);
  }
}

TEST_P(ShellLinkContract, LoadFailsLikeTheShell) {
  struct Case {
    const char* what;
    std::u16string name;
    std::string bytes;
    bool create;
    platform::HResult expected;
  };
  const std::vector<Case> cases = {
      {"missing file", u"missing.lnk", {}, false, 0x80070002u},
      {"missing folder", u"nowhere\\x.lnk", {}, false, 0x80070003u},
      {"empty file", u"empty.lnk", "", true, 0x80004005u},
      {"all NUL", u"nul.lnk", std::string(1536, '\0'), true, 0x80004005u},
      {"HTML named .lnk", u"page.lnk", "<html>\r\n<head><title>x</title></head></html>\r\n", true,
       0x80004005u},
  };
  auto shell = implementationObject();
  ASSERT_TRUE(shell);
  for (const Case& c : cases) {
    if (c.create) {
      const std::u16string path = at(c.name);
      auto opened = files().createFile(path, platform::access::kGenericWrite,
                                       platform::share::kNone, platform::Disposition::kCreateNew);
      ASSERT_TRUE(opened.ok());
      platform::ScopedFile file(files(), opened.value);
      if (!c.bytes.empty()) {
        EXPECT_TRUE(files().writeFile(file.get(), std::as_bytes(std::span(c.bytes))).ok());
      }
      made_.push_back(path);
    }
    EXPECT_EQ(shell->load(at(c.name), link::kStgmRead).hr, c.expected) << c.what;
  }
  EXPECT_EQ(shell->load(scratch_, link::kStgmRead).hr, platform::kHresultAccessDenied) << "folder";
}

TEST_P(ShellLinkContract, AFreshObjectIsEmpty) {
  auto shell = implementationObject();
  ASSERT_TRUE(shell);
  const auto path = shell->getPath(kBuffer, link::kSlgpUncPriority);
  EXPECT_EQ(path.hr, platform::kHresultFalse);
  EXPECT_EQ(path.value, u"");
  EXPECT_EQ(shell->getShowCmd().value, 1);
  EXPECT_EQ(shell->getHotkey().value, 0);
  EXPECT_EQ(shell->getIconLocation(kBuffer).value, (platform::IconLocation{u"", 0}));
}

TEST_P(ShellLinkContract, ShortBuffersGetTheStartOfTheText) {
  auto shell = implementationObject();
  ASSERT_TRUE(shell);
  ASSERT_TRUE(shell->setArguments(u"--arg \"q\"").succeeded());
  ASSERT_TRUE(shell->setWorkingDirectory(u"C:\\probe\\dir").succeeded());
  EXPECT_EQ(shell->getArguments(1).value, u"");
  EXPECT_EQ(shell->getArguments(6).value, u"--arg");
  EXPECT_EQ(shell->getWorkingDirectory(3).value, u"C:");
  EXPECT_EQ(shell->getArguments(0).value, u"");
}

TEST_P(ShellLinkContract, SaveDoesNotOverwriteAReadOnlyFile) {
  if (onWine()) {
    GTEST_SKIP() << "Wine gap: IPersistFile::Save replaces read-only and hidden files, where "
                    "Windows' CreateFile(CREATE_ALWAYS) is denied";
  }
  makeFile(u"ro.lnk");
  ASSERT_TRUE(files().setFileAttributes(at(u"ro.lnk"), platform::attr::kReadOnly).ok());
  auto shell = implementationObject();
  ASSERT_TRUE(shell);
  EXPECT_EQ(shell->save(at(u"ro.lnk"), true).hr, platform::kHresultAccessDenied);
  (void)files().setFileAttributes(at(u"ro.lnk"), platform::attr::kNormal);
}

TEST_P(ShellLinkContract, SaveIntoAMissingFolderFails) {
  auto shell = implementationObject();
  ASSERT_TRUE(shell);
  EXPECT_EQ(shell->save(at(u"nowhere\\x.lnk"), true).hr, 0x80070003u);
}

INSTANTIATE_TEST_SUITE_P(Implementations, ShellLinkContract, ::testing::ValuesIn(implementations()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tolvaran
