#pragma once
// The simulated modules: named mutexes shared with other (imagined)
// processes, and version resources of files on the simulated disk.
//
// clang-format off
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
//   every path                                -> through WOW64 redirection, as the file port
// clang-format on
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/modules.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_files.h"

namespace tolvaran::platform::sim {

enum class ModuleOp {
  kCreateMutex,
  kCloseMutex,
  kGetFileVersion,
};

class SimModules final : public Modules {
 public:
  explicit SimModules(SimFiles& files);
  SimModules(const SimModules&) = delete;
  SimModules& operator=(const SimModules&) = delete;

  Result<KernelHandle> createMutex(std::u16string_view name, bool initialOwner) override;
  Status closeMutex(KernelHandle mutex) override;
  Result<FileVersion> getFileVersion(std::u16string_view path) override;

  // --- Setting up and inspecting the machine (not part of the port) -------
  // The version resource of a file; the file itself is not touched.
  void setFileVersion(std::u16string_view path, FileVersion version);
  // kernel32.dll and version.dll, with versions, in System32 and, on
  // 64-bit Windows, SysWOW64.
  void installSystemLibraries(std::u16string_view windowsFolder, bool is64BitOs);
  // Another process holds a mutex of this name (closeMutex cannot end it).
  void holdMutexElsewhere(std::u16string name) { foreignMutexes_.insert(std::move(name)); }

  [[nodiscard]] bool mutexExists(const std::u16string& name) const;
  [[nodiscard]] std::size_t openMutexHandles() const noexcept { return mutexes_.size(); }

  FaultPlan<ModuleOp>& faults() noexcept { return faults_; }
  [[nodiscard]] const std::vector<JournalEntry<ModuleOp>>& journal() const noexcept {
    return journal_;
  }

 private:
  template <class T>
  Result<T> fail(ModuleOp op, std::u16string_view subject, Win32Code code);
  void journal(ModuleOp op, std::u16string_view subject, Win32Code code);

  SimFiles& files_;
  std::map<KernelHandle, std::u16string> mutexes_;  // open handle -> name ("" unnamed)
  std::set<std::u16string> foreignMutexes_;
  std::map<std::u16string, FileVersion> versions_;  // folded path -> version
  KernelHandle nextMutex_ = 0x7000;
  FaultPlan<ModuleOp> faults_;
  std::vector<JournalEntry<ModuleOp>> journal_;
};

}  // namespace tolvaran::platform::sim
