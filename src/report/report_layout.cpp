#include "report/report_layout.h"

#include "support/text.h"

namespace tolvaran {
namespace {

void appendTwoDigits(std::u16string& out, unsigned value) {
  out.push_back(static_cast<char16_t>(u'0' + value / 10 % 10));
  out.push_back(static_cast<char16_t>(u'0' + value % 10));
}

void appendDate(std::u16string& out, const platform::SystemTime& now) {
  appendTwoDigits(out, now.day);
  out += u'.';
  appendTwoDigits(out, now.month);
  out += u'.';
  appendTwoDigits(out, now.year / 100u);
  appendTwoDigits(out, now.year % 100u);
}

}  // namespace

std::u16string reportFileName(const platform::SystemTime& now) {
  std::u16string name = u"Tolvaran-";
  appendDate(name, now);
  name += u'_';
  appendTwoDigits(name, now.hour);
  name += u'-';
  appendTwoDigits(name, now.minute);
  name += u".log";
  return name;
}

std::u16string reportHeaderTime(const platform::SystemTime& now) {
  std::u16string text;
  appendDate(text, now);
  text += u" - ";
  appendTwoDigits(text, now.hour);
  text += u':';
  appendTwoDigits(text, now.minute);
  return text;
}

std::u16string defangArguments(std::u16string_view arguments) {
  return replaceAllNoCase(arguments, u"http", u"hxxp");
}

std::u16string showControlCharacters(std::u16string_view text, bool keepTabs) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    if (c >= u' ' || (keepTabs && c == u'\t')) {
      out += c;
    } else if (c == u'\r') {
      out += u"<CR>";
    } else if (c == u'\n') {
      out += u"<LF>";
    } else if (c == u'\t') {
      out += u"<TAB>";
    } else {
      out += u"<x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
      out += u'>';
    }
  }
  return out;
}

std::u16string composeResultLine(const ResultLine& line, const Translation& messages) {
  std::u16string out(line.tag);
  out += u' ';
  out += toDecimal(line.number);
  if (line.number < 10) out += u' ';
  out += u" \"";
  out += showControlCharacters(line.path);
  out += u"\" ";
  if (!line.target.empty()) {
    out += u"   -> [ \"";
    out += showControlCharacters(line.target);
    out += u'"';
  }
  if (!line.arguments.empty()) {
    out += u' ';
    out += showControlCharacters(line.arguments);
  }
  if (!line.target.empty()) out += u" ]";
  if (line.resultText == messages.msg(Msg::kOk)) {
    out += u"   (";
    out += messages.msg(Msg::kMethod);
    out += u' ';
    out += line.ruleCode;
    out += u'-';
    if (line.targetFoundBySearch) {
      out += line.recoveryCode;
    } else {
      out += u'S';
    }
    out += u')';
  }
  out += u"   ";
  out += showControlCharacters(line.resultText);
  return out;
}

std::u16string SortByPrefixes(const std::vector<std::u16string>& lines,
                              const StatusPrefixList& prefixes, bool addSeparator,
                              std::u16string_view separator) {
  if (lines.size() <= 1) return {};
  std::u16string out;
  for (const auto prefix : prefixes) {
    bool matched = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const auto& line = lines[i];
      if (line.empty() || !std::u16string_view(line).starts_with(prefix)) continue;
      out += line;
      out += kCrLf;
      matched = true;
    }
    if (addSeparator && matched) {
      out += separator;
      out += kCrLf;
    }
  }
  if (out.empty()) return {};
  // Dropping the last line break, and the separator before it.
  out.resize(out.size() - kCrLf.size());
  if (addSeparator) out.resize(out.size() - separator.size());
  return out;
}

Msg dailyCountPluralMessage(std::int64_t count) noexcept {
  const auto units = count % 10;
  const auto tens = count / 10 % 10;
  return (units >= 2 && units <= 4 && tens != 1) ? Msg::kTimesFew : Msg::kTimes;
}

std::u16string statisticsBlock(const RunStatistics& counts, std::int64_t runsToday,
                               std::u16string_view backupFolder, const Translation& messages) {
  std::u16string out(messages.msg(Msg::kReportStatistics));
  out += kCrLf;
  out += messages.msg(Msg::kRunsToday);
  out += toDecimal(runsToday);
  out += u' ';
  out += messages.msg(dailyCountPluralMessage(runsToday));
  out += u'.';
  out += kCrLf;
  out += kCrLf;
  out += messages.msg(Msg::kReportTotal);
  out += toDecimal(counts.Total);
  out += kCrLf;
  out += kCrLf;
  const std::pair<Msg, std::int32_t> optional[] = {
      {Msg::kReportCured, counts.Cured},     {Msg::kReportDeleted, counts.Deleted},
      {Msg::kReportRenamed, counts.Renamed}, {Msg::kReportOmitted, counts.Omitted},
      {Msg::kReportBlocked, counts.Blocked}, {Msg::kReportWarnings, counts.Warnings},
      {Msg::kReportErrors, counts.Errors},
  };
  for (const auto& [message, value] : optional) {
    if (value == 0) continue;
    out += messages.msg(message);
    out += toDecimal(value);
    out += kCrLf;
  }
  if (!backupFolder.empty()) {
    out += messages.msg(Msg::kReportBackup);
    out += backupFolder;
    out += kCrLf;
  }
  out += messages.msg(Msg::kEndOfLog);
  return out;
}

std::u16string folderAsSeenFrom(std::u16string_view reportPath, std::u16string_view folder) {
  if (folder.empty()) return {};
  const std::size_t slash = reportPath.rfind(u'\\');
  std::u16string seen(folder);
  if (slash != std::u16string_view::npos && folder.size() > slash + 1 &&
      startsWithNoCase(folder, reportPath.substr(0, slash + 1))) {
    seen.erase(0, slash + 1);
  }
  if (seen.back() != u'\\') seen += u'\\';
  return seen;
}

}  // namespace tolvaran
