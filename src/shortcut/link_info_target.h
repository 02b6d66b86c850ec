#pragma once
// The target path a shortcut file recorded in its LinkInfo when it was made,
// read straight from the file's bytes (adware that rewrites a shortcut
// through the shell usually leaves this part alone).
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/system.h"
#include "support/failure.h"

namespace tolvaran {

// The local path of the LinkInfo (its UTF-16 form when the structure has
// one), or empty text when the file records none: no LinkInfo, or a
// network-only one. Narrow strings are decoded in the machine's ANSI code
// page.
//
// Damaged offsets are followed as they are. A read that reaches past the end
// of the file gets the bytes that are there, the rest reading as NUL bytes;
// since every string is cut at its first NUL, a string that runs off the end
// of the file ends there. A string length computed as negative fails. A file
// that cannot be opened or read fails. A failure is recorded as
// "Parser.GetLinkInfoTarget" with "File: " and the path, and gives empty text.
std::u16string GetLinkInfoTarget(platform::Files& files, platform::System& system,
                                 FailureRecorder& recorder, std::u16string_view path);

}  // namespace tolvaran
