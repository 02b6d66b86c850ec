#pragma once
// The modules port: the program's own kernel objects and the code of other
// files. Named mutexes (the single-instance guard) and the version resource
// of a file. Handles are raw values, widened; 0 is "none". Every method
// mirrors one call and decides nothing.
#include <cstdint>
#include <string_view>

#include "platform/processes.h"
#include "support/result.h"

namespace tolvaran::platform {

// VS_FIXEDFILEINFO's file version: high and low double words.
struct FileVersion {
  std::uint32_t mostSignificant = 0;
  std::uint32_t leastSignificant = 0;
  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// Codes only this port gives.
inline constexpr Win32Code kErrorResourceTypeNotFound = 1813;

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
};

}  // namespace tolvaran::platform
