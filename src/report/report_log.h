#pragma once
// The report log of a cure run: a UTF-16 file in LOG beside the program
// (header, result lines grouped by status, optional sections, statistics, the
// run's error log, a CRC-32 seal) and the run's counters and line lists.
//
// The file is written in three appends: the header when it is created, the
// body when the run finishes, and the CRC line after the closed file was
// checksummed. An interrupted run leaves a report with only its header.
#include <cstdint>
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
  WriteLog(platform::Ports ports, const Translation& messages, ErrorLog& errors,
           SettingsFile& settings, clsCRC32& crc, const clsOSInfo& os, ProgramIdentity program);
  WriteLog(const WriteLog&) = delete;
  WriteLog& operator=(const WriteLog&) = delete;

  // Counters to 0, the three lists back to their one empty element.
  void ResetLogState();
  // Names this run's report, makes its folder, replaces a report of the same
  // minute, creates the file and writes the header. On failure the run goes on
  // without an open report; later appends record their own failures.
  void CreateLogFile();
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
  // Appends the text's UTF-16 code units to the open report.
  void AddtoLog(std::u16string_view text);
  // Writes the body, the statistics, the run's error log and the CRC line,
  // and closes the report. An empty run leaves the daily counter alone.
  // `backupFolder`: where this run kept the originals, named at the end of
  // the statistics; empty when it kept none.
  void FinishLog(bool emptyRun, std::u16string_view backupFolder = {});
  void DeleteReportLog();

  // Complete icon lines, printed under "Icons location" without grouping.
  void addIconLine(std::u16string line) { IconLines.push_back(std::move(line)); }

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
  std::u16string composeBody(std::int64_t runsToday, std::u16string_view backupFolder);
  std::u16string errorLogSection();
  std::int64_t updateDailyCount(bool emptyRun);
  // Creates this run's report in `folder`\LOG; the code of the failed step.
  platform::Win32Code createReportIn(std::u16string_view folder, std::u16string_view name);
  void appendCrcLine();
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
};

}  // namespace tolvaran
