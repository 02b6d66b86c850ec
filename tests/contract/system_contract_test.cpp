// The system port: the same answers from the simulated machine and from Windows.
#include <tuple>

#include "contract/contract_fixture.h"
#include "support/text.h"

namespace tolvaran::contract {
namespace {

using namespace platform;

class SystemContract : public ContractTest, public ::testing::WithParamInterface<Implementation> {
 protected:
  void SetUp() override { start(GetParam()); }
};

// --- Message texts -----------------------------------------------------------

struct MessageCase {
  std::uint32_t id;
  std::u16string text;  // without the CR LF that FormatMessage appends
};

void PrintTo(const MessageCase& c, std::ostream* out) {
  *out << c.id;
}

const std::vector<MessageCase>& messageCases() {
  static const std::vector<MessageCase> cases{
      {0, u"The operation completed successfully."},
      {1, u"Incorrect function."},
      {2, u"The system cannot find the file specified."},
      {3, u"The system cannot find the path specified."},
      {5, u"Access is denied."},
      {6, u"The handle is invalid."},
      {8, u"Not enough memory resources are available to process this command."},
      {9, u"The storage control block address is invalid."},
      {13, u"The data is invalid."},
      {18, u"There are no more files."},
      {21, u"The device is not ready."},
      {32, u"The process cannot access the file because it is being used by another process."},
      {33,
       u"The process cannot access the file because another process has locked a portion of "
       u"the file."},
      {53, u"The network path was not found."},
      {70, u"The remote server has been paused or is in the process of being started."},
      {80, u"The file exists."},
      {87, u"The parameter is incorrect."},
      {112, u"There is not enough space on the disk."},
      {122, u"The data area passed to a system call is too small."},
      {123, u"The filename, directory name, or volume label syntax is incorrect."},
      {145, u"The directory is not empty."},
      {183, u"Cannot create a file when that file already exists."},
      {206, u"The filename or extension is too long."},
      {267, u"The directory name is invalid."},
      {1223, u"The operation was canceled by the user."},
  };
  return cases;
}

class MessageTexts : public ContractTest,
                     public ::testing::WithParamInterface<std::tuple<Implementation, MessageCase>> {
 protected:
  void SetUp() override { start(std::get<0>(GetParam())); }
};

TEST_P(MessageTexts, ExactEnglishText) {
  const MessageCase& expected = std::get<1>(GetParam());
  const auto message = system().formatMessage(expected.id);
  EXPECT_EQ(message.code, kErrorSuccess);
  if (onWine()) {
    // Wine has its own, shorter English texts; the shape is still the system's.
    EXPECT_TRUE(message.value.ends_with(u".\r\n")) << narrow(message.value);
    const std::u16string wording = message.value.substr(0, message.value.size() - 2);
    TOLVARAN_SKIP_ON_WINE("its own wording, \"" + narrow(wording) + "\"");
  }
  EXPECT_EQ(message.value, expected.text + u"\r\n");
}

INSTANTIATE_TEST_SUITE_P(Ports, MessageTexts,
                         ::testing::Combine(::testing::ValuesIn(implementations()),
                                            ::testing::ValuesIn(messageCases())),
                         [](const auto& info) {
                           return std::get<0>(info.param).name + "_" +
                                  std::to_string(std::get<1>(info.param).id);
                         });

TEST_P(SystemContract, UnknownMessageIsEmptyWithMrMidNotFound) {
  const auto message = system().formatMessage(0xBEEF);
  EXPECT_EQ(message.code, kErrorMrMidNotFound);
  EXPECT_TRUE(message.value.empty());
}

// --- ANSI code page ----------------------------------------------------------

TEST_P(SystemContract, AnsiRoundTripOfEveryByte) {
  const std::uint32_t codePage = system().ansiCodePage();
  if (!isSupportedCodePage(codePage)) {
    GTEST_SKIP() << "ANSI code page " << codePage << " has no table here";
  }
  for (int byte = 1; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    const std::u16string wide = system().ansiToWide(one);
    EXPECT_EQ(wide, codePageToUtf16(one, codePage)) << "byte " << byte;
    if (wide != u"\uFFFD") {
      EXPECT_EQ(system().wideToAnsi(wide), one) << "byte " << byte;
    }
  }
}

TEST_P(SystemContract, UnmappableCharactersBecomeQuestionMarks) {
  // U+0101 has a best fit ("a") that must not be used; U+4E2D has none.
  EXPECT_EQ(system().wideToAnsi(u"x\u0101y\u4E2Dz"), "x?y?z");
  EXPECT_EQ(system().wideToAnsi(u""), "");
  EXPECT_EQ(system().ansiToWide(""), u"");
}

// --- Environment -------------------------------------------------------------

TEST_P(SystemContract, EnvironmentNamesIgnoreCase) {
  ASSERT_TRUE(system().setEnvironmentVariable(u"TolvaranContractVar", u"value").ok());
  const auto value = system().getEnvironmentVariable(u"TOLVARANCONTRACTVAR");
  EXPECT_TRUE(value.ok());
  EXPECT_EQ(value.value, u"value");
  ASSERT_TRUE(system().deleteEnvironmentVariable(u"tolvarancontractvar").ok());
  EXPECT_EQ(system().getEnvironmentVariable(u"TolvaranContractVar").code, kErrorEnvvarNotFound);
}

struct Expansion {
  const char* name;
  std::u16string input;
  std::u16string expected;
  const char* wineGap = nullptr;
};

void PrintTo(const Expansion& c, std::ostream* out) {
  *out << c.name;
}

const std::vector<Expansion>& expansions() {
  static const std::vector<Expansion> cases{
      {"Known", u"%TolvaranA%", u"alpha"},
      {"KnownOtherCase", u"x%TOLVARANA%y", u"xalphay"},
      {"TwoInARow", u"%TolvaranA%%TolvaranB%", u"alphabeta"},
      {"Unknown", u"%TolvaranNone%", u"%TolvaranNone%"},
      {"Unterminated", u"a%TolvaranA", u"a%TolvaranA"},
      {"LonePercent", u"100%", u"100%"},
      {"DoublePercent", u"%%", u"%%"},
      {"Empty", u"", u""},
      {"ValueIsNotExpandedAgain", u"%TolvaranC%", u"%TolvaranA%"},
      {"UnknownThenKnown", u"%TolvaranNone%TolvaranA%", u"%TolvaranNonealpha",
       "an unknown name is copied with both its percent signs"},
      {"DoubledPercentsAround", u"%%TolvaranA%%", u"%alpha%",
       "an unknown name is copied with both its percent signs"},
  };
  return cases;
}

class Expansions : public ContractTest,
                   public ::testing::WithParamInterface<std::tuple<Implementation, Expansion>> {
 protected:
  void SetUp() override { start(std::get<0>(GetParam())); }
};

TEST_P(Expansions, ExpandEnvironmentStrings) {
  const Expansion& c = std::get<1>(GetParam());
  if (c.wineGap) TOLVARAN_SKIP_ON_WINE(c.wineGap);
  ASSERT_TRUE(system().setEnvironmentVariable(u"TolvaranA", u"alpha").ok());
  ASSERT_TRUE(system().setEnvironmentVariable(u"TolvaranB", u"beta").ok());
  ASSERT_TRUE(system().setEnvironmentVariable(u"TolvaranC", u"%TolvaranA%").ok());
  (void)system().deleteEnvironmentVariable(u"TolvaranNone");
  const auto expanded = system().expandEnvironmentStrings(c.input);
  EXPECT_TRUE(expanded.ok()) << expanded.code;
  EXPECT_EQ(expanded.value, c.expected);
  for (const char16_t* name : {u"TolvaranA", u"TolvaranB", u"TolvaranC"}) {
    (void)system().deleteEnvironmentVariable(name);
  }
}

INSTANTIATE_TEST_SUITE_P(Ports, Expansions,
                         ::testing::Combine(::testing::ValuesIn(implementations()),
                                            ::testing::ValuesIn(expansions())),
                         [](const auto& info) {
                           return std::get<0>(info.param).name + "_" + std::get<1>(info.param).name;
                         });

// --- Paths and dates ---------------------------------------------------------

TEST_P(SystemContract, TempPathAndModulePath) {
  const auto temp = system().getTempPath();
  ASSERT_TRUE(temp.ok());
  ASSERT_FALSE(temp.value.empty());
  EXPECT_EQ(temp.value.back(), u'\\');
  EXPECT_NE(files().getFileAttributes(temp.value).value & attr::kDirectory, 0u);

  const auto module = system().moduleFileName();
  EXPECT_TRUE(module.ok());
  EXPECT_TRUE(endsWithNoCase(module.value, u".exe")) << narrow(module.value);
}

TEST_P(SystemContract, DateTimeStartsWithTheShortDate) {
  const SystemTime time{2026, 12, 1, 7, 1, 37, 32, 0};
  const std::u16string date = system().formatShortDate(time);
  const std::u16string both = system().formatDateTime(time);
  EXPECT_FALSE(date.empty());
  EXPECT_TRUE(both.starts_with(date + u" ")) << narrow(both);
  EXPECT_NE(both.find(u"37"), std::u16string::npos) << narrow(both);
}

INSTANTIATE_TEST_SUITE_P(Ports, SystemContract, ::testing::ValuesIn(implementations()),
                         implementationName);

}  // namespace
}  // namespace tolvaran::contract
