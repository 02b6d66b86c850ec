#include "report/data_folder.h"

namespace tolvaran {
namespace {

constexpr std::u16string_view kOwnFolder = u"Tolvaran";

}  // namespace

std::u16string joinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (path.empty() || path.back() != u'\\') path += u'\\';
  path += name;
  return path;
}

std::u16string fallbackDataFolder(platform::System& system) {
  const auto temp = system.getTempPath();
  if (!temp.ok() || temp.value.empty()) return {};
  return joinPath(temp.value, kOwnFolder);
}

std::u16string documentsDataFolder(platform::System& system) {
  const auto documents = system.getSpecialFolderPath(platform::csidl::kPersonal);
  if (!documents.ok()) return {};
  const std::u16string_view folder =
      std::u16string_view(documents.value).substr(0, documents.value.find(u'\0'));
  if (folder.empty()) return {};
  return joinPath(folder, kOwnFolder);
}

std::vector<std::u16string> dataFolders(platform::System& system,
                                        std::u16string_view programFolder) {
  std::vector<std::u16string> folders;
  for (std::u16string folder :
       {std::u16string(programFolder), fallbackDataFolder(system), documentsDataFolder(system)}) {
    if (!folder.empty()) folders.push_back(std::move(folder));
  }
  return folders;
}

platform::Win32Code ensureFolder(platform::Files& files, std::u16string_view folder) {
  const auto attributes = files.getFileAttributes(folder);
  if (attributes.ok()) {
    return (attributes.value & platform::attr::kDirectory) != 0 ? platform::kErrorSuccess
                                                                : platform::kErrorAlreadyExists;
  }
  const auto created = files.createDirectory(folder);
  if (created.ok()) return platform::kErrorSuccess;
  // Made meanwhile by someone else, or a file of that name.
  if (created.code == platform::kErrorAlreadyExists) {
    const auto now = files.getFileAttributes(folder);
    if (now.ok() && (now.value & platform::attr::kDirectory) != 0) return platform::kErrorSuccess;
  }
  return created.code;
}

}  // namespace tolvaran
