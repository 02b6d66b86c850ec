#pragma once
// The OS-information port over a simulated system profile.
//
// Rules (input -> what Windows does). The contract tests check against Wine
// IsWow64Process of a 32- and a 64-bit process, a handle other than 0, and
// GetLocaleInfoW of known locales and of LOCALE_USER_DEFAULT; the other rows
// (older releases, an unknown locale, GetSystemMetrics) no test checks
// against Windows.
// clang-format off
//   GetProductInfo before Vista          -> ERROR_CALL_NOT_IMPLEMENTED (not in kernel32)
//   IsWow64Process before XP SP2         -> ERROR_CALL_NOT_IMPLEMENTED
//   IsWow64Process, 32-bit process       -> true exactly on 64-bit Windows
//   IsWow64Process, 64-bit process       -> false
//   a process handle other than 0        -> ERROR_INVALID_HANDLE (only the running process exists)
//   TokenElevation / TokenIntegrityLevel before Vista -> ERROR_INVALID_PARAMETER
//   GetLocaleInfoW, locale not known     -> ERROR_INVALID_PARAMETER, empty text
//   GetLocaleInfoW, LOCALE_USER_DEFAULT / LOCALE_SYSTEM_DEFAULT / 0 -> the profile's locales
//   GetSystemMetrics, index not set      -> 0
// clang-format on
#include <cstdint>

#include "platform/os_info.h"
#include "platform/sim/os_profiles.h"
#include "platform/sim/sim_faults.h"

namespace tolvaran::platform::sim {

enum class OsInfoOp {
  GetVersionEx,
  GetProductInfo,
  IsWow64Process,
  GetLocaleInfo,
  TokenElevation,
  TokenIntegrityLevel,
  TokenGroups,
};

class SimOsInfo final : public OsInfo {
 public:
  explicit SimOsInfo(OsProfile profile);

  // The profile may be changed between calls (a test switching the system).
  [[nodiscard]] OsProfile& profile() noexcept { return profile_; }
  // Faults to inject; the path of a fault is ignored (these calls have none).
  [[nodiscard]] FaultPlan<OsInfoOp>& faults() noexcept { return faults_; }

  Result<OsVersionInfo> getVersionEx() override;
  Result<std::uint32_t> getProductInfo(std::uint32_t osMajor, std::uint32_t osMinor,
                                       std::uint32_t spMajor, std::uint32_t spMinor) override;
  int getSystemMetrics(int index) override;
  Result<bool> isWow64Process(ProcessHandle process) override;
  std::uint32_t processPointerSize() override;
  std::uint16_t getUserDefaultUILanguage() override;
  std::uint16_t getSystemDefaultUILanguage() override;
  std::uint32_t getSystemDefaultLcid() override;
  Result<std::u16string> getLocaleInfo(std::uint32_t lcid, std::uint32_t lcType) override;
  Result<std::uint32_t> tokenElevation(ProcessHandle process) override;
  Result<std::uint32_t> tokenIntegrityLevel(ProcessHandle process) override;
  Result<std::vector<std::u16string>> tokenGroups(ProcessHandle process) override;

 private:
  Win32Code check(OsInfoOp op) { return faults_.check(op, {}); }

  OsProfile profile_;
  FaultPlan<OsInfoOp> faults_;
};

}  // namespace tolvaran::platform::sim
