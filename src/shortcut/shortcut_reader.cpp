#include "shortcut/shortcut_reader.h"

#include <utility>

#include "shortcut/shell_failure.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::uint32_t kComponentBufferChars = 1024;

template <class T>
T valueOf(platform::ComResult<T> result) {
  throwIfFailed(result.hr);
  return std::move(result.value);
}

// A declared installer call whose DLL or entry point is missing fails the
// way the run-time reports it.
void requireInstaller(platform::Win32Code code) {
  if (code == platform::kErrorCallNotImplemented) {
    throw RuntimeError(rt::kFileNotFound, u"File not found: msi.dll");
  }
}

}  // namespace

ShortcutReader::ShortcutReader(const platform::Ports& ports, modFile& fileHelpers,
                               FailureRecorder& recorder, ReaderFolders folders)
    : ports_(ports), fileHelpers_(fileHelpers), recorder_(recorder), folders_(std::move(folders)) {}

void ShortcutReader::ISL_Init() {
  guardedStep(
      recorder_,
      [&] {
        auto created = ports_.shellLinks.createShellLink();
        throwIfFailed(created.hr);
        if (!created.value) throw RuntimeError(runtimeFailure(rt::kCantCreateObject));
        shellLink_ = std::move(created.value);
      },
      [] { return ErrorContext(u"Parser.ISL_Init"); });
}

void ShortcutReader::ISL_Release() {
  shellLink_.reset();
}

std::u16string ShortcutReader::GetMSILinkTarget(std::u16string_view path) {
  std::u16string result;
  // The failure is recorded; an ordinary caller needs only the text.
  (void)msiLinkTarget(path, result);
  return result;
}

std::optional<Failure> ShortcutReader::msiLinkTarget(std::u16string_view path,
                                                     std::u16string& result) {
  return attempt(
      recorder_,
      [&] {
        const auto target = ports_.installer.getShortcutTarget(path);
        requireInstaller(target.code);
        if (target.code != platform::kErrorSuccess) {
          // The call wrote a product code only for a shortcut it recognised.
          if (!trimSpaces(target.value.productCode).empty()) result = kInstallStateUnknown;
          return;
        }
        const auto component = ports_.installer.getComponentPath(
            target.value.productCode, target.value.componentCode, kComponentBufferChars);
        requireInstaller(component.code);
        if (component.value.state == platform::install_state::kLocal) {
          result = trimSpaces(left(component.value.buffer, component.value.size));
        } else {
          result = kInstallStateUnknown;
        }
      },
      [] { return ErrorContext(u"Parser.GetMSILinkTarget"); });
}

LnkRecord ShortcutReader::GetTargetShellLinkW(std::u16string_view path) {
  return readShortcut(path).record;
}

ShortcutRead ShortcutReader::readShortcut(std::u16string_view path) {
  ShortcutRead read;
  read.record.LnkPath = path;
  std::optional<Failure> installerFailure;
  read.failure = attempt(
      recorder_,
      [&] {
        LnkRecord record;
        record.LnkPath = path;
        std::u16string msi;
        installerFailure = msiLinkTarget(path, msi);
        if (!shellLink_) throw RuntimeError(runtimeFailure(rt::kObjectNotSet));
        platform::ShellLink& link = *shellLink_;
        throwIfFailed(link.load(path, platform::shell_link::kStgmRead).hr);
        if (msi.empty()) {
          const std::u16string target =
              valueOf(link.getPath(kShellTextBufferChars, platform::shell_link::kSlgpUncPriority));
          // GetFullPath: the absolute form, or the text itself when there is none.
          const auto full = ports_.files.getFullPathName(target);
          record.Target = full.ok() ? full.value : target;
        } else {
          record.Target = msi;
        }
        record.Arguments = valueOf(link.getArguments(kShellTextBufferChars));
        record.Description = valueOf(link.getDescription(kShellTextBufferChars));
        record.Hotkey = static_cast<std::int16_t>(valueOf(link.getHotkey()));
        const platform::IconLocation icon = valueOf(link.getIconLocation(kShellTextBufferChars));
        record.IconLocation = icon.path;
        record.IconIndex = icon.index;
        record.ShowCmd = valueOf(link.getShowCmd());
        record.WorkingDir = valueOf(link.getWorkingDirectory(kShellTextBufferChars));
        std::u16string corrected = correctedProgramFiles(record.Target);
        record.TargetCorrected = corrected != record.Target;
        record.Target = std::move(corrected);
        read.record = std::move(record);
      },
      [&] { return ErrorContext(u"Parser.GetTargetShellLinkW", u"File: ", path); });
  // Of two failures the read's own is the one handed back.
  if (!read.failure) read.failure = std::move(installerFailure);
  return read;
}

// On 64-bit Windows a shortcut may name the 32-bit program-files folder for
// a program that lives in the native one: the existing file wins.
std::u16string ShortcutReader::correctedProgramFiles(const std::u16string& target) {
  if (!folders_.isWin64) return target;
  const std::u16string& folder32 = folders_.programFiles32;
  if (folder32.empty() || !startsWithNoCase(target, folder32)) return target;
  if (fileHelpers_.isFileExists(target)) return target;
  std::u16string candidate =
      folders_.programFilesNative + std::u16string(sliceFrom(target, folder32.size()));
  return fileHelpers_.isFileExists(candidate) ? candidate : target;
}

}  // namespace tolvaran
