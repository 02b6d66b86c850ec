#pragma once
// The simulated file system: volumes (drive letters and \\server\share
// shares) holding folders and files with case-insensitive names, attributes,
// times and contents; open handles with Windows' sharing rules; faults to
// inject and a journal of every call. Path rules: sim_path.h.
//
// clang-format off
//   call                                          -> Win32 result
//   GetFileAttributes on a missing file / folder  -> ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND
//   SetFileAttributes                             -> R H S A, TEMPORARY, OFFLINE, NOT_CONTENT_INDEXED
//                                                    are kept; sparse, reparse point and compressed
//                                                    stay as they were; a file left with none reads
//                                                    NORMAL
//   DeleteFile of a read-only file or a folder    -> ERROR_ACCESS_DENIED
//   DeleteFile of a file open without share-delete-> ERROR_SHARING_VIOLATION
//   DeleteFile of a file open with share-delete   -> succeeds; the name stays, "delete pending",
//                                                    until the last handle closes; opening or
//                                                    reading its attributes meanwhile: ACCESS_DENIED
//   CreateDirectory of an existing name           -> ERROR_ALREADY_EXISTS
//   CreateDirectory under a missing folder        -> ERROR_PATH_NOT_FOUND
//   RemoveDirectory of a folder that holds entries-> ERROR_DIR_NOT_EMPTY; of a file: ERROR_DIRECTORY;
//                                                    of a read-only folder: ERROR_ACCESS_DENIED
//   CreateFile CREATE_NEW on an existing name     -> ERROR_FILE_EXISTS
//   CreateFile OPEN_EXISTING / TRUNCATE_EXISTING on a missing file -> ERROR_FILE_NOT_FOUND
//   CreateFile CREATE_ALWAYS / TRUNCATE_EXISTING on a hidden or system file -> ERROR_ACCESS_DENIED
//                                                    (only FILE_ATTRIBUTE_NORMAL is requested)
//   CreateFile for writing or truncating a read-only file -> ERROR_ACCESS_DENIED
//   CreateFile on a folder                        -> ERROR_ACCESS_DENIED (no backup semantics)
//   CreateFile TRUNCATE_EXISTING without GENERIC_WRITE, a bad disposition -> ERROR_INVALID_PARAMETER
//   CreateFile against open handles               -> ERROR_SHARING_VIOLATION when the new access is
//                                                    not shared by an open handle, or an open
//                                                    handle's access is not shared by the new one;
//                                                    an open with no data access never conflicts
//   a new file                                    -> ARCHIVE, all three times "now"
//   ReadFile / WriteFile without that access      -> ERROR_ACCESS_DENIED
//   WriteFile past the end                        -> the gap is zero-filled; contents change at once
//   SetFilePointerEx beyond 2^63 - 1              -> ERROR_NEGATIVE_SEEK
//   an unknown or closed handle                   -> ERROR_INVALID_HANDLE
//   MoveFile onto an existing name                -> ERROR_ALREADY_EXISTS (a change of case only
//                                                    is a rename); a folder to another volume:
//                                                    ERROR_NOT_SAME_DEVICE; a folder into itself:
//                                                    ERROR_ACCESS_DENIED
//   CopyFile onto an existing name, failIfExists  -> ERROR_FILE_EXISTS; onto a read-only or
//                                                    hidden file: ERROR_ACCESS_DENIED
//   FindFirstFile "dir\*"                         -> "." and ".." first (not in a root), then the
//                                                    entries in the order of their upper-cased names
//   FindFirstFile "dir\" / no match / no folder   -> ERROR_FILE_NOT_FOUND / ERROR_FILE_NOT_FOUND /
//                                                    ERROR_PATH_NOT_FOUND
//   GetLongPathName                               -> the path as given when it exists (no 8.3 aliases)
//   PathFileExists, the shell's PathFileExists    -> true exactly when GetFileAttributes succeeds;
//                                                    false with GetFileAttributes' error
//   every path-taking call but GetFullPathName    -> through WOW64 redirection: sim_wow64.h
//   a name in another letter case                 -> the same entry, as NTFS compares names:
//                                                    sim_path.h
// clang-format on
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_path.h"
#include "platform/sim/sim_wow64.h"

namespace tolvaran::platform::sim {

enum class FileOp {
  kGetFileAttributes,
  kSetFileAttributes,
  kDeleteFile,
  kCreateDirectory,
  kRemoveDirectory,
  kMoveFile,
  kCopyFile,
  kGetFullPathName,
  kGetLongPathName,
  kFindFirstFile,
  kFindNextFile,
  kFindClose,
  kCreateFile,
  kReadFile,
  kWriteFile,
  kGetFileSize,
  kSeekFile,
  kGetFileTime,
  kCloseHandle,
  kPathFileExists,
  kShellPathFileExists,
  kDisableWow64FsRedirection,
  kRevertWow64FsRedirection,
};

class SimFiles final : public Files {
 public:
  // Volume C: exists, empty. New entries take their times from `clock`.
  explicit SimFiles(const SimClock& clock);
  ~SimFiles() override;
  SimFiles(const SimFiles&) = delete;
  SimFiles& operator=(const SimFiles&) = delete;

  Result<std::uint32_t> getFileAttributes(std::u16string_view path) override;
  Status setFileAttributes(std::u16string_view path, std::uint32_t attributes) override;
  Status deleteFile(std::u16string_view path) override;
  Status createDirectory(std::u16string_view path) override;
  Status removeDirectory(std::u16string_view path) override;
  Status moveFile(std::u16string_view existing, std::u16string_view target) override;
  Status copyFile(std::u16string_view existing, std::u16string_view target,
                  bool failIfExists) override;
  Result<std::u16string> getFullPathName(std::u16string_view path) override;
  Result<std::u16string> getLongPathName(std::u16string_view path) override;
  Result<FindFirst> findFirstFile(std::u16string_view pattern) override;
  Result<FindData> findNextFile(FindHandle find) override;
  Status findClose(FindHandle find) override;
  Result<FileHandle> createFile(std::u16string_view path, std::uint32_t desiredAccess,
                                std::uint32_t shareMode, Disposition disposition) override;
  Result<std::uint32_t> readFile(FileHandle file, std::span<std::byte> buffer) override;
  Result<std::uint32_t> writeFile(FileHandle file, std::span<const std::byte> data) override;
  Result<std::uint64_t> getFileSize(FileHandle file) override;
  Result<std::uint64_t> seekFile(FileHandle file, std::uint64_t offset) override;
  Result<FileTimes> getFileTime(FileHandle file) override;
  Status closeHandle(FileHandle file) override;
  Result<bool> pathFileExists(std::u16string_view path) override;
  Result<bool> shellPathFileExists(std::u16string_view path) override;
  Result<Wow64RedirectionValue> disableWow64FsRedirection() override;
  Status revertWow64FsRedirection(Wow64RedirectionValue oldValue) override;

  // --- Setting up and inspecting the machine (not part of the port) -------
  // The accessors below see the disk as it is, never through redirection.
  // Who the process is for WOW64; starts with redirection on.
  void setWow64(Wow64Setup setup) { wow64_.configure(std::move(setup)); }
  [[nodiscard]] const Wow64Redirector& wow64() const noexcept { return wow64_; }
  // "D:" or "\\server\share"; false when it exists or is not such a name.
  bool addVolume(std::u16string_view root);
  // Creates missing parent folders; false when a parent is a file, the path
  // is invalid or its volume missing. An existing file is replaced. Besides
  // what SetFileAttributes can set, entries may be given sparse, reparse
  // point and compressed, which SetFileAttributes then leaves as they are.
  bool addFolder(std::u16string_view path, std::uint32_t attributes = attr::kDirectory);
  bool addFile(std::u16string_view path, std::string_view contents,
               std::uint32_t attributes = attr::kArchive);
  [[nodiscard]] bool exists(std::u16string_view path) const;
  [[nodiscard]] std::optional<std::uint32_t> attributesOf(std::u16string_view path) const;
  [[nodiscard]] std::optional<std::string> readFileBytes(std::u16string_view path) const;
  [[nodiscard]] std::optional<FileTimes> timesOf(std::u16string_view path) const;
  bool setTimes(std::u16string_view path, const FileTimes& times);
  // Names in a folder, in the order of their upper-cased names; nothing for
  // a missing folder.
  [[nodiscard]] std::vector<std::u16string> listFolder(std::u16string_view path) const;
  [[nodiscard]] std::size_t openHandleCount() const noexcept;
  [[nodiscard]] std::size_t openFindCount() const noexcept;

  FaultPlan<FileOp>& faults() noexcept { return faults_; }
  [[nodiscard]] const std::vector<JournalEntry<FileOp>>& journal() const noexcept {
    return journal_;
  }
  void clearJournal() { journal_.clear(); }

  // One folder or file.
  struct Node {
    std::u16string name;
    std::uint32_t attributes = 0;
    FileTimes times;
    std::string contents;
    // Upper-cased name -> entry; a hash, since a folder may hold many thousands
    // of entries and is looked up far more often than listed.
    std::unordered_map<std::u16string, std::shared_ptr<Node>> children;
    Node* parent = nullptr;
    bool deletePending = false;
    [[nodiscard]] bool isFolder() const noexcept { return (attributes & attr::kDirectory) != 0; }
  };

 private:
  struct OpenFile {
    std::shared_ptr<Node> node;
    std::u16string path;
    std::uint32_t access = 0;
    std::uint32_t share = 0;
    std::uint64_t position = 0;
  };
  struct OpenFind {
    std::u16string pattern;
    std::vector<FindData> entries;
    std::size_t next = 0;
  };
  // Where a path leads: the folder that holds (or would hold) its last
  // component, and the entry itself when it exists.
  struct Lookup {
    Win32Code code = kErrorSuccess;
    SimPath path;
    std::shared_ptr<Node> parent;
    std::shared_ptr<Node> node;
  };

  [[nodiscard]] Lookup resolve(std::u16string_view path, NameCheck check) const;
  [[nodiscard]] Lookup resolve(SimPath path) const;
  // What a port call reaches: the path parsed, then redirected.
  [[nodiscard]] Lookup resolveView(std::u16string_view path, NameCheck check) const;
  std::shared_ptr<Node> makeNode(std::u16string_view name, std::uint32_t attributes) const;
  [[nodiscard]] bool sharingConflict(const Node& node, std::uint32_t access,
                                     std::uint32_t share) const;
  [[nodiscard]] bool isOpen(const Node& node) const;
  [[nodiscard]] std::u16string handlePath(std::uint64_t handle) const;
  std::shared_ptr<Node> ensureFolder(const SimPath& path);

  template <class R, class Body>
  R call(FileOp op, std::u16string_view path, std::u16string_view otherPath, Body&& body);

  Result<std::uint32_t> doGetFileAttributes(std::u16string_view path);
  Status doSetFileAttributes(std::u16string_view path, std::uint32_t attributes);
  Status doDeleteFile(std::u16string_view path);
  Status doCreateDirectory(std::u16string_view path);
  Status doRemoveDirectory(std::u16string_view path);
  Status doMoveFile(std::u16string_view existing, std::u16string_view target);
  Status doCopyFile(std::u16string_view existing, std::u16string_view target, bool failIfExists);
  Result<std::u16string> doGetLongPathName(std::u16string_view path);
  Result<FindFirst> doFindFirstFile(std::u16string_view pattern);
  Result<FileHandle> doCreateFile(std::u16string_view path, std::uint32_t desiredAccess,
                                  std::uint32_t shareMode, Disposition disposition);

  const SimClock& clock_;
  std::map<std::u16string, std::shared_ptr<Node>> volumes_;  // upper-cased volume name -> root
  std::map<std::uint64_t, OpenFile> files_;
  std::map<std::uint64_t, OpenFind> finds_;
  std::uint64_t nextHandle_ = 0x100;
  FaultPlan<FileOp> faults_;
  std::vector<JournalEntry<FileOp>> journal_;
  Wow64Redirector wow64_;
};

}  // namespace tolvaran::platform::sim
