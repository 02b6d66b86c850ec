#pragma once
// COM objects made straight from their DLL file, without the class being
// registered: the DLL is loaded by its path, asked for the class factory
// through its DllGetClassObject export, and offered for unloading again at
// exit. Failures are raised (RuntimeError) for the caller to record under
// its own name.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/modules.h"

namespace tolvaran {

// "{3F4DACA4-160D-11D2-A8E9-00104B365C9F}" (braces required, hex digits in
// either case); nothing for any other text.
std::optional<platform::Guid> parseGuid(std::u16string_view text) noexcept;

// One reference on an interface; released when the object goes.
class UnregComObject {
 public:
  UnregComObject() noexcept = default;
  UnregComObject(platform::Modules& modules, platform::ComInterface pointer) noexcept
      : modules_(&modules), pointer_(pointer) {}
  UnregComObject(UnregComObject&& other) noexcept;
  UnregComObject& operator=(UnregComObject&& other) noexcept;
  UnregComObject(const UnregComObject&) = delete;
  UnregComObject& operator=(const UnregComObject&) = delete;
  ~UnregComObject() { reset(); }

  [[nodiscard]] platform::ComInterface get() const noexcept { return pointer_; }
  explicit operator bool() const noexcept { return pointer_ != 0; }
  void reset() noexcept;

 private:
  platform::Modules* modules_ = nullptr;
  platform::ComInterface pointer_ = 0;
};

class UnregCOM {
 public:
  explicit UnregCOM(platform::Modules& modules) noexcept : modules_(modules) {}
  UnregCOM(const UnregCOM&) = delete;
  UnregCOM& operator=(const UnregCOM&) = delete;

  // A new object of `classId` (text form) from the DLL at `dllPath`, as its
  // IUnknown. The DLL is loaded unless it already is. Raises 53 when the DLL
  // cannot be loaded, 453 when it has no DllGetClassObject, and the HRESULT
  // when the factory or the object cannot be had; a DLL this call loaded is
  // freed again on every failure.
  UnregComObject CreateObjectFromDll(std::u16string_view dllPath, std::u16string_view classId);

  // When CreateObjectFromDll loaded the DLL at `dllPath` (same text, any
  // letter case) and the DLL's DllCanUnloadNow agrees, frees it and gives
  // true. False otherwise: a DLL someone else loaded keeps its reference.
  bool ReleaseDllIfUnused(std::u16string_view dllPath);

 private:
  platform::Modules& modules_;
  // The two interface identifiers, converted from text on first use.
  std::optional<platform::Guid> unknown_;
  std::optional<platform::Guid> classFactory_;
  // Folded paths of the DLLs this object loaded and still holds.
  std::vector<std::u16string> loaded_;
};

}  // namespace tolvaran
