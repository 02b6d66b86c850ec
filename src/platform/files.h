#pragma once
// The file-system port: one method per Win32 file call, same arguments, same
// answers. Paths are UTF-16 exactly as Windows receives them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "support/result.h"

namespace tolvaran::platform {

using FileHandle = std::uint64_t;
inline constexpr FileHandle kInvalidFileHandle = 0;

using FindHandle = std::uint64_t;
inline constexpr FindHandle kInvalidFindHandle = 0;

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// File codes only the file port gives.
inline constexpr Win32Code kErrorNotSameDevice = 17;
inline constexpr Win32Code kErrorNoMoreFiles = 18;

// The opaque value Wow64DisableWow64FsRedirection hands out and
// Wow64RevertWow64FsRedirection takes back (a PVOID, widened).
using Wow64RedirectionValue = std::uint64_t;

namespace attr {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kTemporary = 0x100;
inline constexpr std::uint32_t kSparseFile = 0x200;
inline constexpr std::uint32_t kReparsePoint = 0x400;
inline constexpr std::uint32_t kCompressed = 0x800;
}  // namespace attr

namespace access {
inline constexpr std::uint32_t kGenericRead = 0x80000000u;
inline constexpr std::uint32_t kGenericWrite = 0x40000000u;
inline constexpr std::uint32_t kDelete = 0x10000u;
inline constexpr std::uint32_t kReadAttributes = 0x80u;
}  // namespace access

namespace share {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kRead = 0x1;
inline constexpr std::uint32_t kWrite = 0x2;
inline constexpr std::uint32_t kDelete = 0x4;
}  // namespace share

// CreateFileW's creation disposition, with the same numbers.
enum class Disposition : std::uint32_t {
  kCreateNew = 1,
  kCreateAlways = 2,
  kOpenExisting = 3,
  kOpenAlways = 4,
  kTruncateExisting = 5,
};

// FILETIME values: 100-nanosecond intervals since 1601-01-01 UTC.
struct FileTimes {
  std::uint64_t creation = 0;
  std::uint64_t lastAccess = 0;
  std::uint64_t lastWrite = 0;
  friend bool operator==(const FileTimes&, const FileTimes&) = default;
};

// WIN32_FIND_DATAW.
struct FindData {
  std::uint32_t attributes = 0;
  FileTimes times;
  std::uint64_t size = 0;
  std::u16string name;
  std::u16string alternateName;  // the 8.3 alias; empty when the name is one already
};

struct FindFirst {
  FindHandle handle = kInvalidFindHandle;
  FindData data;
};

class Files {
 public:
  virtual ~Files() = default;

  // GetFileAttributesW: kInvalidFileAttributes and the error on failure.
  virtual Result<std::uint32_t> getFileAttributes(std::u16string_view path) = 0;
  virtual Status setFileAttributes(std::u16string_view path, std::uint32_t attributes) = 0;
  virtual Status deleteFile(std::u16string_view path) = 0;
  virtual Status createDirectory(std::u16string_view path) = 0;
  virtual Status removeDirectory(std::u16string_view path) = 0;

  // MoveFileW: renames or moves a file or folder; files may change volume.
  virtual Status moveFile(std::u16string_view existing, std::u16string_view target) = 0;
  // CopyFileW.
  virtual Status copyFile(std::u16string_view existing, std::u16string_view target,
                          bool failIfExists) = 0;

  // GetFullPathNameW: the absolute, normalised form; touches no disk.
  virtual Result<std::u16string> getFullPathName(std::u16string_view path) = 0;
  // GetLongPathNameW: every 8.3 alias in the path replaced by its long name.
  virtual Result<std::u16string> getLongPathName(std::u16string_view path) = 0;

  // FindFirstFileW / FindNextFileW (kErrorNoMoreFiles at the end) / FindClose.
  virtual Result<FindFirst> findFirstFile(std::u16string_view pattern) = 0;
  virtual Result<FindData> findNextFile(FindHandle find) = 0;
  virtual Status findClose(FindHandle find) = 0;

  // CreateFileW with FILE_ATTRIBUTE_NORMAL. The handle is kInvalidFileHandle on
  // failure. An existing file opened by kCreateAlways or kOpenAlways succeeds
  // with code 0 (Win32 leaves ERROR_ALREADY_EXISTS behind; nothing here uses it).
  virtual Result<FileHandle> createFile(std::u16string_view path, std::uint32_t desiredAccess,
                                        std::uint32_t shareMode, Disposition disposition) = 0;
  // ReadFile: the number of bytes read; 0 at the end of the file.
  virtual Result<std::uint32_t> readFile(FileHandle file, std::span<std::byte> buffer) = 0;
  // WriteFile: the number of bytes written.
  virtual Result<std::uint32_t> writeFile(FileHandle file, std::span<const std::byte> data) = 0;
  // GetFileSizeEx.
  virtual Result<std::uint64_t> getFileSize(FileHandle file) = 0;
  // SetFilePointerEx from the beginning of the file: the new position.
  virtual Result<std::uint64_t> seekFile(FileHandle file, std::uint64_t offset) = 0;
  // GetFileTime.
  virtual Result<FileTimes> getFileTime(FileHandle file) = 0;
  virtual Status closeHandle(FileHandle file) = 0;

  // PathFileExistsW: true for an existing file or folder. When it answers
  // false, the code is the last error it left (its GetFileAttributesW's).
  virtual Result<bool> pathFileExists(std::u16string_view path) = 0;
  // The shell's own PathFileExists, exported by shell32 under ordinal 45
  // only, given the wide path; the same kind of answer.
  // ERROR_CALL_NOT_IMPLEMENTED where shell32 cannot be had or lacks it.
  virtual Result<bool> shellPathFileExists(std::u16string_view path) = 0;

  // Wow64DisableWow64FsRedirection, looked up in kernel32 at run time: the
  // calling thread's file calls stop being redirected; the value is the old
  // state, for revertWow64FsRedirection. ERROR_INVALID_FUNCTION where there
  // is nothing to redirect (a 64-bit process, 32-bit Windows);
  // ERROR_CALL_NOT_IMPLEMENTED where kernel32 lacks the call (32-bit 2000
  // and XP). Redirection affects every path-taking call of this port.
  virtual Result<Wow64RedirectionValue> disableWow64FsRedirection() = 0;
  // Wow64RevertWow64FsRedirection: restores the state `oldValue` recorded.
  virtual Status revertWow64FsRedirection(Wow64RedirectionValue oldValue) = 0;
};

}  // namespace tolvaran::platform
