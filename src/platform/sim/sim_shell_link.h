#pragma once
// The shell-link class of the simulated machine, as COM registers it: the
// machine starts without one, like a Windows whose shell32 registration is
// gone, and a test registers the implementation it wants. The program's own
// simulation of the shell's object reads and writes real shortcut bytes
// through the file port with the project's codec (shortcut/codec_shell_link.h);
// it lives beside the codec, which this library does not link.
//
// clang-format off
//   CoCreateInstance, nothing registered      -> REGDB_E_CLASSNOTREG
//   CoCreateInstance, a creation fault        -> the planned HRESULT, no object
//   any call of a created object, a fault     -> the planned HRESULT; the object is left as it was
//   every call                                -> journalled with its HRESULT and the path it took
// clang-format on
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/shell_link.h"
#include "platform/sim/sim_faults.h"

namespace tolvaran::platform::sim {

enum class ShellLinkOp {
  kCreate,
  kLoad,
  kSave,
  kSaveCompleted,
  kGetPath,
  kGetArguments,
  kGetDescription,
  kGetHotkey,
  kGetIconLocation,
  kGetShowCmd,
  kGetWorkingDirectory,
  kSetPath,
  kSetArguments,
  kSetWorkingDirectory,
  kSetIconLocation,
  kSetShowCmd,
  kSetHotkey,
  kSetDescription,
};

class SimShellLinkClass final : public ShellLinks {
 public:
  SimShellLinkClass();
  SimShellLinkClass(const SimShellLinkClass&) = delete;
  SimShellLinkClass& operator=(const SimShellLinkClass&) = delete;

  ComResult<std::unique_ptr<ShellLink>> createShellLink() override;

  // --- Setting up and inspecting the machine (not part of the port) -------
  // Objects created earlier keep the implementation they were made by.
  void registerClass(std::unique_ptr<ShellLinks> implementation);
  void unregisterClass() { implementation_.reset(); }
  [[nodiscard]] bool registered() const noexcept { return implementation_ != nullptr; }

  // Faults carry HRESULTs; the path of Load, Save and SaveCompleted is the
  // file's, of SetPath the target's, of the other calls empty.
  FaultPlan<ShellLinkOp>& faults() noexcept { return faults_; }
  [[nodiscard]] const std::vector<JournalEntry<ShellLinkOp>>& journal() const noexcept {
    return journal_;
  }
  void clearJournal() { journal_.clear(); }
  // Objects created and not yet released.
  [[nodiscard]] std::size_t liveObjects() const noexcept { return *live_; }

 private:
  class Object;

  std::unique_ptr<ShellLinks> implementation_;
  FaultPlan<ShellLinkOp> faults_;
  std::vector<JournalEntry<ShellLinkOp>> journal_;
  // Shared with the objects, which may outlive a test's interest in them.
  std::shared_ptr<std::size_t> live_ = std::make_shared<std::size_t>(0);
};

}  // namespace tolvaran::platform::sim
