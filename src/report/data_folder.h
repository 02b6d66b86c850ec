#pragma once
// Where the logs go. They live beside the program; when its own folder
// cannot be written (a read-only medium, a protected folder without
// elevation, an archive viewer's extraction folder that vanished) they go to
// a folder of the program's own in the user's temporary folder instead, so
// that a run still leaves a report to post.
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/system.h"
#include "support/result.h"

namespace tolvaran {

// "<user's temporary folder>\Tolvaran", without a trailing backslash; empty
// when the system names no temporary folder.
std::u16string fallbackDataFolder(platform::System& system);

// The codes with which a file or folder cannot be made in a folder the user
// cannot write (or that no longer exists).
bool isUnwritableLocation(platform::Win32Code code) noexcept;

// Makes the folder when it is missing (its parent must exist); the code of the
// failed creation, or success when it exists as a folder.
platform::Win32Code ensureFolder(platform::Files& files, std::u16string_view folder);

// `folder` + "\" + `name`, with no doubled backslash.
std::u16string joinPath(std::u16string_view folder, std::u16string_view name);

}  // namespace tolvaran
