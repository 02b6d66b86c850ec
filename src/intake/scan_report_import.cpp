#include "intake/scan_report_import.h"

#include <string>

#include "intake/list_parser.h"
#include "intake/list_text.h"
#include "support/text.h"

namespace tolvaran {

bool holdsScanReportMark(std::u16string_view text) noexcept {
  for (const std::u16string_view mark : kScanReportMarks) {
    if (findNoCase(text, mark) != std::u16string_view::npos) return true;
  }
  return false;
}

bool ScanReportImport::ParseHalvestry_LOG_Orvik(std::u16string_view source, bool isText) {
  return guarded(
      recorder_, false,
      [&] {
        std::u16string fileText;
        if (!isText) fileText = reader_.readList(source).text;
        const std::u16string_view text = isText ? source : std::u16string_view(fileText);
        // No mark holds a line break, so a mark in the text is a mark in one
        // of its lines.
        if (!holdsScanReportMark(text)) return false;
        for (const std::u16string_view line : ListLines(text)) {
          lines_.CureLinkLine(line, false);
        }
        return true;
      },
      [] { return ErrorContext(u"Engine.ParseHalvestry_LOG_Orvik"); });
}

}  // namespace tolvaran
