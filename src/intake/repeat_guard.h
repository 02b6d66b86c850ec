#pragma once
// Asks before the same list is cured a second time: the shortcuts were cured
// already, or their cure is still running in another copy of the program.
// Only the last input's MD5 is remembered, in the settings file, so it
// survives restarts and is shared by every copy run by the same user.
#include <string>
#include <string_view>

#include "fileops/mod_file.h"
#include "platform/ui.h"
#include "report/settings_file.h"
#include "support/failure.h"
#include "system/checksums.h"
#include "system/translation.h"

namespace tolvaran {

inline constexpr std::u16string_view kLastHashKey = u"LastHash";

class RepeatGuard {
 public:
  // `caption`: the title of the program's message boxes.
  RepeatGuard(platform::Ui& ui, modFile& files, SettingsFile& settings, clsMD5_hash& md5,
              const Translation& messages, std::u16string caption, FailureRecorder& recorder)
      : ui_(ui),
        files_(files),
        settings_(settings),
        md5_(md5),
        messages_(messages),
        caption_(std::move(caption)),
        recorder_(recorder) {}
  RepeatGuard(const RepeatGuard&) = delete;
  RepeatGuard& operator=(const RepeatGuard&) = delete;

  // `input` is the pasted text (`isFile` false: the MD5 of its ANSI bytes) or
  // the path of a list file (true: the MD5 of the file's bytes). A new input
  // is remembered and the cure goes on. The remembered one asks message 053:
  // Yes goes on and remembers nothing, No ends the program (it does not
  // return). A failure is recorded and the cure goes on.
  void CompareInputHashes(std::u16string_view input, bool isFile);

 private:
  platform::Ui& ui_;
  modFile& files_;
  SettingsFile& settings_;
  clsMD5_hash& md5_;
  const Translation& messages_;
  std::u16string caption_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
