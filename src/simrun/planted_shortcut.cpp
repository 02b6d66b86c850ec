#include "simrun/planted_shortcut.h"

#include "shortcut/lnk_edit.h"
#include "shortcut/lnk_id_list.h"
#include "shortcut/lnk_writer.h"
#include "support/text.h"

namespace tolvaran::simrun {

namespace {

// The root item of the Applications folder (shell:AppsFolder), then an item
// naming the app by its user-model id: enough for the shell to show it and
// for a reader to see that no file is meant.
lnk::IdList storeAppList(std::u16string_view appId) {
  std::string root("\x1F\x80", 2);
  root += std::string("\x9B\xD4\x34\x42\x45\x02\xF3\x4D\xB7\x80\x38\x93\x94\x34\x56\xE1", 16);
  std::string app("\x00\x00", 2);
  app += textToUtf16le(appId);
  return lnk::idListFromItems({root, app}).value_or(lnk::IdList{});
}

}  // namespace

std::string shortcutBytes(const ShortcutFields& fields, const lnk::AnsiCodec& codec) {
  lnk::LnkFile file;
  if (!fields.storeApp.empty()) {
    file.idList = storeAppList(fields.storeApp);
  } else if (!fields.environmentTarget.empty()) {
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
