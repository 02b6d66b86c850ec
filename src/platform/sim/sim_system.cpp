#include "platform/sim/sim_system.h"

#include <algorithm>
#include <array>

#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

struct Message {
  std::uint32_t id;
  const char16_t* text;
};

// FormatMessage's English texts, exactly as Windows gives them (each followed
// by CR LF when returned).
constexpr std::array kMessages{
    Message{0, u"The operation completed successfully."},
    Message{1, u"Incorrect function."},
    Message{2, u"The system cannot find the file specified."},
    Message{3, u"The system cannot find the path specified."},
    Message{4, u"The system cannot open the file."},
    Message{5, u"Access is denied."},
    Message{6, u"The handle is invalid."},
    Message{7, u"The storage control blocks were destroyed."},
    Message{8, u"Not enough memory resources are available to process this command."},
    Message{9, u"The storage control block address is invalid."},
    Message{10, u"The environment is incorrect."},
    Message{11, u"An attempt was made to load a program with an incorrect format."},
    Message{12, u"The access code is invalid."},
    Message{13, u"The data is invalid."},
    Message{14, u"Not enough memory resources are available to complete this operation."},
    Message{15, u"The system cannot find the drive specified."},
    Message{16, u"The directory cannot be removed."},
    Message{17, u"The system cannot move the file to a different disk drive."},
    Message{18, u"There are no more files."},
    Message{19, u"The media is write protected."},
    Message{20, u"The system cannot find the device specified."},
    Message{21, u"The device is not ready."},
    Message{23, u"Data error (cyclic redundancy check)."},
    Message{29, u"The system cannot write to the specified device."},
    Message{30, u"The system cannot read from the specified device."},
    Message{31, u"A device attached to the system is not functioning."},
    Message{32, u"The process cannot access the file because it is being used by another process."},
    Message{33,
            u"The process cannot access the file because another process has locked a portion "
            u"of the file."},
    Message{38, u"Reached the end of the file."},
    Message{39, u"The disk is full."},
    Message{50, u"The request is not supported."},
    Message{53, u"The network path was not found."},
    Message{65, u"Network access is denied."},
    Message{67, u"The network name cannot be found."},
    Message{70, u"The remote server has been paused or is in the process of being started."},
    Message{80, u"The file exists."},
    Message{82, u"The directory or file cannot be created."},
    Message{87, u"The parameter is incorrect."},
    Message{110, u"The system cannot open the device or file specified."},
    Message{112, u"There is not enough space on the disk."},
    Message{120, u"This function is not supported on this system."},
    Message{122, u"The data area passed to a system call is too small."},
    Message{123, u"The filename, directory name, or volume label syntax is incorrect."},
    Message{126, u"The specified module could not be found."},
    Message{127, u"The specified procedure could not be found."},
    Message{131, u"An attempt was made to move the file pointer before the beginning of the file."},
    Message{145, u"The directory is not empty."},
    Message{161, u"The specified path is invalid."},
    Message{183, u"Cannot create a file when that file already exists."},
    Message{203, u"The system could not find the environment option that was entered."},
    Message{206, u"The filename or extension is too long."},
    Message{225,
            u"Operation did not complete successfully because the file contains a virus or "
            u"potentially unwanted software."},
    Message{234, u"More data is available."},
    Message{259, u"No more data is available."},
    Message{267, u"The directory name is invalid."},
    Message{740, u"The requested operation requires elevation."},
    Message{995,
            u"The I/O operation has been aborted because of either a thread exit or an "
            u"application request."},
    Message{998, u"Invalid access to memory location."},
    Message{1008, u"An attempt was made to reference a token that does not exist."},
    Message{1117, u"The request could not be performed because of an I/O device error."},
    Message{1155, u"No application is associated with the specified file for this operation."},
    Message{1168, u"Element not found."},
    Message{1223, u"The operation was canceled by the user."},
    Message{1224,
            u"The requested operation cannot be performed on a file with a user-mapped "
            u"section open."},
    Message{1300, u"Not all privileges or groups referenced are assigned to the caller."},
    Message{1314, u"A required privilege is not held by the client."},
    Message{1359, u"An internal error occurred."},
    Message{1392, u"The file or directory is corrupted and unreadable."},
    Message{1450, u"Insufficient system resources exist to complete the requested service."},
    Message{1920, u"The file cannot be accessed by the system."},
    // HRESULTs that shell and COM calls return; FormatMessage knows them too.
    Message{0x80004001u, u"Not implemented"},
    Message{0x80004002u, u"No such interface supported"},
    Message{0x80004005u, u"Unspecified error"},
    Message{0x80070005u, u"Access is denied."},
};

// An ordinary 64-bit Windows 10 as a 64-bit process sees it, one user "User".
constexpr std::array<std::pair<const char16_t*, const char16_t*>, 26> kEnvironment{{
    {u"ALLUSERSPROFILE", u"C:\\ProgramData"},
    {u"APPDATA", u"C:\\Users\\User\\AppData\\Roaming"},
    {u"CommonProgramFiles", u"C:\\Program Files\\Common Files"},
    {u"CommonProgramFiles(x86)", u"C:\\Program Files (x86)\\Common Files"},
    {u"CommonProgramW6432", u"C:\\Program Files\\Common Files"},
    {u"COMPUTERNAME", u"SIMPC"},
    {u"ComSpec", u"C:\\Windows\\system32\\cmd.exe"},
    {u"HOMEDRIVE", u"C:"},
    {u"HOMEPATH", u"\\Users\\User"},
    {u"LOCALAPPDATA", u"C:\\Users\\User\\AppData\\Local"},
    {u"OS", u"Windows_NT"},
    {u"Path", u"C:\\Windows\\system32;C:\\Windows;C:\\Windows\\System32\\Wbem"},
    {u"PATHEXT", u".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC"},
    {u"ProgramData", u"C:\\ProgramData"},
    {u"ProgramFiles", u"C:\\Program Files"},
    {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"},
    {u"ProgramW6432", u"C:\\Program Files"},
    {u"PUBLIC", u"C:\\Users\\Public"},
    {u"SystemDrive", u"C:"},
    {u"SystemRoot", u"C:\\Windows"},
    {u"TEMP", u"C:\\Users\\User\\AppData\\Local\\Temp"},
    {u"TMP", u"C:\\Users\\User\\AppData\\Local\\Temp"},
    {u"USERDOMAIN", u"SIMPC"},
    {u"USERNAME", u"User"},
    {u"USERPROFILE", u"C:\\Users\\User"},
    {u"windir", u"C:\\Windows"},
}};

void appendTwoDigits(std::u16string& out, unsigned value) {
  out.push_back(static_cast<char16_t>(u'0' + value / 10 % 10));
  out.push_back(static_cast<char16_t>(u'0' + value % 10));
}

}  // namespace

SimSystem::SimSystem() : moduleFileName_(u"C:\\Tools\\Tolvaran.exe") {
  for (const auto& [name, value] : kEnvironment) environment_.emplace_back(name, value);
}

Result<std::u16string> SimSystem::formatMessage(std::uint32_t messageId) {
  for (const auto& [id, text] : extraMessages_) {
    if (id == messageId) return {text, kErrorSuccess};
  }
  for (const Message& message : kMessages) {
    if (message.id == messageId) return {std::u16string(message.text) + u"\r\n", kErrorSuccess};
  }
  return {{}, kErrorMrMidNotFound};
}

void SimSystem::setMessageText(std::uint32_t messageId, std::u16string text) {
  for (auto& [id, existing] : extraMessages_) {
    if (id == messageId) {
      existing = std::move(text);
      return;
    }
  }
  extraMessages_.emplace_back(messageId, std::move(text));
}

bool SimSystem::setAnsiCodePage(std::uint32_t codePage) {
  if (!isSupportedCodePage(codePage)) return false;
  codePage_ = codePage;
  return true;
}

std::string SimSystem::wideToAnsi(std::u16string_view text) {
  return utf16ToCodePage(text, codePage_);
}

std::u16string SimSystem::ansiToWide(std::string_view bytes) {
  return codePageToUtf16(bytes, codePage_);
}

Result<std::u16string> SimSystem::getEnvironmentVariable(std::u16string_view name) {
  for (const auto& [key, value] : environment_) {
    if (equalsNoCase(key, name)) return {value, kErrorSuccess};
  }
  return {{}, kErrorEnvvarNotFound};
}

Status SimSystem::setEnvironmentVariable(std::u16string_view name, std::u16string_view value) {
  // A name may begin with "=" (the per-drive current folders do) but not hold one later.
  if (name.empty() || name.find(u'=', 1) != std::u16string_view::npos) {
    return {kErrorInvalidParameter};
  }
  for (auto& [key, existing] : environment_) {
    if (equalsNoCase(key, name)) {
      existing = value;
      return {kErrorSuccess};
    }
  }
  environment_.emplace_back(name, value);
  return {kErrorSuccess};
}

Status SimSystem::deleteEnvironmentVariable(std::u16string_view name) {
  if (name.empty() || name.find(u'=', 1) != std::u16string_view::npos) {
    return {kErrorInvalidParameter};
  }
  std::erase_if(environment_, [&](const auto& entry) { return equalsNoCase(entry.first, name); });
  return {kErrorSuccess};
}

// Windows' rule: at a "%", look for the next "%"; a known name between them is
// replaced and scanning goes on after the closing "%". Otherwise the "%" is
// copied as it is and scanning goes on right after it, so the closing "%" of
// an unknown name may open the next reference ("%x%PATH%" -> "%x" + PATH's
// value) and there is no escape for "%" ("%%" stays "%%").
Result<std::u16string> SimSystem::expandEnvironmentStrings(std::u16string_view text) {
  if (const auto nul = text.find(u'\0'); nul != std::u16string_view::npos)
    text = text.substr(0, nul);
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == u'%') {
      const std::size_t close = text.find(u'%', i + 1);
      if (close != std::u16string_view::npos && close > i + 1) {
        auto value = getEnvironmentVariable(text.substr(i + 1, close - i - 1));
        if (value.ok()) {
          out.append(value.value);
          i = close + 1;
          continue;
        }
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  return {std::move(out), kErrorSuccess};
}

// GetTempPath's order: TMP, TEMP, USERPROFILE, then the Windows folder.
Result<std::u16string> SimSystem::getTempPath() {
  std::u16string path;
  for (const char16_t* name : {u"TMP", u"TEMP", u"USERPROFILE", u"SystemRoot"}) {
    auto value = getEnvironmentVariable(name);
    if (value.ok() && !value.value.empty()) {
      path = std::move(value.value);
      break;
    }
  }
  if (path.empty()) path = u"C:\\Windows";
  if (path.back() != u'\\') path.push_back(u'\\');
  return {std::move(path), kErrorSuccess};
}

Result<std::u16string> SimSystem::getSpecialFolderPath(std::int32_t csidl) {
  const auto fromVariable = [this](const char16_t* name,
                                   std::u16string_view tail = {}) -> Result<std::u16string> {
    auto value = getEnvironmentVariable(name);
    if (!value.ok() || value.value.empty()) return {{}, kHresultFail};
    return {value.value + std::u16string(tail), kErrorSuccess};
  };
  const auto inWindows = [this](std::u16string_view tail) -> Result<std::u16string> {
    return {windowsFolder_ + std::u16string(tail), kErrorSuccess};
  };
  const bool wow64 = is64BitOs_ && !is64BitProcess_;
  if (xpShellFolders_) {
    // Windows 2000 and XP: everything in the profiles, one of them "All Users".
    switch (csidl & ~csidl::kFlagMask) {
      case csidl::kPersonal: return fromVariable(u"USERPROFILE", u"\\My Documents");
      case csidl::kLocalAppData:
        return fromVariable(u"USERPROFILE", u"\\Local Settings\\Application Data");
      case csidl::kStartMenu: return fromVariable(u"USERPROFILE", u"\\Start Menu");
      case csidl::kPrograms: return fromVariable(u"USERPROFILE", u"\\Start Menu\\Programs");
      case csidl::kStartup: return fromVariable(u"USERPROFILE", u"\\Start Menu\\Programs\\Startup");
      case csidl::kCommonStartMenu: return fromVariable(u"ALLUSERSPROFILE", u"\\Start Menu");
      case csidl::kCommonPrograms:
        return fromVariable(u"ALLUSERSPROFILE", u"\\Start Menu\\Programs");
      case csidl::kCommonStartup:
        return fromVariable(u"ALLUSERSPROFILE", u"\\Start Menu\\Programs\\Startup");
      case csidl::kCommonDesktopDirectory: return fromVariable(u"ALLUSERSPROFILE", u"\\Desktop");
      case csidl::kCommonAppData: return fromVariable(u"ALLUSERSPROFILE", u"\\Application Data");
      default: break;
    }
  }
  constexpr std::u16string_view kStartMenu = u"\\Microsoft\\Windows\\Start Menu";
  constexpr std::u16string_view kPrograms = u"\\Microsoft\\Windows\\Start Menu\\Programs";
  constexpr std::u16string_view kStartup = u"\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
  switch (csidl & ~csidl::kFlagMask) {
    case csidl::kDesktop:
    case csidl::kDesktopDirectory: return fromVariable(u"USERPROFILE", u"\\Desktop");
    case csidl::kPersonal: return fromVariable(u"USERPROFILE", u"\\Documents");
    case csidl::kProfile: return fromVariable(u"USERPROFILE");
    case csidl::kAppData: return fromVariable(u"APPDATA");
    case csidl::kLocalAppData: return fromVariable(u"LOCALAPPDATA");
    case csidl::kStartMenu: return fromVariable(u"APPDATA", kStartMenu);
    case csidl::kPrograms: return fromVariable(u"APPDATA", kPrograms);
    case csidl::kStartup: return fromVariable(u"APPDATA", kStartup);
    case csidl::kCommonStartMenu: return fromVariable(u"ProgramData", kStartMenu);
    case csidl::kCommonPrograms: return fromVariable(u"ProgramData", kPrograms);
    case csidl::kCommonStartup: return fromVariable(u"ProgramData", kStartup);
    case csidl::kCommonDesktopDirectory: return fromVariable(u"PUBLIC", u"\\Desktop");
    case csidl::kCommonAppData: return fromVariable(u"ProgramData");
    case csidl::kWindows: return inWindows({});
    case csidl::kSystem: return inWindows(u"\\system32");
    case csidl::kSystemX86: return inWindows(is64BitOs_ ? u"\\SysWOW64" : u"\\system32");
    case csidl::kProgramFiles:
      if (!is64BitOs_) return fromVariable(u"ProgramFiles");
      return fromVariable(wow64 ? u"ProgramFiles(x86)" : u"ProgramW6432");
    case csidl::kProgramFilesX86:
      return fromVariable(is64BitOs_ ? u"ProgramFiles(x86)" : u"ProgramFiles");
    case csidl::kProgramFilesCommon:
      if (!is64BitOs_) return fromVariable(u"CommonProgramFiles");
      return fromVariable(wow64 ? u"CommonProgramFiles(x86)" : u"CommonProgramW6432");
    case csidl::kProgramFilesCommonX86:
      return fromVariable(is64BitOs_ ? u"CommonProgramFiles(x86)" : u"CommonProgramFiles");
    case csidl::kControls:
    case 0x04:  // CSIDL_PRINTERS
    case 0x0a:  // CSIDL_BITBUCKET
    case 0x11:  // CSIDL_DRIVES
    case 0x12:  // CSIDL_NETWORK
      return {{}, kHresultFail};
    default: return {{}, kHresultInvalidArg};
  }
}

std::u16string SimSystem::formatShortDate(const SystemTime& time) {
  std::u16string out;
  appendTwoDigits(out, time.day);
  out.push_back(u'.');
  appendTwoDigits(out, time.month);
  out.push_back(u'.');
  appendTwoDigits(out, time.year / 100);
  appendTwoDigits(out, time.year);
  return out;
}

std::u16string SimSystem::formatDateTime(const SystemTime& time) {
  std::u16string out = formatShortDate(time);
  out.push_back(u' ');
  out.append(toDecimal(time.hour));
  out.push_back(u':');
  appendTwoDigits(out, time.minute);
  out.push_back(u':');
  appendTwoDigits(out, time.second);
  return out;
}

}  // namespace tolvaran::platform::sim
