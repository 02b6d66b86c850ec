#pragma once
// Tolvaran.ini: the few values kept between runs (last list hash, runs per
// day), one key at a time through the system's profile functions.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/profile.h"
#include "support/failure.h"

namespace tolvaran {

class SettingsFile {
 public:
  static constexpr std::u16string_view kSection = u"Tolvaran";

  SettingsFile(platform::Profile& profile, FailureRecorder& recorder, std::u16string path)
      : profile_(profile), recorder_(recorder), path_(std::move(path)) {}

  // The stored value, or `defaultValue` when the file, section or key is
  // missing. A stored value of exactly "error" also reads as the default:
  // "error" is what the profile call is given as its own default.
  std::u16string ReadSetting(std::u16string_view key, std::u16string_view defaultValue);

  // Creates the file, section or key as needed; false (and one error record)
  // when the system refuses.
  bool WriteSettings(std::u16string_view key, std::u16string_view value);
  bool WriteSettings(std::u16string_view key, std::int64_t value);

  [[nodiscard]] const std::u16string& SettingsPath() const noexcept { return path_; }

 private:
  platform::Profile& profile_;
  FailureRecorder& recorder_;
  std::u16string path_;
};

}  // namespace tolvaran
