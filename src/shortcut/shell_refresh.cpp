#include "shortcut/shell_refresh.h"

#include "shortcut/shell_failure.h"

namespace tolvaran {

void RefreshLNK(platform::ShellOperations& shellOps, platform::ShellNotify& shell,
                FailureRecorder& recorder) {
  namespace notify = platform::shell_notify;
  guardedStep(
      recorder,
      [&] {
        shellOps.changeNotify(platform::shell::kShcneAssocChanged, platform::shell::kShcnfFlush, {},
                              {});
        auto desktop = shell.createActiveDesktop();
        if (desktop.failed() || !desktop.value) return;
        throwIfFailed(desktop.value->queryActiveDesktop().hr);
        throwIfFailed(desktop.value->applyChanges(notify::kAdApplyRefresh).hr);
        (void)desktop.value->applyChanges(notify::kAdApplyRefresh | notify::kAdApplyForce);
      },
      [] { return ErrorContext(u"Parser.RefreshLNK"); });
}

void RefreshDesktop(platform::ShellNotify& shell) {
  namespace notify = platform::shell_notify;
  // Refreshing the desktop is a courtesy: nothing about it is worth a record.
  ignoringFailures([&] {
    const platform::WindowHandle desktop = shell.findWindow(u"Progman", u"Program Manager");
    if (desktop == 0) return;
    const platform::WindowHandle icons = shell.getWindow(desktop, notify::kGwChild);
    if (icons == 0) return;
    (void)shell.postMessage(icons, notify::kWmKeyDown, notify::kVkF5, 1);
  });
}

}  // namespace tolvaran
