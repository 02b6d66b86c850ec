#pragma once
// The contract tests run the same assertions against every implementation of
// a port: the simulated machine everywhere, the real Win32 API in Windows
// builds (under Wine on this project's machines). A difference is a bug in
// the simulation, or a documented Wine gap skipped by name.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/modules.h"
#include "platform/os_info.h"
#include "platform/processes.h"
#include "platform/shell_link.h"
#include "platform/shell_operations.h"
#include "platform/system.h"

namespace tolvaran::contract {

// One implementation of the ports.
class ContractMachine {
 public:
  virtual ~ContractMachine() = default;
  virtual platform::Files& files() = 0;
  virtual platform::System& system() = 0;
  virtual platform::Clock& clock() = 0;
  virtual platform::OsInfo& osInfo() = 0;
  virtual platform::Processes& processes() = 0;
  virtual platform::ShellOperations& shellOps() = 0;
  virtual platform::Installer& installer() = 0;
  virtual platform::ShellNotify& shellNotify() = 0;
  virtual platform::Modules& modules() = 0;
  // The real API running inside Wine, whose known gaps are skipped.
  [[nodiscard]] virtual bool onWine() const { return false; }
};

struct Implementation {
  std::string name;
  std::function<std::unique_ptr<ContractMachine>()> make;
};

void PrintTo(const Implementation& implementation, std::ostream* out);

// "sim", and "win32" in Windows builds.
const std::vector<Implementation>& implementations();

// A simulated machine running another kind of Windows or process than "sim"
// (64-bit Windows 10 and the 32-bit build): for the contracts that depend on
// bitness.
std::unique_ptr<ContractMachine> makeSimMachine(bool is64BitOs, std::uint32_t processPointerSize);

std::string implementationName(const ::testing::TestParamInfo<Implementation>& info);

// Gives each test a fresh machine and a fresh, empty scratch folder under the
// machine's temporary folder, made and removed through the file port itself.
class ContractTest : public ::testing::Test {
 protected:
  void start(const Implementation& implementation);
  void TearDown() override;

  platform::Files& files() { return machine_->files(); }
  platform::System& system() { return machine_->system(); }
  platform::Clock& clock() { return machine_->clock(); }
  platform::OsInfo& osInfo() { return machine_->osInfo(); }
  platform::Processes& processes() { return machine_->processes(); }
  platform::ShellOperations& shellOps() { return machine_->shellOps(); }
  platform::Installer& installer() { return machine_->installer(); }
  platform::ShellNotify& shellNotify() { return machine_->shellNotify(); }
  platform::Modules& modules() { return machine_->modules(); }
  [[nodiscard]] bool onWine() const { return machine_->onWine(); }

  // The scratch folder, without a trailing separator.
  [[nodiscard]] const std::u16string& scratch() const { return scratch_; }
  // scratch() + "\" + relative.
  [[nodiscard]] std::u16string at(std::u16string_view relative) const;

  // Made through the port; a failure fails the test.
  void makeFolder(std::u16string_view relative);
  void makeFile(std::u16string_view relative, std::string_view contents);
  // The whole contents, read through the port; empty with a failure if unreadable.
  std::string readAll(std::u16string_view path);

 private:
  void removeTree(const std::u16string& folder, int depth);

  std::unique_ptr<ContractMachine> machine_;
  std::u16string scratch_;
};

// Text for assertion messages.
std::string narrow(std::u16string_view text);

}  // namespace tolvaran::contract

// Skips the current test when the implementation is the real API under Wine.
#define TOLVARAN_SKIP_ON_WINE(reason) \
  if (onWine()) GTEST_SKIP() << "Wine gap: " << (reason)
