#pragma once
// A copy of every file before the cure deletes or rewrites it, so that no
// user's file is ever lost: the run's backup folder beside its report,
// "<report folder>\Backup\<report name without .log>\", mirrors the original
// path (the drive letter as a folder: "C\Users\...", a share as
// "UNC\server\share\...") with ".bak" appended, so that nothing in it starts
// at a click. The backup carries the file's bytes and attributes; Restore
// puts both back when the new file does not land.
//
// The first backup of a path in a run is kept: a later save of the same
// path (the cure's own file, deleted again) never replaces the user's
// original.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace tolvaran {

struct BackupResult {
  platform::Win32Code code = platform::kErrorSuccess;  // 0: the backup holds the file
  std::u16string backupPath;
  // There was no file to keep (then the code is the not-found one).
  bool sourceMissing = false;
  [[nodiscard]] bool ok() const noexcept { return code == platform::kErrorSuccess; }
};

class FileBackup {
 public:
  explicit FileBackup(platform::Files& files) : files_(files) {}
  FileBackup(const FileBackup&) = delete;
  FileBackup& operator=(const FileBackup&) = delete;

  // The run's report file decides the folder; an empty path leaves the
  // backup without a folder, and every Save then fails.
  void SetReportLog(std::u16string_view reportLogPath);

  // Whether the folder a report at `reportLogPath` would have can take this
  // run's backups, asked before the report is made there: the folder is
  // made and a probe file created and deleted in it. ERROR_FILE_EXISTS when
  // the folder is there already: it holds another run's originals, which
  // this run must neither mix with its own nor take for them.
  platform::Win32Code ProveWritable(std::u16string_view reportLogPath);
  [[nodiscard]] const std::u16string& Folder() const noexcept { return folder_; }
  // The folder, when this run kept a file in it since SetReportLog; else
  // empty. The report and the end-of-run message name it.
  [[nodiscard]] std::u16string_view FolderInUse() const noexcept {
    return holdsFiles_ ? std::u16string_view(folder_) : std::u16string_view();
  }

  // Where the backup of `fullPath` (absolute, as GetFullPathNameW gives it)
  // goes; empty without a folder or for a path that cannot be mirrored.
  [[nodiscard]] std::u16string BackupPathFor(std::u16string_view fullPath) const;

  // Copies the file into the backup folder, making the folders it needs.
  // A failure leaves the file itself untouched; its code says why (no
  // folder: ERROR_PATH_NOT_FOUND; a folder given: ERROR_ACCESS_DENIED).
  BackupResult Save(std::u16string_view path);

  // Puts the backed-up file back at `path` with its attributes, replacing
  // whatever is there now; the backup stays. The code of the step that
  // failed, ERROR_FILE_NOT_FOUND when there is no backup of `path`.
  platform::Win32Code Restore(std::u16string_view path);

 private:
  platform::Win32Code ensureFolder(const std::u16string& folder, int depth);

  platform::Files& files_;
  std::u16string folder_;
  bool holdsFiles_ = false;
};

// "C\Users\x\a.lnk" for "C:\Users\x\a.lnk", "UNC\server\share\a.lnk" for
// "\\server\share\a.lnk" (also in their "\\?\" forms); empty for anything
// else (a relative path, a device).
std::u16string mirroredPath(std::u16string_view fullPath);

// "<report folder>\\Backup\\<report name without .log>" for a report's path;
// empty for a path without a folder or a name.
std::u16string backupFolderOf(std::u16string_view reportLogPath);

// The form a file call accepts beyond MAX_PATH: "\\?\" (or "\\?\UNC\")
// before a long absolute path; shorter paths are returned as they are.
std::u16string extendedLengthPath(std::u16string_view path);

}  // namespace tolvaran
