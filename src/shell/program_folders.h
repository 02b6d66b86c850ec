#pragma once
// The folders and facts the whole program reads, found once at start-up.
// Folder paths carry no trailing backslash.
#include <string>

#include "engine/engine.h"
#include "platform/system.h"
#include "support/failure.h"
#include "system/os_info.h"
#include "system/registry.h"

namespace tolvaran {

struct ProgramFolders {
  std::u16string SysRoot;   // the Windows folder
  std::u16string SysDrive;  // "C:"
  std::u16string Sys32;     // SysRoot\System32
  std::u16string SysWow64;  // SysRoot\SysWow64
  std::u16string PF32;      // the 32-bit program files
  std::u16string PF64;      // the native program files (PF32 on 32-bit Windows)
  std::u16string AppDataDir;
  std::u16string LocalAppDataDir;  // AppDataDir before Vista
  std::u16string DesktopDir;
  std::u16string UserProfileDir;
  std::u16string TempDir;       // the user's temporary folder
  std::u16string SettingsPath;  // TempDir\Tolvaran.ini
  bool bIsWin64 = false;        // 64-bit Windows, whichever the program's build
};

inline constexpr std::u16string_view kSettingsFileName = u"Tolvaran.ini";

// Fills every folder, in a fixed order. A step that fails is recorded as
// "Parser.InitVariables" and leaves its value empty; the next step runs.
// Environment references that cannot be expanded stay as written.
ProgramFolders InitVariables(platform::System& system, clsRegistry& registry, const clsOSInfo& os,
                             FailureRecorder& recorder);

// What the cure engine is given of them.
EngineFolders engineFolders(const ProgramFolders& folders, const clsOSInfo& os);

}  // namespace tolvaran
