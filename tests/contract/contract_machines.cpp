// The implementations the contract tests run against.
#include <utility>

#include "contract/contract_fixture.h"
#include "platform/sim/sim_machine.h"

namespace tolvaran::contract {
namespace {

class SimContractMachine final : public ContractMachine {
 public:
  explicit SimContractMachine(platform::sim::OsProfile os = platform::sim::defaultOsProfile())
      : machine_(std::move(os)) {
    // A fresh simulated disk holds only the Windows folder: give it the
    // user's temporary folder and the shell's folders, as Windows has them.
    const auto temp = machine_.system().getTempPath();
    machine_.files().addFolder(temp.value);
    namespace csidl = platform::csidl;
    for (const std::int32_t folder :
         {csidl::kDesktop, csidl::kAppData, csidl::kLocalAppData, csidl::kStartup,
          csidl::kCommonPrograms, csidl::kCommonDesktopDirectory, csidl::kProgramFiles,
          csidl::kProgramFilesX86}) {
      const auto path = machine_.system().getSpecialFolderPath(folder);
      if (path.ok()) machine_.files().addFolder(path.value);
    }
    // The command interpreter, where Windows keeps it, for the process contracts.
    const std::u16string windows = machine_.system().getWindowsDirectory().value;
    // And the system DLLs whose versions the module contracts read.
    machine_.modules().installSystemLibraries(windows,
                                              machine_.files().exists(windows + u"\\SysWOW64"));
    for (const auto* folder : {u"\\System32", u"\\SysWOW64"}) {
      if (machine_.files().exists(windows + folder)) {
        machine_.processes().installTool(windows + folder + u"\\cmd.exe",
                                         platform::sim::commandInterpreter());
      }
    }
  }
  platform::Files& files() override { return machine_.files(); }
  platform::System& system() override { return machine_.system(); }
  platform::Clock& clock() override { return machine_.clock(); }
  platform::OsInfo& osInfo() override { return machine_.osInfo(); }
  platform::Processes& processes() override { return machine_.processes(); }
  platform::ShellOperations& shellOps() override { return machine_.shellOps(); }
  platform::Installer& installer() override { return machine_.installer(); }
  platform::ShellNotify& shellNotify() override { return machine_.shellNotify(); }
  platform::Modules& modules() override { return machine_.modules(); }

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
  platform::OsInfo& osInfo() override { return machine_.osInfo(); }
  platform::Processes& processes() override { return machine_.processes(); }
  platform::ShellOperations& shellOps() override { return machine_.shellOps(); }
  platform::Installer& installer() override { return machine_.installer(); }
  platform::ShellNotify& shellNotify() override { return machine_.shellNotify(); }
  platform::Modules& modules() override { return machine_.modules(); }
  [[nodiscard]] bool onWine() const override { return onWine_; }

 private:
  platform::win32::Win32Machine machine_;
  bool onWine_ = platform::win32::isRunningOnWine();
};

}  // namespace
}  // namespace tolvaran::contract
#endif

namespace tolvaran::contract {

std::unique_ptr<ContractMachine> makeSimMachine(bool is64BitOs, std::uint32_t processPointerSize) {
  return std::make_unique<SimContractMachine>(
      platform::sim::makeOsProfile(platform::sim::ProfileOptions{
          .is64BitOs = is64BitOs, .elevated = true, .processPointerSize = processPointerSize}));
}

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
