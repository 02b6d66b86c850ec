#include "report/data_folder.h"

namespace tolvaran {

std::u16string joinPath(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (path.empty() || path.back() != u'\\') path += u'\\';
  path += name;
  return path;
}

std::u16string fallbackDataFolder(platform::System& system) {
  const auto temp = system.getTempPath();
  if (!temp.ok() || temp.value.empty()) return {};
  return joinPath(temp.value, u"Tolvaran");
}

bool isUnwritableLocation(platform::Win32Code code) noexcept {
  return code == platform::kErrorAccessDenied || code == platform::kErrorWriteProtect ||
         code == platform::kErrorPathNotFound || code == platform::kErrorNotReady;
}

platform::Win32Code ensureFolder(platform::Files& files, std::u16string_view folder) {
  const auto attributes = files.getFileAttributes(folder);
  if (attributes.ok()) {
    return (attributes.value & platform::attr::kDirectory) != 0 ? platform::kErrorSuccess
                                                                : platform::kErrorAlreadyExists;
  }
  const auto created = files.createDirectory(folder);
  return created.ok() || created.code == platform::kErrorAlreadyExists ? platform::kErrorSuccess
                                                                       : created.code;
}

}  // namespace tolvaran
