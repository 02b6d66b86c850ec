#include "simrun/planted_shortcut.h"

#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_writer.h"

namespace tolvaran::simrun {

std::string shortcutBytes(const ShortcutFields& fields, const lnk::AnsiCodec& codec) {
  lnk::LnkFile file;
  if (!fields.environmentTarget.empty()) {
    lnk::setEnvironmentTarget(file, fields.environmentTarget, fields.target, codec);
  } else if (!fields.target.empty()) {
    lnk::setTargetPath(file, fields.target, codec);
  }
  if (!fields.linkInfoTarget.empty()) {
    lnk::LnkFile other;
    lnk::setTargetPath(other, fields.linkInfoTarget, codec);
    file.linkInfo = other.linkInfo;
  }
  lnk::setArguments(file, fields.arguments, codec);
  lnk::setWorkingDirectory(file, fields.workingDir, codec);
  lnk::setIconLocation(file, fields.iconLocation, fields.iconIndex, codec);
  lnk::setDescription(file, fields.description, codec);
  lnk::setHotKey(file, fields.hotkey);
  lnk::setShowCommand(file, fields.showCmd);
  return lnk::writeLnk(file, codec).bytes;
}

}  // namespace tolvaran::simrun
