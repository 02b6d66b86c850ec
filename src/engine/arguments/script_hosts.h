#pragma once
// The programs that run a command line, a script or an address for someone
// else, and the scripts they run: what adware puts in place of a browser.
// Neither is ever the target a cure writes.
#include <string_view>

#include "engine/cure_state.h"

namespace tolvaran {

// True when the path's file name is a script host's: cmd, cscript, wscript
// and start (with or without ".exe"), powershell.exe, pwsh.exe, mshta.exe,
// rundll32.exe, regsvr32.exe, conhost.exe, and explorer.exe when the
// arguments it is given hold a web address. Wherever the file lies: a copy
// elsewhere imitates the host. Names compare as the file system compares them.
bool isScriptHost(std::u16string_view path, std::u16string_view arguments);

// True when a script host lies where Windows keeps it: System32 or SysWOW64
// (cmd, cscript, wscript, mshta, rundll32, regsvr32, conhost), their
// WindowsPowerShell\v1.0 (powershell), the Windows folder (explorer), or a
// version folder of PowerShell in the native program files (pwsh).
bool isScriptHostAtHome(std::u16string_view path, const CureFolders& folders);

// True when the file name ends in a script's extension: bat cmd vbs vbe js
// jse wsf wsh ps1 hta, or lnk (a shortcut started by a shortcut), whatever
// the name before it ("start.bat", "cmd.exe.bat").
bool isScriptFile(std::u16string_view path);

// True when the path lies where adware drops its scripts and no installer
// puts a program's own: the user's application data (local and roaming), a
// Temp folder, the public profile, a Downloads folder.
bool inScriptDropFolder(std::u16string_view path);

}  // namespace tolvaran
