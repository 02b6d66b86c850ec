#include "engine/icon_check.h"

#include "engine/browser_name_patterns.h"
#include "engine/path_names.h"
#include "support/civil_date.h"
#include "support/text.h"

namespace tolvaran {

IconCheck::IconCheck(modFile& files, clsMD5_hash& md5, ArgumentAnalysis& analysis,
                     platform::Clock& clock, FailureRecorder& recorder)
    : files_(files), md5_(md5), analysis_(analysis), clock_(clock), recorder_(recorder) {}

bool IconCheck::isSuspiciousIcon(std::u16string_view target, std::u16string_view icon,
                                 std::u16string& reason) {
  return guarded(
      recorder_, false,
      [&] {
        if (target.empty() || icon.empty()) return false;
        // "%SystemRoot%\system32\shell32.dll" is a valid icon the shell
        // finds; tested unexpanded it would be reset as missing.
        const std::u16string iconPath = icon.find(u'%') == std::u16string_view::npos
                                            ? std::u16string(icon)
                                            : analysis_.EnvironW(icon);
        const std::u16string targetFile = GetFileNameAndExt(target);
        const std::u16string iconFile = GetFileNameAndExt(iconPath);
        if (!equalsNoCase(targetFile, iconFile) &&
            equalsNoCase(DeMaskName(targetFile), DeMaskName(iconFile))) {
          reason = icon_reason::kLookAlikeName;
          return true;
        }
        if (!files_.isFileExists(iconPath)) {
          reason = icon_reason::kMissing;
          return true;
        }
        if (sameProgramElsewhere(target, iconPath)) {
          reason = icon_reason::kCopyOfTarget;
          return true;
        }
        if (createdRecently(iconPath)) {
          reason = icon_reason::kRecent;
          return true;
        }
        if (endsWithNoCase(iconPath, u".bat.exe")) {
          reason = icon_reason::kBatExe;
          return true;
        }
        return false;
      },
      [&] { return ErrorContext(u"Engine.isSuspiciousIcon", u"Icon: ", icon); });
}

bool IconCheck::sameProgramElsewhere(std::u16string_view target, std::u16string_view icon) {
  if (equalsNoCase(GetPathName(target), GetPathName(icon))) return false;
  if (!files_.isFileExists(target)) return false;
  // Files of different sizes cannot have one digest; comparing sizes first
  // spares hashing a large target for every icon. A size of 0 also stands
  // for a file that cannot be read, whose digest would be the empty one: an
  // unreadable icon is no copy of anything.
  const std::uint64_t size = files_.GetFileSize(target);
  if (size == 0 || size != files_.GetFileSize(icon)) return false;
  return md5_.DigestFileToHexStr(target) == md5_.DigestFileToHexStr(icon);
}

bool IconCheck::createdRecently(std::u16string_view icon) {
  const platform::SystemTime created = files_.GetFileDate(icon, file_date::kCreation);
  if (created.year == 0 || created.month == 0 || created.day == 0) return false;
  const platform::SystemTime now = clock_.localTime();
  // Whole calendar days between the two dates, whatever the times of day.
  const std::int64_t days = daysFromCivil(now.year, now.month, now.day) -
                            daysFromCivil(created.year, created.month, created.day);
  return days < kRecentIconDays;
}

}  // namespace tolvaran
