#pragma once
// The file-system path a shortcut's target ID list names, read the way the
// shell turns the common item shapes back into a path: My Computer, a drive,
// then folders and the file (long names from their 0xBEEF0004 extension
// blocks, otherwise the names the items carry), or Network, a share, then
// its folders and file.
#include <optional>
#include <string>

#include "shortcut/lnk_ansi.h"
#include "shortcut/lnk_id_list.h"

namespace tolvaran::lnk {

// Nothing when the list names something that is no file-system object
// (Control Panel, a virtual folder) or uses item shapes read nowhere here
// (the delegate items of newer Windows, a list that does not start at the
// desktop's My Computer or Network). Narrow names are decoded with `codec`.
std::optional<std::u16string> idListFileSystemPath(const IdList& list, const AnsiCodec& codec);

}  // namespace tolvaran::lnk
