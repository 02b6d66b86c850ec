#pragma once
// The simulated desktop: Active Desktop refreshes are recorded, and the
// desktop is a Program Manager window ("Progman", "Program Manager") with one
// child, the icon view, that receives posted messages.
//
// clang-format off
//   call                                  -> Win32 result
//   CoCreateInstance(CLSID_ActiveDesktop) -> an object; REGDB_E_CLASSNOTREG when the machine has
//                                            no Active Desktop (Windows 8 on, Server Core)
//   ApplyChanges                          -> recorded with its flags, S_OK; a fault's HRESULT
//   FindWindow of the desktop's names     -> its handle, when the desktop runs; 0 otherwise
//   GetWindow(GW_CHILD) of the desktop    -> the icon view; of any other window 0
//   PostMessage to a known window         -> recorded, success; to another:
//                                            ERROR_INVALID_WINDOW_HANDLE
// clang-format on
#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell_link.h"
#include "platform/sim/sim_faults.h"

namespace tolvaran::platform::sim {

enum class ShellNotifyOp { kCreateActiveDesktop, kApplyChanges, kPostMessage };

struct PostedMessage {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uint64_t wParam = 0;
  std::int64_t lParam = 0;
  friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

class SimShellNotify final : public ShellNotify {
 public:
  SimShellNotify();
  SimShellNotify(const SimShellNotify&) = delete;
  SimShellNotify& operator=(const SimShellNotify&) = delete;

  ComResult<std::unique_ptr<ActiveDesktop>> createActiveDesktop() override;
  WindowHandle findWindow(std::u16string_view className, std::u16string_view windowName) override;
  WindowHandle getWindow(WindowHandle window, std::uint32_t command) override;
  Status postMessage(WindowHandle window, std::uint32_t message, std::uint64_t wParam,
                     std::int64_t lParam) override;

  // --- Setting up and inspecting the machine (not part of the port) -------
  static constexpr WindowHandle kDesktopWindow = 0x10010;
  static constexpr WindowHandle kIconView = 0x10020;

  void setActiveDesktopAvailable(bool available) noexcept { activeDesktop_ = available; }
  // No Program Manager window (Explorer not running); with `iconView` false
  // the window runs without its child.
  void setDesktopRunning(bool running, bool iconView = true) noexcept {
    desktopRunning_ = running;
    iconView_ = iconView;
  }

  // The flags of every ApplyChanges, in order.
  [[nodiscard]] const std::vector<std::uint32_t>& appliedChanges() const noexcept {
    return applied_;
  }
  [[nodiscard]] const std::vector<PostedMessage>& postedMessages() const noexcept {
    return posted_;
  }
  // Active Desktop objects created and not yet released.
  [[nodiscard]] std::size_t liveActiveDesktops() const noexcept { return liveDesktops_; }

  // ApplyChanges faults are matched by their flags written as decimal text.
  FaultPlan<ShellNotifyOp>& faults() noexcept { return faults_; }

 private:
  class Desktop;

  bool activeDesktop_ = true;
  bool desktopRunning_ = true;
  bool iconView_ = true;
  std::vector<std::uint32_t> applied_;
  std::vector<PostedMessage> posted_;
  std::size_t liveDesktops_ = 0;
  FaultPlan<ShellNotifyOp> faults_;
};

}  // namespace tolvaran::platform::sim
