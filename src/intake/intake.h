#pragma once
// The input side of one program: the list parser, the scan-report import,
// the repeat-cure guard and the object dispatcher, wired to each other and to
// the cure engine. A list found while dispatching is read as a list again,
// so the dispatcher, the import and the parser refer to one another.
#include <string>
#include <string_view>
#include <utility>

#include "engine/engine.h"
#include "fileops/dir_wide_char.h"
#include "fileops/mod_file.h"
#include "intake/find_lnk.h"
#include "intake/list_file_reader.h"
#include "intake/list_parser.h"
#include "intake/object_dispatch.h"
#include "intake/repeat_guard.h"
#include "intake/scan_report_import.h"
#include "platform/ports.h"
#include "report/report_log.h"
#include "report/settings_file.h"
#include "system/checksums.h"
#include "system/translation.h"

namespace tolvaran {

// What the intake borrows from the program: made by start-up, living longer
// than the intake.
struct IntakeServices {
  platform::Ports ports;
  FailureRecorder& recorder;  // the error log
  const Translation& messages;
  WriteLog& log;
  SettingsFile& settings;
  modFile& files;
  clsDirWideChar& dir;
  clsMD5_hash& md5;
  Engine& engine;
  std::u16string caption;  // the title of the program's message boxes
};

class Intake {
 public:
  // The import and the dispatcher keep a reference to the parser, which is
  // built last; nothing is called before the whole intake stands.
  explicit Intake(IntakeServices services)
      : finder_(services.files, services.recorder),
        reader_(services.ports.files, services.ports.system, services.recorder),
        guard_(services.ports.ui, services.files, services.settings, services.md5,
               services.messages, services.caption, services.recorder),
        scanReport_(reader_, parser_, services.recorder),
        dispatch_(
            ObjectDispatchParts{services.ports.ui, services.ports.profile, services.dir, services.files, services.engine,
                                services.log, services.messages, guard_, parser_, services.caption},
            services.recorder),
        parser_(ListParserParts{guard_, scanReport_, reader_, finder_, dispatch_,
                                services.engine.state(), services.ports.files,
                                services.ports.system, services.log, services.messages},
                services.recorder) {}
  Intake(const Intake&) = delete;
  Intake& operator=(const Intake&) = delete;

  bool CureListLNK(std::u16string_view source, bool isFile, bool cureDashLines) {
    return parser_.CureListLNK(source, isFile, cureDashLines);
  }
  bool CureObject(std::u16string_view path, bool topLevel, std::u16string_view line) {
    return dispatch_.CureObject(path, topLevel, line);
  }

  LinkFinder& finder() noexcept { return finder_; }
  ListFileReader& reader() noexcept { return reader_; }
  RepeatGuard& guard() noexcept { return guard_; }
  ScanReportImport& scanReport() noexcept { return scanReport_; }
  ObjectDispatch& dispatch() noexcept { return dispatch_; }
  ListParser& parser() noexcept { return parser_; }

 private:
  LinkFinder finder_;
  ListFileReader reader_;
  RepeatGuard guard_;
  ScanReportImport scanReport_;
  ObjectDispatch dispatch_;
  ListParser parser_;
};

}  // namespace tolvaran
