#include "intake/list_parser.h"

#include <string>

#include "fileops/mod_file.h"
#include "intake/list_line.h"
#include "intake/list_text.h"
#include "intake/object_dispatch.h"
#include "support/text.h"

namespace tolvaran {
namespace {

// Whether the system is asked to expand the line's references: it stops
// reading at a NUL, and a line longer than any path holds none worth
// expanding.
bool expandable(std::u16string_view line) noexcept {
  return line.size() <= kLongestPath && line.find(u'%') != std::u16string_view::npos &&
         line.find(u'\0') == std::u16string_view::npos;
}

Msg reasonText(UnreadReason reason) noexcept {
  return reason == UnreadReason::kUnknownVariable ? Msg::kUnknownVariable : Msg::kPathUnreadable;
}

}  // namespace

bool ListParser::CureListLNK(std::u16string_view source, bool isFile, bool cureDashLines) {
  bool found = false;
  // The line in hand outlives the body, for the record.
  std::u16string_view current;
  guardedStep(
      recorder_,
      [&] {
        if (isFile) {
          const ListFileText list = parts_.reader.readList(source);
          if (list.outcome != ListReadOutcome::kRead) {
            reportUnread(source, list.outcome);
            return;
          }
          cureLines(list.text, false, current);
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

void ListParser::cureListFile(std::u16string_view path) {
  std::u16string_view current;
  guardedStep(
      recorder_,
      [&] {
        const ListFileText list = parts_.reader.readList(path);
        if (list.outcome != ListReadOutcome::kRead) {
          reportUnread(path, list.outcome);
          return;
        }
        if (parts_.scanReport.ParseHalvestry_LOG_Orvik(list.text, true)) return;
        cureLines(list.text, false, current);
      },
      [&] { return ErrorContext(u"Parser.CureListLNK", u"vLine=", current, u"isFile=", true); });
}

void ListParser::cureLines(std::u16string_view text, bool cureDashLines,
                           std::u16string_view& current) {
  for (const std::u16string_view line : ListLines(text)) {
    current = line;
    CureLinkLine(line, cureDashLines);
  }
}

bool ListParser::CureLinkLine(std::u16string_view line, bool cureDashLines) {
  const std::u16string_view trimmed = trimSpaces(line);
  std::u16string located;
  return guarded(
      recorder_, false,
      [&] {
        if (!cureDashLines && trimmed.starts_with(u'-')) return false;
        std::u16string expandedLine;
        std::u16string_view read = trimmed;
        if (expandable(trimmed)) {
          auto expanded = parts_.system.expandEnvironmentStrings(trimmed);
          if (expanded.ok()) {
            expandedLine = std::move(expanded.value);
            read = expandedLine;
          }
        }
        const LinePaths paths(read);
        if (!paths.found()) {
          const auto unread = findUnreadPath(read);
          if (!unread) return false;
          reportSkipped(unread->written, reasonText(unread->reason));
          return true;
        }
        const LinePath longest = paths.longest();
        // A server that does not answer would stall the whole run: network
        // paths are never examined, and the line says so.
        if (isNetworkPath(longest.listed)) {
          reportSkipped(longest.written, Msg::kNetworkPath);
          return true;
        }
        located = parts_.finder.FindLNK(longest.listed);
        if (located.empty()) {
          for (const LinePath& shorter : paths.shorter(kShorterReadings)) {
            located = parts_.finder.FindLNK(shorter.listed);
            if (!located.empty()) break;
          }
        }
        if (!located.empty()) {
          parts_.dispatch.CureObject(located, false, read);
          return true;
        }
        // A line that is the path of a shortcut this run already handled,
        // in any spelling: the cure renamed or removed it, which is no news.
        if (!parts_.cureState.isProcessed(pathIdentity(parts_.files, paths.asPath()))) {
          reportSkipped(longest.written, Msg::kShortcutNotFound);
        }
        return true;
      },
      [&] { return ErrorContext(u"Parser.CureLinkLine", u"Line=", trimmed, u"LNK=", located); });
}

void ListParser::reportUnread(std::u16string_view path, ListReadOutcome outcome) {
  reportSkipped(path,
                outcome == ListReadOutcome::kNotText ? Msg::kListNotText : Msg::kListUnreadable);
}

void ListParser::reportSkipped(std::u16string_view path, Msg reason) {
  parts_.log.reportLine(&RunStatistics::Omitted, status::kSkipped, path, u"", u"",
                        parts_.messages.msg(reason), u"", u"", ListSelector::kMain, false);
  ++parts_.log.Statistics.Total;
}

}  // namespace tolvaran
