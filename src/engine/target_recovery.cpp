#include "engine/target_recovery.h"

#include <optional>
#include <utility>

#include "engine/arguments/script_hosts.h"
#include "engine/path_names.h"
#include "shortcut/link_info_target.h"
#include "support/oem_text.h"
#include "support/text.h"

namespace tolvaran {

bool isInFolder(std::u16string_view path, std::u16string_view folder) noexcept {
  if (folder.empty() || !startsWithNoCase(path, folder)) return false;
  return path.size() == folder.size() || folder.back() == u'\\' || path[folder.size()] == u'\\';
}

TargetRecovery::TargetRecovery(const platform::Ports& ports, BrowserIdentification& identification,
                               BrowserDatabase& database, clsRegistry& registry,
                               ArgumentAnalysis& analysis, modFile& files,
                               const CureFolders& folders, FailureRecorder& recorder)
    : portFiles_(ports.files),
      system_(ports.system),
      identification_(identification),
      database_(database),
      registry_(registry),
      analysis_(analysis),
      files_(files),
      folders_(folders),
      recorder_(recorder) {}

std::u16string TargetRecovery::readRegistryText(std::u16string_view key,
                                                std::u16string_view valueName) {
  return regDataText(registry_.GetRegData(key, valueName, RegData(std::u16string())));
}

std::u16string TargetRecovery::readRegistryReference(std::u16string_view reference) {
  std::u16string key;
  std::u16string valueName;
  registry_.SplitRegString(reference, key, valueName);
  if (key.empty()) return {};
  return readRegistryText(key, valueName);
}

std::u16string TargetRecovery::FindTargetByFileName(std::u16string_view name,
                                                    bool& keepWorkingFolder,
                                                    std::u16string_view lnkPath,
                                                    std::u16string& code,
                                                    std::u16string_view target) {
  keepWorkingFolder = false;
  return guarded(
      recorder_, std::u16string(),
      [&]() -> std::u16string {
        const BrowserID id = identification_.GetBrowserID(name);
        if (id != 0) {
          // Copied: deciphering another browser's records may move them.
          const std::vector<BrowserInfo> records = database_.records(id);
          for (const BrowserInfo& record : records) {
            std::u16string found = tryRecord(record, keepWorkingFolder, code);
            if (!found.empty()) return found;
          }
        }
        return fromLinkInfo(id, lnkPath, code, target);
      },
      [&] { return ErrorContext(u"Engine.FindTargetByFileName", u"File: ", lnkPath); });
}

std::u16string TargetRecovery::tryRecord(const BrowserInfo& record, bool& keepWorkingFolder,
                                         std::u16string& code) {
  if (record.KeepExePath && !record.ExePath.empty()) {
    keepWorkingFolder = true;
    return record.ExePath;
  }
  if (!record.ExePath.empty() && files_.isFileExists(record.ExePath)) {
    code = recovery_code::kExePath;
    return record.ExePath;
  }
  if (std::optional<std::u16string> registered = appPathsOf(record)) {
    if (files_.isFileExists(*registered)) {
      code = recovery_code::kAppPaths;
      return std::move(*registered);
    }
    // The registered program is gone: this record's other hints describe
    // the same installation.
    return {};
  }
  if (std::u16string path = clientPathOf(record); !path.empty()) {
    code = recovery_code::kInternetClient;
    return path;
  }
  if (std::u16string path = registryPathOf(record); !path.empty() && files_.isFileExists(path)) {
    code = recovery_code::kRegistryPath;
    return path;
  }
  if (std::u16string path = registryFolderOf(record); !path.empty() && files_.isFileExists(path)) {
    code = recovery_code::kRegistryFolder;
    return path;
  }
  return {};
}

std::optional<std::u16string> TargetRecovery::appPathsOf(const BrowserInfo& record) {
  if (record.AppPathsName.empty()) return std::nullopt;
  const std::u16string value =
      readRegistryText(std::u16string(kAppPathsKey) + record.AppPathsName, u"");
  if (value.empty()) return std::nullopt;
  return analysis_.ClearPathFromRegistry(value);
}

std::u16string TargetRecovery::clientPathOf(const BrowserInfo& record) {
  const std::u16string client = replaceAll(record.InetClass, kSidPlaceholder, u"");
  // An empty client name would match the first client registered, whichever
  // browser that is.
  if (client.empty()) return {};
  return FindEXE_by_InetClass(client, record.InetClassIsFolder, GetFileNameAndExt(record.ExePath),
                              u"HKLM");
}

std::u16string TargetRecovery::registryPathOf(const BrowserInfo& record) {
  if (record.RegPathValue.empty()) return {};
  const std::u16string value = readRegistryReference(record.RegPathValue);
  return value.empty() ? std::u16string() : analysis_.ClearPathFromRegistry(value);
}

std::u16string TargetRecovery::registryFolderOf(const BrowserInfo& record) {
  if (record.RegFolderValue.empty()) return {};
  const std::u16string value = readRegistryReference(record.RegFolderValue);
  return value.empty() ? std::u16string()
                       : UnQuote(value) + u"\\" + GetFileNameAndExt(record.ExePath);
}

std::vector<std::u16string> TargetRecovery::registeredPaths(const BrowserInfo& record) {
  std::vector<std::u16string> paths;
  const auto add = [&](std::u16string path) {
    if (!path.empty()) paths.push_back(std::move(path));
  };
  add(appPathsOf(record).value_or(std::u16string()));
  add(clientPathOf(record));
  add(registryPathOf(record));
  add(registryFolderOf(record));
  return paths;
}

std::u16string TargetRecovery::fromLinkInfo(BrowserID id, std::u16string_view lnkPath,
                                            std::u16string& code, std::u16string_view target) {
  std::u16string link = GetLinkInfoTarget(portFiles_, system_, recorder_, lnkPath);
  if (link.empty() || equalsNoCase(link, target)) return {};
  if (equalsNoCase(GetFileNameAndExt(link), GetFileNameAndExt(target))) return {};
  if (id != 0 && GetExtensionName(link) != u".EXE") return {};
  // What a hijack left behind is no target to go back to.
  if (isScriptFile(link)) return {};
  if (!folders_.PF64.empty() && isInFolder(link, folders_.PF64)) {
    std::u16string alternative =
        folders_.PF32 + std::u16string(sliceFrom(link, folders_.PF64.size()));
    // The shell reports the 32-bit folder for the same program: nothing to recover.
    if (equalsNoCase(target, alternative)) return {};
    if (files_.isFileExists(link)) {
      code = recovery_code::kLinkInfo;
      return link;
    }
    if (files_.isFileExists(alternative)) {
      code = recovery_code::kLinkInfo;
      return alternative;
    }
    return {};
  }
  if (files_.isFileExists(link)) {
    code = recovery_code::kLinkInfo;
    return link;
  }
  return {};
}

std::u16string TargetRecovery::FindEXE_by_InetClass(std::u16string_view client, bool isFolder,
                                                    std::u16string_view exeFile,
                                                    std::u16string_view hive) {
  return guarded(
      recorder_, std::u16string(),
      [&]() -> std::u16string {
        std::u16string clientsKey(kInternetClientsKey);
        std::u16string clientName(client);
        if (upperCase(left(client, 4)) == u"HKEY") {
          const std::size_t rootEnd = client.find(u'\\');
          const std::u16string_view rest = rootEnd == std::u16string_view::npos
                                               ? std::u16string_view()
                                               : client.substr(rootEnd + 1);
          clientsKey = GetPathName(rest);
          clientName = GetFileNameAndExt(rest);
        }
        const std::u16string parent = std::u16string(hive) + u"\\" + clientsKey;
        const std::u16string found = registry_.FindSubKey(parent, clientName);
        if (!found.empty()) {
          const std::u16string command =
              readRegistryText(parent + u"\\" + found + u"\\shell\\open\\command", u"");
          if (command.empty()) return {};
          std::u16string path = isFolder ? UnQuote(command) + u"\\" + std::u16string(exeFile)
                                         : analysis_.ClearPathFromRegistry(command);
          return files_.isFileExists(path) ? path : std::u16string();
        }
        if (!equalsNoCase(hive, u"HKCU"))
          return FindEXE_by_InetClass(client, isFolder, exeFile, u"HKCU");
        return {};
      },
      [&] { return ErrorContext(u"Engine.FindEXE_by_InetClass", u"Client: ", client); });
}

}  // namespace tolvaran
