#include "shell/elevation.h"

#include "shell/msg_box.h"

namespace tolvaran {
namespace {

constexpr std::uint32_t kCopyStartMilliseconds = 1000;

// Each step ignores its own failure: the offer must never stop the program.
template <class R, class Body>
R ignoringFailure(R neutral, Body&& body) {
  try {
    return body();
  } catch (const platform::ProgramEnded&) {
    throw;
  } catch (...) {
    return neutral;
  }
}

}  // namespace

Elevation CheckAdmin(const StartupParts& parts, const clsOSInfo& os, modFile& files,
                     std::u16string_view arguments, platform::WindowHandle owner) {
  if (os.IsElevated()) return Elevation::kAlreadyElevated;
  const bool vistaOrLater = os.Major() >= 6;

  const int answer = ignoringFailure(platform::id::kNo, [&] {
    return MsgBoxW(parts.ports.ui, parts.messages[vistaOrLater ? 29 : 27],
                   msg_flags::kYesNoWarning);
  });
  if (answer != platform::id::kYes) return Elevation::kDeclined;

  // Copies that ran before: on the XP family the new one is told apart by
  // the count going up, whatever number of copies the user allowed.
  const std::u16string imageName =
      ignoringFailure(std::u16string(), [&] { return parts.program.fileName(); });
  const std::int32_t before =
      vistaOrLater ? 0 : ignoringFailure(0, [&] { return files.CountOfProcesses(imageName); });

  parts.instance.close();
  const bool started = ignoringFailure(
      false, [&] { return parts.process.Runas(parts.program.modulePath(), arguments, owner); });

  bool running = started;
  if (started && !vistaOrLater) {
    running = ignoringFailure(false, [&] {
      parts.ports.clock.sleep(kCopyStartMilliseconds);
      return files.CountOfProcesses(imageName) > before;
    });
    if (!running) {
      ignoringFailure(
          0, [&] { return MsgBoxW(parts.ports.ui, parts.messages[28], msg_flags::kWarning); });
    }
  }
  if (running) return Elevation::kRelaunched;
  // Declined at the prompt or not started: this copy carries on, and is
  // again the one instance.
  ignoringFailure(false, [&] { return parts.instance.create(); });
  return Elevation::kRelaunchFailed;
}

}  // namespace tolvaran
