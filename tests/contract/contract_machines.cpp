// The implementations the contract tests run against.
#include "contract/contract_fixture.h"
#include "platform/sim/sim_machine.h"

namespace tolvaran::contract {
namespace {

class SimContractMachine final : public ContractMachine {
 public:
  SimContractMachine() {
    // A fresh simulated disk is empty: give it the user's temporary folder.
    const auto temp = machine_.system().getTempPath();
    machine_.files().addFolder(temp.value);
  }
  platform::Files& files() override { return machine_.files(); }
  platform::System& system() override { return machine_.system(); }
  platform::Clock& clock() override { return machine_.clock(); }

 private:
  platform::sim::SimMachine machine_;
};

}  // namespace
}  // namespace tolvaran::contract

#if defined(_WIN32)
#include "platform/win32/win32_machine.h"

namespace tolvaran::contract {
namespace {

class Win32ContractMachine final : public ContractMachine {
 public:
  platform::Files& files() override { return machine_.files(); }
  platform::System& system() override { return machine_.system(); }
  platform::Clock& clock() override { return machine_.clock(); }
  [[nodiscard]] bool onWine() const override { return onWine_; }

 private:
  platform::win32::Win32Machine machine_;
  bool onWine_ = platform::win32::isRunningOnWine();
};

}  // namespace
}  // namespace tolvaran::contract
#endif

namespace tolvaran::contract {

const std::vector<Implementation>& implementations() {
  static const std::vector<Implementation> list = [] {
    std::vector<Implementation> all{
        {"sim", [] { return std::unique_ptr<ContractMachine>(new SimContractMachine); }}};
#if defined(_WIN32)
    all.push_back(
        {"win32", [] { return std::unique_ptr<ContractMachine>(new Win32ContractMachine); }});
#endif
    return all;
  }();
  return list;
}

}  // namespace tolvaran::contract
