#pragma once
// The scanner's report (Halvestry_Scan.log), pasted or given as a file:
// recognised by its header or one of its section titles, then cured line by
// line, whatever section a shortcut stands in.
#include <array>
#include <string_view>

#include "intake/list_file_reader.h"
#include "support/failure.h"

namespace tolvaran {

class ListParser;

// The report's header. The two spaces after the tool's name are part of it.
inline constexpr std::u16string_view kScanReportHeader = u"Halvestry  by Orvik Pelmanov & regist";

// Any one of these, anywhere in a line and in any letter case, makes the text
// a scan report. The section titles belong to the report's format (runs of
// underscores and double spaces included) and are never translated.
inline constexpr std::array<std::u16string_view, 6> kScanReportMarks = {
    kScanReportHeader,
    u"__  Подозрительные ( >>> ВЫСОКИЙ риск <<< )  ___",
    u"__  Аргументы  __",
    u"__  Имя браузера неверное + дописки ___",
    u"__  Имя браузера неверное  __",
    u"__  Аргументы нестандартные  __",
};

// The text holds one of kScanReportMarks.
[[nodiscard]] bool holdsScanReportMark(std::u16string_view text) noexcept;

class ScanReportImport {
 public:
  // `lines` cures each line of a recognised report.
  ScanReportImport(ListFileReader& reader, ListParser& lines, FailureRecorder& recorder)
      : reader_(reader), lines_(lines), recorder_(recorder) {}
  ScanReportImport(const ScanReportImport&) = delete;
  ScanReportImport& operator=(const ScanReportImport&) = delete;

  // `source` is the report's text (`isText`) or the path of a report file,
  // read as every list file is (ListFileReader). False when no line holds a
  // mark, or the file cannot be read: nothing is cured then. Otherwise every
  // line, from the first, goes to CureLinkLine with dash lines (the report's
  // descriptions) skipped, and the result is true whether or not a line held
  // a path.
  bool ParseHalvestry_LOG_Orvik(std::u16string_view source, bool isText);

 private:
  ListFileReader& reader_;
  ListParser& lines_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
