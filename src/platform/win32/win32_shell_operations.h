#pragma once
// The shell-operations port over SHFileOperationW, SHChangeNotify,
// ShellExecuteExW and CommandLineToArgvW. The shell's file operation and
// ShellExecuteExW need COM on the calling thread: each call makes sure of a
// single-threaded apartment for its duration (and leaves one the program
// set up alone).
#include "platform/shell_operations.h"

namespace tolvaran::platform::win32 {

class Win32ShellOperations final : public ShellOperations {
 public:
  ShellFileOperationResult fileOperation(const ShellFileOperation& operation) override;
  void changeNotify(std::int32_t event, std::uint32_t flags, std::u16string_view path,
                    std::u16string_view secondPath) override;
  Status shellExecuteEx(const ShellExecuteRequest& request) override;
  Result<std::vector<std::u16string>> commandLineToArgv(std::u16string_view line) override;
};

}  // namespace tolvaran::platform::win32
