#include "report/settings_file.h"

#include "support/text.h"

namespace tolvaran {
namespace {
constexpr std::uint32_t kBufferChars = 260;
constexpr std::u16string_view kProfileDefault = u"error";
}  // namespace

std::u16string SettingsFile::ReadSetting(std::u16string_view key,
                                         std::u16string_view defaultValue) {
  auto read = profile_.getPrivateProfileString(kSection, key, kProfileDefault, kBufferChars, path_);
  if (read.value == kProfileDefault) return std::u16string(defaultValue);
  return std::move(read.value);
}

bool SettingsFile::WriteSettings(std::u16string_view key, std::u16string_view value) {
  const auto written = profile_.writePrivateProfileString(kSection, key, value, path_);
  if (written.ok()) return true;
  recorder_.recordError(
      runtimeFailure(rt::kPathFileAccessError, static_cast<std::int32_t>(written.code)),
      ErrorContext(u"WriteLog.WriteSettings", u"File:", path_));
  return false;
}

bool SettingsFile::WriteSettings(std::u16string_view key, std::int64_t value) {
  return WriteSettings(key, toDecimal(value));
}

}  // namespace tolvaran
