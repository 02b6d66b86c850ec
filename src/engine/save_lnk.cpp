#include "engine/save_lnk.h"

#include "report/error_log.h"
#include "shortcut/shell_failure.h"
#include "support/text.h"

namespace tolvaran {
namespace {

// A reset icon: no file, so the shell shows the target's own icon.
constexpr std::int32_t kResetIconIndex = 1;

// "0x80004005": the way HRESULTs are written.
std::u16string hexHResult(std::uint32_t value) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text = u"0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xFu];
  return text;
}

}  // namespace

std::u16string composeIconLine(std::u16string_view tag, std::u16string_view lnkPath,
                               std::u16string_view icon, std::int32_t index,
                               std::u16string_view reason, const Translation& messages) {
  std::u16string line(tag);
  line += u" \"";
  line += lnkPath;
  line += u"\"\t -> \t[ \"";
  line += icon.empty() ? std::u16string_view(u".") : icon;
  line += u"\", index=";
  line += toDecimal(index);
  line += u" ]  (";
  line += messages.msg(Msg::kMethod);
  line += u": ";
  line += reason;
  line += u')';
  return line;
}

ShortcutWriter::ShortcutWriter(const platform::Ports& ports, ShortcutReader& reader,
                               IconCheck& icons, modFile& files, WriteLog& log,
                               const Translation& messages, const CureCodes& codes,
                               FailureRecorder& recorder)
    : ports_(ports),
      reader_(reader),
      icons_(icons),
      files_(files),
      log_(log),
      messages_(messages),
      codes_(codes),
      recorder_(recorder) {}

void ShortcutWriter::setFields(platform::ShellLink& link, const LnkRecord& record) {
  throwIfFailed(link.setPath(record.NewTarget).hr);
  throwIfFailed(link.setArguments(record.NewArguments).hr);
  throwIfFailed(link.setWorkingDirectory(record.WorkingDir).hr);
  if (record.IconSuspicious) {
    throwIfFailed(link.setIconLocation(u"", kResetIconIndex).hr);
  } else {
    throwIfFailed(link.setIconLocation(record.IconLocation, record.IconIndex).hr);
  }
  throwIfFailed(link.setShowCmd(record.ShowCmd).hr);
  throwIfFailed(link.setHotkey(static_cast<std::uint16_t>(record.Hotkey & 0xFFFF)).hr);
  throwIfFailed(link.setDescription(record.Description).hr);
}

void ShortcutWriter::reportNotLanded(const LnkRecord& record, std::int64_t code) {
  reportError(record, toDecimal(code), static_cast<std::uint32_t>(code));
}

void ShortcutWriter::reportRefused(const LnkRecord& record, platform::HResult hr) {
  const auto bits = static_cast<std::uint32_t>(hr);
  // A Win32 code wrapped in an HRESULT (facility 7) is shown as the code.
  if ((bits & 0xFFFF0000u) == 0x80070000u) {
    reportError(record, toDecimal(bits & 0xFFFFu), bits & 0xFFFFu);
    return;
  }
  reportError(record, hexHResult(bits), bits);
}

void ShortcutWriter::reportError(const LnkRecord& record, std::u16string_view codeText,
                                 std::uint32_t code) {
  const std::u16string result = messages_.msg(Msg::kCannotCreate) + std::u16string(codeText) +
                                u". " + SystemErrorText(ports_.system, code) + u")";
  log_.reportLine(&RunStatistics::Errors, status::kError, record.LnkPath, record.NewTarget,
                  record.NewArguments, result, codes_.RecoveryCode, codes_.RuleCode,
                  codes_.ListSelector, !codes_.FoundTargetText.empty());
}

bool ShortcutWriter::SaveLNK(LnkRecord& record) {
  return guarded(
      recorder_, false,
      [&] {
        std::u16string reason(icon_reason::kNotChecked);
        record.IconSuspicious =
            icons_.isSuspiciousIcon(record.NewTarget, record.IconLocation, reason);
        // The program's own icon is never reset, whatever the check says.
        if (equalsNoCase(record.IconLocation, record.NewTarget)) record.IconSuspicious = false;

        platform::ShellLink* link = reader_.sharedShellLink();
        if (link == nullptr) throw RuntimeError(runtimeFailure(rt::kObjectNotSet));
        try {
          setFields(*link, record);
          throwIfFailed(link->save(record.LnkPath, true).hr);
          throwIfFailed(link->saveCompleted(record.LnkPath).hr);
        } catch (const RuntimeError& refused) {
          // The shell refused the shortcut: the report says so, the error
          // log keeps the call that failed.
          reportRefused(record, static_cast<platform::HResult>(refused.failure().number));
          throw;
        }

        const auto notLanded = [&](std::int64_t code) {
          reportNotLanded(record, code);
          log_.addIconLine(composeIconLine(status::kError, record.LnkPath, record.IconLocation,
                                           record.IconIndex, reason, messages_));
          return false;
        };
        if (!files_.isFileExists(record.LnkPath)) {
          // The save claimed success: the code that tells why is the one the
          // file system gives for the path now.
          platform::Win32Code code = ports_.files.getFileAttributes(record.LnkPath).code;
          if (code == platform::kErrorSuccess) code = platform::kErrorFileNotFound;
          return notLanded(code);
        }
        const ShortcutRead readBack = reader_.readShortcut(record.LnkPath);
        // A file that cannot be read back is no cured shortcut, whatever
        // its empty fields would compare as.
        if (readBack.failure) return notLanded(readBack.failure->number);
        const LnkRecord& back = readBack.record;

        if (!equalsNoCase(back.IconLocation, record.IconLocation)) {
          log_.addIconLine(composeIconLine(status::kOk, record.LnkPath, back.IconLocation,
                                           back.IconIndex, reason, messages_));
        }

        std::u16string_view tag = status::kOk;
        std::u16string result = messages_.msg(Msg::kOk);
        bool withCodes = false;
        if (!equalsNoCase(record.Target, back.Target) || record.TargetCorrected ||
            !equalsNoCase(record.Arguments, back.Arguments)) {
          withCodes = true;
        } else if (record.WasHidden || record.WasSystem) {
          tag = status::kAttributes;
          if (record.WasHidden) result += u" " + messages_.msg(Msg::kHiddenRemoved);
          if (record.WasSystem) result += u" " + messages_.msg(Msg::kSystemRemoved);
        } else if (record.DupDeleted) {
          result = messages_.msg(Msg::kOriginalRecreated);
        } else if (record.IconSuspicious) {
          result = messages_.msg(Msg::kIconRecovered);
        } else if (!record.RenamedFrom.empty()) {
          result = messages_.msg(Msg::kRenamedFrom) + record.RenamedFrom + u")";
        } else {
          tag = status::kWarning;
          result = messages_.msg(Msg::kAlreadyCured);
          withCodes = true;
        }
        log_.reportLine(tag == status::kWarning ? &RunStatistics::Warnings : &RunStatistics::Cured,
                        tag, record.LnkPath, back.Target, back.Arguments, result,
                        withCodes ? std::u16string_view(codes_.RecoveryCode) : u"",
                        withCodes ? std::u16string_view(codes_.RuleCode) : u"", codes_.ListSelector,
                        !codes_.FoundTargetText.empty());
        return true;
      },
      [&] {
        return ErrorContext(u"Engine.SaveLNK", codes_.RecoveryCode + u"-" + codes_.RuleCode,
                            u"[\"" + record.LnkPath + u"\"]");
      });
}

}  // namespace tolvaran
