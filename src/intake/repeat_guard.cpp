#include "intake/repeat_guard.h"

#include "support/text.h"

namespace tolvaran {
void RepeatGuard::CompareInputHashes(std::u16string_view input, bool isFile) {
  guardedStep(
      recorder_,
      [&] {
        // Without the file nothing was cured before: no question, whatever
        // the profile call would make of a missing file.
        const std::u16string remembered = files_.isFileExists(settings_.SettingsPath())
                                              ? settings_.ReadSetting(kLastHashKey, u"")
                                              : std::u16string();
        const std::u16string current =
            isFile ? md5_.DigestFileToHexStr(input) : md5_.DigestStrToHexStr(input);
        if (!equalsNoCase(remembered, current)) {
          settings_.WriteSettings(kLastHashKey, current);
          return;
        }
        const int answer = ui_.messageBox(messages_.msg(Msg::kRepeatQuestion), caption_,
                                          platform::mb::kYesNo | platform::mb::kIconWarning);
        // Ending the program is the one thing the guard lets through.
        if (answer == platform::id::kNo) ui_.endProgram(0);
      },
      [] { return ErrorContext(u"Parser.CompareInputHashes"); });
}

}  // namespace tolvaran
