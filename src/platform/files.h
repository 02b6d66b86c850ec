#pragma once
// The file-system port: one method per Win32 file call, same arguments, same
// answers. Paths are UTF-16 exactly as Windows receives them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/result.h"

namespace tolvaran::platform {

using FileHandle = std::uint64_t;
inline constexpr FileHandle kInvalidFileHandle = 0;

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

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

class Files {
 public:
  virtual ~Files() = default;

  // GetFileAttributesW: kInvalidFileAttributes and the error on failure.
  virtual Result<std::uint32_t> getFileAttributes(std::u16string_view path) = 0;
  virtual Status setFileAttributes(std::u16string_view path, std::uint32_t attributes) = 0;
  virtual Status deleteFile(std::u16string_view path) = 0;
  virtual Status createDirectory(std::u16string_view path) = 0;
  virtual Status removeDirectory(std::u16string_view path) = 0;

  // CreateFileW with FILE_ATTRIBUTE_NORMAL. The handle is kInvalidFileHandle on failure.
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
  virtual Status closeHandle(FileHandle file) = 0;
};

}  // namespace tolvaran::platform
