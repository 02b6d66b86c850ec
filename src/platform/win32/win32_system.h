#pragma once
// The system port over the Win32 calls of the same names.
#include "platform/system.h"

namespace tolvaran::platform::win32 {

class Win32System final : public System {
 public:
  Result<std::u16string> formatMessage(std::uint32_t messageId) override;
  std::uint32_t ansiCodePage() override;
  std::string wideToAnsi(std::u16string_view text) override;
  std::u16string ansiToWide(std::string_view bytes) override;
  Result<std::u16string> getEnvironmentVariable(std::u16string_view name) override;
  Status setEnvironmentVariable(std::u16string_view name, std::u16string_view value) override;
  Status deleteEnvironmentVariable(std::u16string_view name) override;
  Result<std::u16string> expandEnvironmentStrings(std::u16string_view text) override;
  Result<std::u16string> getTempPath() override;
  Result<std::u16string> moduleFileName() override;
  Result<std::u16string> getWindowsDirectory() override;
  Result<std::u16string> getSpecialFolderPath(std::int32_t csidl) override;
  // GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE) + " " + GetTimeFormatW(LOCALE_USER_DEFAULT,
  // 0).
  std::u16string formatDateTime(const SystemTime& time) override;
  std::u16string formatShortDate(const SystemTime& time) override;
};

// True inside Wine (ntdll exports wine_get_version). Tests use it to skip
// known differences between Wine and Windows by name.
bool isRunningOnWine();

}  // namespace tolvaran::platform::win32
