#pragma once
// Where the logs go. They live beside the program; when its own folder
// cannot be written (a read-only medium, a protected folder without
// elevation, a full disk, a file named LOG where the folder should be) they
// go to a folder of the program's own in the user's temporary folder, and
// when that cannot be written either, in the user's Documents folder, so
// that a run still leaves a report to post.
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "support/result.h"

namespace tolvaran {

// "<user's temporary folder>\Tolvaran", without a trailing backslash; empty
// when the system names no temporary folder.
std::u16string fallbackDataFolder(platform::System& system);

// "<user's Documents folder>\Tolvaran"; empty when the shell names none.
std::u16string documentsDataFolder(platform::System& system);

// The folders the logs may go to, in the order they are tried: the
// program's folder, then the two above; the ones the system cannot name
// are left out.
std::vector<std::u16string> dataFolders(platform::System& system,
                                        std::u16string_view programFolder);

// Makes the folder when it is missing (its parent must exist); the code of the
// failed creation, or success when it exists as a folder.
platform::Win32Code ensureFolder(platform::Files& files, std::u16string_view folder);

// `folder` + "\" + `name`, with no doubled backslash.
std::u16string joinPath(std::u16string_view folder, std::u16string_view name);

}  // namespace tolvaran
