#include "shell/program_file.h"

#include <array>
#include <utility>

#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::u16string_view kSystemRootPrefix = u"\\SystemRoot\\";
constexpr std::u16string_view kDosDevicesPrefix = u"\\??\\";
constexpr std::size_t kProgramNameLength = 8;  // "Tolvaran"

std::u16string_view afterLastBackslash(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u'\\');
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::u16string normaliseModulePath(std::u16string_view path, std::u16string_view windowsFolder) {
  if (startsWithNoCase(path, kSystemRootPrefix)) {
    std::u16string out(windowsFolder);
    out += u'\\';
    out += path.substr(kSystemRootPrefix.size());
    return out;
  }
  if (path.starts_with(kDosDevicesPrefix))
    return std::u16string(path.substr(kDosDevicesPrefix.size()));
  return std::u16string(path);
}

std::u16string exeNameOf(std::u16string_view fileName) {
  constexpr std::u16string_view kExe = u".exe";
  if (fileName.size() > kExe.size() && endsWithNoCase(fileName, kExe)) {
    fileName.remove_suffix(kExe.size());
  }
  return std::u16string(fileName);
}

std::uint32_t languageFromFileName(std::u16string_view appExeName) noexcept {
  struct Choice {
    std::u16string_view code;
    std::uint32_t language;
  };
  constexpr std::array<Choice, 4> kChoices{
      {{u"RU", 1049}, {u"EN", 1033}, {u"FR", 2060}, {u"DE", 3079}}};
  if (appExeName.size() <= kProgramNameLength) return 0;
  const std::u16string_view rest = appExeName.substr(kProgramNameLength);
  for (const Choice& choice : kChoices) {
    if (findNoCase(rest, choice.code) != std::u16string_view::npos) return choice.language;
  }
  return 0;
}

const std::u16string& ProgramFile::modulePath() {
  if (known_) return path_;
  std::u16string path;
  if (auto module = system_.moduleFileName(); module.ok() && !module.value.empty()) {
    path = std::move(module.value);
  } else if (auto started = shell_.commandLineToArgv({}); started.ok() && !started.value.empty()) {
    // What the process was started as: the command line's first token.
    path = std::move(started.value.front());
  }
  path = path.substr(0, path.find(u'\0'));
  if (startsWithNoCase(path, kSystemRootPrefix)) {
    auto windows = system_.getWindowsDirectory();
    if (!windows.ok()) windows = system_.expandEnvironmentStrings(u"%SystemRoot%");
    path = normaliseModulePath(path, windows.ok() ? windows.value : u"%SystemRoot%");
  } else {
    path = normaliseModulePath(path, {});
  }
  // An unknown path is asked for again next time.
  known_ = !path.empty();
  path_ = std::move(path);
  return path_;
}

std::u16string ProgramFile::AppPath() {
  std::u16string path;
  return guarded(
      recorder_, std::u16string(),
      [&] {
        path = modulePath();
        const std::size_t slash = path.find_last_of(u'\\');
        return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
      },
      [&] { return ErrorContext(u"Parser.AppPath", u"ProcPath:", path); });
}

std::u16string ProgramFile::fileName() {
  return std::u16string(afterLastBackslash(modulePath()));
}

std::u16string ProgramFile::AppExeName() {
  std::u16string path;
  return guarded(
      recorder_, std::u16string(),
      [&] {
        path = modulePath();
        return exeNameOf(afterLastBackslash(path));
      },
      [&] { return ErrorContext(u"Parser.AppExeName", u"ProcPath:", path); });
}

}  // namespace tolvaran
