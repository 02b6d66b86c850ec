#include "platform/sim/sim_shell_notify.h"

#include "support/text.h"

namespace tolvaran::platform::sim {

class SimShellNotify::Desktop final : public ActiveDesktop {
 public:
  explicit Desktop(SimShellNotify& owner) : owner_(owner) { ++owner_.liveDesktops_; }
  ~Desktop() override { --owner_.liveDesktops_; }
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  ComStatus queryActiveDesktop() override {
    queried_ = true;
    return {};
  }
  ComStatus applyChanges(std::uint32_t flags) override {
    if (!queried_) return {kHresultNoInterface};
    if (const HResult fault =
            owner_.faults_.check(ShellNotifyOp::kApplyChanges, toDecimal(flags))) {
      return {fault};
    }
    owner_.applied_.push_back(flags);
    return {};
  }

 private:
  SimShellNotify& owner_;
  bool queried_ = false;
};

SimShellNotify::SimShellNotify()
    : faults_([](std::u16string_view a, std::u16string_view b) { return a == b; }) {}

ComResult<std::unique_ptr<ActiveDesktop>> SimShellNotify::createActiveDesktop() {
  if (const HResult fault = faults_.check(ShellNotifyOp::kCreateActiveDesktop, {})) {
    return {nullptr, fault};
  }
  if (!activeDesktop_) return {nullptr, kHresultClassNotRegistered};
  return {std::make_unique<Desktop>(*this), kHresultOk};
}

WindowHandle SimShellNotify::findWindow(std::u16string_view className,
                                        std::u16string_view windowName) {
  // FindWindow compares both names without regard to case.
  const bool desktop =
      equalsNoCase(className, u"Progman") && equalsNoCase(windowName, u"Program Manager");
  return desktop && desktopRunning_ ? kDesktopWindow : 0;
}

WindowHandle SimShellNotify::getWindow(WindowHandle window, std::uint32_t command) {
  const bool child =
      desktopRunning_ && iconView_ && window == kDesktopWindow && command == shell_notify::kGwChild;
  return child ? kIconView : 0;
}

Status SimShellNotify::postMessage(WindowHandle window, std::uint32_t message, std::uint64_t wParam,
                                   std::int64_t lParam) {
  if (const Win32Code fault = faults_.check(ShellNotifyOp::kPostMessage, {})) return {fault};
  const bool known =
      desktopRunning_ && (window == kDesktopWindow || (iconView_ && window == kIconView));
  if (!known) return {kErrorInvalidWindowHandle};
  posted_.push_back({window, message, wParam, lParam});
  return {};
}

}  // namespace tolvaran::platform::sim
