#pragma once
// The file port over the Win32 file API: each method is the call of the same
// name, its raw last error returned beside the value.
#include <memory>

#include "platform/files.h"

namespace tolvaran::platform::win32 {

class Win32Files final : public Files {
 public:
  // Loads shlwapi and shell32 for the two existence tests now, by their
  // full system paths: later, a caller may have switched WOW64 redirection
  // off, and a 32-bit process would then be handed the 64-bit DLLs.
  Win32Files();
  ~Win32Files() override;
  Win32Files(const Win32Files&) = delete;
  Win32Files& operator=(const Win32Files&) = delete;

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

 private:
  struct ShellLibraries;
  std::unique_ptr<ShellLibraries> shell_;
};

}  // namespace tolvaran::platform::win32
