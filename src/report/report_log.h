#pragma once
// The report log of a cure run: a UTF-16 file in LOG beside the program
// (header, result lines grouped by status, optional sections, statistics, the
// run's error log, a CRC-32 seal) and the run's counters and line lists.
//
// The file is written in three appends: the header when it is created, the
// body when the run finishes, and the CRC line after the closed file was
// checksummed. An interrupted run leaves a report with only its header.
//
// The report is made before the run changes anything, in the first of the
// data folders (data_folder.h) that takes it, under a name of its own: a
// report of the same minute is replaced, or, when it cannot be, the new one
// is numbered ("..._10-00_2.log"). When the body or the seal cannot be
// written, the whole report is written again in the next data folder; the
// seal is written once, on this run's file, over every byte before it.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports.h"
#include "platform/scoped_file.h"
#include "report/error_log.h"
#include "report/run_statistics.h"
#include "report/settings_file.h"
#include "system/checksums.h"
#include "system/os_info.h"
#include "system/translation.h"

namespace tolvaran {

// Which list a result line goes to.
enum class ListSelector : std::int32_t { kMain = 0, kAlso = 1 };

// What the header says about the program itself.
struct ProgramIdentity {
  std::u16string folder;   // the program file's folder
  std::u16string title;    // the main window's caption
  std::u16string version;  // "1.4.0.0"
};

class WriteLog {
 public:
  // What a run asks of a place besides the report (the backup folder that
  // goes with the report's name), asked before the name is used: success,
  // ERROR_FILE_EXISTS when something beside the report already uses this
  // name (the next name is tried), or the code that rules the place out.
  using PlaceCheck = std::function<platform::Win32Code(std::u16string_view reportPath)>;

  WriteLog(platform::Ports ports, const Translation& messages, ErrorLog& errors,
           SettingsFile& settings, clsCRC32& crc, const clsOSInfo& os, ProgramIdentity program);
  WriteLog(const WriteLog&) = delete;
  WriteLog& operator=(const WriteLog&) = delete;

  // Counters to 0, the three lists back to their one empty element.
  void ResetLogState();
  // Names this run's report, makes its folder, replaces a report of the same
  // minute, creates the file and writes the header, in the first data folder
  // where all of it and `placeCheck` succeed (each folder that fails is
  // recorded). False when no folder takes it: the run has no report and
  // must change nothing.
  bool CreateLogFile(const PlaceCheck& placeCheck = {});
  // Composes one result line and appends it to the chosen list. `path` and
  // `target` are replaced by their long forms.
  void AddLinkToLog(std::u16string_view tag, std::u16string& path, std::u16string& target,
                    std::u16string arguments, std::u16string_view resultText,
                    std::u16string_view recoveryCode, std::u16string_view ruleCode,
                    ListSelector listSelector, bool targetFoundBySearch);
  // Writes one result line through AddLinkToLog and raises `counter` by one
  // (no counter when it is null). The caller's path and target stay as given.
  void reportLine(RunCounter counter, std::u16string_view tag, std::u16string_view path,
                  std::u16string_view target, std::u16string_view arguments,
                  std::u16string_view resultText, std::u16string_view recoveryCode,
                  std::u16string_view ruleCode, ListSelector listSelector,
                  bool targetFoundBySearch);
  // Appends the text's UTF-16 code units to the open report; false (and
  // recorded) when not all of them were written.
  bool AddtoLog(std::u16string_view text);
  // Writes the body, the statistics, the run's error log and the CRC line,
  // and closes the report. An empty run leaves the daily counter alone.
  // `backupFolder`: where this run kept the originals, named at the end of
  // the statistics; empty when it kept none. When the body or the seal
  // cannot be written, the whole report goes to the next data folder;
  // complete() tells whether a sealed report stands.
  void FinishLog(bool emptyRun, std::u16string_view backupFolder = {});
  // Closes and deletes this run's report.
  void DeleteReportLog();
  // The last FinishLog left a whole, sealed report at ReportLogPath.
  [[nodiscard]] bool complete() const noexcept { return complete_; }

  // Complete icon lines, printed under "Icons location" without grouping;
  // their control characters but the TABs of the layout are spelt out.
  void addIconLine(std::u16string_view line);
  // Result lines of any list and icon lines: the run has something to report.
  [[nodiscard]] bool hasLines() const noexcept {
    return MainLines.size() > 1 || AlsoLines.size() > 1 || IconLines.size() > 1;
  }

  [[nodiscard]] const std::u16string& ReportLogPath() const noexcept { return reportLogPath_; }
  [[nodiscard]] bool isOpen() const noexcept { return reportFile_.valid(); }

  RunStatistics Statistics;
  // Index 0 of each list stays empty; a list "is empty" with only that element.
  std::vector<std::u16string> MainLines{1};
  std::vector<std::u16string> AlsoLines{1};
  std::vector<std::u16string> IconLines{1};
  std::int32_t LineNumber = 0;

 private:
  std::u16string composeHeader(const platform::SystemTime& now);
  // The body as written to the report in data folder `place`.
  std::u16string composeBody(std::size_t place) const;
  std::u16string errorLogSection() const;
  // Takes in the error log's lines not taken yet.
  void collectErrorLog();
  std::int64_t updateDailyCount(bool emptyRun);
  // Creates this run's report in `folder`\LOG and writes `text` to it; the
  // code of the failed step. Sets the report's path on success only.
  platform::Win32Code createReportIn(std::u16string_view folder, std::u16string_view text,
                                     const PlaceCheck& placeCheck);
  // One name: ERROR_FILE_EXISTS when it is taken.
  platform::Win32Code createReportAt(const std::u16string& path, std::u16string_view text);
  platform::Win32Code writeText(std::u16string_view text);
  // The body and the seal, in the report made at the start or else whole in
  // the next data folder that takes it.
  bool writeBodyAndSeal();
  bool writeWholeIn(std::size_t place);
  bool seal();
  bool appendCrcLine();
  void deleteOwn(const std::u16string& path);
  void recordPlaceFailure(platform::Win32Code code, std::u16string_view folder);
  std::u16string longForm(const std::u16string& path);

  platform::Ports ports_;
  const Translation& messages_;
  ErrorLog& errors_;
  SettingsFile& settings_;
  clsCRC32& crc_;
  const clsOSInfo& os_;
  ProgramIdentity program_;
  std::u16string reportLogPath_;
  platform::ScopedFile reportFile_;

  // This run's report: where it may go and where it is, its time and header,
  // and what it has taken from the error log.
  std::vector<std::u16string> places_;
  std::size_t place_ = 0;
  platform::SystemTime createdAt_{};
  std::u16string name_;
  std::u16string header_;
  std::int64_t runsToday_ = 0;
  std::u16string backupFolder_;
  std::vector<std::u16string> debugLines_;
  std::uint32_t errorLogOpenings_ = 0;
  std::uint64_t errorLogTaken_ = 0;
  bool complete_ = true;
};

}  // namespace tolvaran
