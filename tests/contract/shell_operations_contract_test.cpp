// The shell-operations port: deletion through the shell (into the recycle
// bin and for good) and the shell's command-line splitting, the same on the
// simulated machine and on Windows.
#include "contract/contract_fixture.h"
#include "support/text.h"

namespace tolvaran::contract {
namespace {

using namespace platform;

constexpr std::uint16_t kQuiet =
    shell::kFofNoConfirmation | shell::kFofSilent | shell::kFofNoErrorUi;

class ShellOperationsContract : public ContractTest,
                                public ::testing::WithParamInterface<Implementation> {
 protected:
  void SetUp() override { start(GetParam()); }

  ShellFileOperationResult remove(std::u16string_view path, std::uint16_t flags) {
    ShellFileOperation operation;
    operation.function = shell::kFoDelete;
    operation.from = std::u16string(path) + u'\0';
    operation.flags = flags;
    return shellOps().fileOperation(operation);
  }
};

TEST_P(ShellOperationsContract, SendsAFileToTheRecycleBin) {
  makeFile(u"Ärger 文件.lnk", "shortcut");
  const auto result = remove(at(u"Ärger 文件.lnk"), shell::kFofAllowUndo | kQuiet);
  EXPECT_EQ(result.result, 0);
  EXPECT_FALSE(result.anyOperationsAborted);
  EXPECT_EQ(files().getFileAttributes(at(u"Ärger 文件.lnk")).code, kErrorFileNotFound);
}

TEST_P(ShellOperationsContract, RecyclesAReadOnlyFile) {
  makeFile(u"locked.lnk", "shortcut");
  ASSERT_TRUE(files().setFileAttributes(at(u"locked.lnk"), attr::kReadOnly).ok());
  EXPECT_EQ(remove(at(u"locked.lnk"), shell::kFofAllowUndo | kQuiet).result, 0);
  EXPECT_EQ(files().getFileAttributes(at(u"locked.lnk")).code, kErrorFileNotFound);
}

TEST_P(ShellOperationsContract, DeletesAReadOnlyFileForGood) {
  TOLVARAN_SKIP_ON_WINE(
      "SHFileOperationW refuses to delete a read-only file for good (5); Windows takes "
      "FOF_NOCONFIRMATION as yes to its read-only question");
  makeFile(u"locked.lnk", "shortcut");
  ASSERT_TRUE(files().setFileAttributes(at(u"locked.lnk"), attr::kReadOnly).ok());
  EXPECT_EQ(remove(at(u"locked.lnk"), kQuiet).result, 0);
  EXPECT_EQ(files().getFileAttributes(at(u"locked.lnk")).code, kErrorFileNotFound);
}

TEST_P(ShellOperationsContract, AMissingFileIsNotFound) {
  const auto result = remove(at(u"absent.lnk"), shell::kFofAllowUndo | kQuiet);
  EXPECT_EQ(result.result, static_cast<std::int32_t>(kErrorFileNotFound));
}

TEST_P(ShellOperationsContract, SplitsCommandLinesByTheShellsRules) {
  const struct {
    std::u16string line;
    std::vector<std::u16string> tokens;
  } cases[] = {
      {u"prog a  b", {u"prog", u"a", u"b"}},
      {u"\"C:\\Program Files\\x.exe\" \"a b\" c", {u"C:\\Program Files\\x.exe", u"a b", u"c"}},
      {u"prog \"a\\\"b\"", {u"prog", u"a\"b"}},
      {u"prog a\\\\\\\"b", {u"prog", u"a\\\"b"}},
      {u"prog a\\\\\"b c\"", {u"prog", u"a\\b c"}},
      {u"prog C:\\dir\\ x", {u"prog", u"C:\\dir\\", u"x"}},
      {u"prog \"C:\\dir\\\\\"", {u"prog", u"C:\\dir\\"}},
      {u"prog \"\" x", {u"prog", u"", u"x"}},
      {u"prog \"a\"\"b\"", {u"prog", u"a\"b"}},
      {u"prog \"\"\"a\"\"\"", {u"prog", u"\"a\""}},
      {u"\"pro g\"x y", {u"pro g", u"x", u"y"}},
      {u"C:\\dir\\\"prog\" a", {u"C:\\dir\\\"prog\"", u"a"}},
      {u"prog\ta\t\"b\tc\"", {u"prog", u"a", u"b\tc"}},
      {u"prog trailing   ", {u"prog", u"trailing"}},
      {u"prog Ψ文件 \"中 文\"", {u"prog", u"Ψ文件", u"中 文"}},
  };
  for (const auto& c : cases) {
    const auto split = shellOps().commandLineToArgv(c.line);
    ASSERT_TRUE(split.ok()) << narrow(c.line) << ": " << split.code;
    EXPECT_EQ(split.value, c.tokens) << narrow(c.line);
  }
  // An empty line stands for the program itself.
  const auto self = shellOps().commandLineToArgv(u"");
  ASSERT_TRUE(self.ok()) << self.code;
  ASSERT_EQ(self.value.size(), 1u);
  EXPECT_TRUE(equalsNoCase(self.value[0], system().moduleFileName().value))
      << narrow(self.value[0]);
}

INSTANTIATE_TEST_SUITE_P(Ports, ShellOperationsContract, ::testing::ValuesIn(implementations()),
                         implementationName);

}  // namespace
}  // namespace tolvaran::contract
