#pragma once
// The modules port over CreateMutexW and the version calls of version.dll
// (loaded by its full system path on first use).
#include "platform/modules.h"

namespace tolvaran::platform::win32 {

class Win32Modules final : public Modules {
 public:
  Win32Modules() = default;
  ~Win32Modules() override;
  Win32Modules(const Win32Modules&) = delete;
  Win32Modules& operator=(const Win32Modules&) = delete;

  Result<KernelHandle> createMutex(std::u16string_view name, bool initialOwner) override;
  Status closeMutex(KernelHandle mutex) override;
  Result<FileVersion> getFileVersion(std::u16string_view path) override;

 private:
  // version.dll's three calls; kErrorSuccess once they are at hand.
  Win32Code loadVersionCalls();

  bool versionTried_ = false;
  Win32Code versionCode_ = kErrorSuccess;
  void* versionLibrary_ = nullptr;  // HMODULE
  void* getSize_ = nullptr;
  void* getInfo_ = nullptr;
  void* queryValue_ = nullptr;
};

// SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) where kernel32 has
// it (Windows 8, and 7 or Vista with KB2533623); elsewhere SetDllDirectoryW("")
// (XP SP1 on), which at least takes the current folder out of the search.
// Called first thing by the program, so that no DLL is ever taken from the
// folder it was started from. True when the stricter call took effect.
bool restrictDllSearchToSystemFolder();

}  // namespace tolvaran::platform::win32
