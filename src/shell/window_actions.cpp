#include "shell/window_actions.h"

#include <algorithm>
#include <cstring>

#include "platform/scoped_file.h"
#include "report/error_log.h"
#include "shell/msg_box.h"
#include "shell/runs/window_steps.h"

namespace tolvaran {
namespace {

constexpr int kMsgVersion = 17;
constexpr int kMsgAbout = 18;
constexpr int kMsgNoReport = 19;
constexpr int kMsgCredits = 24;
constexpr std::int32_t kShowNormal = 1;  // SW_SHOWNORMAL
constexpr std::u16string_view kCrLf = u"\r\n";

bool clickAccepted(CureRuns& runs, MainView& view, WindowSteps& step) {
  bool allowed = false;
  (void)step([&] { allowed = !runs.busy() && runs.clickAllowed(view.position()); });
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
  std::u16string text = messages.msg(kMsgVersion);
  text += u' ';
  text += version;
  text += kCrLf;
  text += kCrLf;
  text += messages.msg(kMsgAbout);
  text += kCrLf;
  text += messages.msg(kMsgCredits);
  return text;
}

void cbOpenLog_Click(Program& program, CureRuns& runs, MainView& view) {
  WindowSteps step(program.errors(), program.ports().system, program.ports().clock,
                   u"frmMain.cbOpenLog_Click");
  if (!clickAccepted(runs, view, step)) return;
  const std::u16string path = program.log().ReportLogPath();
  bool exists = false;
  (void)step([&] { exists = !path.empty() && program.files().isFileExists(path); });
  if (!exists) {
    (void)step([&] {
      (void)MsgBoxW(program.ports().ui, program.messages().msg(kMsgNoReport), msg_flags::kWarning);
    });
    return;
  }
  (void)step([&] {
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
  (void)step([&] {
    (void)MsgBoxW(program.ports().ui, aboutText(program.messages(), program.identity().version),
                  msg_flags::kPlain);
  });
}

void closeProgramFiles(Program& program) {
  ErrorLog& errors = program.errors();
  errors.CloseErrorLog();
  try {
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
  } catch (...) {
    // Closing goes on whatever this step met.
  }
}

}  // namespace tolvaran
