// WOW64 file-system redirection, the shell's existence tests, the Windows
// and special folders and the time-zone conversion: the same answers from
// simulated machines of every bitness and from Windows (under Wine, the
// 32-bit build runs as a WOW64 process, the 64-bit build natively).
#include <array>

#include "contract/contract_fixture.h"
#include "platform/scoped_file.h"
#include "support/text.h"

namespace tolvaran::contract {
namespace {

using namespace platform;

enum class ProcessKind { Wow64, Native64, Native32 };

std::vector<Implementation> wow64Implementations() {
  std::vector<Implementation> list{
      {"sim_x86_on_x64", [] { return makeSimMachine(true, 4); }},
      {"sim_x64", [] { return makeSimMachine(true, 8); }},
      {"sim_x86_os", [] { return makeSimMachine(false, 4); }},
  };
  for (const Implementation& real : implementations()) {
    if (real.name != "sim") list.push_back(real);
  }
  return list;
}

class Wow64Contract : public ContractTest, public ::testing::WithParamInterface<Implementation> {
 protected:
  void SetUp() override {
    start(GetParam());
    const auto windows = system().getWindowsDirectory();
    ASSERT_TRUE(windows.ok()) << windows.code;
    windows_ = windows.value;
    const auto wow64 = osInfo().isWow64Process(kCurrentProcess);
    kind_ = wow64.ok() && wow64.value            ? ProcessKind::Wow64
            : osInfo().processPointerSize() == 8 ? ProcessKind::Native64
                                                 : ProcessKind::Native32;
    // The scratch folder's name is unique to this run: so is the marker's.
    name_ = scratch().substr(scratch().rfind(u'\\') + 1) + u".tmp";
  }

  void TearDown() override {
    const auto off = files().disableWow64FsRedirection();
    for (const std::u16string& path : created_) (void)files().deleteFile(path);
    if (off.ok()) (void)files().revertWow64FsRedirection(off.value);
    ContractTest::TearDown();
  }

  [[nodiscard]] bool wow64() const { return kind_ == ProcessKind::Wow64; }
  [[nodiscard]] std::u16string system32(std::u16string_view rest = {}) const {
    return windows_ + u"\\System32" + std::u16string(rest);
  }

  // Creates a file in the native folder, with redirection off where there
  // is any; false (the test skipped) where this account may not write there.
  bool createNative(const std::u16string& path, std::string_view contents) {
    const auto off = files().disableWow64FsRedirection();
    EXPECT_EQ(off.ok(), wow64()) << off.code;
    const auto opened =
        files().createFile(path, access::kGenericWrite, share::kNone, Disposition::kCreateNew);
    if (opened.ok()) {
      created_.push_back(path);
      ScopedFile file(files(), opened.value);
      const auto written = files().writeFile(file.get(), std::as_bytes(std::span(contents)));
      EXPECT_TRUE(written.ok()) << written.code;
    }
    if (off.ok()) {
      EXPECT_TRUE(files().revertWow64FsRedirection(off.value).ok());
    }
    if (opened.code == kErrorAccessDenied) return false;
    EXPECT_TRUE(opened.ok()) << narrow(path) << ": " << opened.code;
    return opened.ok();
  }

  // Every path-taking call agrees on whether `path` is there.
  void expectSeen(const std::u16string& path, bool seen) {
    SCOPED_TRACE(narrow(path));
    const auto attributes = files().getFileAttributes(path);
    EXPECT_EQ(attributes.ok(), seen) << attributes.code;
    EXPECT_EQ(files().pathFileExists(path).value, seen);
    EXPECT_EQ(files().shellPathFileExists(path).value, seen);
    const auto found = files().findFirstFile(path);
    EXPECT_EQ(found.ok(), seen) << found.code;
    if (found.ok()) (void)files().findClose(found.value.handle);
    const auto opened =
        files().createFile(path, 0, share::kRead | share::kWrite, Disposition::kOpenExisting);
    EXPECT_EQ(opened.ok(), seen) << opened.code;
    if (opened.ok()) (void)files().closeHandle(opened.value);
    if (!seen) {
      EXPECT_TRUE(isNotFound(attributes.code)) << attributes.code;
      EXPECT_EQ(files().pathFileExists(path).code, attributes.code);
    }
  }

  std::u16string windows_;
  ProcessKind kind_ = ProcessKind::Native32;
  std::u16string name_;
  std::vector<std::u16string> created_;
};

TEST_P(Wow64Contract, TheNativeSystem32IsSeenWithRedirectionOff) {
  const std::u16string marker = system32(u"\\" + name_);
  if (!createNative(marker, "native")) GTEST_SKIP() << "this account may not write System32";

  const auto off = files().disableWow64FsRedirection();
  expectSeen(marker, true);
  if (off.ok()) {
    ASSERT_TRUE(files().revertWow64FsRedirection(off.value).ok());
  }

  expectSeen(marker, !wow64());
  // A 32-bit program reaches the native folder through Sysnative; for the
  // others the alias does not exist.
  expectSeen(windows_ + u"\\Sysnative\\" + name_, wow64());
  bool listed = false;
  auto listing = files().findFirstFile(system32(u"\\*.tmp"));
  if (listing.ok()) {
    listed = equalsNoCase(listing.value.data.name, name_);
    for (auto next = files().findNextFile(listing.value.handle); next.ok() && !listed;
         next = files().findNextFile(listing.value.handle)) {
      listed = equalsNoCase(next.value.name, name_);
    }
    (void)files().findClose(listing.value.handle);
  }
  EXPECT_EQ(listed, !wow64());
}

TEST_P(Wow64Contract, DriversEtcStaysNative) {
  const std::u16string marker = system32(u"\\drivers\\etc\\" + name_);
  if (!createNative(marker, "hosts")) GTEST_SKIP() << "this account may not write System32";
  expectSeen(marker, true);
}

TEST_P(Wow64Contract, AHandleOpenedWithRedirectionOffKeepsItsFile) {
  const std::u16string marker = system32(u"\\" + name_);
  if (!createNative(marker, "native")) GTEST_SKIP() << "this account may not write System32";
  const auto off = files().disableWow64FsRedirection();
  auto file = ScopedFile::openForReading(files(), marker);
  if (off.ok()) {
    ASSERT_TRUE(files().revertWow64FsRedirection(off.value).ok());
  }
  ASSERT_TRUE(file.valid());
  std::array<std::byte, 16> buffer{};
  const auto read = files().readFile(file.get(), buffer);
  ASSERT_TRUE(read.ok()) << read.code;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), read.value), "native");
}

TEST_P(Wow64Contract, SwitchingAnswersAndNests) {
  if (!wow64()) {
    EXPECT_EQ(files().disableWow64FsRedirection().code, kErrorInvalidFunction);
    EXPECT_EQ(files().revertWow64FsRedirection(0).code, kErrorInvalidFunction);
    return;
  }
  const std::u16string marker = system32(u"\\" + name_);
  if (!createNative(marker, "native")) GTEST_SKIP() << "this account may not write System32";
  const auto outer = files().disableWow64FsRedirection();
  const auto inner = files().disableWow64FsRedirection();
  ASSERT_TRUE(outer.ok() && inner.ok());
  ASSERT_TRUE(files().revertWow64FsRedirection(inner.value).ok());
  EXPECT_TRUE(files().getFileAttributes(marker).ok()) << "the inner revert keeps it off";
  ASSERT_TRUE(files().revertWow64FsRedirection(outer.value).ok());
  EXPECT_FALSE(files().getFileAttributes(marker).ok()) << "the outer revert turns it on";
}

TEST_P(Wow64Contract, SysnativeIsGoneWithRedirectionOff) {
  if (!wow64()) GTEST_SKIP() << "only a 32-bit program on 64-bit Windows has the alias";
  TOLVARAN_SKIP_ON_WINE("Wine keeps resolving Sysnative while redirection is off");
  const auto off = files().disableWow64FsRedirection();
  ASSERT_TRUE(off.ok());
  EXPECT_FALSE(files().getFileAttributes(windows_ + u"\\Sysnative").ok());
  EXPECT_TRUE(files().revertWow64FsRedirection(off.value).ok());
}

TEST_P(Wow64Contract, WindowsAndSpecialFoldersAreFolders) {
  ASSERT_GE(windows_.size(), 3u);
  EXPECT_EQ(windows_[1], u':');
  EXPECT_NE(windows_.back(), u'\\');
  const auto isFolder = [&](const std::u16string& path) {
    const auto attributes = files().getFileAttributes(path);
    return attributes.ok() && (attributes.value & attr::kDirectory) != 0;
  };
  EXPECT_TRUE(isFolder(windows_));

  for (const std::int32_t folder :
       {csidl::kDesktop, csidl::kDesktopDirectory, csidl::kAppData, csidl::kLocalAppData,
        csidl::kStartup, csidl::kCommonPrograms, csidl::kCommonDesktopDirectory,
        csidl::kProgramFiles, csidl::kProgramFilesX86, csidl::kWindows, csidl::kSystem}) {
    const auto path = system().getSpecialFolderPath(folder);
    ASSERT_TRUE(path.ok()) << folder << ": " << path.code;
    EXPECT_TRUE(path.value.size() > 3 && path.value[1] == u':') << narrow(path.value);
    EXPECT_TRUE(isFolder(path.value)) << narrow(path.value);
  }
  EXPECT_TRUE(equalsNoCase(system().getSpecialFolderPath(csidl::kWindows).value, windows_));
  EXPECT_TRUE(equalsNoCase(system().getSpecialFolderPath(csidl::kSystem).value, system32()));
  EXPECT_EQ(system().getSpecialFolderPath(csidl::kDesktop).value,
            system().getSpecialFolderPath(csidl::kDesktopDirectory).value);
  // The 32-bit build is given the x86 program folder as its own.
  const bool sameProgramFiles = system().getSpecialFolderPath(csidl::kProgramFiles).value ==
                                system().getSpecialFolderPath(csidl::kProgramFilesX86).value;
  EXPECT_EQ(sameProgramFiles, kind_ != ProcessKind::Native64);

  const auto unknown = system().getSpecialFolderPath(0x3f);
  EXPECT_EQ(unknown.code, kHresultInvalidArg);
  EXPECT_TRUE(unknown.value.empty());
  EXPECT_EQ(system().getSpecialFolderPath(csidl::kControls).code, kHresultFail);
}

TEST_P(Wow64Contract, LocalFileTimeIsUtcMovedByTheZone) {
  constexpr std::uint64_t kMinute = 600'000'000ull;
  constexpr std::uint64_t kFileTime2026 = 134'116'000'000'000'000ull;
  const auto local = clock().fileTimeToLocalFileTime(kFileTime2026);
  ASSERT_TRUE(local.ok()) << local.code;
  const auto offset = static_cast<std::int64_t>(local.value - kFileTime2026);
  EXPECT_EQ(offset % static_cast<std::int64_t>(15 * kMinute), 0) << "zones are quarter hours";
  EXPECT_LE(offset < 0 ? -offset : offset, static_cast<std::int64_t>(14 * 60 * kMinute));
  const auto later = clock().fileTimeToLocalFileTime(kFileTime2026 + 183 * 24 * 60 * kMinute);
  EXPECT_EQ(later.value - (kFileTime2026 + 183 * 24 * 60 * kMinute), local.value - kFileTime2026)
      << "the present bias, not the one at that date";
}

INSTANTIATE_TEST_SUITE_P(Ports, Wow64Contract, ::testing::ValuesIn(wow64Implementations()),
                         implementationName);

}  // namespace
}  // namespace tolvaran::contract
