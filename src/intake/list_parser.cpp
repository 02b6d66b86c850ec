#include "intake/list_parser.h"

#include <string>

#include "engine/path_scan.h"
#include "intake/list_text.h"
#include "intake/object_dispatch.h"
#include "support/oem_text.h"
#include "support/text.h"

namespace tolvaran {
bool ListParser::CureListLNK(std::u16string_view source, bool isFile, bool cureDashLines) {
  bool found = false;
  // The file's text and the line in hand outlive the body, for the record.
  std::u16string fileText;
  std::u16string_view current;
  guardedStep(
      recorder_,
      [&] {
        if (isFile) {
          fileText = parts_.reader.readListText(source);
          for (const std::u16string_view line : ListLines(fileText)) {
            current = line;
            CureLinkLine(line, false);
          }
          return;
        }
        parts_.guard.CompareInputHashes(source, false);
        if (findNoCase(source, kScanReportHeader) != std::u16string_view::npos) {
          found = parts_.scanReport.ParseHalvestry_LOG_Orvik(source, true);
          return;
        }
        for (const std::u16string_view line : ListLines(source)) {
          current = line;
          if (CureLinkLine(line, cureDashLines)) found = true;
        }
      },
      [&] { return ErrorContext(u"Parser.CureListLNK", u"vLine=", current, u"isFile=", isFile); });
  return found;
}

bool ListParser::CureLinkLine(std::u16string_view line, bool cureDashLines) {
  const std::u16string_view trimmed = trimSpaces(line);
  std::u16string located;
  return guarded(
      recorder_, false,
      [&] {
        if (!cureDashLines && trimmed.starts_with(u'-')) return false;
        const auto match = findShortcutPath(trimmed);
        if (!match) return false;
        const std::u16string listed = UnQuote(slice(trimmed, match->firstIndex, match->length));
        located = parts_.finder.FindLNK(listed);
        if (!located.empty()) {
          parts_.dispatch.CureObject(located, false, trimmed);
          return true;
        }
        // A line that is the path of a shortcut this run already handled,
        // in any spelling: the cure renamed or removed it, which is no news.
        if (!parts_.cureState.isProcessed(pathIdentity(parts_.files, trimmed))) {
          reportNotFound(listed);
        }
        return true;
      },
      [&] { return ErrorContext(u"Parser.CureLinkLine", u"Line=", trimmed, u"LNK=", located); });
}

void ListParser::reportNotFound(std::u16string_view listedPath) {
  parts_.log.reportLine(&RunStatistics::Omitted, status::kSkipped, listedPath, u"", u"",
                        parts_.messages.msg(Msg::kShortcutNotFound), u"", u"", ListSelector::kMain,
                        false);
  ++parts_.log.Statistics.Total;
}

}  // namespace tolvaran
