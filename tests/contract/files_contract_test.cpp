// The file port: the same answers from the simulated machine and from Windows.
#include <algorithm>
#include <set>
#include <tuple>

#include "contract/contract_fixture.h"
#include "platform/scoped_file.h"
#include "support/text.h"

namespace tolvaran::contract {
namespace {

using namespace platform;

constexpr std::uint32_t kReadWrite = access::kGenericRead | access::kGenericWrite;
constexpr std::uint32_t kShareAll = share::kRead | share::kWrite | share::kDelete;

std::span<const std::byte> bytes(std::string_view text) {
  return std::as_bytes(std::span(text));
}

class FilesContract : public ContractTest, public ::testing::WithParamInterface<Implementation> {
 protected:
  void SetUp() override { start(GetParam()); }

  Result<FileHandle> open(std::u16string_view relative, std::uint32_t access, std::uint32_t share,
                          Disposition disposition) {
    return files().createFile(at(relative), access, share, disposition);
  }
  Win32Code attributesCode(std::u16string_view relative) {
    return files().getFileAttributes(at(relative)).code;
  }
  std::uint32_t attributes(std::u16string_view relative) {
    const auto result = files().getFileAttributes(at(relative));
    EXPECT_TRUE(result.ok()) << narrow(relative) << ": " << result.code;
    return result.value;
  }
};

// --- Path rules --------------------------------------------------------------

// Every rule runs against a folder "dir" holding "file.txt"; "{S}" stands for
// the scratch folder.
struct PathRule {
  const char* name;
  std::u16string input;
  Win32Code code;
  bool directory = false;
};

std::u16string invalidName(char16_t c) {
  return std::u16string(u"{S}\\dir\\a") + c + u"b.txt";
}

const std::vector<PathRule>& pathRules() {
  static const std::vector<PathRule> rules{
      {"Plain", u"{S}\\dir\\file.txt", kErrorSuccess},
      {"ForwardSlashes", u"{S}/dir/file.txt", kErrorSuccess},
      {"DoubledSeparators", u"{S}\\\\dir\\\\\\file.txt", kErrorSuccess},
      {"DotComponent", u"{S}\\dir\\.\\file.txt", kErrorSuccess},
      {"DotDotOverMissingFolder", u"{S}\\dir\\missing\\..\\file.txt", kErrorSuccess},
      {"DotDotBack", u"{S}\\dir\\..\\dir\\file.txt", kErrorSuccess},
      {"TrailingDots", u"{S}\\dir\\file.txt...", kErrorSuccess},
      {"TrailingSpaces", u"{S}\\dir\\file.txt  ", kErrorSuccess},
      {"TrailingDotsAndSpaces", u"{S}\\dir\\file.txt. .", kErrorSuccess},
      {"InnerTrailingDot", u"{S}\\dir.\\file.txt", kErrorSuccess},
      {"OtherCase", u"{S}\\DIR\\FILE.TXT", kErrorSuccess},
      {"FolderWithTrailingSeparator", u"{S}\\dir\\", kErrorSuccess, true},
      {"FolderWithTrailingSlash", u"{S}\\dir/", kErrorSuccess, true},
      {"FolderWithTrailingDot", u"{S}\\dir\\.", kErrorSuccess, true},
      {"FileWithTrailingSeparator", u"{S}\\dir\\file.txt\\", kErrorInvalidName},
      {"MissingFile", u"{S}\\dir\\none.txt", kErrorFileNotFound},
      {"MissingFolder", u"{S}\\none\\file.txt", kErrorPathNotFound},
      {"FileUsedAsFolder", u"{S}\\dir\\file.txt\\inner", kErrorPathNotFound},
      {"Empty", u"", kErrorPathNotFound},
      {"EmbeddedNul", std::u16string(u"{S}\\dir\\file.txt\0junk", 22), kErrorSuccess},
      {"LiteralPrefix", u"\\\\?\\{S}\\dir\\file.txt", kErrorSuccess},
      {"LiteralFolder", u"\\\\?\\{S}\\dir", kErrorSuccess, true},
      {"LiteralKeepsTrailingDot", u"\\\\?\\{S}\\dir\\file.txt.", kErrorFileNotFound},
      {"LiteralKeepsTrailingSpace", u"\\\\?\\{S}\\dir\\file.txt ", kErrorFileNotFound},
      {"LiteralSlashIsNoSeparator", u"\\\\?\\{S}\\dir/file.txt", kErrorInvalidName},
      {"LiteralDotComponent", u"\\\\?\\{S}\\dir\\.\\file.txt", kErrorInvalidName},
      {"LessThan", invalidName(u'<'), kErrorInvalidName},
      {"GreaterThan", invalidName(u'>'), kErrorInvalidName},
      {"Colon", invalidName(u':'), kErrorInvalidName},
      {"Quote", invalidName(u'"'), kErrorInvalidName},
      {"Bar", invalidName(u'|'), kErrorInvalidName},
      {"QuestionMark", invalidName(u'?'), kErrorInvalidName},
      {"Star", invalidName(u'*'), kErrorInvalidName},
      {"ControlCharacter", invalidName(u'\x01'), kErrorInvalidName},
      {"UnknownServer", u"\\\\tolvaran-no-such-server\\share\\file.txt", kErrorBadNetPath},
  };
  return rules;
}

void PrintTo(const PathRule& rule, std::ostream* out) {
  *out << rule.name;
}

// Where Wine answers differently from Windows (measured with Wine 8.0).
const char* wineGap(std::string_view rule) {
  if (rule == "Colon") return "ERROR_PATH_NOT_FOUND for a colon in a name";
  if (rule == "FileWithTrailingSeparator") return "ERROR_FILE_NOT_FOUND for \"file\\\"";
  if (rule == "UnknownServer") return "ERROR_BAD_DEV_TYPE (66) for any UNC path";
  return nullptr;
}

class PathRules : public ContractTest,
                  public ::testing::WithParamInterface<std::tuple<Implementation, PathRule>> {
 protected:
  void SetUp() override { start(std::get<0>(GetParam())); }
};

TEST_P(PathRules, GetFileAttributes) {
  const PathRule& rule = std::get<1>(GetParam());
  if (const char* gap = wineGap(rule.name)) TOLVARAN_SKIP_ON_WINE(gap);
  makeFolder(u"dir");
  makeFile(u"dir\\file.txt", "x");
  const std::u16string input = replaceAll(rule.input, u"{S}", scratch());
  const auto result = files().getFileAttributes(input);
  EXPECT_EQ(result.code, rule.code) << narrow(input);
  if (rule.code == kErrorSuccess) {
    EXPECT_EQ((result.value & attr::kDirectory) != 0, rule.directory) << narrow(input);
  } else {
    EXPECT_EQ(result.value, kInvalidFileAttributes);
  }
}

INSTANTIATE_TEST_SUITE_P(Ports, PathRules,
                         ::testing::Combine(::testing::ValuesIn(implementations()),
                                            ::testing::ValuesIn(pathRules())),
                         [](const auto& info) {
                           return std::get<0>(info.param).name + "_" + std::get<1>(info.param).name;
                         });

// The same parser serves every call: a few rules again through other calls.
TEST_P(FilesContract, PathRulesHoldForOtherCalls) {
  makeFolder(u"dir");
  {
    const auto created =
        open(u"dir\\new.txt. ", access::kGenericWrite, share::kNone, Disposition::kCreateNew);
    ASSERT_TRUE(created.ok()) << created.code;
    EXPECT_TRUE(files().closeHandle(created.value).ok());
  }
  EXPECT_EQ(attributesCode(u"dir\\NEW.TXT"), kErrorSuccess);
  EXPECT_EQ(files().createDirectory(at(u"dir/sub/")).code, kErrorSuccess);
  EXPECT_EQ(attributesCode(u"DIR\\SUB"), kErrorSuccess);
  EXPECT_EQ(files().deleteFile(at(u"dir\\.\\new.txt")).code, kErrorSuccess);
  EXPECT_EQ(files().removeDirectory(at(u"dir\\sub\\..\\sub")).code, kErrorSuccess);
  EXPECT_EQ(files().createDirectory(at(u"dir\\a|b")).code, kErrorInvalidName);
  EXPECT_EQ(
      open(u"none\\x.txt", access::kGenericWrite, share::kNone, Disposition::kCreateAlways).code,
      kErrorPathNotFound);
}

TEST_P(FilesContract, FullPathNameIsTextOnly) {
  const std::u16string base = scratch();
  struct Case {
    std::u16string input;
    std::u16string expected;
  };
  const std::vector<Case> cases{
      {base + u"\\a\\b\\..\\c", base + u"\\a\\c"}, {base + u"/a//b", base + u"\\a\\b"},
      {base + u"\\a\\b. .", base + u"\\a\\b"},     {base + u"\\a.\\b", base + u"\\a\\b"},
      {base + u"\\a\\", base + u"\\a\\"},          {base + u"\\a\\.", base + u"\\a"},
      {base + u"\\a<b", base + u"\\a<b"},          {u"C:\\..\\..\\x", u"C:\\x"},
  };
  for (const auto& c : cases) {
    const auto full = files().getFullPathName(c.input);
    EXPECT_TRUE(full.ok()) << narrow(c.input) << ": " << full.code;
    EXPECT_EQ(full.value, c.expected) << narrow(c.input);
  }
}

TEST_P(FilesContract, LongPathNameOfExistingAndMissing) {
  makeFolder(u"Long Folder Name");
  makeFile(u"Long Folder Name\\Long File Name.txt", "");
  const std::u16string path = at(u"Long Folder Name\\Long File Name.txt");
  const auto existing = files().getLongPathName(path);
  EXPECT_TRUE(existing.ok()) << existing.code;
  EXPECT_TRUE(equalsNoCase(existing.value, path)) << narrow(existing.value);
  EXPECT_EQ(files().getLongPathName(at(u"Long Folder Name\\none.txt")).code, kErrorFileNotFound);
}

// --- Attributes --------------------------------------------------------------

TEST_P(FilesContract, AttributesSetAndGet) {
  makeFile(u"a.txt", "a");
  constexpr std::uint32_t kRhs = attr::kReadOnly | attr::kHidden | attr::kSystem;
  EXPECT_EQ(attributes(u"a.txt") & (kRhs | attr::kDirectory), 0u);
  for (const std::uint32_t wanted :
       {attr::kReadOnly, attr::kHidden, attr::kSystem, attr::kReadOnly | attr::kHidden, kRhs}) {
    ASSERT_TRUE(files().setFileAttributes(at(u"a.txt"), wanted).ok());
    EXPECT_EQ(attributes(u"a.txt") & kRhs, wanted);
  }
  ASSERT_TRUE(files().setFileAttributes(at(u"a.txt"), attr::kNormal).ok());
  EXPECT_EQ(attributes(u"a.txt") & (kRhs | attr::kDirectory), 0u);

  makeFolder(u"dir");
  ASSERT_TRUE(files().setFileAttributes(at(u"dir"), attr::kHidden).ok());
  EXPECT_EQ(attributes(u"dir") & (attr::kDirectory | kRhs), attr::kDirectory | attr::kHidden);
  ASSERT_TRUE(files().setFileAttributes(at(u"dir"), attr::kNormal).ok());
  EXPECT_EQ(attributes(u"dir") & (attr::kDirectory | kRhs), attr::kDirectory);

  EXPECT_EQ(files().setFileAttributes(at(u"none.txt"), attr::kHidden).code, kErrorFileNotFound);
  EXPECT_EQ(files().setFileAttributes(at(u"none\\a.txt"), attr::kHidden).code, kErrorPathNotFound);
}

TEST_P(FilesContract, NormalReadsBackAsNormal) {
  TOLVARAN_SKIP_ON_WINE("a regular file always shows ARCHIVE; NORMAL never reads back");
  makeFile(u"a.txt", "a");
  EXPECT_EQ(attributes(u"a.txt"), attr::kArchive);
  ASSERT_TRUE(files().setFileAttributes(at(u"a.txt"), attr::kNormal).ok());
  EXPECT_EQ(attributes(u"a.txt"), attr::kNormal);
}

// --- Delete ------------------------------------------------------------------

TEST_P(FilesContract, DeleteFileCodes) {
  makeFile(u"a.txt", "a");
  makeFile(u"ro.txt", "r");
  makeFolder(u"dir");
  ASSERT_TRUE(files().setFileAttributes(at(u"ro.txt"), attr::kReadOnly).ok());

  EXPECT_EQ(files().deleteFile(at(u"none.txt")).code, kErrorFileNotFound);
  EXPECT_EQ(files().deleteFile(at(u"none\\a.txt")).code, kErrorPathNotFound);
  EXPECT_EQ(files().deleteFile(at(u"ro.txt")).code, kErrorAccessDenied);
  EXPECT_EQ(attributesCode(u"ro.txt"), kErrorSuccess);
  EXPECT_EQ(files().deleteFile(at(u"dir")).code, kErrorAccessDenied);
  EXPECT_EQ(files().deleteFile(at(u"A.TXT")).code, kErrorSuccess);
  EXPECT_EQ(attributesCode(u"a.txt"), kErrorFileNotFound);
  EXPECT_EQ(files().deleteFile(at(u"a.txt")).code, kErrorFileNotFound);
}

TEST_P(FilesContract, DeleteOfAnOpenFile) {
  makeFile(u"locked.txt", "l");
  makeFile(u"shared.txt", "s");
  {
    const auto locked = open(u"locked.txt", access::kGenericRead, share::kRead | share::kWrite,
                             Disposition::kOpenExisting);
    ASSERT_TRUE(locked.ok()) << locked.code;
    ScopedFile guard(files(), locked.value);
    EXPECT_EQ(files().deleteFile(at(u"locked.txt")).code, kErrorSharingViolation);
  }
  EXPECT_EQ(files().deleteFile(at(u"locked.txt")).code, kErrorSuccess);

  {
    const auto shared =
        open(u"shared.txt", access::kGenericRead, kShareAll, Disposition::kOpenExisting);
    ASSERT_TRUE(shared.ok()) << shared.code;
    ScopedFile guard(files(), shared.value);
    EXPECT_EQ(files().deleteFile(at(u"shared.txt")).code, kErrorSuccess);
  }
  EXPECT_EQ(attributesCode(u"shared.txt"), kErrorFileNotFound);
}

// --- CreateFile dispositions -------------------------------------------------

TEST_P(FilesContract, CreateDispositionCodes) {
  makeFile(u"a.txt", "abc");
  makeFile(u"hidden.txt", "h");
  makeFile(u"ro.txt", "r");
  makeFolder(u"dir");
  ASSERT_TRUE(files().setFileAttributes(at(u"hidden.txt"), attr::kHidden).ok());
  ASSERT_TRUE(files().setFileAttributes(at(u"ro.txt"), attr::kReadOnly).ok());

  struct Case {
    const char* what;
    std::u16string path;
    std::uint32_t access;
    Disposition disposition;
    Win32Code code;
  };
  const std::vector<Case> cases{
      {"create-new on existing", u"a.txt", access::kGenericWrite, Disposition::kCreateNew,
       kErrorFileExists},
      {"open-existing on missing", u"none.txt", access::kGenericRead, Disposition::kOpenExisting,
       kErrorFileNotFound},
      {"truncate-existing on missing", u"none.txt", access::kGenericWrite,
       Disposition::kTruncateExisting, kErrorFileNotFound},
      {"in a missing folder", u"none\\x.txt", access::kGenericWrite, Disposition::kCreateNew,
       kErrorPathNotFound},
      {"read access on read-only", u"ro.txt", access::kGenericRead, Disposition::kOpenExisting,
       kErrorSuccess},
      {"open-existing on hidden", u"hidden.txt", kReadWrite, Disposition::kOpenExisting,
       kErrorSuccess},
      {"a folder", u"dir", access::kGenericRead, Disposition::kOpenExisting, kErrorAccessDenied},
      {"create-new on a folder", u"dir", access::kGenericWrite, Disposition::kCreateNew,
       kErrorFileExists},
  };
  for (const auto& c : cases) {
    const auto opened = open(c.path, c.access, share::kRead, c.disposition);
    EXPECT_EQ(opened.code, c.code) << c.what;
    EXPECT_EQ(opened.value != kInvalidFileHandle, c.code == kErrorSuccess) << c.what;
    if (opened.ok()) {
      EXPECT_TRUE(files().closeHandle(opened.value).ok()) << c.what;
    }
  }
  EXPECT_EQ(readAll(at(u"a.txt")), "abc");
}

TEST_P(FilesContract, CreateRefusesToOverwriteHiddenOrSystem) {
  TOLVARAN_SKIP_ON_WINE("CREATE_ALWAYS overwrites hidden and system files");
  makeFile(u"hidden.txt", "h");
  makeFile(u"system.txt", "s");
  ASSERT_TRUE(files().setFileAttributes(at(u"hidden.txt"), attr::kHidden).ok());
  ASSERT_TRUE(files().setFileAttributes(at(u"system.txt"), attr::kSystem).ok());
  for (const char16_t* name : {u"hidden.txt", u"system.txt"}) {
    const auto opened = open(name, access::kGenericWrite, share::kNone, Disposition::kCreateAlways);
    EXPECT_EQ(opened.code, kErrorAccessDenied) << narrow(name);
    if (opened.ok()) (void)files().closeHandle(opened.value);
  }
  EXPECT_EQ(readAll(at(u"hidden.txt")), "h");
}

TEST_P(FilesContract, CreateRefusesToWriteReadOnly) {
  TOLVARAN_SKIP_ON_WINE("run as root, Wine opens read-only files for writing");
  makeFile(u"ro.txt", "r");
  ASSERT_TRUE(files().setFileAttributes(at(u"ro.txt"), attr::kReadOnly).ok());
  for (const auto disposition :
       {Disposition::kOpenExisting, Disposition::kCreateAlways, Disposition::kTruncateExisting}) {
    const auto opened = open(u"ro.txt", access::kGenericWrite, share::kNone, disposition);
    EXPECT_EQ(opened.code, kErrorAccessDenied) << static_cast<int>(disposition);
    if (opened.ok()) (void)files().closeHandle(opened.value);
  }
  EXPECT_EQ(readAll(at(u"ro.txt")), "r");
}

TEST_P(FilesContract, TruncateNeedsWriteAccess) {
  TOLVARAN_SKIP_ON_WINE("TRUNCATE_EXISTING truncates through a read-only handle");
  makeFile(u"a.txt", "abc");
  const auto opened =
      open(u"a.txt", access::kGenericRead, share::kRead, Disposition::kTruncateExisting);
  EXPECT_EQ(opened.code, kErrorInvalidParameter);
  if (opened.ok()) (void)files().closeHandle(opened.value);
  EXPECT_EQ(readAll(at(u"a.txt")), "abc");
}

TEST_P(FilesContract, CreateDispositionEffects) {
  makeFile(u"always.txt", "old contents");
  makeFile(u"open-always.txt", "kept");
  makeFile(u"truncate.txt", "gone");
  for (const auto& [name, disposition] :
       {std::pair{u"always.txt", Disposition::kCreateAlways},
        std::pair{u"open-always.txt", Disposition::kOpenAlways},
        std::pair{u"truncate.txt", Disposition::kTruncateExisting},
        std::pair{u"new-always.txt", Disposition::kCreateAlways},
        std::pair{u"new-open-always.txt", Disposition::kOpenAlways}}) {
    const auto opened = open(name, access::kGenericWrite, share::kNone, disposition);
    ASSERT_TRUE(opened.ok()) << narrow(name) << ": " << opened.code;
    EXPECT_TRUE(files().closeHandle(opened.value).ok());
  }
  EXPECT_EQ(readAll(at(u"always.txt")), "");
  EXPECT_EQ(readAll(at(u"open-always.txt")), "kept");
  EXPECT_EQ(readAll(at(u"truncate.txt")), "");
  EXPECT_EQ(attributes(u"new-always.txt") & attr::kDirectory, 0u);
  EXPECT_EQ(attributesCode(u"new-open-always.txt"), kErrorSuccess);
}

// --- Sharing -----------------------------------------------------------------

TEST_P(FilesContract, SharingViolations) {
  makeFile(u"a.txt", "a");
  const auto first = open(u"a.txt", access::kGenericRead, share::kRead, Disposition::kOpenExisting);
  ASSERT_TRUE(first.ok()) << first.code;
  ScopedFile guard(files(), first.value);

  struct Case {
    const char* what;
    std::uint32_t access;
    std::uint32_t share;
    Win32Code code;
  };
  const std::vector<Case> cases{
      {"reader sharing read", access::kGenericRead, share::kRead, kErrorSuccess},
      {"reader sharing everything", access::kGenericRead, kShareAll, kErrorSuccess},
      {"writer", access::kGenericWrite, kShareAll, kErrorSharingViolation},
      {"reader not sharing read", access::kGenericRead, share::kWrite, kErrorSharingViolation},
      {"deleter", access::kDelete, kShareAll, kErrorSharingViolation},
      {"attributes only, sharing nothing", access::kReadAttributes, share::kNone, kErrorSuccess},
  };
  for (const auto& c : cases) {
    const auto second = open(u"a.txt", c.access, c.share, Disposition::kOpenExisting);
    EXPECT_EQ(second.code, c.code) << c.what;
    if (second.ok()) {
      EXPECT_TRUE(files().closeHandle(second.value).ok()) << c.what;
    }
  }
}

// --- Handles -----------------------------------------------------------------

TEST_P(FilesContract, ReadWriteSeekAndSize) {
  const auto opened = open(u"data.bin", kReadWrite, share::kNone, Disposition::kCreateNew);
  ASSERT_TRUE(opened.ok()) << opened.code;
  ScopedFile file(files(), opened.value);

  const auto written = files().writeFile(file.get(), bytes("hello world"));
  ASSERT_TRUE(written.ok()) << written.code;
  EXPECT_EQ(written.value, 11u);
  EXPECT_EQ(files().getFileSize(file.get()).value, 11u);

  EXPECT_EQ(files().seekFile(file.get(), 6).value, 6u);
  std::array<std::byte, 16> buffer{};
  auto read = files().readFile(file.get(), buffer);
  ASSERT_TRUE(read.ok()) << read.code;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data()), read.value), "world");
  read = files().readFile(file.get(), buffer);
  EXPECT_TRUE(read.ok());
  EXPECT_EQ(read.value, 0u) << "reading at the end gives nothing";

  // Writing past the end fills the gap with zeros.
  EXPECT_EQ(files().seekFile(file.get(), 14).value, 14u);
  ASSERT_TRUE(files().writeFile(file.get(), bytes("!")).ok());
  EXPECT_EQ(files().getFileSize(file.get()).value, 15u);
  file.reset();
  EXPECT_EQ(readAll(at(u"data.bin")), std::string("hello world\0\0\0!", 15));
}

TEST_P(FilesContract, AccessIsEnforcedPerHandle) {
  makeFile(u"a.txt", "abc");
  std::array<std::byte, 4> buffer{};
  {
    const auto reader = open(u"a.txt", access::kGenericRead, kShareAll, Disposition::kOpenExisting);
    ASSERT_TRUE(reader.ok());
    ScopedFile file(files(), reader.value);
    EXPECT_EQ(files().writeFile(file.get(), bytes("x")).code, kErrorAccessDenied);
  }
  {
    const auto writer =
        open(u"a.txt", access::kGenericWrite, kShareAll, Disposition::kOpenExisting);
    ASSERT_TRUE(writer.ok());
    ScopedFile file(files(), writer.value);
    EXPECT_EQ(files().readFile(file.get(), buffer).code, kErrorAccessDenied);
  }
  EXPECT_EQ(readAll(at(u"a.txt")), "abc");
}

TEST_P(FilesContract, ClosedHandlesAreInvalid) {
  makeFile(u"a.txt", "abc");
  const auto opened = open(u"a.txt", access::kGenericRead, kShareAll, Disposition::kOpenExisting);
  ASSERT_TRUE(opened.ok());
  const auto times = files().getFileTime(opened.value);
  EXPECT_TRUE(times.ok()) << times.code;
  EXPECT_NE(times.value.creation, 0u);
  EXPECT_LE(times.value.creation, times.value.lastWrite);

  EXPECT_EQ(files().closeHandle(opened.value).code, kErrorSuccess);
  EXPECT_EQ(files().closeHandle(opened.value).code, kErrorInvalidHandle);
  std::array<std::byte, 4> buffer{};
  EXPECT_EQ(files().readFile(opened.value, buffer).code, kErrorInvalidHandle);
  EXPECT_EQ(files().getFileSize(opened.value).code, kErrorInvalidHandle);
  EXPECT_EQ(files().closeHandle(kInvalidFileHandle).code, kErrorInvalidHandle);
}

// --- Folders -----------------------------------------------------------------

TEST_P(FilesContract, FolderCodes) {
  makeFolder(u"dir");
  makeFile(u"dir\\a.txt", "a");
  makeFile(u"file.txt", "f");
  EXPECT_EQ(files().createDirectory(at(u"dir")).code, kErrorAlreadyExists);
  EXPECT_EQ(files().createDirectory(at(u"file.txt")).code, kErrorAlreadyExists);
  EXPECT_EQ(files().createDirectory(at(u"none\\sub")).code, kErrorPathNotFound);
  EXPECT_EQ(files().removeDirectory(at(u"dir")).code, kErrorDirNotEmpty);
  EXPECT_EQ(files().removeDirectory(at(u"none")).code, kErrorFileNotFound);
  EXPECT_EQ(files().removeDirectory(at(u"file.txt")).code, kErrorDirectory);
  EXPECT_EQ(files().createDirectory(at(u"empty\\")).code, kErrorSuccess);
  EXPECT_EQ(files().removeDirectory(at(u"EMPTY")).code, kErrorSuccess);
  EXPECT_EQ(attributesCode(u"empty"), kErrorFileNotFound);
}

// --- Move and copy -----------------------------------------------------------

TEST_P(FilesContract, MoveFile) {
  makeFile(u"a.txt", "a");
  makeFile(u"b.txt", "b");
  makeFolder(u"dir");
  EXPECT_EQ(files().moveFile(at(u"a.txt"), at(u"b.txt")).code, kErrorAlreadyExists);
  EXPECT_EQ(files().moveFile(at(u"none.txt"), at(u"c.txt")).code, kErrorFileNotFound);
  EXPECT_EQ(files().moveFile(at(u"a.txt"), at(u"none\\a.txt")).code, kErrorPathNotFound);
  EXPECT_EQ(files().moveFile(at(u"a.txt"), at(u"dir\\moved.txt")).code, kErrorSuccess);
  EXPECT_EQ(attributesCode(u"a.txt"), kErrorFileNotFound);
  EXPECT_EQ(readAll(at(u"dir\\moved.txt")), "a");

  {
    const auto locked =
        open(u"b.txt", access::kGenericRead, share::kRead, Disposition::kOpenExisting);
    ASSERT_TRUE(locked.ok());
    ScopedFile guard(files(), locked.value);
    EXPECT_EQ(files().moveFile(at(u"b.txt"), at(u"c.txt")).code, kErrorSharingViolation);
  }
  EXPECT_EQ(files().moveFile(at(u"b.txt"), at(u"c.txt")).code, kErrorSuccess);
}

TEST_P(FilesContract, MoveChangingOnlyTheCaseRenames) {
  TOLVARAN_SKIP_ON_WINE("the move succeeds but the name keeps its old case");
  makeFile(u"b.txt", "b");
  EXPECT_EQ(files().moveFile(at(u"b.txt"), at(u"B.TXT")).code, kErrorSuccess);
  const auto found = files().findFirstFile(at(u"b*"));
  ASSERT_TRUE(found.ok()) << found.code;
  EXPECT_EQ(found.value.data.name, u"B.TXT");
  EXPECT_TRUE(files().findClose(found.value.handle).ok());
}

TEST_P(FilesContract, CopyFile) {
  makeFile(u"a.txt", "source");
  makeFile(u"b.txt", "target");

  EXPECT_EQ(files().copyFile(at(u"a.txt"), at(u"b.txt"), true).code, kErrorFileExists);
  EXPECT_EQ(readAll(at(u"b.txt")), "target");
  EXPECT_EQ(files().copyFile(at(u"a.txt"), at(u"b.txt"), false).code, kErrorSuccess);
  EXPECT_EQ(readAll(at(u"b.txt")), "source");
  EXPECT_EQ(files().copyFile(at(u"a.txt"), at(u"new.txt"), true).code, kErrorSuccess);
  EXPECT_EQ(readAll(at(u"new.txt")), "source");
  EXPECT_EQ(files().copyFile(at(u"none.txt"), at(u"c.txt"), false).code, kErrorFileNotFound);
}

TEST_P(FilesContract, CopyRefusesToOverwriteHiddenOrReadOnly) {
  TOLVARAN_SKIP_ON_WINE(
      "CopyFile overwrites a hidden target, and a read-only one when run as root");
  makeFile(u"a.txt", "source");
  makeFile(u"hidden.txt", "h");
  makeFile(u"ro.txt", "r");
  ASSERT_TRUE(files().setFileAttributes(at(u"hidden.txt"), attr::kHidden).ok());
  ASSERT_TRUE(files().setFileAttributes(at(u"ro.txt"), attr::kReadOnly).ok());
  EXPECT_EQ(files().copyFile(at(u"a.txt"), at(u"hidden.txt"), false).code, kErrorAccessDenied);
  EXPECT_EQ(files().copyFile(at(u"a.txt"), at(u"ro.txt"), false).code, kErrorAccessDenied);
  EXPECT_EQ(readAll(at(u"hidden.txt")), "h");
  EXPECT_EQ(readAll(at(u"ro.txt")), "r");
}

// --- Name comparison -------------------------------------------------------

// Names match unit by unit through each unit's upper case, where that maps
// back: not through Unicode's case folding, which takes KELVIN SIGN for "k".
// Asked for by name, and as a pattern (the name and "*").
TEST_P(FilesContract, NamesMatchByTheirUpperCaseOnly) {
  const struct {
    const char* name;
    std::u16string_view made;
    std::u16string_view asked;
    bool same;
  } cases[] = {
      {"capitals", u"notes.lnk", u"NOTES.LNK", true},
      {"KELVIN SIGN", u"notes.lnk", u"notes.ln\u212A", false},
      {"capitals", u"page.website", u"PAGE.WEBSITE", true},
      {"LONG S", u"page.website", u"page.web\u017Fite", false},
      {"Cyrillic capitals", u"\u0444\u0430\u0439\u043B.lnk", u"\u0424\u0410\u0419\u041B.LNK", true},
      {"Greek final sigma", u"\u03C3.txt", u"\u03C2.txt", false},
      {"capital sharp s", u"\u00DF.txt", u"\u1E9E.txt", false},
      {"ANGSTROM SIGN", u"\u00E5.txt", u"\u212B.txt", false},
      {"outside the BMP", u"\U00010400.txt", u"\U00010428.txt", false},
  };
  int folder = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::u16string dir = u"n" + toDecimal(++folder);
    makeFolder(dir);
    makeFile(dir + u"\\" + std::u16string(c.made), "x");
    const std::u16string asked = at(dir + u"\\" + std::u16string(c.asked));
    EXPECT_EQ(files().getFileAttributes(asked).ok(), c.same);
    for (const std::u16string& pattern : {asked, asked + u"*"}) {
      const auto found = files().findFirstFile(pattern);
      EXPECT_EQ(found.ok(), c.same) << narrow(pattern);
      if (!found.ok()) continue;
      EXPECT_EQ(found.value.data.name, c.made);
      EXPECT_TRUE(files().findClose(found.value.handle).ok());
    }
  }
}

// --- Find --------------------------------------------------------------------

TEST_P(FilesContract, FindFirstAndNext) {
  makeFolder(u"dir");
  makeFolder(u"dir\\sub");
  makeFile(u"dir\\one.lnk", "1");
  makeFile(u"dir\\two.lnk", "22");
  makeFile(u"dir\\three.txt", "333");

  auto found = files().findFirstFile(at(u"dir\\*"));
  ASSERT_TRUE(found.ok()) << found.code;
  std::vector<FindData> entries{found.value.data};
  for (;;) {
    auto next = files().findNextFile(found.value.handle);
    if (!next.ok()) {
      EXPECT_EQ(next.code, kErrorNoMoreFiles);
      break;
    }
    entries.push_back(next.value);
  }
  EXPECT_EQ(files().findClose(found.value.handle).code, kErrorSuccess);

  ASSERT_EQ(entries.size(), 6u);
  std::set<std::u16string> names;
  for (const auto& entry : entries) names.insert(entry.name);
  EXPECT_EQ(names,
            (std::set<std::u16string>{u".", u"..", u"sub", u"one.lnk", u"two.lnk", u"three.txt"}));
  for (const auto& entry : entries) {
    const bool folder = entry.name == u"." || entry.name == u".." || entry.name == u"sub";
    EXPECT_EQ((entry.attributes & attr::kDirectory) != 0, folder) << narrow(entry.name);
    if (entry.name == u"three.txt") {
      EXPECT_EQ(entry.size, 3u);
    }
  }

  found = files().findFirstFile(at(u"dir\\*.LNK"));
  ASSERT_TRUE(found.ok()) << found.code;
  names = {found.value.data.name};
  while (true) {
    auto next = files().findNextFile(found.value.handle);
    if (!next.ok()) break;
    names.insert(next.value.name);
  }
  EXPECT_TRUE(files().findClose(found.value.handle).ok());
  EXPECT_EQ(names, (std::set<std::u16string>{u"one.lnk", u"two.lnk"}));
}

TEST_P(FilesContract, FindCodes) {
  makeFolder(u"dir");
  makeFile(u"dir\\a.txt", "a");
  EXPECT_EQ(files().findFirstFile(at(u"dir\\*.none")).code, kErrorFileNotFound);
  EXPECT_EQ(files().findFirstFile(at(u"dir\\")).code, kErrorFileNotFound);
  EXPECT_EQ(files().findFirstFile(at(u"none\\*")).code, kErrorPathNotFound);
  EXPECT_EQ(files().findFirstFile(at(u"dir\\b.txt")).code, kErrorFileNotFound);

  auto found = files().findFirstFile(at(u"dir"));
  ASSERT_TRUE(found.ok()) << found.code;
  EXPECT_EQ(found.value.data.name, u"dir");
  EXPECT_NE(found.value.data.attributes & attr::kDirectory, 0u);
  EXPECT_EQ(files().findNextFile(found.value.handle).code, kErrorNoMoreFiles);
  EXPECT_EQ(files().findClose(found.value.handle).code, kErrorSuccess);
}

INSTANTIATE_TEST_SUITE_P(Ports, FilesContract, ::testing::ValuesIn(implementations()),
                         implementationName);

}  // namespace
}  // namespace tolvaran::contract
