#pragma once
// The modules port: the program's own kernel objects and the code of other
// files. Named mutexes (the single-instance guard), the version resource of a
// file, and DLLs loaded by path whose exports are called directly, so that a
// COM class can be had from its DLL without being registered. Handles,
// export addresses and interface pointers are raw values, widened; 0 is
// "none". Every method mirrors one call and decides nothing.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/processes.h"
#include "platform/result.h"
#include "platform/shell_link.h"

namespace tolvaran::platform {

using ModuleHandle = std::uint64_t;  // an HMODULE
using ProcAddress = std::uint64_t;   // a FARPROC of a loaded module
using ComInterface = std::uint64_t;  // an interface pointer the caller owns one reference of

// GUID, field for field.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// VS_FIXEDFILEINFO's file version: high and low double words.
struct FileVersion {
  std::uint32_t mostSignificant = 0;
  std::uint32_t leastSignificant = 0;
  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// Codes only this port gives.
inline constexpr Win32Code kErrorModNotFound = 126;
inline constexpr Win32Code kErrorProcNotFound = 127;
inline constexpr Win32Code kErrorBadExeFormat = 193;
inline constexpr Win32Code kErrorResourceTypeNotFound = 1813;
// HRESULTs of the COM calls besides those of shell_link.h, as unsigned codes.
inline constexpr Win32Code kHresultPointer = 0x80004003u;            // E_POINTER
inline constexpr Win32Code kHresultClassNotAvailable = 0x80040111u;  // CLASS_E_CLASSNOTAVAILABLE

class Modules {
 public:
  virtual ~Modules() = default;

  // CreateMutexW(default security, initialOwner, name): a handle also when
  // the name already existed, and then the code kErrorAlreadyExists.
  virtual Result<KernelHandle> createMutex(std::u16string_view name, bool initialOwner) = 0;
  // CloseHandle of a handle createMutex gave.
  virtual Status closeMutex(KernelHandle mutex) = 0;

  // GetFileVersionInfoSizeW + GetFileVersionInfoW + VerQueryValueW("\"):
  // the fixed file information's version. version.dll is not always
  // loaded: it is looked up at run time from the system folder.
  virtual Result<FileVersion> getFileVersion(std::u16string_view path) = 0;

  // GetModuleHandleW: the module when this process has it loaded.
  virtual Result<ModuleHandle> getModuleHandle(std::u16string_view path) = 0;
  // LoadLibraryW: every call adds one reference.
  virtual Result<ModuleHandle> loadLibrary(std::u16string_view path) = 0;
  // FreeLibrary: drops one reference.
  virtual Status freeLibrary(ModuleHandle module) = 0;
  // GetProcAddress by name: kErrorProcNotFound when the module lacks it.
  virtual Result<ProcAddress> getProcAddress(ModuleHandle module, std::string_view name) = 0;

  // The export `dllGetClassObject` (STDAPI DllGetClassObject) called with
  // the class and interface: the code is its HRESULT.
  virtual Result<ComInterface> callDllGetClassObject(ProcAddress dllGetClassObject,
                                                     const Guid& classId,
                                                     const Guid& interfaceId) = 0;
  // IClassFactory::CreateInstance(no outer object, interfaceId) of a factory
  // interface: the code is its HRESULT.
  virtual Result<ComInterface> createInstance(ComInterface factory, const Guid& interfaceId) = 0;
  // IUnknown::QueryInterface: the code is its HRESULT.
  virtual Result<ComInterface> queryInterface(ComInterface object, const Guid& interfaceId) = 0;
  // IUnknown::Release: the count of references left, as the object reports it.
  virtual std::uint32_t release(ComInterface object) = 0;
  // The export `dllCanUnloadNow` (STDAPI DllCanUnloadNow) called:
  // kHresultOk when the DLL may go, kHresultFalse while objects of it live.
  virtual Status callDllCanUnloadNow(ProcAddress dllCanUnloadNow) = 0;
};

// The identifiers COM creation needs.
namespace iid {
inline constexpr Guid kUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}  // namespace iid

}  // namespace tolvaran::platform
