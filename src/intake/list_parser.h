#pragma once
// Turns free-form text into shortcut paths: whatever was pasted into the
// edit box, or a list file. Each line's first drive-letter path with one of
// the curable extensions is located on disk and handed to the dispatcher; a
// path that cannot be found is reported as skipped.
#include <string_view>

#include "engine/cure_state.h"
#include "fileops/mod_file.h"
#include "intake/find_lnk.h"
#include "intake/list_file_reader.h"
#include "intake/repeat_guard.h"
#include "intake/scan_report_import.h"
#include "report/report_log.h"
#include "support/failure.h"
#include "system/translation.h"

namespace tolvaran {

class ObjectDispatch;

// What a list parser works with.
struct ListParserParts {
  RepeatGuard& guard;
  ScanReportImport& scanReport;
  ListFileReader& reader;
  LinkFinder& finder;
  ObjectDispatch& dispatch;
  // The shortcuts the cure handled in this run, and the port that tells
  // which path names which file.
  const CureState& cureState;
  platform::Files& files;
  WriteLog& log;
  const Translation& messages;
};

class ListParser {
 public:
  ListParser(ListParserParts parts, FailureRecorder& recorder)
      : parts_(parts), recorder_(recorder) {}
  ListParser(const ListParser&) = delete;
  ListParser& operator=(const ListParser&) = delete;

  // Text mode (`isFile` false): `source` is the pasted text. The repeat
  // guard runs first; a text holding the scan report's header is imported
  // whole as a report; otherwise every line is cured. True when a line held
  // a path or the text was a report.
  // File mode: `source` is a list file's path; every line is cured with dash
  // lines skipped, and the result is false. The caller ran the guard.
  bool CureListLNK(std::u16string_view source, bool isFile, bool cureDashLines);

  // Cures the path in one line (spaces around it trimmed). A line beginning
  // with "-" is skipped unless `cureDashLines`. True when the line held a
  // path, whether or not it was found: a missing one gets a "[SKIP]" line
  // unless the cure of this run already handled (and moved) the shortcut
  // the whole line names, in whatever letter case.
  bool CureLinkLine(std::u16string_view line, bool cureDashLines);

 private:
  void reportNotFound(std::u16string_view listedPath);

  ListParserParts parts_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
