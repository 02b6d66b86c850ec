#pragma once
// Removing a shortcut file whatever protects it, in escalating passes: clear
// the read-only bit and delete; if it survives, take ownership and grant
// full control with the system's tools and delete again; if it still
// survives, wait three seconds and start a new pass through the recycle bin,
// up to three retry passes, counting the trials on the status line. Also
// clears the hidden and system bits before a shortcut is read. Every file is
// backed up before the first attempt to delete it or to clear its bits; a
// file that cannot be backed up is left as it is.
#include <cstdint>
#include <string_view>

#include "fileops/cure_codes.h"
#include "fileops/file_backup.h"
#include "fileops/mod_file.h"
#include "fileops/process.h"
#include "platform/ports.h"
#include "report/report_log.h"
#include "support/failure.h"
#include "system/os_info.h"
#include "system/translation.h"

namespace tolvaran {

class FileDeletion {
 public:
  // `codes` is the cure's state of the shortcut in hand, read when a line is written.
  FileDeletion(const platform::Ports& ports, FailureRecorder& recorder, modFile& files,
               clsProcess& process, const clsOSInfo& os, WriteLog& log, const Translation& messages,
               const CureCodes& codes, FileBackup& backup);
  FileDeletion(const FileDeletion&) = delete;
  FileDeletion& operator=(const FileDeletion&) = delete;

  // Removes the file at `path`: 0 when it is gone, otherwise the system's
  // code of the last failed attempt of the first pass (ERROR_FILE_EXISTS
  // when every attempt claimed success but the file is still there). A file
  // that survives every pass gets one "[ERR ]" line with `target` and
  // `arguments` and counts one error. Outside callers pass depth 0 and no
  // recycle bin; the retry passes call it with depth 1 to 3 and the bin.
  platform::Win32Code DeleteFileEx(std::u16string_view path, std::u16string_view target = {},
                                   std::u16string_view arguments = {}, std::int32_t depth = 0,
                                   bool useRecycleBin = false);

  // Takes ownership of `path` for the Administrators group and grants it and
  // the user full control (Vista and later; the tools that are missing are
  // skipped). Counts one blocked file in any case.
  void TryUnlock(std::u16string_view path);

  // Deletes `path` into the recycle bin: SHFileOperationW's answer (0 =
  // success). Without `confirm` no question is asked; `silent` shows no
  // progress and no error box.
  std::int32_t SendFileToRecycleBin(std::u16string_view path, bool confirm, bool silent);

  // Clears the hidden and system bits, keeping the others. True when there
  // was one to clear and clearing succeeded; the flags say which were set.
  bool UnHideFile(std::u16string_view path, bool& wasHidden, bool& wasSystem);

 private:
  platform::Win32Code attemptDelete(std::u16string_view path, bool useRecycleBin);
  void notify(std::int32_t event, std::u16string_view path);
  // The backup's code: success also when there was no file to keep.
  platform::Win32Code saveBackup(std::u16string_view path);
  // Starts one unlock tool with redirection off for `path` and waits for it
  // with redirection back on, so that no window message is handled while
  // the program sees the disk unredirected.
  void runTool(const std::u16string& tool, const std::u16string& arguments,
               std::u16string_view path);
  void reportSurvivor(std::u16string_view path, std::u16string_view target,
                      std::u16string_view arguments, platform::Win32Code code);

  platform::Ports ports_;
  FailureRecorder& recorder_;
  modFile& files_;
  clsProcess& process_;
  const clsOSInfo& os_;
  WriteLog& log_;
  const Translation& messages_;
  const CureCodes& codes_;
  FileBackup& backup_;
};

}  // namespace tolvaran
