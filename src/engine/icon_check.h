#pragma once
// Whether a cured shortcut should lose its icon: adware gives hijacked
// shortcuts icons of its own (look-alike names, copies of the program
// planted elsewhere, freshly dropped files) so that the fake looks genuine.
#include <string>
#include <string_view>

#include "engine/argument_analysis.h"
#include "fileops/mod_file.h"
#include "platform/clock.h"
#include "support/failure.h"
#include "system/checksums.h"

namespace tolvaran {

// Why an icon is suspicious, as the report's icon lines print it.
namespace icon_reason {
inline constexpr std::u16string_view kNotChecked = u"0";
inline constexpr std::u16string_view kLookAlikeName = u"1";
inline constexpr std::u16string_view kMissing = u"3";
inline constexpr std::u16string_view kCopyOfTarget = u"4";
inline constexpr std::u16string_view kBatExe = u"5";
inline constexpr std::u16string_view kRecent = u"6";
}  // namespace icon_reason

// An icon file created fewer calendar days ago than this was dropped with the
// infection.
inline constexpr std::int64_t kRecentIconDays = 14;

class IconCheck {
 public:
  IconCheck(modFile& files, clsMD5_hash& md5, ArgumentAnalysis& analysis, platform::Clock& clock,
            FailureRecorder& recorder);
  IconCheck(const IconCheck&) = delete;
  IconCheck& operator=(const IconCheck&) = delete;

  // True when the writer should reset the icon; `reason` then names the
  // first test that fired (it is left alone otherwise). The tests, in order:
  // a look-alike of the target's file name (1), a missing icon file (3), a
  // copy of the target in another folder (4), an icon created within the
  // last 14 calendar days (6), a ".bat.exe" icon (5). Environment references
  // in the icon are expanded first, as the shell does before it loads it.
  bool isSuspiciousIcon(std::u16string_view target, std::u16string_view icon,
                        std::u16string& reason);

 private:
  bool sameProgramElsewhere(std::u16string_view target, std::u16string_view icon);
  bool createdRecently(std::u16string_view icon);

  modFile& files_;
  clsMD5_hash& md5_;
  ArgumentAnalysis& analysis_;
  platform::Clock& clock_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
