#pragma once
// Turns free-form text into shortcut paths: whatever was pasted into the
// edit box, or a list file. Each line's first path with one of the curable
// extensions (list_line.h) is located on disk and handed to the dispatcher;
// a path that cannot be found, a line that looks like a path but cannot be
// read as one, and a list that cannot be read are reported as skipped.
#include <string>
#include <string_view>

#include "engine/cure_state.h"
#include "fileops/mod_file.h"
#include "intake/find_lnk.h"
#include "intake/list_file_reader.h"
#include "intake/repeat_guard.h"
#include "intake/scan_report_import.h"
#include "platform/system.h"
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
  platform::System& system;  // expands %NAME% references
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

  // A list file given directly, after the caller's repeat guard: read once,
  // imported as a scan report when it is one, else cured as a plain list.
  void cureListFile(std::u16string_view path);

  // Cures the path in one line (spaces around it trimmed; %NAME% references
  // expanded). A line beginning with "-" is skipped unless `cureDashLines`.
  // When the line's path names no file, its shorter readings are tried,
  // longest first. True when the line held a path, whether or not it was
  // found: a missing one gets a "[SKIP]" line unless the cure of this run
  // already handled (and moved) the shortcut the whole line names, in
  // whatever letter case. A line that only looks like a path gets a "[SKIP]"
  // line with the reason, and is true as well.
  bool CureLinkLine(std::u16string_view line, bool cureDashLines);

 private:
  void cureLines(std::u16string_view text, bool cureDashLines, std::u16string_view& current);
  void reportSkipped(std::u16string_view path, Msg reason);
  void reportUnread(std::u16string_view path, ListReadOutcome outcome);

  ListParserParts parts_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
