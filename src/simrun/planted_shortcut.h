#pragma once
// Shortcut files planted on a simulated machine, built from their fields the
// way the shell would have written them.
#include <cstdint>
#include <string>

#include "shortcut/lnk_ansi.h"

namespace tolvaran::simrun {

// A shortcut by its fields, as the shell would have written it.
struct ShortcutFields {
  std::u16string target;  // empty: no file-system target at all
  // The target as written with variables ("%windir%\..."); wins over the
  // LinkInfo when the shell reads the target.
  std::u16string environmentTarget;
  // A LinkInfo that names another file: what a rewrite through the
  // variables block leaves behind.
  std::u16string linkInfoTarget;
  // An app of the Store ("Mozilla.Firefox_n80bbvh6b1yt2!App"): an ID list
  // into the Applications folder and no file-system target, as the Start
  // menu writes it. Wins over `target`.
  std::u16string storeApp;
  std::u16string arguments;
  std::u16string workingDir;
  std::u16string iconLocation;
  std::int32_t iconIndex = 0;
  std::u16string description;
  std::uint16_t hotkey = 0;
  std::uint32_t showCmd = 1;
};

// The shortcut file bytes for `fields`.
std::string shortcutBytes(const ShortcutFields& fields, const lnk::AnsiCodec& codec);

}  // namespace tolvaran::simrun
