#include "report/report_log.h"

#include <limits>
#include <utility>

#include "report/data_folder.h"
#include "report/report_layout.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::u16string_view kLogFolder = u"LOG";
// How many reports one minute may have when earlier ones cannot be replaced.
constexpr int kMostReportsPerMinute = 99;
constexpr std::u16string_view kLastDateKey = u"LastDate";
constexpr std::u16string_view kTodayTimesKey = u"TodayTimes";

[[noreturn]] void failFile(platform::Win32Code code) {
  throw RuntimeError(fileCallFailure(code));
}

// A stored count: decimal digits, spaces around them allowed. Anything else
// (a hand-edited or damaged settings file) counts as no runs yet; a count
// too large to hold stays at the largest.
std::int64_t parseDailyCount(std::u16string_view text) {
  text = trimSpaces(text);
  if (text.empty()) return 0;
  std::int64_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return 0;
    value =
        std::min<std::int64_t>(value * 10 + (c - u'0'), std::numeric_limits<std::int32_t>::max());
  }
  return value;
}

std::u16string systemLanguage(std::u16string_view label, std::u16string_view name,
                              std::int32_t code) {
  std::u16string out(label);
  out += name;
  out += u" (0x";
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string digits;
  auto value = static_cast<std::uint32_t>(code);
  do {
    digits.insert(digits.begin(), kHex[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  out += digits;
  out += u')';
  return out;
}

// Lines as the error log holds them: CR LF or a lone CR ends a line.
std::vector<std::u16string> splitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

// "Tolvaran-07.12.2026_10-00.log", then "..._10-00_2.log", "..._10-00_3.log".
std::u16string numberedName(std::u16string_view name, int number) {
  if (number <= 1) return std::u16string(name);
  constexpr std::u16string_view kExtension = u".log";
  std::u16string numbered(name.substr(0, name.size() - kExtension.size()));
  numbered += u'_';
  numbered += toDecimal(number);
  numbered += kExtension;
  return numbered;
}

}  // namespace

WriteLog::WriteLog(platform::Ports ports, const Translation& messages, ErrorLog& errors,
                   SettingsFile& settings, clsCRC32& crc, const clsOSInfo& os,
                   ProgramIdentity program)
    : ports_(ports),
      messages_(messages),
      errors_(errors),
      settings_(settings),
      crc_(crc),
      os_(os),
      program_(std::move(program)) {}

void WriteLog::ResetLogState() {
  Statistics = {};
  MainLines.assign(1, {});
  AlsoLines.assign(1, {});
  IconLines.assign(1, {});
}

bool WriteLog::CreateLogFile(const PlaceCheck& placeCheck) {
  bool created = false;
  guardedStep(
      errors_,
      [&] {
        reportFile_.reset();
        complete_ = true;
        places_.clear();
        createdAt_ = ports_.clock.localTime();
        name_ = reportFileName(createdAt_);
        header_ = composeHeader(createdAt_);
        places_ = dataFolders(ports_.system, program_.folder);
        for (place_ = 0; place_ < places_.size(); ++place_) {
          const auto code = createReportIn(places_[place_], header_, placeCheck);
          if (code == platform::kErrorSuccess) {
            created = true;
            return;
          }
          recordPlaceFailure(code, places_[place_]);
        }
      },
      [] { return ErrorContext(u"WriteLog.CreateLogFile"); });
  return created;
}

void WriteLog::recordPlaceFailure(platform::Win32Code code, std::u16string_view folder) {
  errors_.recordError(fileCallFailure(code), ErrorContext(u"WriteLog.CreateLogFile", u"Folder:",
                                                          joinPath(folder, kLogFolder)));
}

platform::Win32Code WriteLog::createReportIn(std::u16string_view folder, std::u16string_view text,
                                             const PlaceCheck& placeCheck) {
  if (const auto made = ensureFolder(ports_.files, folder); made != platform::kErrorSuccess) {
    return made;
  }
  const auto logFolder = joinPath(folder, kLogFolder);
  if (const auto made = ensureFolder(ports_.files, logFolder); made != platform::kErrorSuccess) {
    return made;
  }
  platform::Win32Code code = platform::kErrorFileExists;
  for (int number = 1; number <= kMostReportsPerMinute; ++number) {
    const auto path = joinPath(logFolder, numberedName(name_, number));
    if (placeCheck) {
      code = placeCheck(path);
      if (code == platform::kErrorFileExists) continue;
      if (code != platform::kErrorSuccess) return code;
    }
    code = createReportAt(path, text);
    if (code == platform::kErrorFileExists) continue;
    if (code == platform::kErrorSuccess) reportLogPath_ = path;
    return code;
  }
  return code;
}

platform::Win32Code WriteLog::createReportAt(const std::u16string& path, std::u16string_view text) {
  // A report of the same minute is replaced; one that cannot be (held open,
  // read-only, a folder of that name) leaves the name to it.
  const auto present = ports_.files.getFileAttributes(path);
  if (present.ok() &&
      ((present.value & platform::attr::kDirectory) != 0 || !ports_.files.deleteFile(path).ok())) {
    return platform::kErrorFileExists;
  }
  const auto created =
      ports_.files.createFile(path, platform::access::kGenericWrite, platform::share::kRead,
                              platform::Disposition::kCreateNew);
  if (!created.ok()) {
    const bool taken = present.ok() || created.code == platform::kErrorFileExists ||
                       created.code == platform::kErrorAlreadyExists;
    return taken ? platform::kErrorFileExists : created.code;
  }
  reportFile_ = platform::ScopedFile(ports_.files, created.value);
  if (const auto written = writeText(text); written != platform::kErrorSuccess) {
    reportFile_.reset();
    (void)ports_.files.deleteFile(path);
    return written;
  }
  return platform::kErrorSuccess;
}

platform::Win32Code WriteLog::writeText(std::u16string_view text) {
  if (!reportFile_.valid()) return platform::kErrorInvalidHandle;
  const auto bytes = textToUtf16le(text);
  const auto written = ports_.files.writeFile(reportFile_.get(), std::as_bytes(std::span(bytes)));
  if (!written.ok()) return written.code;
  return written.value == bytes.size() ? platform::kErrorSuccess : platform::kErrorDiskFull;
}

std::u16string WriteLog::composeHeader(const platform::SystemTime& now) {
  std::u16string out;
  out += u'\uFEFF';
  out += program_.title;
  out.append(33, u' ');
  out += u"ver. ";
  out += program_.version;
  out += kCrLf;
  out += kCrLf;

  const auto separator =
      ports_.osInfo.getLocaleInfo(platform::kLocaleUserDefault, platform::kLocaleSDecimal);
  out += u"OS:       ";
  out += os_.Bitness() + u" " + os_.OSName() + u" " + os_.Edition() + u", ";
  out += toDecimal(os_.Major()) + u"." + toDecimal(os_.Minor()) + u"." + toDecimal(os_.Build());
  out += u", Service Pack: ";
  out += formatSingle(os_.SPVer(), separator.ok() && !separator.value.empty()
                                       ? std::u16string_view(separator.value)
                                       : std::u16string_view(u"."));
  if (os_.IsSafeBoot()) out += u" (Safe Boot)";
  out += kCrLf;

  out += u"Time:     ";
  out += reportHeaderTime(now);
  out += kCrLf;

  out += u"Language: ";
  out += systemLanguage(u"OS: ", os_.LangSystemName(), os_.LangSystemCode());
  out += systemLanguage(u". Display: ", os_.LangDisplayName(), os_.LangDisplayCode());
  out += systemLanguage(u". Non-Unicode: ", os_.LangNonUnicodeName(), os_.LangNonUnicodeCode());
  out += kCrLf;

  if (os_.MajorMinor() >= 6.0f) {
    out += u"Elevated: ";
    out += os_.IsElevated() ? u"Yes" : u"No";
    out += kCrLf;
  }

  const auto user = ports_.system.expandEnvironmentStrings(u"%UserName%");
  out += u"User:     ";
  out += user.ok() ? user.value : std::u16string(u"%UserName%");
  out += u"\t(group: ";
  out += os_.UserType();
  out += u')';
  out += kCrLf;
  out += kCrLf;

  out += messages_.msg(Msg::kBeginOfLog);
  out += kCrLf;
  out += kReportSeparator;
  out += kCrLf;
  return out;
}

std::u16string WriteLog::longForm(const std::u16string& path) {
  if (path.empty()) return path;
  auto longPath = ports_.files.getLongPathName(path);
  return longPath.ok() ? std::move(longPath.value) : path;
}

void WriteLog::AddLinkToLog(std::u16string_view tag, std::u16string& path, std::u16string& target,
                            std::u16string arguments, std::u16string_view resultText,
                            std::u16string_view recoveryCode, std::u16string_view ruleCode,
                            ListSelector listSelector, bool targetFoundBySearch) {
  guardedStep(
      errors_,
      [&] {
        path = longForm(path);
        target = longForm(target);
        if (findNoCase(arguments, u"http") != std::u16string_view::npos) {
          arguments = defangArguments(arguments);
        }
        if (MainLines.size() <= 1 && AlsoLines.size() <= 1) LineNumber = 0;
        if (LineNumber < std::numeric_limits<std::int32_t>::max()) ++LineNumber;
        auto line = composeResultLine({.tag = tag,
                                       .number = LineNumber,
                                       .path = path,
                                       .target = target,
                                       .arguments = arguments,
                                       .resultText = resultText,
                                       .recoveryCode = recoveryCode,
                                       .ruleCode = ruleCode,
                                       .targetFoundBySearch = targetFoundBySearch},
                                      messages_);
        if (listSelector == ListSelector::kMain) MainLines.push_back(std::move(line));
        if (listSelector == ListSelector::kAlso) AlsoLines.push_back(std::move(line));
      },
      [] { return ErrorContext(u"WriteLog.AddLinkToLog"); });
}

void WriteLog::reportLine(RunCounter counter, std::u16string_view tag, std::u16string_view path,
                          std::u16string_view target, std::u16string_view arguments,
                          std::u16string_view resultText, std::u16string_view recoveryCode,
                          std::u16string_view ruleCode, ListSelector listSelector,
                          bool targetFoundBySearch) {
  std::u16string shownPath(path);
  std::u16string shownTarget(target);
  AddLinkToLog(tag, shownPath, shownTarget, std::u16string(arguments), resultText, recoveryCode,
               ruleCode, listSelector, targetFoundBySearch);
  if (counter != nullptr) ++(Statistics.*counter);
}

bool WriteLog::AddtoLog(std::u16string_view text) {
  return guardedStep(
      errors_,
      [&] {
        if (!reportFile_.valid()) throw RuntimeError(runtimeFailure(rt::kBadFileNameOrNumber));
        if (const auto code = writeText(text); code != platform::kErrorSuccess) failFile(code);
      },
      [&] {
        return ErrorContext(u"WriteLog.AddtoLog", u"Report:", reportLogPath_, u"WriteData:", text);
      });
}

std::int64_t WriteLog::updateDailyCount(bool emptyRun) {
  const auto storedDate = settings_.ReadSetting(kLastDateKey, u"");
  std::int64_t count = parseDailyCount(settings_.ReadSetting(kTodayTimesKey, u""));
  if (emptyRun) return count;
  // The date is stored in the system's short date format and recognised only
  // in that form: a date written before the regional format changed counts as
  // no date, and the count starts again.
  const auto today = ports_.system.formatShortDate(ports_.clock.localTime());
  if (storedDate != today) {
    count = 1;
    settings_.WriteSettings(kLastDateKey, today);
  } else if (count < std::numeric_limits<std::int32_t>::max()) {
    ++count;
  }
  settings_.WriteSettings(kTodayTimesKey, count);
  return count;
}

void WriteLog::collectErrorLog() {
  errors_.CloseErrorLog();
  // Each opening empties the file: what was taken from it before is gone.
  if (errors_.openings() != errorLogOpenings_) {
    errorLogOpenings_ = errors_.openings();
    errorLogTaken_ = 0;
  }
  auto file = platform::ScopedFile::openForReading(ports_.files, errors_.ErrorLogPath());
  if (!file.valid()) return;
  if (errorLogTaken_ != 0 && !ports_.files.seekFile(file.get(), errorLogTaken_).ok()) return;
  std::string bytes;
  std::array<std::byte, 64 * 1024> buffer;
  for (;;) {
    const auto read = ports_.files.readFile(file.get(), buffer);
    if (!read.ok() || read.value == 0) break;
    bytes.append(reinterpret_cast<const char*>(buffer.data()),
                 std::min<std::size_t>(read.value, buffer.size()));
  }
  errorLogTaken_ += bytes.size();
  for (auto& line : splitLines(ports_.system.ansiToWide(bytes))) {
    debugLines_.push_back(std::move(line));
  }
}

std::u16string WriteLog::errorLogSection() const {
  if (debugLines_.empty()) return {};
  std::u16string out(kCrLf);
  out += messages_.msg(Msg::kDebugInfo);
  out += kCrLf;
  for (const auto& line : debugLines_) {
    out += line;
    out += kCrLf;
  }
  out += messages_.msg(Msg::kEndOfDebugging);
  return out;
}

std::u16string WriteLog::composeBody(std::size_t place) const {
  const auto dotLine = std::u16string(kReportSeparator) + std::u16string(kCrLf);
  std::u16string body = SortByPrefixes(MainLines, StatusPrefixes, true, kReportSeparator);
  if (AlsoLines.size() > 1) {
    body += dotLine + messages_.msg(Msg::kAlsoProcessed) + std::u16string(kCrLf) + dotLine;
    body += SortByPrefixes(AlsoLines, StatusPrefixes, true, kReportSeparator);
  }
  if (IconLines.size() > 1) {
    body += dotLine + messages_.msg(Msg::kIconsLocation) + std::u16string(kCrLf) + dotLine;
    for (std::size_t i = 1; i < IconLines.size(); ++i) {
      body += IconLines[i];
      body += kCrLf;
    }
  }
  body += dotLine;
  // The backup folder as seen from where the report is written.
  const std::u16string reportPath = joinPath(joinPath(places_[place], kLogFolder), name_);
  body += statisticsBlock(Statistics, runsToday_, folderAsSeenFrom(reportPath, backupFolder_),
                          messages_);
  return body;
}

void WriteLog::FinishLog(bool emptyRun, std::u16string_view backupFolder) {
  complete_ = false;
  debugLines_.clear();
  errorLogOpenings_ = errors_.openings();
  errorLogTaken_ = 0;
  backupFolder_ = backupFolder;
  guardedStep(
      errors_,
      [&] {
        runsToday_ = updateDailyCount(emptyRun);
        complete_ = writeBodyAndSeal();
        if (ports_.files.getFileAttributes(errors_.ErrorLogPath()).ok()) {
          (void)ports_.files.deleteFile(errors_.ErrorLogPath());
        }
      },
      [] { return ErrorContext(u"WriteLog.FinishLog"); });
  reportFile_.reset();
}

bool WriteLog::writeBodyAndSeal() {
  collectErrorLog();
  // A language chosen after the report was made (a switch after a path on
  // the command line): the header is written again in it, with the body.
  const std::u16string header = composeHeader(createdAt_);
  const bool sameHeader = header == header_;
  if (reportFile_.valid() && sameHeader) {
    const bool written = AddtoLog(composeBody(place_) + errorLogSection());
    reportFile_.reset();
    if (written && seal()) return true;
  }
  reportFile_.reset();
  header_ = header;
  for (std::size_t next = sameHeader ? place_ + 1 : place_; next < places_.size(); ++next) {
    // With the failures that sent the report here.
    collectErrorLog();
    if (writeWholeIn(next)) return true;
  }
  return false;
}

bool WriteLog::writeWholeIn(std::size_t place) {
  const std::u16string unfinished = reportLogPath_;
  const auto code =
      createReportIn(places_[place], header_ + composeBody(place) + errorLogSection(), {});
  if (code != platform::kErrorSuccess) {
    recordPlaceFailure(code, places_[place]);
    return false;
  }
  reportFile_.reset();
  if (!seal()) {
    deleteOwn(reportLogPath_);
    reportLogPath_ = unfinished;
    return false;
  }
  if (reportLogPath_ != unfinished) deleteOwn(unfinished);
  place_ = place;
  return true;
}

bool WriteLog::seal() {
  bool sealed = false;
  const bool completed = guardedStep(
      errors_, [&] { sealed = appendCrcLine(); },
      [&] { return ErrorContext(u"WriteLog.FinishLog", u"Report:", reportLogPath_); });
  reportFile_.reset();
  return completed && sealed;
}

bool WriteLog::appendCrcLine() {
  const auto checksum = crc_.CalcFileCRC(reportLogPath_);
  if (checksum.empty()) failFile(platform::kErrorAccessDenied);
  const auto reopened =
      ports_.files.createFile(reportLogPath_, platform::access::kGenericWrite,
                              platform::share::kRead, platform::Disposition::kOpenExisting);
  if (!reopened.ok()) failFile(reopened.code);
  reportFile_ = platform::ScopedFile(ports_.files, reopened.value);
  const auto size = ports_.files.getFileSize(reportFile_.get());
  if (!size.ok()) failFile(size.code);
  if (const auto moved = ports_.files.seekFile(reportFile_.get(), size.value); !moved.ok()) {
    failFile(moved.code);
  }
  const bool written = AddtoLog(u"CRC32: " + checksum);
  reportFile_.reset();
  return written;
}

void WriteLog::deleteOwn(const std::u16string& path) {
  if (path.empty()) return;
  if (ports_.files.getFileAttributes(path).ok()) (void)ports_.files.deleteFile(path);
}

void WriteLog::addIconLine(std::u16string_view line) {
  IconLines.push_back(showControlCharacters(line, true));
}

void WriteLog::DeleteReportLog() {
  reportFile_.reset();
  deleteOwn(reportLogPath_);
}

}  // namespace tolvaran
