#include "fileops/mod_file.h"

#include <array>

#include "platform/scoped_file.h"
#include "support/file_time.h"
#include "support/text.h"

namespace tolvaran {
namespace {

using platform::Disposition;

// Redirection off for one path inside the Windows folder, and on again on
// every way out.
class RedirectionOff {
 public:
  RedirectionOff(modFile& files, std::u16string_view path) : files_(files) {
    files_.ToggleWow64FsRedirection(false, path);
  }
  ~RedirectionOff() { files_.ToggleWow64FsRedirection(true, u""); }
  RedirectionOff(const RedirectionOff&) = delete;
  RedirectionOff& operator=(const RedirectionOff&) = delete;

 private:
  modFile& files_;
};

// Whether a path holds what no file name can: "?" or "*" (outside a leading
// "\\?\" or "\\.\"), "<", ">", '"', "|" or a control character (NUL
// included). Such a path names no file, but FindFirstFileW takes "?", "*"
// and the DOS wildcards "<", ">" and '"' as patterns: "C:\a b\?.pdf" would
// "exist" beside "C:\a b\c.pdf", and a cure would point a shortcut at it.
bool cannotNameAFile(std::u16string_view path) noexcept {
  const auto separator = [&](std::size_t i) {
    return i < path.size() && (path[i] == u'\\' || path[i] == u'/');
  };
  const bool devicePrefix = separator(0) && separator(1) && path.size() > 2 &&
                            (path[2] == u'?' || path[2] == u'.') && separator(3);
  for (std::size_t i = devicePrefix ? 4 : 0; i < path.size(); ++i) {
    const char16_t c = path[i];
    if (c < 0x20 || c == u'?' || c == u'*' || c == u'<' || c == u'>' || c == u'"' || c == u'|') {
      return true;
    }
  }
  return false;
}

std::u16string untilNul(std::u16string text) {
  if (const auto nul = text.find(u'\0'); nul != std::u16string::npos) text.resize(nul);
  return text;
}

}  // namespace

bool isNetworkPath(std::u16string_view path) noexcept {
  const auto separator = [&](std::size_t i) {
    return i < path.size() && (path[i] == u'\\' || path[i] == u'/');
  };
  if (!separator(0) || !separator(1)) return false;
  const bool deviceForm = path.size() > 2 && (path[2] == u'?' || path[2] == u'.') && separator(3);
  if (!deviceForm) return true;
  const std::u16string_view rest = path.substr(4);
  return startsWithNoCase(rest, u"UNC") && separator(7);
}

modFile::modFile(const platform::Ports& ports, FailureRecorder& recorder, SavedFsRedirection& saved,
                 bool isWin64)
    : files_(ports.files),
      system_(ports.system),
      clock_(ports.clock),
      recorder_(recorder),
      saved_(saved),
      isWin64_(isWin64),
      processes_(ports.processes),
      osInfo_(ports.osInfo) {}

bool modFile::isFileExists(std::u16string_view path) {
  std::u16string unused;
  return isFileExists(path, unused);
}

bool modFile::isFileExists(std::u16string_view path, std::u16string& failedMethods) {
  failedMethods.clear();
  return guarded(
      recorder_, false,
      [&] {
        // A network path could stall on an unreachable server: never examined.
        if (path.empty() || isNetworkPath(path)) return false;
        // Whatever the single tests would say of it.
        if (cannotNameAFile(path)) return false;
        std::array<bool, 5> found{};
        {
          const RedirectionOff off(*this, path);
          found[0] = files_.pathFileExists(path).value;

          const auto attributes = files_.getFileAttributes(path);
          found[1] = attributes.ok() && (attributes.value & platform::attr::kDirectory) == 0;

          const auto first = files_.findFirstFile(path);
          if (first.ok()) {
            found[2] = (first.value.data.attributes & platform::attr::kDirectory) == 0;
            (void)files_.findClose(first.value.handle);
          }

          const auto opened =
              files_.createFile(path, 0, platform::share::kRead | platform::share::kWrite,
                                Disposition::kOpenExisting);
          if (opened.ok()) {
            found[3] = true;
            (void)files_.closeHandle(opened.value);
          }

          found[4] = files_.shellPathFileExists(path).value;
        }
        bool any = false;
        for (std::size_t i = 0; i < found.size(); ++i) {
          if (found[i]) {
            any = true;
          } else {
            failedMethods.push_back(static_cast<char16_t>(u'3' + i));
          }
        }
        return any;
      },
      [] { return ErrorContext(u"modFile.isFileExists"); });
}

bool modFile::ToggleWow64FsRedirection(bool enable, std::u16string_view path) {
  return ignoringFailures(false, [&] {
    if (!initialised_) {
      if (isWin64_) windowsFolder_ = system_.getWindowsDirectory().value;
      initialised_ = true;
    }
    if (!isWin64_) return false;
    if (!path.empty() && !startsWithNoCase(path, windowsFolder_)) return false;
    if (enable) {
      if (!redirectionOff_) return false;
      const bool reverted = files_.revertWow64FsRedirection(saved_.value).ok();
      redirectionOff_ = false;
      return reverted;
    }
    if (redirectionOff_) return false;
    const auto disabled = files_.disableWow64FsRedirection();
    if (disabled.ok()) saved_.value = disabled.value;
    redirectionOff_ = true;
    return disabled.ok();
  });
}

std::uint64_t modFile::GetFileSize(std::u16string_view path) {
  return ignoringFailures(std::uint64_t{0}, [&]() -> std::uint64_t {
    const auto opened = files_.createFile(path, platform::access::kReadAttributes,
                                          platform::share::kRead, Disposition::kOpenExisting);
    if (!opened.ok()) return 0;
    const platform::ScopedFile file(files_, opened.value);
    const auto size = files_.getFileSize(file.get());
    if (!size.ok() || size.value >= kFileSizeLimit) return 0;
    return size.value;
  });
}

platform::SystemTime modFile::GetFileDate(std::u16string_view path, std::int32_t kind) {
  return guarded(
      recorder_, kNoFileDate,
      [&] {
        if (kind < file_date::kCreation || kind > file_date::kLastAccess) return kNoFileDate;
        const auto opened = files_.createFile(
            path, 0, platform::share::kRead | platform::share::kWrite, Disposition::kOpenExisting);
        if (!opened.ok()) return kNoFileDate;
        const platform::ScopedFile file(files_, opened.value);
        const auto times = files_.getFileTime(file.get());
        if (!times.ok()) return kNoFileDate;
        const std::uint64_t chosen = kind == file_date::kCreation    ? times.value.creation
                                     : kind == file_date::kLastWrite ? times.value.lastWrite
                                                                     : times.value.lastAccess;
        const auto local = clock_.fileTimeToLocalFileTime(chosen);
        if (!local.ok()) return kNoFileDate;
        auto date = fileTimeToSystemTime(local.value).value_or(kNoFileDate);
        date.milliseconds = 0;
        return date;
      },
      [&] { return ErrorContext(u"Parser.GetFileDate", u"File:", path); });
}

std::u16string modFile::GetSpecialFolderPath(std::int32_t csidl) {
  return ignoringFailures(std::u16string(), [&]() -> std::u16string {
    auto folder = system_.getSpecialFolderPath(csidl);
    if (!folder.ok()) return {};
    return untilNul(std::move(folder.value));
  });
}

bool modFile::startsWithAnsiBytes(std::u16string_view text, std::string_view bytes) {
  return ignoringFailures(false, [&] {
    const std::u16string mark = system_.ansiToWide(bytes);
    // A code page that cannot decode the mark at all must not make every
    // text look marked.
    return !mark.empty() && text.starts_with(mark);
  });
}

bool modFile::IsUtf16Bom(std::u16string_view text) {
  return startsWithAnsiBytes(text, "\xFF\xFE");
}

bool modFile::IsUtf8Bom(std::u16string_view text) {
  return startsWithAnsiBytes(text, "\xEF\xBB\xBF");
}

}  // namespace tolvaran
