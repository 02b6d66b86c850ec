#include "shell/archive_launch.h"

#include "report/error_log.h"
#include "shell/msg_box.h"
#include "shortcut/shell_refresh.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::int32_t kShcneCreate = 0x2;
constexpr std::int32_t kShcneUpdateItem = 0x2000;
constexpr std::uint32_t kBlockingCopy =
    platform::attr::kReadOnly | platform::attr::kHidden | platform::attr::kSystem;

// GetLongPathNameW's form of a path, or the path itself when there is none.
std::u16string longForm(platform::Files& files, std::u16string_view path) {
  auto found = files.getLongPathName(path);
  if (!found.ok() || found.value.empty()) return std::u16string(path);
  return found.value.substr(0, found.value.find(u'\0'));
}

// Inside, as written or with both paths in their long forms (a program
// started through an 8.3 path still counts).
bool insideEitherForm(platform::Files& files, std::u16string_view path,
                      std::u16string_view folder) {
  if (isInsideFolder(path, folder)) return true;
  const std::u16string longPath = longForm(files, path);
  const std::u16string longFolder = longForm(files, folder);
  return !longPath.empty() && isInsideFolder(longPath, longFolder);
}

}  // namespace

bool isInsideFolder(std::u16string_view path, std::u16string_view folder) {
  while (folder.size() > 1 && folder.back() == u'\\') folder.remove_suffix(1);
  if (folder.empty()) return false;
  if (!startsWithNoCase(path, folder)) return false;
  if (path.size() == folder.size()) return true;
  return path[folder.size()] == u'\\' || folder.back() == u'\\';
}

bool IsLaunchedFromArchive(const StartupParts& parts, const ProgramFolders& folders) {
  platform::Files& files = parts.ports.files;
  const std::u16string& temp = folders.TempDir;
  if (temp.empty()) return false;
  if (!insideEitherForm(files, parts.program.AppPath(), temp)) return false;
  const std::u16string& desktop = folders.DesktopDir;
  if (desktop.empty() || insideEitherForm(files, desktop, temp)) return false;

  if (MsgBoxW(parts.ports.ui, parts.messages[Msg::kUnpackFromArchive], msg_flags::kYesNoWarning) !=
      platform::id::kYes) {
    return true;
  }

  platform::ShellOperations& shell = parts.ports.shellOps;
  const auto notify = [&](std::int32_t event, const std::u16string& path) {
    shell.changeNotify(event, platform::shell::kShcnfPathW, path, {});
  };
  const std::u16string destination = desktop + u"\\" + parts.program.fileName();
  const auto existing = files.getFileAttributes(destination);
  const bool existed = existing.ok();
  // CopyFile refuses to replace a read-only, hidden or system file.
  if (existed && (existing.value & kBlockingCopy)) {
    if (files.setFileAttributes(destination, existing.value & ~kBlockingCopy).ok()) {
      notify(platform::shell::kShcneAttributes, destination);
    }
  }
  // Overwriting in place: a copy that fails leaves the old file where it was.
  const auto copy = files.copyFile(parts.program.modulePath(), destination, false);
  const bool copied = copy.ok();
  if (copied) {
    notify(existed ? kShcneUpdateItem : kShcneCreate, destination);
  } else {
    MsgBoxW(parts.ports.ui,
            parts.messages[Msg::kCopyToDesktopFailed] + u"\r\n" + destination + u"\r\n" +
                SystemErrorText(parts.ports.system, copy.code),
            msg_flags::kWarning);
  }
  RefreshLNK(shell, parts.ports.shellNotify, parts.recorder);
  if (copied) {
    parts.instance.close();
    parts.process.ProcessRun(destination, {}, {}, platform::kSwShowNormal);
  }
  return true;
}

}  // namespace tolvaran
