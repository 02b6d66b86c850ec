#include "fileops/process.h"

#include "support/text.h"

namespace tolvaran {
namespace {

namespace pa = platform::process_access;

constexpr std::uint32_t kPollMilliseconds = 100;

// What a wait for another program's process needs: no more, so that it also
// works for a process of another user or integrity level.
constexpr std::uint32_t kWaitAccess = pa::kSynchronize | pa::kQueryInformation;

// `text` between double quotes, as it is.
std::u16string inQuotes(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 2);
  out += u'"';
  out += text;
  out += u'"';
  return out;
}

}  // namespace

std::u16string quoteArgument(std::u16string_view token) {
  std::u16string out(1, u'"');
  std::size_t backslashes = 0;
  for (const char16_t c : token) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    if (c == u'"') {
      out.append(2 * backslashes + 1, u'\\');
    } else {
      out.append(backslashes, u'\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, u'\\');
  out += u'"';
  return out;
}

clsProcess::clsProcess(const platform::Ports& ports, FailureRecorder& recorder)
    : ports_(ports), recorder_(recorder) {}

clsProcess::~clsProcess() {
  releaseHandles();
}

void clsProcess::releaseHandles() noexcept {
  try {
    if (info_.process != platform::kNoHandle) (void)ports_.processes.closeHandle(info_.process);
    if (info_.thread != platform::kNoHandle) (void)ports_.processes.closeHandle(info_.thread);
  } catch (...) {
    // The destructor releases through here, so nothing may leave it; a
    // port that throws while closing leaves nothing more to do.
  }
  info_ = {};
}

bool clsProcess::Runas(std::u16string_view ExecutablePath, std::u16string_view Arguments,
                       platform::WindowHandle ParentWindowHandle) {
  bool succeeded = false;
  guardedStep(
      recorder_,
      [&] {
        platform::ShellExecuteRequest request;
        request.mask = platform::shell::kSeeMaskNoZoneChecks | platform::shell::kSeeMaskNoAsync;
        request.window = ParentWindowHandle;
        request.verb = u"runas";
        request.file = std::u16string(ExecutablePath);
        request.parameters = std::u16string(Arguments);
        request.show = platform::kSwShowNormal;
        succeeded = ports_.shellOps.shellExecuteEx(request).ok();
      },
      [&] { return ErrorContext(u"clsOSInfo.Runas", u"Path:", ExecutablePath); });
  return succeeded;
}

bool clsProcess::IsRunned(std::u16string& ProcessName, std::uint32_t& ProcessID) {
  bool found = false;
  guardedStep(
      recorder_,
      [&] {
        if (ProcessName.empty() && ProcessID == 0) return;
        const auto snapshot = ports_.processes.snapshotProcesses();
        if (!snapshot.ok()) return;
        for (const auto& entry : snapshot.value) {
          if (!ProcessName.empty() ? equalsNoCase(entry.exeFile, ProcessName)
                                   : entry.processId == ProcessID) {
            if (ProcessName.empty()) {
              ProcessName = entry.exeFile.substr(0, entry.exeFile.find(u'\0'));
            } else {
              ProcessID = entry.processId;
            }
            found = true;
            return;
          }
        }
      },
      [&] { return ErrorContext(u"clsOSInfo.IsRunned", u"Name:", ProcessName); });
  return found;
}

std::int32_t clsProcess::WaitForTerminate(platform::WindowHandle WindowHandle,
                                          platform::KernelHandle ProcessHandle, bool FreezeThread,
                                          std::int32_t TimeOut) {
  std::int32_t exitCode = 0;
  platform::KernelHandle handle = platform::kNoHandle;
  const auto context = [] { return ErrorContext(u"clsOSInfo.WaitForTerminate"); };

  guardedStep(
      recorder_,
      [&] {
        if (WindowHandle != 0) {
          const auto owner = ports_.processes.getWindowThreadProcessId(WindowHandle);
          if (!owner.ok()) return;
          const auto opened = ports_.processes.openProcess(kWaitAccess, owner.value);
          if (opened.ok()) handle = opened.value;
        } else if (ProcessHandle != platform::kNoHandle) {
          handle = ProcessHandle;
        } else {
          handle = info_.process;
        }
      },
      context);
  if (handle == platform::kNoHandle) return 0;

  guardedStep(
      recorder_,
      [&] {
        auto& processes = ports_.processes;
        if (FreezeThread) {
          const auto waited = processes.waitForSingleObject(handle, platform::kInfinite);
          if (!waited.ok() || waited.value == platform::kWaitFailed) {
            exitCode = -1;
            return;
          }
          const auto code = processes.getExitCodeProcess(handle);
          exitCode = code.ok() ? static_cast<std::int32_t>(code.value) : -1;
          return;
        }
        // The limit runs on the monotonic counter, so that neither midnight
        // nor a change of the clock shortens or stretches it.
        const std::uint64_t start = ports_.clock.monotonicMilliseconds();
        const std::uint64_t limit = TimeOut < 0 ? 0 : static_cast<std::uint64_t>(TimeOut) * 1000u;
        auto code = processes.getExitCodeProcess(handle);
        while (code.ok() && code.value == platform::kStillActive &&
               (TimeOut == -1 || ports_.clock.monotonicMilliseconds() - start < limit)) {
          ports_.ui.pumpMessages();
          ports_.clock.sleep(kPollMilliseconds);
          code = processes.getExitCodeProcess(handle);
        }
        const bool gaveUp = !code.ok() || code.value == platform::kStillActive;
        exitCode = gaveUp ? -1 : static_cast<std::int32_t>(code.value);
      },
      context);

  guardedStep(
      recorder_,
      [&] {
        // Forget the handle before closing it: whatever happens, it is never closed twice.
        if (handle == info_.process) info_.process = platform::kNoHandle;
        (void)ports_.processes.closeHandle(handle);
      },
      context);
  return exitCode;
}

bool clsProcess::ProcessRun(std::u16string_view FileName, std::u16string_view CommandLine,
                            std::u16string_view CurrentDirectory, std::uint16_t WindowStyle) {
  bool started = false;
  std::u16string line;
  const auto context = [&] {
    return ErrorContext(u"clsOSInfo.ProcessRun", u"File:", FileName, u"CommandLine:", line);
  };
  guardedStep(
      recorder_,
      [&] {
        line = inQuotes(FileName);
        if (CommandLine.empty()) return;
        std::int32_t count = 0;
        std::vector<std::u16string> args;
        ParseCommandLine(CommandLine, count, args);
        for (std::int32_t i = 1; i <= count && static_cast<std::size_t>(i) < args.size(); ++i) {
          line += u' ';
          line += quoteArgument(args[static_cast<std::size_t>(i)]);
        }
      },
      context);
  guardedStep(
      recorder_,
      [&] {
        releaseHandles();
        const auto created = ports_.processes.createProcess(line, platform::kNormalPriorityClass,
                                                            CurrentDirectory, WindowStyle);
        if (!created.ok()) return;
        info_ = created.value;
        started = true;
      },
      context);
  return started;
}

void clsProcess::ParseCommandLine(std::u16string_view CommandLine, std::int32_t& NumArgs,
                                  std::vector<std::u16string>& Args) {
  NumArgs = 0;
  Args.clear();
  guardedStep(
      recorder_,
      [&] {
        // The program's own path as its folder, its name and ".exe".
        const std::u16string self = ports_.system.moduleFileName().value;
        const std::size_t slash = self.rfind(u'\\');
        const std::u16string folder = slash == std::u16string::npos ? u"" : self.substr(0, slash);
        std::u16string name = slash == std::u16string::npos ? self : self.substr(slash + 1);
        if (const std::size_t dot = name.rfind(u'.'); dot != std::u16string::npos) {
          name.resize(dot);
        }
        Args.push_back(folder + u"\\" + name + u".exe");
      },
      [] { return ErrorContext(u"clsOSInfo.ParseCommandLine"); });
  guardedStep(
      recorder_,
      [&] {
        auto tokens = ports_.shellOps.commandLineToArgv(CommandLine);
        if (!tokens.ok()) return;
        if (Args.empty()) Args.emplace_back();
        for (auto& token : tokens.value) Args.push_back(std::move(token));
        NumArgs = static_cast<std::int32_t>(Args.size() - 1);
      },
      [&] { return ErrorContext(u"clsOSInfo.ParseCommandLine", u"CommandLine:", CommandLine); });
}

}  // namespace tolvaran
