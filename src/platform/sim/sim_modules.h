#pragma once
// The simulated modules: named mutexes shared with other (imagined)
// processes, version resources of files on the simulated disk, and DLL
// images with exports and COM classes that the program can load and call.
//
//   call                                      -> Win32 result
//   CreateMutex of a new name                 -> a handle, code 0
//   CreateMutex of a name some handle (ours or another process's) holds
//                                             -> a new handle, ERROR_ALREADY_EXISTS (183)
//   CreateMutex without a name                -> a new handle, code 0: never shared
//   CloseHandle of an unknown or closed handle-> ERROR_INVALID_HANDLE; a name lives while any
//                                                handle to it is open (names are case-sensitive)
//   GetFileVersionInfo of a missing file      -> ERROR_FILE_NOT_FOUND; a missing folder on the
//                                                way: ERROR_PATH_NOT_FOUND
//   GetFileVersionInfo of a file without a version -> ERROR_RESOURCE_TYPE_NOT_FOUND (1813)
//   LoadLibrary of a missing file             -> ERROR_MOD_NOT_FOUND (126)
//   LoadLibrary of a file that is no DLL image-> ERROR_BAD_EXE_FORMAT (193)
//   LoadLibrary of a loaded DLL               -> the same handle, one more reference
//   GetModuleHandle of a DLL not loaded       -> ERROR_MOD_NOT_FOUND; a bare name matches a
//                                                loaded DLL of that file name
//   FreeLibrary of an unknown handle          -> ERROR_MOD_NOT_FOUND; the last reference
//                                                unloads the DLL (its addresses stop working)
//   GetProcAddress of a missing export        -> ERROR_PROC_NOT_FOUND (127); names are
//                                                case-sensitive
//   DllGetClassObject: an unknown class       -> CLASS_E_CLASSNOTAVAILABLE; an interface other
//                                                than IUnknown or IClassFactory: E_NOINTERFACE;
//                                                an address that is not a loaded DLL's
//                                                DllGetClassObject: E_POINTER (Windows would
//                                                crash)
//   CreateInstance / QueryInterface           -> IUnknown or an interface the class lists;
//                                                otherwise E_NOINTERFACE
//   Release                                   -> the references left; the object is gone at 0
//   DllCanUnloadNow                           -> S_OK when none of the DLL's objects (factories
//                                                included) lives, else S_FALSE
//   every path                                -> through WOW64 redirection, as the file port
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/modules.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_files.h"

namespace tolvaran::platform::sim {

enum class ModuleOp {
  kCreateMutex,
  kCloseMutex,
  kGetFileVersion,
  kGetModuleHandle,
  kLoadLibrary,
  kFreeLibrary,
  kGetProcAddress,
  kDllGetClassObject,
  kCreateInstance,
  kQueryInterface,
  kDllCanUnloadNow,
};

struct SimComClass {
  Guid classId;
  std::vector<Guid> interfaces;  // besides IUnknown
};

struct SimLibraryImage {
  std::vector<std::string> exports;
  std::vector<SimComClass> classes;
};

// The regular-expression class of the system's script library and its interfaces.
inline constexpr Guid kRegExpClassId{
    0x3F4DACA4, 0x160D, 0x11D2, {0xA8, 0xE9, 0x00, 0x10, 0x4B, 0x36, 0x5C, 0x9F}};
inline constexpr Guid kRegExpInterfaceId{
    0x3F4DACA0, 0x160D, 0x11D2, {0xA8, 0xE9, 0x00, 0x10, 0x4B, 0x36, 0x5C, 0x9F}};

class SimModules final : public Modules {
 public:
  explicit SimModules(SimFiles& files);
  SimModules(const SimModules&) = delete;
  SimModules& operator=(const SimModules&) = delete;

  Result<KernelHandle> createMutex(std::u16string_view name, bool initialOwner) override;
  Status closeMutex(KernelHandle mutex) override;
  Result<FileVersion> getFileVersion(std::u16string_view path) override;
  Result<ModuleHandle> getModuleHandle(std::u16string_view path) override;
  Result<ModuleHandle> loadLibrary(std::u16string_view path) override;
  Status freeLibrary(ModuleHandle module) override;
  Result<ProcAddress> getProcAddress(ModuleHandle module, std::string_view name) override;
  Result<ComInterface> callDllGetClassObject(ProcAddress dllGetClassObject, const Guid& classId,
                                             const Guid& interfaceId) override;
  Result<ComInterface> createInstance(ComInterface factory, const Guid& interfaceId) override;
  Result<ComInterface> queryInterface(ComInterface object, const Guid& interfaceId) override;
  std::uint32_t release(ComInterface object) override;
  Status callDllCanUnloadNow(ProcAddress dllCanUnloadNow) override;

  // --- Setting up and inspecting the machine (not part of the port) -------
  // A DLL image at `path` (the file is created, replacing what was there).
  void addLibrary(std::u16string_view path, SimLibraryImage image);
  // The version resource of a file; the file itself is not touched.
  void setFileVersion(std::u16string_view path, FileVersion version);
  // kernel32.dll (always loaded), version.dll and the script library
  // vbscript.dll with its regular-expression class, with versions, in
  // System32 and, on 64-bit Windows, SysWOW64.
  void installSystemLibraries(std::u16string_view windowsFolder, bool is64BitOs);
  // Another process holds a mutex of this name (closeMutex cannot end it).
  void holdMutexElsewhere(std::u16string name) { foreignMutexes_.insert(std::move(name)); }

  [[nodiscard]] bool mutexExists(const std::u16string& name) const;
  [[nodiscard]] std::size_t openMutexHandles() const noexcept { return mutexes_.size(); }
  // References held on the DLL at `path`; 0 when it is not loaded.
  [[nodiscard]] std::uint32_t libraryReferences(std::u16string_view path) const;
  // Factories and objects not yet released, of every DLL.
  [[nodiscard]] std::size_t liveObjects() const noexcept { return objects_.size(); }

  FaultPlan<ModuleOp>& faults() noexcept { return faults_; }
  [[nodiscard]] const std::vector<JournalEntry<ModuleOp>>& journal() const noexcept {
    return journal_;
  }

 private:
  struct Loaded {
    ModuleHandle handle = 0;
    std::uint32_t references = 0;
  };
  struct Export {
    std::u16string library;  // its key
    std::string name;
  };
  struct Object {
    std::u16string library;
    std::size_t classIndex = 0;
    bool factory = false;
    std::uint32_t references = 1;
  };

  // The path a call reaches, folded for lookups; empty when it does not parse.
  [[nodiscard]] std::u16string keyOf(std::u16string_view path) const;
  [[nodiscard]] const SimLibraryImage* imageOf(const std::u16string& key) const;
  [[nodiscard]] const Export* loadedExport(ProcAddress address, std::string_view name) const;
  [[nodiscard]] bool offers(const Object& object, const Guid& interfaceId) const;
  ComInterface newObject(Object object);
  template <class T>
  Result<T> fail(ModuleOp op, std::u16string_view subject, Win32Code code);
  void journal(ModuleOp op, std::u16string_view subject, Win32Code code);

  SimFiles& files_;
  std::map<KernelHandle, std::u16string> mutexes_;  // open handle -> name ("" unnamed)
  std::set<std::u16string> foreignMutexes_;
  std::map<std::u16string, FileVersion> versions_;    // key -> version
  std::map<std::u16string, SimLibraryImage> images_;  // key -> image
  std::map<std::u16string, Loaded> loaded_;           // key -> handle
  std::map<ProcAddress, Export> exports_;
  std::map<ComInterface, Object> objects_;
  KernelHandle nextMutex_ = 0x7000;
  ModuleHandle nextModule_ = 0x10000000;
  ProcAddress nextExport_ = 0x20001000;
  ComInterface nextObject_ = 0x30000010;
  FaultPlan<ModuleOp> faults_;
  std::vector<JournalEntry<ModuleOp>> journal_;
};

}  // namespace tolvaran::platform::sim
