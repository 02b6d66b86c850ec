#pragma once
// The simulated Windows Installer: a table of advertised shortcuts (a
// shortcut file, or the Darwin descriptor it carries, mapped to its
// product, feature and component) and of components (product and
// component mapped to an install state and a path).
//
// clang-format off
//   MsiGetShortcutTarget, a shortcut in the table -> 0; the three codes written (a Darwin
//                                                    descriptor is found in the file's bytes, in
//                                                    ASCII or UTF-16)
//   MsiGetShortcutTarget, any other path          -> ERROR_FUNCTION_FAILED (1627); the buffers
//                                                    stay spaces
//   MsiGetComponentPath, an unknown component     -> INSTALLSTATE_UNKNOWN (-1); buffer and size
//                                                    untouched
//   MsiGetComponentPath, a known one              -> its state; with a path: the path and a NUL
//                                                    written and its length as size, or, when it
//                                                    does not fit, INSTALLSTATE_MOREDATA (-3) and
//                                                    the length needed
//   a machine without msi.dll                     -> ERROR_CALL_NOT_IMPLEMENTED from both calls
// clang-format on
// Paths and codes compare without regard to case.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell_link.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_files.h"

namespace tolvaran::platform::sim {

enum class InstallerOp { kGetShortcutTarget, kGetComponentPath };

struct AdvertisedShortcut {
  // The shortcut file's path, or the Darwin descriptor stored in it: the
  // call finds the shortcut by either.
  std::u16string shortcut;
  std::u16string productCode;
  std::u16string featureId;
  std::u16string componentCode;
};

struct InstalledComponent {
  std::u16string productCode;
  std::u16string componentCode;
  std::int32_t state = install_state::kLocal;
  std::u16string path;  // written only for states that have one (local, source)
};

class SimInstaller final : public Installer {
 public:
  // Descriptors are looked for in the files of `files`.
  explicit SimInstaller(const SimFiles& files);
  SimInstaller(const SimInstaller&) = delete;
  SimInstaller& operator=(const SimInstaller&) = delete;

  Result<ShortcutTargetBuffers> getShortcutTarget(std::u16string_view path) override;
  Result<ComponentPathAnswer> getComponentPath(std::u16string_view productCode,
                                               std::u16string_view componentCode,
                                               std::uint32_t bufferChars) override;

  // --- Setting up and inspecting the machine (not part of the port) -------
  void addShortcut(AdvertisedShortcut shortcut) { shortcuts_.push_back(std::move(shortcut)); }
  // Replaces what the table held for the same product and component.
  void addComponent(InstalledComponent component);
  // Without msi.dll (Windows without the installer, or a damaged one).
  void setAvailable(bool available) noexcept { available_ = available; }

  FaultPlan<InstallerOp>& faults() noexcept { return faults_; }
  [[nodiscard]] const std::vector<JournalEntry<InstallerOp>>& journal() const noexcept {
    return journal_;
  }

 private:
  [[nodiscard]] bool matches(const AdvertisedShortcut& entry, std::u16string_view path) const;

  const SimFiles& files_;
  std::vector<AdvertisedShortcut> shortcuts_;
  std::vector<InstalledComponent> components_;
  bool available_ = true;
  FaultPlan<InstallerOp> faults_;
  std::vector<JournalEntry<InstallerOp>> journal_;
};

}  // namespace tolvaran::platform::sim
