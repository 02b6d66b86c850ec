#pragma once
// The simulated processes: a process table (the idle process, System, two
// session processes, Explorer and the program itself), programs started
// from files on the simulated disk whose behaviour a test scripts (how long
// they run, their exit code, what they do to the machine when they end),
// kernel handles with their access rights, windows owned by processes, and
// faults to inject with a journal of every call. Time is the virtual
// clock's: a started program ends when the monotonic counter reaches its
// end, and waiting for it moves the clock there.
//
// clang-format off
//   call                                    -> Win32 result
//   CreateProcess of a missing module       -> ERROR_FILE_NOT_FOUND; of a folder:
//                                              ERROR_ACCESS_DENIED; the module is the command
//                                              line's first token (CommandLineToArgvW's rules),
//                                              ".exe" added when it has no extension, a bare name
//                                              looked for in System32 and then the Windows
//                                              folder; it is found through WOW64 redirection as
//                                              the caller sees it
//   CreateProcess of an empty line          -> ERROR_FILE_NOT_FOUND
//   a started program without a behaviour   -> ends at once with exit code 0
//   CREATE_SUSPENDED                        -> never ends on its own (nothing resumes it)
//   a program's effect on the machine       -> applied when it ends, seen by the first call
//                                              of this port that comes after the end
//   WaitForSingleObject, process running    -> the clock moves to its end (WAIT_OBJECT_0) or by
//                                              the time-out (WAIT_TIMEOUT); an endless wait
//                                              for a program that never ends: WAIT_FAILED,
//                                              ERROR_POSSIBLE_DEADLOCK (Windows would hang)
//   WaitForSingleObject without SYNCHRONIZE -> WAIT_FAILED, ERROR_ACCESS_DENIED
//   GetExitCodeProcess                      -> STILL_ACTIVE (259) while running; needs
//                                              PROCESS_QUERY_(LIMITED_)INFORMATION
//   TerminateProcess of an ended process    -> success, the exit code stays; needs
//                                              PROCESS_TERMINATE
//   OpenProcess of pid 0, an unknown or an ended process
//                                           -> ERROR_INVALID_PARAMETER
//   OpenProcess of System (pid 4) asking for more than querying
//                                           -> ERROR_ACCESS_DENIED
//   CloseHandle of an unknown or closed handle
//                                           -> ERROR_INVALID_HANDLE (counted)
//   GetModuleFileNameEx                     -> the image path; a process with none (System) or
//                                              an ended one: ERROR_PARTIAL_COPY; needs
//                                              PROCESS_VM_READ and a query right; truncated to
//                                              buffer - 1 characters
//   toolhelp snapshot / NtQuerySystemInformation
//                                           -> the running processes in table order; the
//                                              idle process is "[System Process]" in a snapshot
//                                              and has no name for the kernel query; a buffer
//                                              smaller than needed: STATUS_INFO_LENGTH_MISMATCH
//                                              and the size needed
// clang-format on
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "platform/processes.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_system.h"

namespace tolvaran::platform::sim {

enum class ProcessOp {
  kCreateProcess,
  kWaitForSingleObject,
  kGetExitCodeProcess,
  kTerminateProcess,
  kOpenProcess,
  kCloseHandle,
  kGetWindowThreadProcessId,
  kGetModuleFileNameEx,
  kSnapshotProcesses,
  kQuerySystemProcessInformation,
};

inline constexpr std::uint64_t kRunsForever = std::numeric_limits<std::uint64_t>::max();

// What a started program was given.
struct ToolRun {
  std::u16string commandLine;
  std::vector<std::u16string> argv;  // as the program's CommandLineToArgvW would see them
  std::u16string imagePath;          // the module found on disk
};

// What it then does.
struct ToolOutcome {
  std::uint64_t runMilliseconds = 0;  // kRunsForever: until terminated
  std::uint32_t exitCode = 0;
  std::function<void()> atExit;  // its effect on the machine
};

using ToolBehaviour = std::function<ToolOutcome(const ToolRun&)>;

// Ends after `runMilliseconds` with `exitCode` and does nothing else.
ToolBehaviour exitingWith(std::uint32_t exitCode, std::uint64_t runMilliseconds = 0);
// The access tool: "<path> /grant:r ..." lifts every fault planned for
// <path> on the file system (the file is "unlocked") and exits 0; without
// a path it exits 2.
ToolBehaviour grantingAccess(SimFiles& files, std::uint64_t runMilliseconds = 300);
// The ownership tool: "/F <path> ..." exits 0 and changes nothing the
// simulation models; without /F it exits 1.
ToolBehaviour takingOwnership(std::uint64_t runMilliseconds = 300);
// The command interpreter: "/c exit N" ends at once with N; anything else
// runs until it is terminated.
ToolBehaviour commandInterpreter();

class SimProcesses final : public Processes {
 public:
  SimProcesses(SimClock& clock, SimFiles& files, SimSystem& system);
  SimProcesses(const SimProcesses&) = delete;
  SimProcesses& operator=(const SimProcesses&) = delete;

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
  std::uint32_t currentProcessId() override { return kSelfId; }
  Result<std::uint32_t> getWindowThreadProcessId(WindowHandle window) override;
  Result<std::u16string> getModuleFileNameEx(KernelHandle process,
                                             std::uint32_t bufferChars) override;
  Result<std::vector<ProcessEntry>> snapshotProcesses() override;
  SystemProcessQuery querySystemProcessInformation(std::uint32_t bufferBytes) override;

  // --- Setting up and inspecting the machine (not part of the port) -------
  static constexpr std::uint32_t kSelfId = 4242;

  // A program file on the disk (created when missing) and what it does when
  // run. Behaviours are found by the image's file name, in any folder.
  void installTool(std::u16string_view path, ToolBehaviour behaviour);
  void setBehaviour(std::u16string_view imageName, ToolBehaviour behaviour);
  // A running process that never ends on its own; its identifier.
  std::uint32_t addProcess(std::u16string name, std::u16string imagePath, std::uint32_t threads = 1,
                           std::int32_t basePriority = 8);
  // A top-level window owned by `processId`.
  WindowHandle addWindow(std::uint32_t processId);

  // Every successful CreateProcess, in order.
  struct Started {
    std::u16string commandLine;
    std::vector<std::u16string> argv;
    std::u16string imagePath;
    std::uint32_t creationFlags = 0;
    std::u16string currentDirectory;
    std::uint16_t showWindow = 0;
    std::uint32_t processId = 0;
    bool redirectionOff = false;  // WOW64 file-system redirection was off in the caller
  };
  [[nodiscard]] const std::vector<Started>& started() const noexcept { return started_; }
  [[nodiscard]] bool isRunning(std::uint32_t processId);
  [[nodiscard]] std::size_t openHandleCount() const noexcept { return handles_.size(); }
  // CloseHandle calls with a handle that was not open (closed twice, never opened).
  [[nodiscard]] std::uint32_t invalidCloses() const noexcept { return invalidCloses_; }

  FaultPlan<ProcessOp>& faults() noexcept { return faults_; }
  [[nodiscard]] const std::vector<JournalEntry<ProcessOp>>& journal() const noexcept {
    return journal_;
  }

 private:
  struct Process {
    std::uint32_t id = 0;
    std::u16string name;       // empty: the program's own, read from the system port
    std::u16string imagePath;  // likewise
    bool self = false;
    std::uint32_t threads = 1;
    std::int32_t basePriority = 8;
    std::uint32_t parentId = 0;
    bool running = true;
    std::uint64_t endsAt = kRunsForever;
    std::uint32_t exitCode = kStillActive;
    ToolOutcome outcome;
  };
  struct Handle {
    std::uint32_t processId = 0;
    bool thread = false;
    std::uint32_t access = 0;
  };

  // Ends every program whose time has come, applying its effect.
  void settle();
  Process* find(std::uint32_t processId);
  Process* processOf(KernelHandle handle, Handle** entry = nullptr);
  KernelHandle newHandle(std::uint32_t processId, bool thread, std::uint32_t access);
  std::u16string nameOf(const Process& process);
  std::u16string imagePathOf(const Process& process);
  // The module a command line names, as found on the disk; empty when missing.
  Result<std::u16string> findModule(const std::u16string& token);
  void journal(ProcessOp op, std::u16string_view subject, Win32Code code);

  SimClock& clock_;
  SimFiles& files_;
  SimSystem& system_;
  std::vector<Process> table_;
  std::map<std::u16string, ToolBehaviour> behaviours_;  // folded image name -> behaviour
  std::map<KernelHandle, Handle> handles_;
  std::map<WindowHandle, std::uint32_t> windows_;
  std::vector<Started> started_;
  KernelHandle nextHandle_ = 0x400;
  WindowHandle nextWindow_ = 0x10010;
  std::uint32_t nextId_ = 5000;
  std::uint32_t invalidCloses_ = 0;
  FaultPlan<ProcessOp> faults_;
  std::vector<JournalEntry<ProcessOp>> journal_;
};

}  // namespace tolvaran::platform::sim
