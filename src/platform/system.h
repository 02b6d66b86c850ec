#pragma once
// The system port: messages, code pages, environment, module path, and the
// user's regional rendering of dates.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "support/result.h"

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

  // GetWindowsDirectoryW: the Windows folder, no trailing backslash.
  virtual Result<std::u16string> getWindowsDirectory() = 0;

  // SHGetSpecialFolderLocation(no window, csidl) + SHGetPathFromIDListW +
  // CoTaskMemFree: the file-system path of a shell special folder. The code
  // is the HRESULT of the location call when it fails (E_INVALIDARG for a
  // csidl the shell does not know), E_FAIL when the folder has no
  // file-system path (a virtual folder such as the Control Panel).
  virtual Result<std::u16string> getSpecialFolderPath(std::int32_t csidl) = 0;

  // The user's general date-and-time rendering (short date, a space, long
  // time), as the regional settings give it.
  virtual std::u16string formatDateTime(const SystemTime& time) = 0;
  // The user's short date rendering alone.
  virtual std::u16string formatShortDate(const SystemTime& time) = 0;
};

inline constexpr Win32Code kErrorEnvvarNotFound = 203;
// HRESULTs of the special-folder call.
inline constexpr Win32Code kHresultInvalidArg = 0x80070057u;  // E_INVALIDARG
inline constexpr Win32Code kHresultFail = 0x80004005u;        // E_FAIL

// CSIDL values of the shell's special folders.
namespace csidl {
inline constexpr std::int32_t kDesktop = 0x00;
inline constexpr std::int32_t kPrograms = 0x02;
inline constexpr std::int32_t kControls = 0x03;  // virtual: no file-system path
inline constexpr std::int32_t kPersonal = 0x05;
inline constexpr std::int32_t kStartup = 0x07;
inline constexpr std::int32_t kStartMenu = 0x0b;
inline constexpr std::int32_t kDesktopDirectory = 0x10;
inline constexpr std::int32_t kCommonStartMenu = 0x16;
inline constexpr std::int32_t kCommonPrograms = 0x17;
inline constexpr std::int32_t kCommonStartup = 0x18;
inline constexpr std::int32_t kCommonDesktopDirectory = 0x19;
inline constexpr std::int32_t kAppData = 0x1a;
inline constexpr std::int32_t kLocalAppData = 0x1c;
inline constexpr std::int32_t kCommonAppData = 0x23;
inline constexpr std::int32_t kWindows = 0x24;
inline constexpr std::int32_t kSystem = 0x25;
inline constexpr std::int32_t kProgramFiles = 0x26;
inline constexpr std::int32_t kProfile = 0x28;
inline constexpr std::int32_t kSystemX86 = 0x29;
inline constexpr std::int32_t kProgramFilesX86 = 0x2a;
inline constexpr std::int32_t kProgramFilesCommon = 0x2b;
inline constexpr std::int32_t kProgramFilesCommonX86 = 0x2c;
// Flags the shell strips before it looks the folder up (CSIDL_FLAG_MASK).
inline constexpr std::int32_t kFlagMask = 0xFF00;
}  // namespace csidl
// FormatMessageW: the system has no text for the code.
inline constexpr Win32Code kErrorMrMidNotFound = 317;

}  // namespace tolvaran::platform
