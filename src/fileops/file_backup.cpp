#include "fileops/file_backup.h"

#include "support/text.h"

namespace tolvaran {
namespace {

namespace attr = platform::attr;

constexpr std::u16string_view kLiteralPrefix = u"\\\\?\\";
constexpr std::u16string_view kLiteralUncPrefix = u"\\\\?\\UNC\\";
constexpr std::u16string_view kBackupFolder = u"Backup";
constexpr std::u16string_view kBackupSuffix = u".bak";
// Made and deleted again to prove the folder takes files.
constexpr std::u16string_view kProbeName = u"probe.tmp";
// CreateDirectoryW refuses a path of MAX_PATH - 12 characters or more
// unless it has the literal prefix; files reach 260. The shorter limit
// serves both.
constexpr std::size_t kShortPathLimit = 248;
constexpr int kMaxFolderDepth = 128;

// What SetFileAttributesW takes: the rest is the file system's own.
constexpr std::uint32_t kSettable = attr::kReadOnly | attr::kHidden | attr::kSystem |
                                    attr::kArchive | attr::kTemporary | 0x1000u /* offline */ |
                                    0x2000u /* not content indexed */;

std::uint32_t settable(std::uint32_t attributes) {
  const std::uint32_t kept = attributes & kSettable;
  return kept == 0 ? attr::kNormal : kept;
}

bool isDriveRoot(std::u16string_view path) {
  return path.size() >= 3 &&
         ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')) &&
         path[1] == u':' && path[2] == u'\\';
}

}  // namespace

std::u16string mirroredPath(std::u16string_view fullPath) {
  std::u16string_view path = fullPath.substr(0, fullPath.find(u'\0'));
  std::u16string mirrored;
  if (startsWithNoCase(path, kLiteralUncPrefix)) {
    path.remove_prefix(kLiteralUncPrefix.size());
    mirrored = u"UNC";
  } else if (path.starts_with(kLiteralPrefix)) {
    path.remove_prefix(kLiteralPrefix.size());
    if (!isDriveRoot(path)) return {};
  } else if (path.starts_with(u"\\\\")) {
    if (path.size() > 2 && (path[2] == u'?' || path[2] == u'.')) return {};
    path.remove_prefix(2);
    mirrored = u"UNC";
  } else if (!isDriveRoot(path)) {
    return {};
  }
  if (mirrored.empty()) {
    mirrored.push_back(static_cast<char16_t>(path[0] & ~0x20));  // the drive letter, upper case
    path.remove_prefix(2);
  } else {
    mirrored.push_back(u'\\');
  }
  // A folder's path names no file to keep.
  if (path.empty() || path.back() == u'\\') return {};
  mirrored += path;
  return mirrored;
}

std::u16string backupFolderOf(std::u16string_view reportLogPath) {
  const std::size_t slash = reportLogPath.rfind(u'\\');
  if (reportLogPath.empty() || slash == std::u16string_view::npos) return {};
  std::u16string_view name = reportLogPath.substr(slash + 1);
  if (endsWithNoCase(name, u".log")) name.remove_suffix(4);
  if (name.empty()) return {};
  return std::u16string(reportLogPath.substr(0, slash)) + u"\\" + std::u16string(kBackupFolder) +
         u"\\" + std::u16string(name);
}

std::u16string extendedLengthPath(std::u16string_view path) {
  if (path.size() < kShortPathLimit || path.starts_with(kLiteralPrefix)) {
    return std::u16string(path);
  }
  if (path.starts_with(u"\\\\"))
    return std::u16string(kLiteralUncPrefix) + std::u16string(path.substr(2));
  if (isDriveRoot(path)) return std::u16string(kLiteralPrefix) + std::u16string(path);
  return std::u16string(path);
}

void FileBackup::SetReportLog(std::u16string_view reportLogPath) {
  folder_ = backupFolderOf(reportLogPath);
  holdsFiles_ = false;
}

platform::Win32Code FileBackup::ProveWritable(std::u16string_view reportLogPath) {
  const std::u16string folder = backupFolderOf(reportLogPath);
  if (folder.empty()) return platform::kErrorInvalidName;
  if (files_.getFileAttributes(extendedLengthPath(folder)).ok()) return platform::kErrorFileExists;
  if (const auto code = ensureFolder(folder, 0)) return code;
  const std::u16string probe = extendedLengthPath(folder + u"\\" + std::u16string(kProbeName));
  const auto created = files_.createFile(probe, platform::access::kGenericWrite, 0,
                                         platform::Disposition::kCreateNew);
  platform::Win32Code code = created.code;
  if (created.ok()) {
    (void)files_.closeHandle(created.value);
    code = files_.deleteFile(probe).code;
  }
  // The folder is made again by the first backup; left empty, it would
  // tell a later run of the same minute that its name is taken.
  (void)files_.removeDirectory(extendedLengthPath(folder));
  return code;
}

std::u16string FileBackup::BackupPathFor(std::u16string_view fullPath) const {
  if (folder_.empty()) return {};
  const std::u16string mirrored = mirroredPath(fullPath);
  if (mirrored.empty()) return {};
  return folder_ + u"\\" + mirrored + std::u16string(kBackupSuffix);
}

platform::Win32Code FileBackup::ensureFolder(const std::u16string& folder, int depth) {
  const auto attributes = files_.getFileAttributes(extendedLengthPath(folder));
  if (attributes.ok()) {
    return (attributes.value & attr::kDirectory) ? platform::kErrorSuccess
                                                 : platform::kErrorAlreadyExists;
  }
  const std::size_t slash = folder.rfind(u'\\');
  if (depth >= kMaxFolderDepth || slash == std::u16string::npos || slash < 3) {
    return attributes.code;
  }
  if (const auto code = ensureFolder(folder.substr(0, slash), depth + 1)) return code;
  const auto created = files_.createDirectory(extendedLengthPath(folder));
  return created.ok() || created.code == platform::kErrorAlreadyExists ? platform::kErrorSuccess
                                                                       : created.code;
}

BackupResult FileBackup::Save(std::u16string_view path) {
  if (folder_.empty()) return {platform::kErrorPathNotFound, {}};
  const auto full = files_.getFullPathName(path);
  if (!full.ok()) return {full.code, {}};
  const std::u16string source = extendedLengthPath(full.value);
  const auto attributes = files_.getFileAttributes(source);
  if (!attributes.ok()) return {attributes.code, {}, platform::isNotFound(attributes.code)};
  if (attributes.value & attr::kDirectory) return {platform::kErrorAccessDenied, {}};

  BackupResult result{platform::kErrorSuccess, BackupPathFor(full.value)};
  if (result.backupPath.empty()) return {platform::kErrorInvalidName, {}};
  const std::u16string target = extendedLengthPath(result.backupPath);
  if (files_.getFileAttributes(target).ok()) {
    holdsFiles_ = true;
    return result;
  }

  result.code = ensureFolder(result.backupPath.substr(0, result.backupPath.rfind(u'\\')), 0);
  if (!result.ok()) return result;
  result.code = files_.copyFile(source, target, true).code;
  // The copy carries the attributes, with the archive bit added: make them exact.
  if (result.ok()) {
    holdsFiles_ = true;
    (void)files_.setFileAttributes(target, settable(attributes.value));
  }
  return result;
}

platform::Win32Code FileBackup::Restore(std::u16string_view path) {
  const auto full = files_.getFullPathName(path);
  if (!full.ok()) return full.code;
  const std::u16string backupPath = BackupPathFor(full.value);
  if (backupPath.empty()) return platform::kErrorFileNotFound;
  const std::u16string backup = extendedLengthPath(backupPath);
  const auto saved = files_.getFileAttributes(backup);
  if (!saved.ok())
    return platform::isNotFound(saved.code) ? platform::kErrorFileNotFound : saved.code;

  const std::u16string original = extendedLengthPath(full.value);
  if (const auto present = files_.getFileAttributes(original); present.ok()) {
    if (present.value & attr::kDirectory) return platform::kErrorAccessDenied;
    (void)files_.setFileAttributes(original, attr::kNormal);
    if (const auto deleted = files_.deleteFile(original); !deleted.ok()) return deleted.code;
  }
  if (const auto copied = files_.copyFile(backup, original, true); !copied.ok()) {
    return copied.code;
  }
  return files_.setFileAttributes(original, settable(saved.value)).code;
}

}  // namespace tolvaran
