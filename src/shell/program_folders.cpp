#include "shell/program_folders.h"

#include <utility>

#include "support/text.h"

namespace tolvaran {
namespace {

// The user's temporary folder as the user's environment block defines it.
constexpr std::u16string_view kEnvironmentKey = u"HKEY_CURRENT_USER\\Environment";

std::u16string withoutTrailingBackslashes(std::u16string path) {
  // A drive root too ("D:\" becomes "D:"): every folder is joined to a name
  // with a backslash of its own.
  while (path.size() > 1 && path.back() == u'\\') path.pop_back();
  return path;
}

// Whether major.minor is at least the given version; whole numbers, so
// 6.1 is never read as 6.0999.
bool atLeast(const clsOSInfo& os, std::int32_t major, std::int32_t minor) {
  return os.Major() > major || (os.Major() == major && os.Minor() >= minor);
}

class FolderFinder {
 public:
  FolderFinder(platform::System& system, FailureRecorder& recorder)
      : system_(system), recorder_(recorder) {}

  // Runs one step; a failure is recorded and the next step still runs.
  template <class Step>
  void step(Step&& body) {
    guardedStep(recorder_, std::forward<Step>(body),
                [] { return ErrorContext(u"Parser.InitVariables"); });
  }

  // The text with its environment references expanded, or as it was.
  std::u16string expand(std::u16string_view text) {
    auto expanded = system_.expandEnvironmentStrings(text);
    if (!expanded.ok()) return std::u16string(text);
    return withoutTrailingBackslashes(expanded.value.substr(0, expanded.value.find(u'\0')));
  }

  // A variable that expands to something, or nothing.
  std::u16string variable(std::u16string_view name) {
    std::u16string reference = u"%" + std::u16string(name) + u"%";
    std::u16string value = expand(reference);
    return value == reference ? std::u16string() : value;
  }

  platform::System& system() { return system_; }

 private:
  platform::System& system_;
  FailureRecorder& recorder_;
};

}  // namespace

ProgramFolders InitVariables(platform::System& system, clsRegistry& registry, const clsOSInfo& os,
                             FailureRecorder& recorder) {
  ProgramFolders f;
  FolderFinder find(system, recorder);

  find.step([&] { f.bIsWin64 = os.Bitness() == u"x64"; });

  find.step([&] {
    const auto windows = system.getWindowsDirectory();
    if (windows.ok() && !windows.value.empty()) {
      f.SysRoot = withoutTrailingBackslashes(windows.value);
      f.SysDrive = std::u16string(left(f.SysRoot, 2));
    } else {
      f.SysRoot = find.expand(u"%SystemRoot%");
      f.SysDrive = find.expand(u"%SystemDrive%");
    }
  });

  find.step([&] {
    if (f.bIsWin64) {
      // Both builds must agree: the 32-bit program files are the "(x86)"
      // folder, which a 32-bit process also sees as %ProgramFiles%.
      f.PF32 = find.variable(u"ProgramFiles(x86)");
      if (f.PF32.empty()) f.PF32 = find.expand(u"%ProgramFiles%");
      if (atLeast(os, 6, 1)) f.PF64 = find.variable(u"ProgramW6432");
      if (f.PF64.empty()) f.PF64 = f.SysDrive + u"\\Program Files";
    } else {
      f.PF32 = find.expand(u"%ProgramFiles%");
      f.PF64 = f.PF32;
    }
  });

  find.step([&] { f.AppDataDir = find.expand(u"%AppData%"); });
  find.step([&] {
    f.LocalAppDataDir = os.Family() == u"Vista" ? find.expand(u"%LocalAppData%") : f.AppDataDir;
  });
  find.step([&] { f.Sys32 = f.SysRoot + u"\\System32"; });
  find.step([&] { f.SysWow64 = f.SysRoot + u"\\SysWow64"; });
  find.step([&] {
    auto desktop = system.getSpecialFolderPath(platform::csidl::kDesktop);
    if (desktop.ok()) {
      f.DesktopDir = withoutTrailingBackslashes(desktop.value.substr(0, desktop.value.find(u'\0')));
    }
  });
  find.step([&] { f.UserProfileDir = find.expand(u"%UserProfile%"); });

  find.step([&] {
    // The value is expanded whatever its type: a REG_SZ holding
    // "%USERPROFILE%\..." is as common as the REG_EXPAND_SZ it should be.
    const std::u16string value =
        regDataText(registry.GetRegData(kEnvironmentKey, u"Temp", std::u16string()));
    f.TempDir = value.empty() ? std::u16string() : find.expand(value);
    if (f.TempDir.empty()) {
      f.TempDir = f.UserProfileDir +
                  (os.IsVistaOrLater() ? u"\\AppData\\Local\\Temp" : u"\\Local Settings\\Temp");
    }
  });

  find.step([&] { f.SettingsPath = f.TempDir + u"\\" + std::u16string(kSettingsFileName); });
  return f;
}

EngineFolders engineFolders(const ProgramFolders& folders, const clsOSInfo& os) {
  return EngineFolders{.browser = BrowserFolders{.AppDataDir = folders.AppDataDir,
                                                 .LocalAppDataDir = folders.LocalAppDataDir,
                                                 .SysDrive = folders.SysDrive,
                                                 .DesktopDir = folders.DesktopDir,
                                                 .UserProfileDir = folders.UserProfileDir,
                                                 .PF32 = folders.PF32,
                                                 .PF64 = folders.PF64,
                                                 .Family = os.Family(),
                                                 .Bitness = os.Bitness()},
                       .cure = CureFolders{.SysRoot = folders.SysRoot,
                                           .Sys32 = folders.Sys32,
                                           .SysWow64 = folders.SysWow64,
                                           .PF32 = folders.PF32,
                                           .PF64 = folders.PF64},
                       .isWin64 = folders.bIsWin64};
}

}  // namespace tolvaran
