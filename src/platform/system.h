#pragma once
// The system port: messages, code pages, environment, module path, and the
// user's regional rendering of dates.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/result.h"

namespace tolvaran::platform {

class System {
 public:
  virtual ~System() = default;

  // FormatMessageW(FROM_SYSTEM | IGNORE_INSERTS, default language) as the
  // system gives it, trailing CR LF included; empty text with the error when
  // the system has no message for the code.
  virtual Result<std::u16string> formatMessage(std::uint32_t messageId) = 0;

  // GetACP.
  virtual std::uint32_t ansiCodePage() = 0;
  // WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, default char "?"):
  // a character the code page cannot represent becomes "?".
  virtual std::string wideToAnsi(std::u16string_view text) = 0;
  // MultiByteToWideChar(CP_ACP).
  virtual std::u16string ansiToWide(std::string_view bytes) = 0;

  // GetEnvironmentVariableW: kErrorEnvvarNotFound (203) when absent.
  virtual Result<std::u16string> getEnvironmentVariable(std::u16string_view name) = 0;
  // SetEnvironmentVariableW for the running process.
  virtual Status setEnvironmentVariable(std::u16string_view name, std::u16string_view value) = 0;
  // SetEnvironmentVariableW(name, nullptr).
  virtual Status deleteEnvironmentVariable(std::u16string_view name) = 0;
  // ExpandEnvironmentStringsW: unknown references stay as they are.
  virtual Result<std::u16string> expandEnvironmentStrings(std::u16string_view text) = 0;

  // GetTempPathW: the temporary folder with a trailing backslash.
  virtual Result<std::u16string> getTempPath() = 0;

  // GetModuleFileNameW(nullptr): the program file's full path.
  virtual Result<std::u16string> moduleFileName() = 0;

  // The user's general date-and-time rendering (short date, a space, long
  // time), as the regional settings give it.
  virtual std::u16string formatDateTime(const SystemTime& time) = 0;
  // The user's short date rendering alone.
  virtual std::u16string formatShortDate(const SystemTime& time) = 0;
};

inline constexpr Win32Code kErrorEnvvarNotFound = 203;
// FormatMessageW: the system has no text for the code.
inline constexpr Win32Code kErrorMrMidNotFound = 317;

}  // namespace tolvaran::platform
