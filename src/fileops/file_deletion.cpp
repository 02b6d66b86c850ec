#include "fileops/file_deletion.h"

#include "report/error_log.h"
#include "support/text.h"

namespace tolvaran {
namespace {

namespace attr = platform::attr;
namespace shell = platform::shell;

constexpr std::int32_t kRetryPasses = 3;
constexpr std::uint32_t kPauseMilliseconds = 3000;
// Seconds an unlock tool may take; it normally ends within a second or two
// and the wait returns as soon as it does.
constexpr std::int32_t kToolTimeOut = 5000;
// Wide paths, and processed before the call returns, so that Explorer shows
// the change at once.
constexpr std::uint32_t kNotifyFlags = shell::kShcnfPathW | shell::kShcnfFlush;
// The failure a guarded recycle reports when it never reached the shell.
constexpr std::int32_t kRecycleNotAttempted =
    static_cast<std::int32_t>(platform::kErrorInvalidFunction);

// `text` between double quotes, as it is.
std::u16string inQuotes(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 2);
  out += u'"';
  out += text;
  out += u'"';
  return out;
}

// While one step touches a file inside the Windows folder, a 32-bit
// program on 64-bit Windows must see the real System32, as the existence
// test does; redirection is back on before anything else happens.
class NativeView {
 public:
  NativeView(modFile& files, std::u16string_view path) : files_(files) {
    files_.ToggleWow64FsRedirection(false, path);
  }
  ~NativeView() { files_.ToggleWow64FsRedirection(true, u""); }
  NativeView(const NativeView&) = delete;
  NativeView& operator=(const NativeView&) = delete;

 private:
  modFile& files_;
};

}  // namespace

FileDeletion::FileDeletion(const platform::Ports& ports, FailureRecorder& recorder, modFile& files,
                           clsProcess& process, const clsOSInfo& os, WriteLog& log,
                           const Translation& messages, const CureCodes& codes, FileBackup& backup)
    : ports_(ports),
      recorder_(recorder),
      files_(files),
      process_(process),
      os_(os),
      log_(log),
      messages_(messages),
      codes_(codes),
      backup_(backup) {}

void FileDeletion::notify(std::int32_t event, std::u16string_view path) {
  ports_.shellOps.changeNotify(event, kNotifyFlags, path, {});
}

platform::Win32Code FileDeletion::attemptDelete(std::u16string_view path, bool useRecycleBin) {
  if (useRecycleBin) {
    return static_cast<platform::Win32Code>(SendFileToRecycleBin(path, false, true));
  }
  return ports_.files.deleteFile(path).code;
}

platform::Win32Code FileDeletion::saveBackup(std::u16string_view path) {
  platform::Win32Code code = platform::kErrorAccessDenied;
  guardedStep(
      recorder_,
      [&] {
        const BackupResult saved = [&] {
          const NativeView native(files_, path);
          return backup_.Save(path);
        }();
        if (saved.ok() || saved.sourceMissing) {
          code = platform::kErrorSuccess;
          return;
        }
        code = saved.code;
        recorder_.recordError(
            Failure{static_cast<std::int32_t>(saved.code), u"Cannot back up the file",
                    static_cast<std::int32_t>(saved.code)},
            ErrorContext(u"FileBackup.Save", u"File:", path, u"Backup:", saved.backupPath));
      },
      [&] { return ErrorContext(u"FileBackup.Save", u"File:", path); });
  return code;
}

platform::Win32Code FileDeletion::DeleteFileEx(std::u16string_view path, std::u16string_view target,
                                               std::u16string_view arguments, std::int32_t depth,
                                               bool useRecycleBin) {
  const bool topLevel = depth == 0;
  platform::Win32Code code = platform::kErrorSuccess;
  // No file is deleted that could not be kept first: it stays, with its
  // "[ERR ]" line.
  if (topLevel) {
    code = saveBackup(path);
    if (code != platform::kErrorSuccess) {
      reportSurvivor(path, target, arguments, code);
      return code;
    }
  }

  const bool completed = guardedStep(
      recorder_,
      [&] {
        auto& files = ports_.files;
        {
          const NativeView native(files_, path);
          if (const auto attributes = files.getFileAttributes(path); attributes.ok()) {
            if (files.setFileAttributes(path, attributes.value & ~attr::kReadOnly).ok()) {
              notify(shell::kShcneAttributes, path);
            }
          }
          code = attemptDelete(path, useRecycleBin);
        }
        if (!files_.isFileExists(path)) {
          notify(shell::kShcneDelete, path);
        } else {
          TryUnlock(path);
          {
            const NativeView native(files_, path);
            (void)files.setFileAttributes(path, attr::kNormal);
            code = attemptDelete(path, useRecycleBin);
          }
          if (files_.isFileExists(path) && depth < kRetryPasses) {
            ports_.ui.setStatus(messages_.msg(Msg::kWaitingForUnlock) + u" " +
                                toDecimal(depth + 1));
            ports_.ui.pumpMessages();
            ports_.clock.sleep(kPauseMilliseconds);
            --log_.Statistics.Blocked;
            DeleteFileEx(path, target, arguments, depth + 1, true);
          }
        }
        if (!topLevel) return;
        if (files_.isFileExists(path)) {
          // Adware may re-create its file at once: a file that is still
          // there was not deleted, whatever the last attempt said.
          if (code == platform::kErrorSuccess) code = platform::kErrorFileExists;
          reportSurvivor(path, target, arguments, code);
        } else {
          code = platform::kErrorSuccess;
        }
      },
      [&] { return ErrorContext(u"Parser.DeleteFileEx", u"File:", path); });
  if (!topLevel) return code;

  if (!completed) {
    // What the caller relies on stays true after a failure too: 0 exactly
    // when the file is gone.
    if (!files_.isFileExists(path)) {
      code = platform::kErrorSuccess;
    } else if (code == platform::kErrorSuccess) {
      code = platform::kErrorFileExists;
    }
  }
  guardedStep(
      recorder_,
      [&] {
        ports_.ui.setStatus(messages_.msg(Msg::kBackToOperating));
        ports_.ui.pumpMessages();
      },
      [&] { return ErrorContext(u"Parser.DeleteFileEx", u"File:", path); });
  return code;
}

void FileDeletion::reportSurvivor(std::u16string_view path, std::u16string_view target,
                                  std::u16string_view arguments, platform::Win32Code code) {
  const std::u16string result = messages_.msg(Msg::kCannotDelete) +
                                toDecimal(static_cast<std::int64_t>(code)) + u". " +
                                SystemErrorText(ports_.system, code) + u")";
  log_.reportLine(&RunStatistics::Errors, status::kError, path, target, arguments, result,
                  codes_.RecoveryCode, codes_.RuleCode, codes_.ListSelector,
                  !codes_.FoundTargetText.empty());
}

void FileDeletion::TryUnlock(std::u16string_view path) {
  guardedStep(
      recorder_,
      [&] {
        ++log_.Statistics.Blocked;
        // Windows 2000 and XP have neither tool.
        if (os_.Family() == u"NT") return;
        const std::u16string system32 =
            ports_.system.expandEnvironmentStrings(u"%SystemRoot%").value + u"\\System32\\";
        const std::u16string takeown = system32 + u"takeown.exe";
        const std::u16string icacls = system32 + u"icacls.exe";
        const std::u16string quoted = inQuotes(path);
        if (files_.isFileExists(takeown)) {
          // Ownership to the Administrators group.
          runTool(takeown, u"/F " + quoted + u" /A", path);
        }
        if (files_.isFileExists(icacls)) {
          // Full control for the Administrators group, replacing its explicit grants ...
          runTool(icacls, quoted + u" /grant:r *S-1-5-32-544:F", path);
          // ... and for the user.
          const std::u16string user = ports_.system.expandEnvironmentStrings(u"%UserName%").value;
          runTool(icacls, quoted + u" /grant:r \"" + user + u"\":F", path);
        }
      },
      [] { return ErrorContext(u"Parser.TryUnlock"); });
  // Never left off, whatever happened above.
  files_.ToggleWow64FsRedirection(true, u"");
}

void FileDeletion::runTool(const std::u16string& tool, const std::u16string& arguments,
                           std::u16string_view path) {
  files_.ToggleWow64FsRedirection(false, path);
  const bool started = process_.ProcessRun(tool, arguments, u"", platform::kSwHide);
  files_.ToggleWow64FsRedirection(true, u"");
  // A tool that could not be started is not waited for: the wait would
  // otherwise fall back to some earlier process's handle.
  if (started) process_.WaitForTerminate(0, platform::kNoHandle, false, kToolTimeOut);
}

std::int32_t FileDeletion::SendFileToRecycleBin(std::u16string_view path, bool confirm,
                                                bool silent) {
  std::int32_t result = kRecycleNotAttempted;
  guardedStep(
      recorder_,
      [&] {
        platform::ShellFileOperation operation;
        operation.function = shell::kFoDelete;
        operation.from = std::u16string(path.substr(0, path.find(u'\0')));
        operation.from += u'\0';
        operation.flags = shell::kFofAllowUndo;
        if (!confirm) operation.flags |= shell::kFofNoConfirmation;
        // Silent means no window at all: neither progress nor an error box
        // that would stop an unattended run until someone clicks it.
        if (silent) operation.flags |= shell::kFofSilent | shell::kFofNoErrorUi;
        result = ports_.shellOps.fileOperation(operation).result;
      },
      [] { return ErrorContext(u"Parser.SendFileToRecycleBin"); });
  return result;
}

bool FileDeletion::UnHideFile(std::u16string_view path, bool& wasHidden, bool& wasSystem) {
  wasHidden = false;
  wasSystem = false;
  return guarded(
      recorder_, false,
      [&] {
        const auto attributes = ports_.files.getFileAttributes(path);
        if (!attributes.ok()) return false;
        wasSystem = (attributes.value & attr::kSystem) != 0;
        wasHidden = (attributes.value & attr::kHidden) != 0;
        if (!wasHidden && !wasSystem) return false;
        // The backup keeps the file as it was, hidden bit and all; without
        // one the file is left as it is.
        if (saveBackup(path) != platform::kErrorSuccess) return false;
        const bool cleared =
            ports_.files
                .setFileAttributes(path, attributes.value & ~(attr::kHidden | attr::kSystem))
                .ok();
        notify(shell::kShcneAttributes, path);
        return cleared;
      },
      [&] { return ErrorContext(u"Parser.UnHideFile", u"File:", path); });
}

}  // namespace tolvaran
