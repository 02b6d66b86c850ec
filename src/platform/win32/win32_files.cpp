#include "platform/win32/win32_files.h"

#include "platform/win32/windows_gateway.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace tolvaran::platform::win32 {
namespace {

HANDLE toHandle(std::uint64_t handle) {
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
}

std::uint64_t fromHandle(HANDLE handle) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
}

Status status(BOOL succeeded) {
  return {succeeded ? kErrorSuccess : ::GetLastError()};
}

using PathFileExistsFn = BOOL(WINAPI*)(const wchar_t*);
using Wow64DisableFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFn = BOOL(WINAPI*)(PVOID);

// Both existence tests answer BOOL and leave GetFileAttributesW's error.
Result<bool> askExists(PathFileExistsFn test, Win32Code unavailable, std::u16string_view path) {
  if (!test) return {false, unavailable};
  ::SetLastError(ERROR_SUCCESS);
  if (test(toWide(path).c_str())) return {true, kErrorSuccess};
  return {false, ::GetLastError()};
}

FindData toFindData(const WIN32_FIND_DATAW& data) {
  FindData out;
  out.attributes = data.dwFileAttributes;
  out.times = FileTimes{fromFileTime(data.ftCreationTime), fromFileTime(data.ftLastAccessTime),
                        fromFileTime(data.ftLastWriteTime)};
  out.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  out.name = fromWide(data.cFileName);
  out.alternateName = fromWide(data.cAlternateFileName);
  return out;
}

// For the calls that answer "this many characters are needed": ask, grow,
// ask again (the answer may change between the calls).
template <class Call>
Result<std::u16string> growingBuffer(Call&& call) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = call(buffer.data(), size);
    if (length == 0) return {{}, ::GetLastError()};
    if (length < size) return {fromWide(buffer.data(), length), kErrorSuccess};
    buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
  }
  return {{}, ERROR_INSUFFICIENT_BUFFER};
}

}  // namespace

struct Win32Files::ShellLibraries {
  ScopedLibrary shlwapi;
  ScopedLibrary shell32;
  PathFileExistsFn pathFileExists = nullptr;
  PathFileExistsFn shellPathFileExists = nullptr;  // shell32's ordinal 45
  Win32Code shlwapiCode = kErrorSuccess;
  Win32Code shell32Code = kErrorSuccess;
};

Win32Files::Win32Files() : shell_(std::make_unique<ShellLibraries>()) {
  ShellLibraries& shell = *shell_;
  shell.shlwapi = loadSystemLibrary(L"shlwapi.dll", shell.shlwapiCode);
  shell.pathFileExists = moduleFunction<PathFileExistsFn>(shell.shlwapi.get(), "PathFileExistsW");
  if (shell.shlwapi.valid() && !shell.pathFileExists)
    shell.shlwapiCode = ERROR_CALL_NOT_IMPLEMENTED;
  shell.shell32 = loadSystemLibrary(L"shell32.dll", shell.shell32Code);
  shell.shellPathFileExists =
      moduleFunction<PathFileExistsFn>(shell.shell32.get(), MAKEINTRESOURCEA(45));
  if (shell.shell32.valid() && !shell.shellPathFileExists) {
    shell.shell32Code = ERROR_CALL_NOT_IMPLEMENTED;
  }
}

Win32Files::~Win32Files() = default;

Result<std::uint32_t> Win32Files::getFileAttributes(std::u16string_view path) {
  const DWORD attributes = ::GetFileAttributesW(toWide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {kInvalidFileAttributes, ::GetLastError()};
  return {attributes, kErrorSuccess};
}

Status Win32Files::setFileAttributes(std::u16string_view path, std::uint32_t attributes) {
  return status(::SetFileAttributesW(toWide(path).c_str(), attributes));
}

Status Win32Files::deleteFile(std::u16string_view path) {
  return status(::DeleteFileW(toWide(path).c_str()));
}

Status Win32Files::createDirectory(std::u16string_view path) {
  return status(::CreateDirectoryW(toWide(path).c_str(), nullptr));
}

Status Win32Files::removeDirectory(std::u16string_view path) {
  return status(::RemoveDirectoryW(toWide(path).c_str()));
}

Status Win32Files::moveFile(std::u16string_view existing, std::u16string_view target) {
  return status(::MoveFileW(toWide(existing).c_str(), toWide(target).c_str()));
}

Status Win32Files::copyFile(std::u16string_view existing, std::u16string_view target,
                            bool failIfExists) {
  return status(
      ::CopyFileW(toWide(existing).c_str(), toWide(target).c_str(), failIfExists ? TRUE : FALSE));
}

Result<std::u16string> Win32Files::getFullPathName(std::u16string_view path) {
  const std::wstring wide = toWide(path);
  return growingBuffer([&](wchar_t* buffer, DWORD size) {
    return ::GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
  });
}

Result<std::u16string> Win32Files::getLongPathName(std::u16string_view path) {
  const std::wstring wide = toWide(path);
  return growingBuffer(
      [&](wchar_t* buffer, DWORD size) { return ::GetLongPathNameW(wide.c_str(), buffer, size); });
}

Result<FindFirst> Win32Files::findFirstFile(std::u16string_view pattern) {
  WIN32_FIND_DATAW data{};
  const HANDLE find = ::FindFirstFileW(toWide(pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return {{}, ::GetLastError()};
  return {FindFirst{fromHandle(find), toFindData(data)}, kErrorSuccess};
}

Result<FindData> Win32Files::findNextFile(FindHandle find) {
  WIN32_FIND_DATAW data{};
  if (!::FindNextFileW(toHandle(find), &data)) return {{}, ::GetLastError()};
  return {toFindData(data), kErrorSuccess};
}

Status Win32Files::findClose(FindHandle find) {
  return status(::FindClose(toHandle(find)));
}

Result<FileHandle> Win32Files::createFile(std::u16string_view path, std::uint32_t desiredAccess,
                                          std::uint32_t shareMode, Disposition disposition) {
  const HANDLE file =
      ::CreateFileW(toWide(path).c_str(), desiredAccess, shareMode, nullptr,
                    static_cast<DWORD>(disposition), FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {kInvalidFileHandle, ::GetLastError()};
  return {fromHandle(file), kErrorSuccess};
}

Result<std::uint32_t> Win32Files::readFile(FileHandle file, std::span<std::byte> buffer) {
  const auto size =
      static_cast<DWORD>(std::min<std::size_t>(buffer.size(), std::numeric_limits<DWORD>::max()));
  DWORD read = 0;
  if (!::ReadFile(toHandle(file), buffer.data(), size, &read, nullptr)) {
    return {0, ::GetLastError()};
  }
  return {read, kErrorSuccess};
}

Result<std::uint32_t> Win32Files::writeFile(FileHandle file, std::span<const std::byte> data) {
  const auto size =
      static_cast<DWORD>(std::min<std::size_t>(data.size(), std::numeric_limits<DWORD>::max()));
  DWORD written = 0;
  if (!::WriteFile(toHandle(file), data.data(), size, &written, nullptr)) {
    return {0, ::GetLastError()};
  }
  return {written, kErrorSuccess};
}

Result<std::uint64_t> Win32Files::getFileSize(FileHandle file) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(toHandle(file), &size)) return {0, ::GetLastError()};
  return {static_cast<std::uint64_t>(size.QuadPart), kErrorSuccess};
}

Result<std::uint64_t> Win32Files::seekFile(FileHandle file, std::uint64_t offset) {
  LARGE_INTEGER distance{};
  distance.QuadPart = static_cast<LONGLONG>(offset);
  LARGE_INTEGER position{};
  if (!::SetFilePointerEx(toHandle(file), distance, &position, FILE_BEGIN)) {
    return {0, ::GetLastError()};
  }
  return {static_cast<std::uint64_t>(position.QuadPart), kErrorSuccess};
}

Result<FileTimes> Win32Files::getFileTime(FileHandle file) {
  FILETIME creation{};
  FILETIME lastAccess{};
  FILETIME lastWrite{};
  if (!::GetFileTime(toHandle(file), &creation, &lastAccess, &lastWrite)) {
    return {{}, ::GetLastError()};
  }
  return {FileTimes{fromFileTime(creation), fromFileTime(lastAccess), fromFileTime(lastWrite)},
          kErrorSuccess};
}

Status Win32Files::closeHandle(FileHandle file) {
  // CloseHandle(INVALID_HANDLE_VALUE) "succeeds": it is the current-process
  // pseudo-handle. No file handle has that value, so it is refused here.
  if (toHandle(file) == INVALID_HANDLE_VALUE) return {ERROR_INVALID_HANDLE};
  return status(::CloseHandle(toHandle(file)));
}

Result<bool> Win32Files::pathFileExists(std::u16string_view path) {
  return askExists(shell_->pathFileExists, shell_->shlwapiCode, path);
}

Result<bool> Win32Files::shellPathFileExists(std::u16string_view path) {
  return askExists(shell_->shellPathFileExists, shell_->shell32Code, path);
}

Result<Wow64RedirectionValue> Win32Files::disableWow64FsRedirection() {
  const auto disable =
      systemFunction<Wow64DisableFn>(L"kernel32.dll", "Wow64DisableWow64FsRedirection");
  if (!disable) return {0, ERROR_CALL_NOT_IMPLEMENTED};
  PVOID oldValue = nullptr;
  if (!disable(&oldValue)) return {0, lastErrorOr(ERROR_INVALID_FUNCTION)};
  return {static_cast<Wow64RedirectionValue>(reinterpret_cast<std::uintptr_t>(oldValue)),
          kErrorSuccess};
}

Status Win32Files::revertWow64FsRedirection(Wow64RedirectionValue oldValue) {
  const auto revert =
      systemFunction<Wow64RevertFn>(L"kernel32.dll", "Wow64RevertWow64FsRedirection");
  if (!revert) return {ERROR_CALL_NOT_IMPLEMENTED};
  const auto value = reinterpret_cast<PVOID>(static_cast<std::uintptr_t>(oldValue));
  if (!revert(value)) return {lastErrorOr(ERROR_INVALID_FUNCTION)};
  return {kErrorSuccess};
}

}  // namespace tolvaran::platform::win32
