#pragma once
// The processes port: creating a process with the wide call, waiting for it,
// its exit code, ending it, opening a running one, its main module's path,
// and the two ways Windows lists the running processes. Handles are the raw
// kernel handle values, widened; 0 is "no handle".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace tolvaran::platform {

using KernelHandle = std::uint64_t;
inline constexpr KernelHandle kNoHandle = 0;

// An HWND, widened.
using WindowHandle = std::uint64_t;

// PROCESS_INFORMATION.
struct ProcessInformation {
  KernelHandle process = kNoHandle;
  KernelHandle thread = kNoHandle;
  std::uint32_t processId = 0;
  std::uint32_t threadId = 0;
};

// One PROCESSENTRY32W of a toolhelp snapshot.
struct ProcessEntry {
  std::uint32_t processId = 0;
  std::uint32_t threads = 0;
  std::uint32_t parentProcessId = 0;
  std::int32_t basePriority = 0;
  std::u16string exeFile;  // the image file name, up to its NUL
};

// One SYSTEM_PROCESS_INFORMATION record, in the order the kernel lists them.
struct SystemProcessRecord {
  std::u16string imageName;  // empty for the idle process
  std::uint32_t processId = 0;
  std::uint32_t threads = 0;
  std::int32_t basePriority = 0;
};

// NtQuerySystemInformation(SystemProcessInformation) into a buffer of the
// given size: the NTSTATUS, the size the kernel asked for and the records it
// wrote (none unless the status is 0).
struct SystemProcessQuery {
  std::uint32_t status = 0;
  std::uint32_t returnLength = 0;
  std::vector<SystemProcessRecord> records;
};

inline constexpr std::uint32_t kStatusSuccess = 0;
inline constexpr std::uint32_t kStatusInfoLengthMismatch = 0xC0000004u;

// WaitForSingleObject.
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 0x102;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;

// GetExitCodeProcess of a process that has not ended.
inline constexpr std::uint32_t kStillActive = 259;

// CreateProcessW creation flags and STARTUPINFO show commands.
inline constexpr std::uint32_t kCreateSuspended = 0x4;
inline constexpr std::uint32_t kNormalPriorityClass = 0x20;
inline constexpr std::uint16_t kSwHide = 0;
inline constexpr std::uint16_t kSwShowNormal = 1;

// OpenProcess access rights.
namespace process_access {
inline constexpr std::uint32_t kTerminate = 0x0001;
inline constexpr std::uint32_t kVmRead = 0x0010;
inline constexpr std::uint32_t kQueryInformation = 0x0400;
inline constexpr std::uint32_t kQueryLimitedInformation = 0x1000;  // Vista and later
inline constexpr std::uint32_t kSynchronize = 0x00100000;
}  // namespace process_access

// Codes only this port gives.
inline constexpr Win32Code kErrorPartialCopy = 299;
inline constexpr Win32Code kErrorPossibleDeadlock = 1131;
inline constexpr Win32Code kErrorInvalidWindowHandle = 1400;

class Processes {
 public:
  virtual ~Processes() = default;

  // CreateProcessW with no application name (the module is the command
  // line's first token), no inherited handles, the caller's environment, the
  // caller's start-up information with STARTF_USESHOWWINDOW and `showWindow`,
  // and `currentDirectory` (empty: the caller's). Does not wait.
  virtual Result<ProcessInformation> createProcess(std::u16string_view commandLine,
                                                   std::uint32_t creationFlags,
                                                   std::u16string_view currentDirectory,
                                                   std::uint16_t showWindow) = 0;
  // WaitForSingleObject: kWaitObject0, kWaitTimeout, or kWaitFailed with the error.
  virtual Result<std::uint32_t> waitForSingleObject(KernelHandle handle,
                                                    std::uint32_t milliseconds) = 0;
  // GetExitCodeProcess: kStillActive while the process runs.
  virtual Result<std::uint32_t> getExitCodeProcess(KernelHandle process) = 0;
  virtual Status terminateProcess(KernelHandle process, std::uint32_t exitCode) = 0;
  // OpenProcess without inheritance.
  virtual Result<KernelHandle> openProcess(std::uint32_t desiredAccess,
                                           std::uint32_t processId) = 0;
  virtual Status closeHandle(KernelHandle handle) = 0;
  // GetCurrentProcessId.
  virtual std::uint32_t currentProcessId() = 0;
  // GetWindowThreadProcessId: the identifier of the process that owns the window.
  virtual Result<std::uint32_t> getWindowThreadProcessId(WindowHandle window) = 0;
  // GetModuleFileNameExW for the main module into a buffer of `bufferChars`
  // characters: the path, or as much of it as fits before the buffer's
  // terminating NUL (bufferChars - 1 characters).
  virtual Result<std::u16string> getModuleFileNameEx(KernelHandle process,
                                                     std::uint32_t bufferChars) = 0;
  // CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS), Process32FirstW and
  // Process32NextW to the end, CloseHandle: every entry in snapshot order.
  virtual Result<std::vector<ProcessEntry>> snapshotProcesses() = 0;
  // NtQuerySystemInformation(SystemProcessInformation), looked up in ntdll
  // at run time.
  virtual SystemProcessQuery querySystemProcessInformation(std::uint32_t bufferBytes) = 0;
};

}  // namespace tolvaran::platform
