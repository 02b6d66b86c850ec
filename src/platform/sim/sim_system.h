#pragma once
// The simulated machine's system services: Windows' English message texts,
// a configurable ANSI code page, an environment block with case-insensitive
// names, the program's path, the Windows folder, the shell's special folders
// and one fixed regional date rendering.
//
// Special folders (SHGetSpecialFolderLocation + SHGetPathFromIDListW), built
// from the environment at the time of the call:
// clang-format off
//   DESKTOP 0x00, DESKTOPDIRECTORY 0x10 -> %USERPROFILE%\Desktop
//   PERSONAL 0x05                       -> %USERPROFILE%\Documents
//   PROFILE 0x28                        -> %USERPROFILE%
//   APPDATA 0x1a, LOCAL_APPDATA 0x1c    -> %APPDATA%, %LOCALAPPDATA%
//   STARTMENU 0x0b, PROGRAMS 0x02, STARTUP 0x07 -> %APPDATA%\Microsoft\Windows\Start Menu
//                                          [\Programs[\Startup]]
//   COMMON_STARTMENU 0x16, COMMON_PROGRAMS 0x17, COMMON_STARTUP 0x18 -> the same under
//                                          %ProgramData%
//   COMMON_DESKTOPDIRECTORY 0x19        -> %PUBLIC%\Desktop
//   COMMON_APPDATA 0x23                 -> %ProgramData%
//   WINDOWS 0x24, SYSTEM 0x25           -> the Windows folder, <Windows>\system32
//   SYSTEMX86 0x29                      -> <Windows>\SysWOW64 (32-bit Windows: system32)
//   PROGRAM_FILES 0x26                  -> a 32-bit process on 64-bit Windows:
//                                          %ProgramFiles(x86)%; a 64-bit process:
//                                          %ProgramW6432%; 32-bit Windows: %ProgramFiles%
//   PROGRAM_FILESX86 0x2a               -> %ProgramFiles(x86)% (32-bit Windows: %ProgramFiles%)
//   PROGRAM_FILES_COMMON(X86) 0x2b/0x2c -> the same with the CommonProgram* variables
//   the bits of CSIDL_FLAG_MASK 0xFF00  -> ignored
//   a virtual folder (CONTROLS 3, PRINTERS 4, BITBUCKET 0xa, DRIVES 0x11, NETWORK 0x12),
//   or a folder whose variable is missing -> E_FAIL
//   any other csidl                     -> E_INVALIDARG
// clang-format on
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/system.h"

namespace tolvaran::platform::sim {

class SimSystem final : public System {
 public:
  // ANSI code page 1252; the environment of an ordinary 64-bit Windows with
  // one user, "User" (see sim_system.cpp); program at C:\Tools\Tolvaran.exe.
  SimSystem();

  Result<std::u16string> formatMessage(std::uint32_t messageId) override;
  std::uint32_t ansiCodePage() override { return codePage_; }
  std::string wideToAnsi(std::u16string_view text) override;
  std::u16string ansiToWide(std::string_view bytes) override;
  Result<std::u16string> getEnvironmentVariable(std::u16string_view name) override;
  Status setEnvironmentVariable(std::u16string_view name, std::u16string_view value) override;
  Status deleteEnvironmentVariable(std::u16string_view name) override;
  Result<std::u16string> expandEnvironmentStrings(std::u16string_view text) override;
  Result<std::u16string> getTempPath() override;
  Result<std::u16string> moduleFileName() override { return {moduleFileName_, kErrorSuccess}; }
  Result<std::u16string> getWindowsDirectory() override { return {windowsFolder_, kErrorSuccess}; }
  Result<std::u16string> getSpecialFolderPath(std::int32_t csidl) override;
  // "dd.MM.yyyy H:mm:ss", e.g. "07.12.2026 1:37:32".
  std::u16string formatDateTime(const SystemTime& time) override;
  // "dd.MM.yyyy".
  std::u16string formatShortDate(const SystemTime& time) override;

  // False for a code page the text tables do not have (866, 1250, 1251, 1252 exist).
  bool setAnsiCodePage(std::uint32_t codePage);
  void setModuleFileName(std::u16string path) { moduleFileName_ = std::move(path); }
  // "C:\Windows" unless set.
  void setWindowsDirectory(std::u16string path) { windowsFolder_ = std::move(path); }
  // Which program-files and 32-bit system folders the shell gives; by
  // default a 32-bit process on 64-bit Windows.
  void setBitness(bool is64BitOs, bool is64BitProcess) noexcept {
    is64BitOs_ = is64BitOs;
    is64BitProcess_ = is64BitOs && is64BitProcess;
  }
  // The shell folders of Windows 2000 and XP ("My Documents", "Start Menu"
  // in the profile, "All Users" for the common ones) instead of Vista's.
  void useXpShellFolders() noexcept { xpShellFolders_ = true; }
  // Replaces or adds the text FormatMessage gives for a code (CR LF included).
  void setMessageText(std::uint32_t messageId, std::u16string text);
  [[nodiscard]] const std::vector<std::pair<std::u16string, std::u16string>>& environment() const {
    return environment_;
  }

 private:
  std::uint32_t codePage_ = 1252;
  std::u16string moduleFileName_;
  std::u16string windowsFolder_ = u"C:\\Windows";
  bool is64BitOs_ = true;
  bool is64BitProcess_ = false;
  bool xpShellFolders_ = false;
  std::vector<std::pair<std::u16string, std::u16string>> environment_;
  std::vector<std::pair<std::uint32_t, std::u16string>> extraMessages_;
};

}  // namespace tolvaran::platform::sim
