#pragma once
// What a run changed on the simulated disk: every file and folder with its
// attributes and bytes before and after, and the difference told the way a
// person checks a cure: files added, removed, rewritten (a shortcut's
// fields before and after) and attributes changed.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/sim_files.h"
#include "shortcut/lnk_ansi.h"

namespace tolvaran::simrun {

struct DiskEntry {
  std::u16string path;  // as the disk spells it
  std::uint32_t attributes = 0;
  std::string bytes;
  [[nodiscard]] bool isFolder() const noexcept {
    return (attributes & platform::attr::kDirectory) != 0;
  }
};

// By folded path.
using DiskState = std::map<std::u16string, DiskEntry>;

// Every entry below the roots ("C:", "D:", "\\server\share"), read from the
// disk as it is (no port call, so no fault planned for the run is used up).
DiskState snapshotDisk(const platform::sim::SimFiles& files,
                       const std::vector<std::u16string>& roots);

// A shortcut's fields as its bytes hold them; nothing for bytes that are no
// shortcut. The target is the one written with variables when there is one,
// else the target ID list's path, else the LinkInfo's local path.
struct ShortcutFieldsView {
  std::u16string target;
  std::u16string arguments;
  std::u16string workingDir;
  std::u16string iconLocation;
  std::int32_t iconIndex = 0;
  std::u16string description;
};
std::optional<ShortcutFieldsView> readShortcutFields(std::string_view bytes,
                                                     const lnk::AnsiCodec& codec);

// One line per change (UTF-8), shortcut fields indented below their file;
// entries below any of `ignored` (folded paths, the program's own files)
// are left out. A file gone to the recycle bin (`recycled`: the original
// paths of the bin's items) is "recycled", any other gone file "removed".
std::vector<std::string> describeChanges(const DiskState& before, const DiskState& after,
                                         const std::vector<std::u16string>& ignored,
                                         const std::vector<std::u16string>& recycled,
                                         const lnk::AnsiCodec& codec);

}  // namespace tolvaran::simrun
