#pragma once
// Finding the executable a damaged shortcut should really start: from the
// browser database's records and the places where Windows and installers
// register browsers, and from the target the shortcut file still keeps in
// its LinkInfo block. The method that succeeded becomes the A-code.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/argument_analysis.h"
#include "engine/browser_database.h"
#include "engine/browser_identification.h"
#include "engine/cure_state.h"
#include "fileops/mod_file.h"
#include "platform/ports.h"
#include "support/failure.h"
#include "system/registry.h"

namespace tolvaran {

inline constexpr std::u16string_view kAppPathsKey =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
inline constexpr std::u16string_view kInternetClientsKey = u"Software\\Clients\\StartMenuInternet";
// What per-user browser installs write into their client key names.
inline constexpr std::u16string_view kSidPlaceholder = u".<SID>";

class TargetRecovery {
 public:
  TargetRecovery(const platform::Ports& ports, BrowserIdentification& identification,
                 BrowserDatabase& database, clsRegistry& registry, ArgumentAnalysis& analysis,
                 modFile& files, const CureFolders& folders, FailureRecorder& recorder);
  TargetRecovery(const TargetRecovery&) = delete;
  TargetRecovery& operator=(const TargetRecovery&) = delete;

  // The recovered executable for the shortcut named `name` (its lower-case
  // file name without extension) at `lnkPath`, whose target is `target`;
  // empty when none was found. `code` becomes the A-code of the method that
  // found it and is left alone otherwise. `keepWorkingFolder` is true only
  // when a record's KeepExePath ended the search.
  std::u16string FindTargetByFileName(std::u16string_view name, bool& keepWorkingFolder,
                                      std::u16string_view lnkPath, std::u16string& code,
                                      std::u16string_view target);

  // The executable behind a registered internet client: `client` is a name
  // under the clients key (or a prefix of one) or a full "HKEY_..." key;
  // `hive` "HKLM" or "HKCU". The client's open command names the program,
  // or with `isFolder` its folder, to which `exeFile` is added. Empty unless
  // the path exists. A client missing from HKLM is looked up in HKCU.
  std::u16string FindEXE_by_InetClass(std::u16string_view client, bool isFolder,
                                      std::u16string_view exeFile, std::u16string_view hive);

  // The program paths the record's registry hints name: App Paths and the
  // path and folder values as they stand, the internet client when its
  // program exists. Where the browser's installer says it lives.
  std::vector<std::u16string> registeredPaths(const BrowserInfo& record);

 private:
  // The path one record's methods find, in their order; empty sends the
  // search on to the next record.
  std::u16string tryRecord(const BrowserInfo& record, bool& keepWorkingFolder,
                           std::u16string& code);
  // The program each registry hint of the record names; empty (or no value
  // at all for App Paths) when the hint is missing.
  std::optional<std::u16string> appPathsOf(const BrowserInfo& record);
  std::u16string clientPathOf(const BrowserInfo& record);
  std::u16string registryPathOf(const BrowserInfo& record);
  std::u16string registryFolderOf(const BrowserInfo& record);
  std::u16string fromLinkInfo(BrowserID id, std::u16string_view lnkPath, std::u16string& code,
                              std::u16string_view target);
  std::u16string readRegistryText(std::u16string_view key, std::u16string_view valueName);
  std::u16string readRegistryReference(std::u16string_view reference);

  platform::Files& portFiles_;
  platform::System& system_;
  BrowserIdentification& identification_;
  BrowserDatabase& database_;
  clsRegistry& registry_;
  ArgumentAnalysis& analysis_;
  modFile& files_;
  const CureFolders& folders_;
  FailureRecorder& recorder_;
};

// True when `path` lies in `folder` or is that folder (case-insensitive);
// "C:\Program Files (x86)\x" does not lie in "C:\Program Files". An empty
// folder contains nothing.
bool isInFolder(std::u16string_view path, std::u16string_view folder) noexcept;

}  // namespace tolvaran
