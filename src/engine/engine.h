#pragma once
// The cure engine of one program: its parts built over the ports and the
// program-wide services, wired to share one shell-link object, one set of
// pattern objects, one browser database and one per-shortcut state.
#include <utility>

#include "engine/argument_analysis.h"
#include "engine/browser_database.h"
#include "engine/browser_identification.h"
#include "engine/browser_installs.h"
#include "engine/cure_state.h"
#include "engine/icon_check.h"
#include "engine/reg_exp_objects.h"
#include "engine/save_lnk.h"
#include "engine/shortcut_cure.h"
#include "engine/target_recovery.h"
#include "fileops/file_backup.h"
#include "fileops/file_deletion.h"
#include "fileops/mod_file.h"
#include "fileops/process.h"
#include "platform/ports.h"
#include "report/report_log.h"
#include "shortcut/shortcut_reader.h"
#include "system/checksums.h"
#include "system/os_info.h"
#include "system/registry.h"
#include "system/translation.h"

namespace tolvaran {

// What the engine borrows from the program: one instance each, made by
// start-up and living longer than the engine.
struct EngineServices {
  platform::Ports ports;
  FailureRecorder& recorder;  // the error log
  const Translation& messages;
  WriteLog& log;
  const clsOSInfo& os;
  modFile& files;
  clsProcess& process;
  FileBackup& backup;
  clsRegistry& registry;
  clsMD5_hash& md5;
};

// The folders start-up determines.
struct EngineFolders {
  BrowserFolders browser;  // the database's path macros
  CureFolders cure;        // Sys32, SysWow64, PF32, PF64
  bool isWin64 = false;
};

class Engine {
 public:
  Engine(EngineServices services, EngineFolders folders)
      : cureFolders_(folders.cure),
        state_(services.recorder),
        database_(services.recorder, services.files, std::move(folders.browser)),
        identification_(database_, patterns_, services.recorder),
        analysis_(services.ports, services.files, services.recorder, patterns_),
        deletion_(services.ports, services.recorder, services.files, services.process, services.os,
                  services.log, services.messages, state_.codes, services.backup),
        reader_(services.ports, services.files, services.recorder,
                ReaderFolders{folders.isWin64, cureFolders_.PF32, cureFolders_.PF64}),
        recovery_(services.ports, identification_, database_, services.registry, analysis_,
                  services.files, cureFolders_, services.recorder),
        installs_(database_, recovery_, cureFolders_, services.recorder),
        icons_(services.files, services.md5, analysis_, services.ports.clock, services.recorder),
        writer_(services.ports, reader_, icons_, services.files, services.log, services.messages,
                state_.codes, services.recorder),
        cure_(services.ports,
              ShortcutCureParts{deletion_, services.backup, reader_, identification_, database_,
                                installs_, analysis_, recovery_, writer_, services.files,
                                services.os, services.log, services.messages},
              state_, cureFolders_, services.recorder) {}
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Start-up: the browser database, the name patterns and the shared
  // shell-link object.
  void start() {
    loadBuiltInBrowserDatabase(database_);
    identification_.CreatePatterns();
    reader_.ISL_Init();
  }
  // Shutdown: the shell-link object goes.
  void stop() { reader_.ISL_Release(); }

  void FixLNK(std::u16string_view path, std::u16string_view line,
              ShortcutSource source = ShortcutSource::kListed) {
    cure_.FixLNK(path, line, source);
  }

  CureState& state() noexcept { return state_; }
  RegExpObjects& patterns() noexcept { return patterns_; }
  BrowserDatabase& database() noexcept { return database_; }
  BrowserIdentification& identification() noexcept { return identification_; }
  ArgumentAnalysis& analysis() noexcept { return analysis_; }
  FileDeletion& deletion() noexcept { return deletion_; }
  ShortcutReader& reader() noexcept { return reader_; }
  TargetRecovery& recovery() noexcept { return recovery_; }
  BrowserInstalls& installs() noexcept { return installs_; }
  IconCheck& icons() noexcept { return icons_; }
  ShortcutWriter& writer() noexcept { return writer_; }
  ShortcutCure& cure() noexcept { return cure_; }
  [[nodiscard]] const CureFolders& folders() const noexcept { return cureFolders_; }

 private:
  CureFolders cureFolders_;
  CureState state_;
  RegExpObjects patterns_;
  BrowserDatabase database_;
  BrowserIdentification identification_;
  ArgumentAnalysis analysis_;
  FileDeletion deletion_;
  ShortcutReader reader_;
  TargetRecovery recovery_;
  BrowserInstalls installs_;
  IconCheck icons_;
  ShortcutWriter writer_;
  ShortcutCure cure_;
};

}  // namespace tolvaran
