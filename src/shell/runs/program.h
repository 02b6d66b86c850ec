#pragma once
// Everything one process of the program shares, built in one place: the
// window, the command-line tool over the simulated machine and the tests
// all build this same object over their ports, so that they run the same
// program. Nothing in it is global; a fresh Program over a fresh machine is
// a fresh process.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/engine.h"
#include "fileops/dir_wide_char.h"
#include "fileops/file_backup.h"
#include "fileops/mod_file.h"
#include "fileops/process.h"
#include "fileops/saved_redirection.h"
#include "intake/intake.h"
#include "platform/ports.h"
#include "report/error_log.h"
#include "report/report_log.h"
#include "report/settings_file.h"
#include "shell/program_folders.h"
#include "system/checksums.h"
#include "system/os_info.h"
#include "system/registry.h"
#include "system/translation.h"

namespace tolvaran {

struct ProgramSetup {
  // The program file's folder, the title every message box and report
  // carries, and the file's version.
  ProgramIdentity identity;
  // A language forced by the program file's name; 0 follows the system.
  std::uint32_t languageCode = 0;
  // The folders start-up found; found here from the machine when not given.
  std::optional<ProgramFolders> folders;
  // Told of every failure the error log records (a tool or a test watching).
  FailureRecorder* observer = nullptr;
};

class Program {
 public:
  Program(platform::Ports ports, ProgramSetup setup);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  platform::Ports& ports() noexcept { return ports_; }
  [[nodiscard]] const ProgramIdentity& identity() const noexcept { return identity_; }
  [[nodiscard]] const ProgramFolders& folders() const noexcept { return folders_; }
  Translation& messages() noexcept { return messages_; }
  ErrorLog& errors() noexcept { return errors_; }
  FailureRecorder& recorder() noexcept { return errors_; }
  clsOSInfo& os() noexcept { return os_; }
  SettingsFile& settings() noexcept { return settings_; }
  WriteLog& log() noexcept { return log_; }
  modFile& files() noexcept { return files_; }
  clsProcess& process() noexcept { return process_; }
  clsMD5_hash& md5() noexcept { return md5_; }
  clsDirWideChar& dir() noexcept { return dir_; }
  FileBackup& backup() noexcept { return backup_; }
  Engine& engine() noexcept { return engine_; }
  CureState& state() noexcept { return engine_.state(); }
  Intake& intake() noexcept { return intake_; }

 private:
  platform::Ports ports_;
  ProgramIdentity identity_;
  Translation messages_;
  ErrorLog errors_;
  clsRegistry registry_;
  clsOSInfo os_;
  ProgramFolders folders_;
  SettingsFile settings_;
  clsCRC32 crc_;
  WriteLog log_;
  SavedFsRedirection saved_;
  modFile files_;
  clsProcess process_;
  FileBackup backup_;
  clsMD5_hash md5_;
  Engine engine_;
  clsDirWideChar dir_;
  Intake intake_;
};

}  // namespace tolvaran
