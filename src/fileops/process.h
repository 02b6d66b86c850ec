#pragma once
// Starting a program and waiting for it (the unlock tools), relaunching with
// higher rights through the shell, and finding a running process by name or
// number. The object keeps the handles of the program it started last and
// owns them: each is closed exactly once, by the wait or when the object
// starts another program or goes away.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports.h"
#include "support/failure.h"

namespace tolvaran {

class clsProcess {
 public:
  clsProcess(const platform::Ports& ports, FailureRecorder& recorder);
  ~clsProcess();
  clsProcess(const clsProcess&) = delete;
  clsProcess& operator=(const clsProcess&) = delete;

  // What the last ProcessRun started; zeros when it started nothing.
  [[nodiscard]] std::uint32_t GetProcessID() const noexcept { return info_.processId; }
  [[nodiscard]] std::uint32_t GetThreadId() const noexcept { return info_.threadId; }
  [[nodiscard]] platform::KernelHandle GetProcessHandle() const noexcept { return info_.process; }
  [[nodiscard]] platform::KernelHandle GetThreadHandle() const noexcept { return info_.thread; }

  // The shell's "runas" verb on `ExecutablePath` with `Arguments`, shown
  // normally; the shell call's success. The started process is not tracked.
  bool Runas(std::u16string_view ExecutablePath, std::u16string_view Arguments,
             platform::WindowHandle ParentWindowHandle);

  // Looks the running processes up by image name (case-insensitive, first
  // match) when `ProcessName` is given, else by `ProcessID`, and fills in
  // the other one. False for an empty name with identifier 0.
  bool IsRunned(std::u16string& ProcessName, std::uint32_t& ProcessID);

  // Waits for the process that owns `WindowHandle`, else `ProcessHandle`,
  // else the one the last ProcessRun started (0 when there is none), and
  // closes that handle. `FreezeThread`: waits without limit. Otherwise polls
  // every 100 ms, letting the window process its messages, for at most
  // `TimeOut` seconds of the monotonic clock (-1: no limit). The exit code,
  // or -1 when the wait failed or the time ran out.
  std::int32_t WaitForTerminate(platform::WindowHandle WindowHandle,
                                platform::KernelHandle ProcessHandle, bool FreezeThread,
                                std::int32_t TimeOut);

  // Starts `FileName` (quoted) with every token of `CommandLine` quoted
  // again, so that the program receives exactly those tokens; does not
  // wait. The creation's success.
  bool ProcessRun(std::u16string_view FileName, std::u16string_view CommandLine = {},
                  std::u16string_view CurrentDirectory = {},
                  std::uint16_t WindowStyle = platform::kSwShowNormal);

  // Splits `CommandLine` by the shell's rules into `NumArgs` tokens at
  // Args[1..NumArgs]; Args[0] is this program's own path.
  void ParseCommandLine(std::u16string_view CommandLine, std::int32_t& NumArgs,
                        std::vector<std::u16string>& Args);

 private:
  void releaseHandles() noexcept;

  platform::Ports ports_;
  FailureRecorder& recorder_;
  platform::ProcessInformation info_;
};

// `token` in double quotes, written so that the shell's splitting gives
// `token` back: backslashes before a quote or the closing quote doubled,
// quotes escaped.
std::u16string quoteArgument(std::u16string_view token);

}  // namespace tolvaran
