#include "platform/win32/win32_modules.h"

#include <string>
#include <vector>

#include "platform/win32/windows_gateway.h"
// COM's interfaces after the gateway, which brings <windows.h> first.
#include <objbase.h>

namespace tolvaran::platform::win32 {
namespace {

using GetFileVersionInfoSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetFileVersionInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);
using DllCanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

Win32Code lastErrorOr(Win32Code fallback) {
  const DWORD code = ::GetLastError();
  return code != ERROR_SUCCESS ? code : fallback;
}

template <class Pointer>
std::uint64_t toValue(Pointer pointer) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

template <class Pointer>
Pointer fromValue(std::uint64_t value) {
  return reinterpret_cast<Pointer>(static_cast<std::uintptr_t>(value));
}

template <class Function>
Function functionAt(std::uint64_t address) {
  // Through a generic function pointer: the cast GCC accepts without warning.
  return reinterpret_cast<Function>(fromValue<void (*)()>(address));
}

GUID toGuid(const Guid& guid) {
  GUID out{};
  out.Data1 = guid.data1;
  out.Data2 = guid.data2;
  out.Data3 = guid.data3;
  for (std::size_t i = 0; i < guid.data4.size(); ++i) out.Data4[i] = guid.data4[i];
  return out;
}

Win32Code hresultCode(HRESULT result) {
  return static_cast<Win32Code>(result);
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
  // By full path: version.dll is no KnownDLL, and an elevated program must
  // never load a copy planted beside it.
  std::vector<wchar_t> folder(MAX_PATH + 1);
  const UINT length = ::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length == 0 || length >= folder.size()) {
    versionCode_ = lastErrorOr(ERROR_PATH_NOT_FOUND);
    return versionCode_;
  }
  std::wstring path(folder.data(), length);
  path += L"\\version.dll";
  const HMODULE library = ::LoadLibraryW(path.c_str());
  if (!library) {
    versionCode_ = lastErrorOr(ERROR_MOD_NOT_FOUND);
    return versionCode_;
  }
  versionLibrary_ = library;
  const auto find = [library](const char* name) {
    return reinterpret_cast<void*>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
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

Result<ModuleHandle> Win32Modules::getModuleHandle(std::u16string_view path) {
  const HMODULE module = ::GetModuleHandleW(toWide(path).c_str());
  if (!module) return {0, lastErrorOr(ERROR_MOD_NOT_FOUND)};
  return {toValue(module), kErrorSuccess};
}

Result<ModuleHandle> Win32Modules::loadLibrary(std::u16string_view path) {
  const HMODULE module = ::LoadLibraryW(toWide(path).c_str());
  if (!module) return {0, lastErrorOr(ERROR_MOD_NOT_FOUND)};
  return {toValue(module), kErrorSuccess};
}

Status Win32Modules::freeLibrary(ModuleHandle module) {
  if (::FreeLibrary(fromValue<HMODULE>(module))) return {kErrorSuccess};
  return {lastErrorOr(ERROR_MOD_NOT_FOUND)};
}

Result<ProcAddress> Win32Modules::getProcAddress(ModuleHandle module, std::string_view name) {
  const std::string narrowName(name);
  const FARPROC address = ::GetProcAddress(fromValue<HMODULE>(module), narrowName.c_str());
  if (!address) return {0, lastErrorOr(ERROR_PROC_NOT_FOUND)};
  return {toValue(reinterpret_cast<void (*)()>(address)), kErrorSuccess};
}

Result<ComInterface> Win32Modules::callDllGetClassObject(ProcAddress dllGetClassObject,
                                                         const Guid& classId,
                                                         const Guid& interfaceId) {
  if (dllGetClassObject == 0) return {0, hresultCode(E_POINTER)};
  const GUID clsid = toGuid(classId);
  const GUID iid = toGuid(interfaceId);
  void* factory = nullptr;
  const HRESULT result = functionAt<DllGetClassObjectFn>(dllGetClassObject)(clsid, iid, &factory);
  if (FAILED(result)) {
    // A failing export may still have handed out an interface.
    if (factory) static_cast<IUnknown*>(factory)->Release();
    return {0, hresultCode(result)};
  }
  if (!factory) return {0, hresultCode(E_POINTER)};
  return {toValue(factory), hresultCode(result)};
}

Result<ComInterface> Win32Modules::createInstance(ComInterface factory, const Guid& interfaceId) {
  if (factory == 0) return {0, hresultCode(E_POINTER)};
  const GUID iid = toGuid(interfaceId);
  void* object = nullptr;
  const HRESULT result = fromValue<IClassFactory*>(factory)->CreateInstance(nullptr, iid, &object);
  if (FAILED(result)) {
    if (object) static_cast<IUnknown*>(object)->Release();
    return {0, hresultCode(result)};
  }
  if (!object) return {0, hresultCode(E_POINTER)};
  return {toValue(object), hresultCode(result)};
}

Result<ComInterface> Win32Modules::queryInterface(ComInterface object, const Guid& interfaceId) {
  if (object == 0) return {0, hresultCode(E_POINTER)};
  const GUID iid = toGuid(interfaceId);
  void* found = nullptr;
  const HRESULT result = fromValue<IUnknown*>(object)->QueryInterface(iid, &found);
  if (FAILED(result) || !found) return {0, hresultCode(FAILED(result) ? result : E_POINTER)};
  return {toValue(found), hresultCode(result)};
}

std::uint32_t Win32Modules::release(ComInterface object) {
  if (object == 0) return 0;
  return fromValue<IUnknown*>(object)->Release();
}

Status Win32Modules::callDllCanUnloadNow(ProcAddress dllCanUnloadNow) {
  if (dllCanUnloadNow == 0) return {hresultCode(E_POINTER)};
  return {hresultCode(functionAt<DllCanUnloadNowFn>(dllCanUnloadNow)())};
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
