#pragma once
// The OS-information port over the Win32 calls of the same names. Calls that
// older systems lack (GetProductInfo, IsWow64Process) are looked up in
// kernel32 at run time.
#include "platform/os_info.h"

namespace tolvaran::platform::win32 {

class Win32OsInfo final : public OsInfo {
 public:
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
};

}  // namespace tolvaran::platform::win32
