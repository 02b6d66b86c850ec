// The window's buttons and closing, without the window: what the clipboard
// gives, what Paste makes of it, Open log, About, and the error log left
// behind at the end.
#include "shell/window_actions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "unit/shell/runs/runs_rig.h"

namespace tolvaran {
namespace {

using runs_test::RunsRig;

std::vector<std::byte> block(std::u16string_view text, std::size_t extraBytes = 0) {
  std::vector<std::byte> bytes(text.size() * 2 + extraBytes, std::byte{0x41});
  std::memcpy(bytes.data(), text.data(), text.size() * 2);
  return bytes;
}

TEST(WindowActionsTest, ClipboardBlockTextStopsAtItsEndOrFirstNul) {
  struct Case {
    std::vector<std::byte> bytes;
    std::u16string expected;
  };
  const std::u16string_view withNul(u"C:\\a.lnk\0garbage", 16);
  for (const Case& c : {
           Case{{}, u""},
           Case{block(u"C:\\\u684C\u9762\\Chrome.lnk"), u"C:\\\u684C\u9762\\Chrome.lnk"},
           Case{block(withNul), u"C:\\a.lnk"},
           // A block the owner sized oddly: the stray last byte is no character.
           Case{block(u"ab", 1), u"ab"},
           Case{block(u"x", 1), u"x"},
           Case{{std::byte{0x41}}, u""},
       }) {
    EXPECT_EQ(unicodeBlockText(c.bytes), c.expected);
  }
}

TEST(WindowActionsTest, PasteReplacesTheHintAndAppendsOnANewLine) {
  const std::u16string hint = u"Copy the list\r\n\r\n";
  struct Case {
    std::u16string current;
    std::u16string clipboard;
    std::optional<std::u16string> expected;
  };
  for (const Case& c : {
           Case{u"a", u"", std::nullopt},
           Case{u"", u"C:\\x.lnk", u"C:\\x.lnk"},
           Case{hint, u"C:\\x.lnk", u"C:\\x.lnk"},
           Case{u"a", u"C:\\x.lnk", u"a\r\nC:\\x.lnk"},
           Case{u"a\r\n", u"C:\\x.lnk", u"a\r\nC:\\x.lnk"},
           // A lone CR or LF is no line break of the box's: a full one follows.
           Case{u"a\r", u"b", u"a\r\r\nb"},
           Case{u"a\n", u"b", u"a\n\r\nb"},
           // Text that only starts like the hint is the user's.
           Case{hint + u"x", u"b", hint + u"x\r\nb"},
       }) {
    EXPECT_EQ(pastedText(c.current, hint, c.clipboard), c.expected);
  }
}

class WindowButtonsTest : public ::testing::Test, protected RunsRig {};

TEST_F(WindowButtonsTest, OpenLogShowsTheLastReportOnlyWhileItExists) {
  cbOpenLog_Click(program, runs, view);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].text, msg(Msg::kNoReport));
  EXPECT_EQ(shown()[0].type, 48u);

  // A run that found nothing deleted its report: still nothing to open.
  view.editBox = u"no path here";
  runs.cbRun_Click();
  const std::size_t before = shown().size();
  cbOpenLog_Click(program, runs, view);
  ASSERT_EQ(shown().size(), before + 1);
  EXPECT_EQ(shown().back().text, msg(Msg::kNoReport));

  constexpr std::u16string_view kShortcut = u"C:\\Users\\User\\Desktop\\Tool.lnk";
  addPlainShortcut(kShortcut);
  view.editBox = kShortcut;
  runs.cbRun_Click();
  ASSERT_EQ(reports().size(), 1u);
  const std::size_t dialogs = shown().size();
  const std::size_t opened = machine.shellOps().executed().size();
  cbOpenLog_Click(program, runs, view);
  EXPECT_EQ(shown().size(), dialogs);
  ASSERT_EQ(machine.shellOps().executed().size(), opened + 1);
  const auto& request = machine.shellOps().executed().back();
  EXPECT_EQ(request.verb, u"open");
  EXPECT_EQ(request.file, program.log().ReportLogPath());
  EXPECT_EQ(request.window, view.handle());
  EXPECT_EQ(request.show, 1);
}

TEST_F(WindowButtonsTest, PastePutsTheClipboardInTheBoxWithItsSubclassesHeldOff) {
  runs.LoadLanguageEx(0);
  view.clipboard = u"C:\\x.lnk";
  cmd_Paste_Click(program, runs, view);
  EXPECT_EQ(view.editBox, u"C:\\x.lnk");  // the hint replaced
  cmd_Paste_Click(program, runs, view);
  EXPECT_EQ(view.editBox, u"C:\\x.lnk\r\nC:\\x.lnk");
  EXPECT_EQ(view.subclassPauses, 0);

  // A window away from its rest position is being dragged: no paste.
  view.where.left += 1000;
  cmd_Paste_Click(program, runs, view);
  EXPECT_EQ(view.editBox, u"C:\\x.lnk\r\nC:\\x.lnk");
}

TEST_F(WindowButtonsTest, AboutNamesTheVersionAndTheHelpers) {
  cbAbout_Click(program, runs, view);
  ASSERT_EQ(shown().size(), 1u);
  EXPECT_EQ(shown()[0].type, 0u);
  EXPECT_EQ(shown()[0].caption, kAppTitle);
  EXPECT_EQ(shown()[0].text, msg(Msg::kVersion) + u" 1.0.0.0\r\n\r\n" + msg(Msg::kAbout) + u"\r\n" +
                                 msg(Msg::kCredits));
}

TEST_F(WindowButtonsTest, ButtonsIgnoreAClickWhileTheWindowIsDragged) {
  runs.recordRestPosition({1000.0f, 1000.0f});
  view.where = {1200.0f, 1000.0f};
  cbAbout_Click(program, runs, view);
  cbOpenLog_Click(program, runs, view);
  EXPECT_TRUE(shown().empty());
}

TEST_F(WindowButtonsTest, ClosingRemovesAnErrorLogOnlyWhenItIsEmpty) {
  const std::u16string path = program.errors().ErrorLogPath();
  // Never written to: nothing to remove, nothing announced.
  closeProgramFiles(program);
  EXPECT_TRUE(machine.shellOps().notifications().empty());

  ASSERT_TRUE(machine.files().addFile(path, ""));
  closeProgramFiles(program);
  EXPECT_FALSE(machine.files().exists(path));
  ASSERT_EQ(machine.shellOps().notifications().size(), 1u);
  EXPECT_EQ(machine.shellOps().notifications()[0].path, path);
  EXPECT_EQ(machine.shellOps().notifications()[0].event, platform::shell::kShcneDelete);

  // A log with a failure in it, still open: closed, and kept for the user.
  program.errors().WriteErrorLine(u"a failure");
  closeProgramFiles(program);
  EXPECT_FALSE(program.errors().isOpen());
  EXPECT_TRUE(machine.files().exists(path));
  EXPECT_EQ(machine.files().readFileBytes(path).value_or(""), "a failure\r\n");
}

}  // namespace
}  // namespace tolvaran
