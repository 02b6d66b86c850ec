#include "report/error_log.h"

#include <array>
#include <cstddef>

#include "platform/scoped_file.h"
#include "report/data_folder.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::int32_t kStatusFail = static_cast<std::int32_t>(0x80004005u);  // E_FAIL
constexpr std::uint8_t kShellLinkFirstByte = 0x4C;
constexpr std::uint32_t kHeadBytes = 24;
constexpr std::u16string_view kErrorLogName = u"Errors.log";

// The system's text for code 70, which is also the run-time's number for
// "Permission denied": the record shows the meaning the program intended.
constexpr std::u16string_view kPausedServerText =
    u"The remote server has been paused or is in the process of being started.";

// One record, one line: every control character (CR and LF above all)
// becomes one space.
std::u16string oneLine(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) {
    if (c < u' ') c = u' ';
  }
  return out;
}

// A failed write carries the text it could not write: the whole body of a
// report would bury the record, so only its beginning is kept.
constexpr std::u16string_view kWriteDataLabel = u"WriteData:";
constexpr std::size_t kWriteDataKept = 512;

std::u16string shortened(std::u16string_view value) {
  if (value.size() <= kWriteDataKept) return std::u16string(value);
  std::u16string out(value.substr(0, kWriteDataKept));
  out += u" …(";
  out += toDecimal(static_cast<std::int64_t>(value.size() - kWriteDataKept));
  out += u" more)";
  return out;
}

}  // namespace

std::uint64_t fileSizeOrZero(platform::Files& files, std::u16string_view path) {
  auto file = platform::ScopedFile::openForReading(files, path);
  if (!file.valid()) return 0;
  auto size = files.getFileSize(file.get());
  return size.ok() ? size.value : 0;
}

std::u16string SystemErrorText(platform::System& system, std::uint32_t code) {
  auto message = system.formatMessage(code);
  if (!message.ok()) return {};
  return replaceAll(message.value, u"\r\n", u"");
}

bool IsAllNulFile(platform::Files& files, std::u16string_view path) {
  auto file = platform::ScopedFile::openForReading(files, path);
  if (!file.valid()) return false;
  std::array<std::byte, 64 * 1024> buffer;
  bool sawAny = false;
  for (;;) {
    auto read = files.readFile(file.get(), buffer);
    if (!read.ok()) return false;
    if (read.value == 0) return sawAny;
    sawAny = true;
    for (std::uint32_t i = 0; i < read.value && i < buffer.size(); ++i) {
      if (buffer[i] != std::byte{0}) return false;
    }
  }
}

std::u16string ReadFileHead(platform::Files& files, std::u16string_view path,
                            std::uint32_t& count) {
  auto file = platform::ScopedFile::openForReading(files, path);
  if (!file.valid()) return {};
  const auto size = files.getFileSize(file.get());
  if (!size.ok() || size.value == 0) return {};
  if (size.value < count) count = static_cast<std::uint32_t>(size.value);
  std::u16string head;
  std::array<std::byte, 4096> buffer;
  while (head.size() < count) {
    const std::size_t want = std::min<std::size_t>(buffer.size(), count - head.size());
    auto read = files.readFile(file.get(), std::span(buffer.data(), want));
    if (!read.ok() || read.value == 0) break;
    for (std::uint32_t i = 0; i < read.value && i < want; ++i) {
      head += static_cast<char16_t>(std::to_integer<unsigned>(buffer[i]));
    }
  }
  return head;
}

std::u16string BytesToHex(std::u16string_view text) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string hex = u"0x";
  hex.reserve(2 + 2 * text.size());
  for (char16_t c : text) {
    hex += kDigits[(c >> 4) & 0xF];
    hex += kDigits[c & 0xF];
  }
  return hex;
}

ErrorLog::ErrorLog(platform::Ports& ports, const Translation& messages,
                   std::u16string programFolder, FailureRecorder* observer)
    : ports_(ports),
      messages_(messages),
      programFolder_(std::move(programFolder)),
      path_(joinPath(programFolder_, kErrorLogName)),
      observer_(observer) {}

ErrorLog::~ErrorLog() {
  CloseErrorLog();
}

void ErrorLog::OpenErrorLog() noexcept {
  CloseErrorLog();
  // The report's places, in the report's order: the first that takes the
  // file. A log that cannot be opened receives nothing.
  ignoringFailures([&] {
    const auto folders = dataFolders(ports_.system, programFolder_);
    for (std::size_t i = 0; i < folders.size(); ++i) {
      if (i != 0 && ensureFolder(ports_.files, folders[i]) != platform::kErrorSuccess) continue;
      const std::u16string path = joinPath(folders[i], kErrorLogName);
      const auto created = create(path);
      if (!created.ok()) continue;
      path_ = path;
      file_ = created.value;
      ++openings_;
      return;
    }
  });
}

platform::Result<platform::FileHandle> ErrorLog::create(std::u16string_view path) {
  return ports_.files.createFile(path, platform::access::kGenericWrite,
                                 platform::share::kRead | platform::share::kWrite,
                                 platform::Disposition::kCreateAlways);
}

void ErrorLog::CloseErrorLog() noexcept {
  if (isOpen()) (void)ports_.files.closeHandle(file_);
  file_ = platform::kInvalidFileHandle;
}

void ErrorLog::WriteErrorLine(std::u16string_view text) noexcept {
  try {
    if (!isOpen()) OpenErrorLog();
    if (!isOpen()) return;
    std::string bytes = ports_.system.wideToAnsi(text);
    bytes += "\r\n";
    (void)ports_.files.writeFile(file_, std::as_bytes(std::span(bytes)));
  } catch (...) {
    // The recorders write through here and never throw: a log that cannot
    // be written simply receives nothing.
  }
}

void ErrorLog::recordError(const Failure& failure, const ErrorContext& context) noexcept {
  try {
    WriteErrorLine(buildRecord(ports_.clock.localTime(), failure, context));
  } catch (...) {
    // The recorder never fails its caller.
  }
  if (observer_) observer_->recordError(failure, context);
}

std::u16string ErrorLog::buildRecord(const platform::SystemTime& when, const Failure& failure,
                                     const ErrorContext& context) {
  const auto& items = context.items();
  std::u16string extra;
  for (std::size_t i = 1; i < items.size(); ++i) {
    extra += oneLine(i > 1 && items[i - 1] == kWriteDataLabel ? shortened(items[i]) : items[i]);
    extra += u' ';
  }

  // Only a shortcut reading failure names its file with this label; any
  // other E_FAIL keeps its own record instead of a bogus diagnosis.
  const bool namesAFile = items.size() > 1 && (items[1] == u"File:" || items[1] == u"File: ");
  if (failure.number == kStatusFail && !extra.empty() && namesAFile) {
    return damagedShortcutLine(extra);
  }

  std::u16string sysText =
      oneLine(SystemErrorText(ports_.system, static_cast<std::uint32_t>(failure.number)));
  if (sysText == kPausedServerText) sysText = messages_.msg(Msg::kAccessDenied);

  std::u16string line = ports_.system.formatDateTime(when);
  line += u" - ";
  line += context.procedure();
  line += u" - #";
  line += toDecimal(failure.number);
  line += u' ';
  if (!sysText.empty()) {
    line += u'(';
    line += sysText;
    line += u')';
  }
  line += u' ';
  line += oneLine(failure.description);
  line += u". LastDllError = ";
  line += toDecimal(failure.lastSystemError);
  if (!extra.empty()) {
    line += u". ";
    line += extra;
  }
  return line;
}

std::u16string ErrorLog::damagedShortcutLine(std::u16string_view extra) {
  const std::u16string path(trimSpaces(sliceFrom(extra, 5)));
  const std::uint64_t size = fileSizeOrZero(ports_.files, path);
  const std::u16string sizeText =
      u" (" + toDecimal(static_cast<std::int64_t>(size)) + u" " + messages_.msg(Msg::kBytes) + u")";
  if (IsAllNulFile(ports_.files, path)) {
    return u"- " + messages_.msg(Msg::kInterceptor) + u" \"" + path + u"\" " +
           messages_.msg(Msg::kJustNulCharacters) + u"." + sizeText;
  }
  std::uint32_t count = kHeadBytes;
  const std::u16string head = ReadFileHead(ports_.files, path, count);
  std::u16string line = u"- " + messages_.msg(Msg::kShortcutDamaged) + u": \"" + path + u"\"";
  if (head.empty() || head.front() != kShellLinkFirstByte) {
    line += u" (" + messages_.msg(Msg::kHeaderNotLnk) + u") Header=" + BytesToHex(head);
  }
  return line + sizeText;
}

}  // namespace tolvaran
