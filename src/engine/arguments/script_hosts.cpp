#include "engine/arguments/script_hosts.h"

#include <array>
#include <string>

#include "engine/path_names.h"
#include "support/text.h"
#include "support/web_address.h"

namespace tolvaran {

namespace {

// The hosts of the command interpreter family are also started without
// their extension; the others only ever as .exe.
constexpr std::array<std::u16string_view, 4> kBareHosts{u"cmd", u"cscript", u"wscript", u"start"};
constexpr std::array<std::u16string_view, 6> kExeHosts{
    u"powershell.exe", u"pwsh.exe", u"mshta.exe", u"rundll32.exe", u"regsvr32.exe", u"conhost.exe"};
constexpr std::array<std::u16string_view, 11> kScriptExtensions{u".bat", u".cmd", u".vbs", u".vbe",
                                                                u".js",  u".jse", u".wsf", u".wsh",
                                                                u".ps1", u".hta", u".lnk"};

}  // namespace

bool isScriptHost(std::u16string_view path, std::u16string_view arguments) {
  const std::u16string name = GetFileNameAndExt(path);
  for (const std::u16string_view host : kBareHosts) {
    if (equalsFileNameNoCase(name, host) ||
        equalsFileNameNoCase(name, std::u16string(host) + u".exe"))
      return true;
  }
  for (const std::u16string_view host : kExeHosts) {
    if (equalsFileNameNoCase(name, host)) return true;
  }
  // Explorer opens whatever it is given: a folder is its own business, an
  // address is a hijack's.
  return equalsFileNameNoCase(name, u"explorer.exe") && containsWebAddress(arguments);
}

bool isScriptHostAtHome(std::u16string_view path, const CureFolders& folders) {
  const std::u16string name = GetFileNameAndExt(path);
  const std::u16string folder = GetPathName(path);
  const auto in = [&](std::u16string_view home) {
    return !home.empty() && equalsNoCase(folder, home);
  };
  if (equalsFileNameNoCase(name, u"powershell.exe")) {
    return in(folders.Sys32 + u"\\WindowsPowerShell\\v1.0") ||
           in(folders.SysWow64 + u"\\WindowsPowerShell\\v1.0");
  }
  if (equalsFileNameNoCase(name, u"pwsh.exe")) {
    return !folders.PF64.empty() &&
           equalsNoCase(GetPathName(folder), folders.PF64 + u"\\PowerShell");
  }
  if (equalsFileNameNoCase(name, u"explorer.exe")) return in(folders.SysRoot);
  if (equalsFileNameNoCase(name, u"start") || equalsFileNameNoCase(name, u"start.exe"))
    return false;
  return in(folders.Sys32) || in(folders.SysWow64);
}

bool isScriptFile(std::u16string_view path) {
  for (const std::u16string_view extension : kScriptExtensions) {
    if (endsWithFileNameNoCase(path, extension)) return true;
  }
  return false;
}

bool inScriptDropFolder(std::u16string_view path) {
  static constexpr std::array<std::u16string_view, 5> kFolders{
      u"\\AppData\\", u"\\Temp\\", u"\\Users\\Public\\", u"\\Downloads\\",
      // Windows XP's per-user application data.
      u"\\Application Data\\"};
  for (const std::u16string_view folder : kFolders) {
    if (findNoCase(path, folder) != std::u16string_view::npos) return true;
  }
  return false;
}

}  // namespace tolvaran
