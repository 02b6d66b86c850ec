#include "shell/window_actions.h"

#include <algorithm>
#include <cstring>

#include "platform/scoped_file.h"
#include "report/error_log.h"
#include "shell/msg_box.h"
#include "shell/runs/window_steps.h"

namespace tolvaran {
namespace {

constexpr std::int32_t kShowNormal = 1;  // SW_SHOWNORMAL
constexpr std::u16string_view kCrLf = u"\r\n";

bool clickAccepted(CureRuns& runs, MainView& view, WindowSteps& step) {
  bool allowed = false;
  step([&] { allowed = !runs.busy() && runs.clickAllowed(view.position()); });
  return allowed;
}

}  // namespace

std::u16string unicodeBlockText(std::span<const std::byte> block) {
  const std::size_t units = block.size() / sizeof(char16_t);
  std::u16string text(units, u'\0');
  if (units != 0) std::memcpy(text.data(), block.data(), units * sizeof(char16_t));
  text.resize(std::min(text.size(), text.find(u'\0')));
  return text;
}

std::optional<std::u16string> pastedText(std::u16string_view current, std::u16string_view hint,
                                         std::u16string_view clipboard) {
  if (clipboard.empty()) return std::nullopt;
  if (current.empty() || current == hint) return std::u16string(clipboard);
  std::u16string text(current);
  if (!text.ends_with(kCrLf)) text += kCrLf;
  text += clipboard;
  return text;
}

std::u16string aboutText(const Translation& messages, std::u16string_view version) {
  std::u16string text = messages.msg(Msg::kVersion);
  text += u' ';
  text += version;
  text += kCrLf;
  text += kCrLf;
  text += messages.msg(Msg::kAbout);
  text += kCrLf;
  text += messages.msg(Msg::kCredits);
  return text;
}

void cbOpenLog_Click(Program& program, CureRuns& runs, MainView& view) {
  WindowSteps step(program.errors(), program.ports().system, program.ports().clock,
                   u"frmMain.cbOpenLog_Click");
  if (!clickAccepted(runs, view, step)) return;
  const std::u16string path = program.log().ReportLogPath();
  bool exists = false;
  step([&] { exists = !path.empty() && program.files().isFileExists(path); });
  if (!exists) {
    step([&] {
      MsgBoxW(program.ports().ui, program.messages().msg(Msg::kNoReport), msg_flags::kWarning);
    });
    return;
  }
  step([&] {
    platform::ShellExecuteRequest request;
    request.window = view.handle();
    request.verb = u"open";
    request.file = path;
    request.show = kShowNormal;
    (void)program.ports().shellOps.shellExecuteEx(request);
  });
}

void cbAbout_Click(Program& program, CureRuns& runs, MainView& view) {
  WindowSteps step(program.errors(), program.ports().system, program.ports().clock,
                   u"frmMain.cbAbout_Click");
  if (!clickAccepted(runs, view, step)) return;
  step([&] {
    MsgBoxW(program.ports().ui, aboutText(program.messages(), program.identity().version),
            msg_flags::kPlain);
  });
}

void cmd_Paste_Click(Program& program, CureRuns& runs, MainView& view) {
  WindowSteps step(program.errors(), program.ports().system, program.ports().clock,
                   u"frmMain.cmd_Paste_Click");
  if (!clickAccepted(runs, view, step)) return;
  step([&] { view.pauseSubclasses(); });
  std::u16string clipboard;
  step([&] { clipboard = view.clipboardText(step.recorder()); });
  if (!clipboard.empty()) {
    step([&] {
      if (auto text = pastedText(view.txtLNK_GetText(), runs.hintText(), clipboard)) {
        view.txtLNK_SetText(*text);
      }
    });
  }
  step([&] { view.resumeSubclasses(); });
}

void closeProgramFiles(Program& program) {
  ErrorLog& errors = program.errors();
  errors.CloseErrorLog();
  // Closing goes on whatever this step met.
  ignoringFailures([&] {
    platform::Ports& ports = program.ports();
    const std::u16string path = errors.ErrorLogPath();
    const auto attributes = ports.files.getFileAttributes(path);
    if (!attributes.ok() || (attributes.value & platform::attr::kDirectory) != 0) return;
    auto file = platform::ScopedFile::openForReading(ports.files, path);
    if (!file.valid()) return;
    const auto size = ports.files.getFileSize(file.get());
    file.reset();
    if (!size.ok() || size.value != 0) return;
    if (ports.files.deleteFile(path).ok()) {
      ports.shellOps.changeNotify(platform::shell::kShcneDelete, platform::shell::kShcnfPathW, path,
                                  u"");
    }
  });
}

}  // namespace tolvaran
