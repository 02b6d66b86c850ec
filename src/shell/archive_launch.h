#pragma once
// Archive programs extract a file they start into the user's temporary
// folder, where it may vanish while it runs and where its report would be
// lost. A program file found there offers to copy itself to the desktop and
// start the copy instead.
#include <string_view>

#include "shell/program_folders.h"
#include "shell/startup_parts.h"

namespace tolvaran {

// `path` is `folder` or lies below it, compared on whole path components
// without regard to case ("...\Temp2" is not inside "...\Temp"). An empty
// folder contains nothing.
bool isInsideFolder(std::u16string_view path, std::u16string_view folder);

// True when this copy must end: it runs from inside TempDir (as written or
// in long form) and message 001 was shown. On Yes the program file is
// copied over any file of its name on the desktop (read-only lifted first)
// and, when the copy succeeded, the single-instance mutex is let go and the
// copy started. False, and no question, when the desktop itself lies in the
// temporary folder (the copy would run from there again) or is unknown.
// Unexpected failures are left to the loading step that calls this.
bool IsLaunchedFromArchive(const StartupParts& parts, const ProgramFolders& folders);

}  // namespace tolvaran
