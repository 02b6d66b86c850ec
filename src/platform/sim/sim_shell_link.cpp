#include "platform/sim/sim_shell_link.h"

#include <utility>

#include "platform/sim/sim_path.h"

namespace tolvaran::platform::sim {

// Puts the machine's faults and journal in front of one object of the
// registered implementation.
class SimShellLinkClass::Object final : public ShellLink {
 public:
  Object(SimShellLinkClass& owner, std::unique_ptr<ShellLink> inner)
      : owner_(owner), inner_(std::move(inner)), live_(owner.live_) {
    ++*live_;
  }
  ~Object() override { --*live_; }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  ComStatus load(std::u16string_view path, std::uint32_t mode) override {
    return status(ShellLinkOp::kLoad, path, [&] { return inner_->load(path, mode); });
  }
  ComStatus save(std::u16string_view path, bool remember) override {
    return status(ShellLinkOp::kSave, path, [&] { return inner_->save(path, remember); });
  }
  ComStatus saveCompleted(std::u16string_view path) override {
    return status(ShellLinkOp::kSaveCompleted, path, [&] { return inner_->saveCompleted(path); });
  }
  ComResult<std::u16string> getPath(std::int32_t bufferChars, std::uint32_t flags) override {
    return result(ShellLinkOp::kGetPath, [&] { return inner_->getPath(bufferChars, flags); });
  }
  ComResult<std::u16string> getArguments(std::int32_t bufferChars) override {
    return result(ShellLinkOp::kGetArguments, [&] { return inner_->getArguments(bufferChars); });
  }
  ComResult<std::u16string> getDescription(std::int32_t bufferChars) override {
    return result(ShellLinkOp::kGetDescription,
                  [&] { return inner_->getDescription(bufferChars); });
  }
  ComResult<std::uint16_t> getHotkey() override {
    return result(ShellLinkOp::kGetHotkey, [&] { return inner_->getHotkey(); });
  }
  ComResult<IconLocation> getIconLocation(std::int32_t bufferChars) override {
    return result(ShellLinkOp::kGetIconLocation,
                  [&] { return inner_->getIconLocation(bufferChars); });
  }
  ComResult<std::int32_t> getShowCmd() override {
    return result(ShellLinkOp::kGetShowCmd, [&] { return inner_->getShowCmd(); });
  }
  ComResult<std::u16string> getWorkingDirectory(std::int32_t bufferChars) override {
    return result(ShellLinkOp::kGetWorkingDirectory,
                  [&] { return inner_->getWorkingDirectory(bufferChars); });
  }
  ComStatus setPath(std::u16string_view path) override {
    return status(ShellLinkOp::kSetPath, path, [&] { return inner_->setPath(path); });
  }
  ComStatus setArguments(std::u16string_view arguments) override {
    return status(ShellLinkOp::kSetArguments, {}, [&] { return inner_->setArguments(arguments); });
  }
  ComStatus setWorkingDirectory(std::u16string_view folder) override {
    return status(ShellLinkOp::kSetWorkingDirectory, {},
                  [&] { return inner_->setWorkingDirectory(folder); });
  }
  ComStatus setIconLocation(std::u16string_view path, std::int32_t index) override {
    return status(ShellLinkOp::kSetIconLocation, {},
                  [&] { return inner_->setIconLocation(path, index); });
  }
  ComStatus setShowCmd(std::int32_t showCmd) override {
    return status(ShellLinkOp::kSetShowCmd, {}, [&] { return inner_->setShowCmd(showCmd); });
  }
  ComStatus setHotkey(std::uint16_t hotkey) override {
    return status(ShellLinkOp::kSetHotkey, {}, [&] { return inner_->setHotkey(hotkey); });
  }
  ComStatus setDescription(std::u16string_view description) override {
    return status(ShellLinkOp::kSetDescription, {},
                  [&] { return inner_->setDescription(description); });
  }

 private:
  template <class Call>
  ComStatus status(ShellLinkOp op, std::u16string_view path, Call&& call) {
    ComStatus answer;
    if (const HResult fault = owner_.faults_.check(op, path)) {
      answer.hr = fault;
    } else {
      answer = call();
    }
    owner_.journal_.push_back({op, std::u16string(path), {}, answer.hr});
    return answer;
  }

  template <class Call>
  auto result(ShellLinkOp op, Call&& call) -> decltype(call()) {
    decltype(call()) answer;
    if (const HResult fault = owner_.faults_.check(op, {})) {
      answer.hr = fault;
    } else {
      answer = call();
    }
    owner_.journal_.push_back({op, {}, {}, answer.hr});
    return answer;
  }

  SimShellLinkClass& owner_;
  std::unique_ptr<ShellLink> inner_;
  std::shared_ptr<std::size_t> live_;
};

SimShellLinkClass::SimShellLinkClass() : faults_(sameSimPath) {}

void SimShellLinkClass::registerClass(std::unique_ptr<ShellLinks> implementation) {
  implementation_ = std::move(implementation);
}

ComResult<std::unique_ptr<ShellLink>> SimShellLinkClass::createShellLink() {
  ComResult<std::unique_ptr<ShellLink>> answer;
  if (const HResult fault = faults_.check(ShellLinkOp::kCreate, {})) {
    answer.hr = fault;
  } else if (!implementation_) {
    answer.hr = kHresultClassNotRegistered;
  } else {
    auto created = implementation_->createShellLink();
    answer.hr = created.hr;
    if (created.succeeded() && created.value) {
      answer.value = std::make_unique<Object>(*this, std::move(created.value));
    } else if (created.succeeded()) {
      answer.hr = kHresultUnexpected;
    }
  }
  journal_.push_back({ShellLinkOp::kCreate, {}, {}, answer.hr});
  return answer;
}

}  // namespace tolvaran::platform::sim
