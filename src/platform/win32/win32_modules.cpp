#include "platform/win32/win32_modules.h"

#include "platform/win32/windows_gateway.h"

#include <string>
#include <vector>

namespace tolvaran::platform::win32 {
namespace {

using GetFileVersionInfoSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

template <class Pointer>
std::uint64_t toValue(Pointer pointer) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

template <class Pointer>
Pointer fromValue(std::uint64_t value) {
  return reinterpret_cast<Pointer>(static_cast<std::uintptr_t>(value));
}

}  // namespace

Win32Modules::~Win32Modules() {
  if (versionLibrary_) ::FreeLibrary(static_cast<HMODULE>(versionLibrary_));
}

Result<KernelHandle> Win32Modules::createMutex(std::u16string_view name, bool initialOwner) {
  const std::wstring wideName = toWide(name);
  // Only "already exists" is reported on success; nothing else may linger.
  ::SetLastError(ERROR_SUCCESS);
  const HANDLE mutex = ::CreateMutexW(nullptr, initialOwner ? TRUE : FALSE,
                                      name.empty() ? nullptr : wideName.c_str());
  if (!mutex) return {kNoHandle, lastErrorOr(ERROR_INVALID_HANDLE)};
  const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
  return {toValue(mutex), existed ? kErrorAlreadyExists : kErrorSuccess};
}

Status Win32Modules::closeMutex(KernelHandle mutex) {
  if (::CloseHandle(fromValue<HANDLE>(mutex))) return {kErrorSuccess};
  return {lastErrorOr(ERROR_INVALID_HANDLE)};
}

Win32Code Win32Modules::loadVersionCalls() {
  if (versionTried_) return versionCode_;
  versionTried_ = true;
  // version.dll is no KnownDLL: it must come from the system folder.
  Win32Code code = kErrorSuccess;
  const HMODULE library = loadSystemLibrary(L"version.dll", code).release();
  if (!library) {
    versionCode_ = code;
    return versionCode_;
  }
  versionLibrary_ = library;
  const auto find = [library](const char* name) {
    return reinterpret_cast<void*>(moduleFunction<void (*)()>(library, name));
  };
  getSize_ = find("GetFileVersionInfoSizeW");
  getInfo_ = find("GetFileVersionInfoW");
  queryValue_ = find("VerQueryValueW");
  versionCode_ = getSize_ && getInfo_ && queryValue_ ? kErrorSuccess : kErrorCallNotImplemented;
  return versionCode_;
}

Result<FileVersion> Win32Modules::getFileVersion(std::u16string_view path) {
  if (const Win32Code code = loadVersionCalls(); code != kErrorSuccess) return {{}, code};
  const auto getSize =
      reinterpret_cast<GetFileVersionInfoSizeFn>(reinterpret_cast<void (*)()>(getSize_));
  const auto getInfo =
      reinterpret_cast<GetFileVersionInfoFn>(reinterpret_cast<void (*)()>(getInfo_));
  const auto queryValue =
      reinterpret_cast<VerQueryValueFn>(reinterpret_cast<void (*)()>(queryValue_));

  const std::wstring widePath = toWide(path);
  DWORD ignored = 0;
  ::SetLastError(ERROR_SUCCESS);
  const DWORD size = getSize(widePath.c_str(), &ignored);
  if (size == 0) return {{}, lastErrorOr(ERROR_RESOURCE_TYPE_NOT_FOUND)};
  std::vector<unsigned char> data(size);
  if (!getInfo(widePath.c_str(), 0, size, data.data())) {
    return {{}, lastErrorOr(ERROR_RESOURCE_TYPE_NOT_FOUND)};
  }
  void* block = nullptr;
  UINT blockSize = 0;
  if (!queryValue(data.data(), L"\\", &block, &blockSize) || !block ||
      blockSize < sizeof(VS_FIXEDFILEINFO)) {
    return {{}, ERROR_RESOURCE_TYPE_NOT_FOUND};
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(block);
  if (info->dwSignature != kFixedFileInfoSignature) return {{}, ERROR_RESOURCE_TYPE_NOT_FOUND};
  return {FileVersion{info->dwFileVersionMS, info->dwFileVersionLS}, kErrorSuccess};
}

bool restrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const auto restrict =
      systemFunction<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (restrict&& restrict(kSearchSystem32)) return true;
  if (const auto setDirectory =
          systemFunction<SetDllDirectoryFn>(L"kernel32.dll", "SetDllDirectoryW")) {
    setDirectory(L"");
  }
  return false;
}

}  // namespace tolvaran::platform::win32
