#pragma once
// One shortcut as the program knows it: as read, as the engine derives it,
// and as it will be written. A value: copied whole; an empty record has every
// text empty and every number and flag zero.
#include <cstdint>
#include <string>

namespace tolvaran {

struct LnkRecord {
  std::u16string LnkFolder;  // folder of the shortcut file, lower-cased
  std::u16string LnkPath;    // full path of the shortcut file
  std::u16string LnkName;    // file name without extension, lower-cased
  std::u16string Target;     // target path as read
  // The file names the 32-bit program-files twin of Target, which is where
  // the program really is (the reader corrected it).
  bool TargetCorrected = false;
  bool TargetExists = false;
  std::u16string TargetExt;   // extension of Target with its dot, lower-cased
  std::u16string NewTarget;   // target to write
  std::u16string TargetName;  // file name of Target without extension, lower-cased
  std::u16string Arguments;   // as read
  std::u16string NewArguments;
  std::u16string Description;
  // The hot-key word (low byte virtual key, high byte modifiers), sign-extended.
  std::int32_t Hotkey = 0;
  std::u16string IconLocation;
  std::int32_t IconIndex = 0;
  std::int32_t ShowCmd = 0;  // 1 normal, 3 maximised, 7 minimised
  std::u16string WorkingDir;
  bool WasHidden = false;       // the hidden attribute was removed before reading
  bool WasSystem = false;       // the system attribute was removed before reading
  bool IconSuspicious = false;  // the icon location is to be reset when writing
  bool DupDeleted = false;      // a fake duplicate was deleted; this is the genuine shortcut
  std::u16string RenamedFrom;   // the look-alike file name this shortcut had before the cure

  friend bool operator==(const LnkRecord&, const LnkRecord&) = default;
};

}  // namespace tolvaran
