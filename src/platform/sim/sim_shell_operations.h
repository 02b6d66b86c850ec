#pragma once
// The simulated shell operations: deletion through the shell (into a
// recycle bin whose items a test can inspect, or for good), recorded change
// notifications and ShellExecuteExW requests, and CommandLineToArgvW's
// splitting (sim_command_line.h).
//
// clang-format off
//   SHFileOperation FO_DELETE, each listed file -> cleared of read-only, then deleted through the
//                                          file port (so a file a fault denies deletion stays,
//                                          and the journal of the file port shows the delete);
//                                          with FOF_ALLOWUNDO its path, bytes and attributes go
//                                          to the recycle bin
//   a missing file                         -> ERROR_FILE_NOT_FOUND (2), nothing deleted
//   a folder                               -> ERROR_ACCESS_DENIED: folders are not simulated
//   an empty list                          -> ERROR_INVALID_PARAMETER (87)
//   the first failing file                 -> its code; the files before it stay deleted
//   any other operation                    -> ERROR_CALL_NOT_IMPLEMENTED
//   ShellExecuteEx                         -> recorded, success; nothing is started
//   CommandLineToArgvW of an empty line    -> the program's own path
// clang-format on
#include <cstdint>
#include <string>
#include <vector>

#include "platform/shell_operations.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_system.h"

namespace tolvaran::platform::sim {

enum class ShellOp { kFileOperation, kChangeNotify, kShellExecuteEx, kCommandLineToArgv };

struct RecycledItem {
  std::u16string originalPath;  // the full path the file had
  std::string contents;
  std::uint32_t attributes = 0;
  std::uint64_t deletedAt = 0;  // FILETIME
};

struct ChangeNotification {
  std::int32_t event = 0;
  std::uint32_t flags = 0;
  std::u16string path;
  std::u16string secondPath;
  friend bool operator==(const ChangeNotification&, const ChangeNotification&) = default;
};

class SimShellOperations final : public ShellOperations {
 public:
  SimShellOperations(SimClock& clock, SimFiles& files, SimSystem& system);
  SimShellOperations(const SimShellOperations&) = delete;
  SimShellOperations& operator=(const SimShellOperations&) = delete;

  ShellFileOperationResult fileOperation(const ShellFileOperation& operation) override;
  void changeNotify(std::int32_t event, std::uint32_t flags, std::u16string_view path,
                    std::u16string_view secondPath) override;
  Status shellExecuteEx(const ShellExecuteRequest& request) override;
  Result<std::vector<std::u16string>> commandLineToArgv(std::u16string_view line) override;

  // --- Inspecting the machine (not part of the port) -----------------------
  [[nodiscard]] const std::vector<RecycledItem>& recycleBin() const noexcept { return bin_; }
  [[nodiscard]] const std::vector<ShellFileOperation>& fileOperations() const noexcept {
    return operations_;
  }
  [[nodiscard]] const std::vector<ChangeNotification>& notifications() const noexcept {
    return notifications_;
  }
  [[nodiscard]] const std::vector<ShellExecuteRequest>& executed() const noexcept {
    return executed_;
  }

  FaultPlan<ShellOp>& faults() noexcept { return faults_; }
  [[nodiscard]] const std::vector<JournalEntry<ShellOp>>& journal() const noexcept {
    return journal_;
  }

 private:
  std::int32_t deleteOne(std::u16string_view path, bool toRecycleBin);

  SimClock& clock_;
  SimFiles& files_;
  SimSystem& system_;
  std::vector<RecycledItem> bin_;
  std::vector<ShellFileOperation> operations_;
  std::vector<ChangeNotification> notifications_;
  std::vector<ShellExecuteRequest> executed_;
  FaultPlan<ShellOp> faults_;
  std::vector<JournalEntry<ShellOp>> journal_;
};

}  // namespace tolvaran::platform::sim
