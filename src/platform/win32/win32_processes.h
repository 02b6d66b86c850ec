#pragma once
// The processes port over CreateProcessW, the wait and exit-code calls,
// OpenProcess, the toolhelp snapshot, NtQuerySystemInformation (looked up in
// ntdll) and GetModuleFileNameExW (kernel32's K32 form where it exists, else
// psapi.dll loaded from the system folder by its full path).
#include "platform/processes.h"

namespace tolvaran::platform::win32 {

class Win32Processes final : public Processes {
 public:
  Win32Processes();
  ~Win32Processes() override;
  Win32Processes(const Win32Processes&) = delete;
  Win32Processes& operator=(const Win32Processes&) = delete;

  Result<ProcessInformation> createProcess(std::u16string_view commandLine,
                                           std::uint32_t creationFlags,
                                           std::u16string_view currentDirectory,
                                           std::uint16_t showWindow) override;
  Result<std::uint32_t> waitForSingleObject(KernelHandle handle,
                                            std::uint32_t milliseconds) override;
  Result<std::uint32_t> getExitCodeProcess(KernelHandle process) override;
  Status terminateProcess(KernelHandle process, std::uint32_t exitCode) override;
  Result<KernelHandle> openProcess(std::uint32_t desiredAccess, std::uint32_t processId) override;
  Status closeHandle(KernelHandle handle) override;
  std::uint32_t currentProcessId() override;
  Result<std::uint32_t> getWindowThreadProcessId(WindowHandle window) override;
  Result<std::u16string> getModuleFileNameEx(KernelHandle process,
                                             std::uint32_t bufferChars) override;
  Result<std::vector<ProcessEntry>> snapshotProcesses() override;
  SystemProcessQuery querySystemProcessInformation(std::uint32_t bufferBytes) override;

 private:
  // psapi.dll, once loaded (an HMODULE, kept until destruction).
  void* psapi_ = nullptr;
};

}  // namespace tolvaran::platform::win32
