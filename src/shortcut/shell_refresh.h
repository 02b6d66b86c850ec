#pragma once
// Making the shell and the desktop show the shortcuts a run changed.
#include "platform/shell_link.h"
#include "platform/shell_operations.h"
#include "support/failure.h"

namespace tolvaran {

// Tells the shell that associations changed, then has the Active Desktop
// refresh itself (quietly skipped where the system has none). Failures are
// recorded as "Parser.RefreshLNK"; the forced second refresh never reports.
void RefreshLNK(platform::ShellOperations& shellOps, platform::ShellNotify& shell,
                FailureRecorder& recorder);

// Posts an F5 key press to the desktop's icon view; waits for nothing and
// reports nothing.
void RefreshDesktop(platform::ShellNotify& shell);

}  // namespace tolvaran
