#pragma once
// The one value that Wow64DisableWow64FsRedirection fills and
// Wow64RevertWow64FsRedirection consumes. Redirection is a per-thread state
// and the program has one thread, so the value is one per process: the
// program's state object owns it and every helper that switches
// redirection refers to that same object.
#include "platform/files.h"

namespace tolvaran {

struct SavedFsRedirection {
  platform::Wow64RedirectionValue value = 0;
};

}  // namespace tolvaran
