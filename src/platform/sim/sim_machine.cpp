#include "platform/sim/sim_machine.h"

#include <utility>
#include <vector>

namespace tolvaran::platform::sim {

SimMachine::SimMachine(OsProfile os)
    : osInfo_(std::move(os)),
      registry_(osInfo_.profile().is64BitOs, osInfo_.profile().processPointerSize == 8) {
  const OsProfile& profile = osInfo_.profile();
  writeRegistryStrings(profile, registry_);

  const bool process64 = profile.processPointerSize == 8;
  system_.setBitness(profile.is64BitOs, process64);
  const std::u16string windows = system_.getWindowsDirectory().value;
  // kernel32 has the redirection calls on every 64-bit Windows and on 32-bit
  // Windows from Vista on (where they answer that there is nothing to do).
  files_.setWow64(Wow64Setup{.callsExist = profile.is64BitOs || profile.version.majorVersion >= 6,
                             .redirects = profile.is64BitOs && !process64,
                             .windowsFolder = windows});
  presentEnvironment(profile);
  files_.addFolder(windows + u"\\System32\\drivers\\etc");
  // Every Windows has the user's temporary folder.
  files_.addFolder(system_.getEnvironmentVariable(u"TEMP").value);
  if (profile.is64BitOs) files_.addFolder(windows + u"\\SysWOW64");
}

void SimMachine::presentEnvironment(const OsProfile& profile) {
  // The ANSI code page the system's language selects, as its registry says.
  for (const auto& value : profile.hklmStrings) {
    if (value.valueName == u"ACP" && value.key.ends_with(u"\\CodePage")) {
      std::uint32_t codePage = 0;
      for (const char16_t c : value.data) {
        if (c < u'0' || c > u'9') break;
        codePage = codePage * 10 + static_cast<std::uint32_t>(c - u'0');
      }
      system_.setAnsiCodePage(codePage);
    }
  }
  // Windows gives every process the variables of its own bitness: a 32-bit
  // process on 64-bit Windows sees the (x86) folders as its program files.
  const auto set = [this](std::u16string_view name, std::u16string_view value) {
    (void)system_.setEnvironmentVariable(name, value);
  };
  const auto drop = [this](std::u16string_view name) {
    (void)system_.deleteEnvironmentVariable(name);
  };
  // Windows 2000 and XP keep the profiles in "Documents and Settings", the
  // temporary folder in the profile's "Local Settings"; they have no
  // ProgramData, no Public profile and no LOCALAPPDATA variable.
  if (profile.version.majorVersion == 5) {
    constexpr std::u16string_view kProfile = u"C:\\Documents and Settings\\User";
    const std::u16string profileFolder(kProfile);
    set(u"USERPROFILE", profileFolder);
    set(u"HOMEPATH", u"\\Documents and Settings\\User");
    set(u"APPDATA", profileFolder + u"\\Application Data");
    set(u"TEMP", profileFolder + u"\\Local Settings\\Temp");
    set(u"TMP", profileFolder + u"\\Local Settings\\Temp");
    set(u"ALLUSERSPROFILE", u"C:\\Documents and Settings\\All Users");
    for (const auto* name : {u"LOCALAPPDATA", u"ProgramData", u"PUBLIC"}) drop(name);
    system_.useXpShellFolders();
  }
  if (!profile.is64BitOs) {
    for (const auto* name : {u"ProgramFiles(x86)", u"ProgramW6432", u"CommonProgramFiles(x86)",
                             u"CommonProgramW6432"}) {
      drop(name);
    }
    set(u"PROCESSOR_ARCHITECTURE", u"x86");
  } else if (profile.processPointerSize == 4) {
    set(u"ProgramFiles", u"C:\\Program Files (x86)");
    set(u"CommonProgramFiles", u"C:\\Program Files (x86)\\Common Files");
    set(u"PROCESSOR_ARCHITECTURE", u"x86");
    set(u"PROCESSOR_ARCHITEW6432", u"AMD64");
  } else {
    set(u"PROCESSOR_ARCHITECTURE", u"AMD64");
  }
}

void SimMachine::installUnlockTools(std::uint64_t runMilliseconds) {
  const std::u16string windows = system_.getWindowsDirectory().value;
  std::vector<std::u16string> folders{windows + u"\\System32"};
  if (osInfo_.profile().is64BitOs) folders.push_back(windows + u"\\SysWOW64");
  for (const auto& folder : folders) {
    processes_.installTool(folder + u"\\takeown.exe", takingOwnership(runMilliseconds));
    processes_.installTool(folder + u"\\icacls.exe", grantingAccess(files_, runMilliseconds));
  }
}

}  // namespace tolvaran::platform::sim
