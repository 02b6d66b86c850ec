#include "shell/elevation.h"

#include "shell/msg_box.h"

namespace tolvaran {
namespace {

constexpr std::uint32_t kCopyStartMilliseconds = 1000;

}  // namespace

Elevation CheckAdmin(const StartupParts& parts, const clsOSInfo& os, modFile& files,
                     std::u16string_view arguments, platform::WindowHandle owner) {
  if (os.IsElevated()) return Elevation::kAlreadyElevated;
  const bool vistaOrLater = os.Major() >= 6;

  const int answer = ignoringFailures(platform::id::kNo, [&] {
    return MsgBoxW(parts.ports.ui,
                   parts.messages[vistaOrLater ? Msg::kAskElevate : Msg::kAskRunAsAdminUser],
                   msg_flags::kYesNoWarning);
  });
  if (answer != platform::id::kYes) return Elevation::kDeclined;

  // Copies that ran before: on the XP family the new one is told apart by
  // the count going up, whatever number of copies the user allowed.
  const std::u16string imageName =
      ignoringFailures(std::u16string(), [&] { return parts.program.fileName(); });
  const std::int32_t before =
      vistaOrLater ? 0 : ignoringFailures(0, [&] { return files.CountOfProcesses(imageName); });

  parts.instance.close();
  const bool started = ignoringFailures(
      false, [&] { return parts.process.Runas(parts.program.modulePath(), arguments, owner); });

  bool running = started;
  if (started && !vistaOrLater) {
    running = ignoringFailures(false, [&] {
      parts.ports.clock.sleep(kCopyStartMilliseconds);
      return files.CountOfProcesses(imageName) > before;
    });
    if (!running) {
      // The message says the launch failed and an administrator must log
      // in: this copy ends with it.
      ignoringFailures([&] {
        MsgBoxW(parts.ports.ui, parts.messages[Msg::kRelaunchFailed], msg_flags::kWarning);
      });
      return Elevation::kNeedsAdministrator;
    }
  }
  if (running) return Elevation::kRelaunched;
  // Declined at the prompt or not started: this copy carries on, and is
  // again the one instance.
  ignoringFailures([&] { parts.instance.create(); });
  return Elevation::kRelaunchFailed;
}

}  // namespace tolvaran
