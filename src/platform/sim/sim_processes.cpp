#include "platform/sim/sim_processes.h"

#include <algorithm>

#include "platform/sim/sim_command_line.h"
#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

namespace pa = process_access;

constexpr std::uint32_t kFullAccess = 0x001FFFFF;  // PROCESS_ALL_ACCESS and THREAD_ALL_ACCESS
constexpr std::uint32_t kQueryRights = pa::kQueryInformation | pa::kQueryLimitedInformation;
// SYSTEM_PROCESS_INFORMATION of a 32-bit process with one thread record,
// without the name: enough for the size protocol to look real.
constexpr std::uint32_t kRecordBytes = 184 + 64;

std::u16string fileNameOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

bool hasFolder(std::u16string_view path) {
  return path.find_first_of(u"\\/:") != std::u16string_view::npos;
}

bool hasExtension(std::u16string_view path) {
  return fileNameOf(path).find(u'.') != std::u16string::npos;
}

std::uint64_t endTime(std::uint64_t now, std::uint64_t run) {
  return run >= kRunsForever - now ? kRunsForever : now + run;
}

bool samePathOrText(std::u16string_view a, std::u16string_view b) {
  return equalsNoCase(a, b) || sameSimPath(a, b);
}

}  // namespace

// --- Behaviours ----------------------------------------------------------------

ToolBehaviour exitingWith(std::uint32_t exitCode, std::uint64_t runMilliseconds) {
  return [=](const ToolRun&) { return ToolOutcome{runMilliseconds, exitCode, {}}; };
}

ToolBehaviour grantingAccess(SimFiles& files, std::uint64_t runMilliseconds) {
  return [&files, runMilliseconds](const ToolRun& run) {
    if (run.argv.size() < 2 || run.argv[1].empty()) return ToolOutcome{runMilliseconds, 2, {}};
    const bool grants = std::any_of(run.argv.begin() + 2, run.argv.end(), [](const auto& a) {
      return equalsNoCase(a, u"/grant:r") || equalsNoCase(a, u"/grant");
    });
    if (!grants) return ToolOutcome{runMilliseconds, 87, {}};
    std::u16string path = run.argv[1];
    return ToolOutcome{runMilliseconds, 0, [&files, path] { files.faults().clearPath(path); }};
  };
}

ToolBehaviour takingOwnership(std::uint64_t runMilliseconds) {
  return [runMilliseconds](const ToolRun& run) {
    for (std::size_t i = 1; i + 1 < run.argv.size(); ++i) {
      if (equalsNoCase(run.argv[i], u"/F")) return ToolOutcome{runMilliseconds, 0, {}};
    }
    return ToolOutcome{runMilliseconds, 1, {}};
  };
}

ToolBehaviour commandInterpreter() {
  return [](const ToolRun& run) {
    const auto& a = run.argv;
    if (a.size() == 4 && equalsNoCase(a[1], u"/c") && equalsNoCase(a[2], u"exit")) {
      std::uint32_t code = 0;
      for (const char16_t c : a[3]) {
        if (c < u'0' || c > u'9') break;
        code = code * 10 + static_cast<std::uint32_t>(c - u'0');
      }
      return ToolOutcome{20, code, {}};
    }
    return ToolOutcome{kRunsForever, 0, {}};
  };
}

// --- The table -----------------------------------------------------------------

SimProcesses::SimProcesses(SimClock& clock, SimFiles& files, SimSystem& system)
    : clock_(clock), files_(files), system_(system), faults_(samePathOrText) {
  const auto add = [this](std::uint32_t id, std::u16string name, std::u16string path,
                          std::uint32_t threads, std::int32_t priority, std::uint32_t parent) {
    Process p;
    p.id = id;
    p.name = std::move(name);
    p.imagePath = std::move(path);
    p.threads = threads;
    p.basePriority = priority;
    p.parentId = parent;
    table_.push_back(std::move(p));
  };
  add(0, u"", u"", 4, 0, 0);
  add(4, u"System", u"", 140, 8, 0);
  add(388, u"smss.exe", u"\\SystemRoot\\System32\\smss.exe", 2, 11, 4);
  add(512, u"csrss.exe", u"\\??\\C:\\Windows\\system32\\csrss.exe", 10, 13, 500);
  add(1900, u"explorer.exe", u"C:\\Windows\\explorer.exe", 60, 8, 1880);
  Process self;
  self.id = kSelfId;
  self.self = true;
  self.threads = 3;
  self.parentId = 1900;
  table_.push_back(std::move(self));
}

void SimProcesses::installTool(std::u16string_view path, ToolBehaviour behaviour) {
  if (!files_.exists(path)) files_.addFile(path, "MZ");
  setBehaviour(fileNameOf(path), std::move(behaviour));
}

void SimProcesses::setBehaviour(std::u16string_view imageName, ToolBehaviour behaviour) {
  behaviours_[foldCase(imageName)] = std::move(behaviour);
}

std::uint32_t SimProcesses::addProcess(std::u16string name, std::u16string imagePath,
                                       std::uint32_t threads, std::int32_t basePriority) {
  Process p;
  p.id = nextId_;
  nextId_ += 4;
  p.name = std::move(name);
  p.imagePath = std::move(imagePath);
  p.threads = threads;
  p.basePriority = basePriority;
  p.parentId = 1900;
  table_.push_back(std::move(p));
  return table_.back().id;
}

WindowHandle SimProcesses::addWindow(std::uint32_t processId) {
  const WindowHandle window = nextWindow_;
  nextWindow_ += 0x10;
  windows_[window] = processId;
  return window;
}

bool SimProcesses::isRunning(std::uint32_t processId) {
  settle();
  const Process* p = find(processId);
  return p && p->running;
}

void SimProcesses::settle() {
  const std::uint64_t now = clock_.monotonicMilliseconds();
  for (;;) {
    Process* next = nullptr;
    for (Process& p : table_) {
      if (p.running && p.endsAt <= now && (!next || p.endsAt < next->endsAt)) next = &p;
    }
    if (!next) return;
    next->running = false;
    next->exitCode = next->outcome.exitCode;
    if (next->outcome.atExit) {
      const auto effect = std::move(next->outcome.atExit);
      next->outcome.atExit = nullptr;
      effect();
    }
  }
}

SimProcesses::Process* SimProcesses::find(std::uint32_t processId) {
  for (Process& p : table_) {
    if (p.id == processId) return &p;
  }
  return nullptr;
}

SimProcesses::Process* SimProcesses::processOf(KernelHandle handle, Handle** entry) {
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return nullptr;
  if (entry) *entry = &it->second;
  return find(it->second.processId);
}

KernelHandle SimProcesses::newHandle(std::uint32_t processId, bool thread, std::uint32_t access) {
  const KernelHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{processId, thread, access};
  return handle;
}

std::u16string SimProcesses::nameOf(const Process& process) {
  return process.self ? fileNameOf(imagePathOf(process)) : process.name;
}

std::u16string SimProcesses::imagePathOf(const Process& process) {
  return process.self ? system_.moduleFileName().value : process.imagePath;
}

void SimProcesses::journal(ProcessOp op, std::u16string_view subject, Win32Code code) {
  journal_.push_back({op, std::u16string(subject), {}, code});
}

Result<std::u16string> SimProcesses::findModule(const std::u16string& token) {
  std::u16string module = token;
  if (!hasExtension(module)) module += u".exe";
  std::vector<std::u16string> candidates;
  if (hasFolder(module)) {
    candidates.push_back(module);
  } else {
    const std::u16string windows = system_.getWindowsDirectory().value;
    candidates.push_back(windows + u"\\System32\\" + module);
    candidates.push_back(windows + u"\\" + module);
  }
  for (const auto& candidate : candidates) {
    const SimPath seen = files_.wow64().apply(parseSimPath(candidate));
    if (!seen.ok()) continue;
    const std::u16string real = joinSimPath(seen);
    const auto attributes = files_.attributesOf(real);
    if (!attributes) continue;
    if (*attributes & attr::kDirectory) return {{}, kErrorAccessDenied};
    return {real, kErrorSuccess};
  }
  return {{}, kErrorFileNotFound};
}

// --- The port ------------------------------------------------------------------

Result<ProcessInformation> SimProcesses::createProcess(std::u16string_view commandLine,
                                                       std::uint32_t creationFlags,
                                                       std::u16string_view currentDirectory,
                                                       std::uint16_t showWindow) {
  settle();
  Result<ProcessInformation> result;
  if (const Win32Code fault = faults_.check(ProcessOp::kCreateProcess, commandLine)) {
    result.code = fault;
  } else if (commandLine.substr(0, commandLine.find(u'\0')).empty()) {
    result.code = kErrorFileNotFound;
  } else {
    ToolRun run;
    run.commandLine = std::u16string(commandLine.substr(0, commandLine.find(u'\0')));
    run.argv = splitCommandLine(run.commandLine);
    const auto module = findModule(run.argv.front());
    if (!module.ok()) {
      result.code = module.code;
    } else {
      run.imagePath = module.value;
      const auto behaviour = behaviours_.find(foldCase(fileNameOf(run.imagePath)));
      Process p;
      p.id = nextId_;
      nextId_ += 4;
      p.name = fileNameOf(run.imagePath);
      p.imagePath = run.imagePath;
      p.parentId = kSelfId;
      p.outcome = behaviour != behaviours_.end() && behaviour->second ? behaviour->second(run)
                                                                      : ToolOutcome{};
      // A suspended program does nothing until it is resumed, which this
      // port cannot do: it runs until terminated.
      p.endsAt = (creationFlags & kCreateSuspended)
                     ? kRunsForever
                     : endTime(clock_.monotonicMilliseconds(), p.outcome.runMilliseconds);
      table_.push_back(p);
      result.value.processId = p.id;
      result.value.threadId = p.id + 1;
      result.value.process = newHandle(p.id, false, kFullAccess);
      result.value.thread = newHandle(p.id, true, kFullAccess);
      started_.push_back(Started{run.commandLine, run.argv, run.imagePath, creationFlags,
                                 std::u16string(currentDirectory), showWindow, p.id,
                                 files_.wow64().disabled()});
    }
  }
  journal(ProcessOp::kCreateProcess, commandLine, result.code);
  return result;
}

Result<std::uint32_t> SimProcesses::waitForSingleObject(KernelHandle handle,
                                                        std::uint32_t milliseconds) {
  settle();
  Result<std::uint32_t> result{kWaitFailed, kErrorSuccess};
  Handle* entry = nullptr;
  Process* p = processOf(handle, &entry);
  if (const Win32Code fault = faults_.check(ProcessOp::kWaitForSingleObject, {})) {
    result.code = fault;
  } else if (!p) {
    result.code = kErrorInvalidHandle;
  } else if ((entry->access & pa::kSynchronize) == 0) {
    result.code = kErrorAccessDenied;
  } else if (!p->running) {
    result.value = kWaitObject0;
  } else {
    const std::uint64_t now = clock_.monotonicMilliseconds();
    const std::uint64_t remaining = p->endsAt - now;
    if (milliseconds != kInfinite && remaining > milliseconds) {
      clock_.advance(milliseconds);
      result.value = kWaitTimeout;
    } else if (p->endsAt == kRunsForever) {
      result.code = kErrorPossibleDeadlock;
    } else {
      clock_.advance(remaining);
      settle();
      result.value = kWaitObject0;
    }
  }
  journal(ProcessOp::kWaitForSingleObject, {}, result.code);
  return result;
}

Result<std::uint32_t> SimProcesses::getExitCodeProcess(KernelHandle process) {
  settle();
  Result<std::uint32_t> result;
  Handle* entry = nullptr;
  const Process* p = processOf(process, &entry);
  if (const Win32Code fault = faults_.check(ProcessOp::kGetExitCodeProcess, {})) {
    result.code = fault;
  } else if (!p || entry->thread) {
    result.code = kErrorInvalidHandle;
  } else if ((entry->access & kQueryRights) == 0) {
    result.code = kErrorAccessDenied;
  } else {
    result.value = p->running ? kStillActive : p->exitCode;
  }
  journal(ProcessOp::kGetExitCodeProcess, {}, result.code);
  return result;
}

Status SimProcesses::terminateProcess(KernelHandle process, std::uint32_t exitCode) {
  settle();
  Status result;
  Handle* entry = nullptr;
  Process* p = processOf(process, &entry);
  if (const Win32Code fault = faults_.check(ProcessOp::kTerminateProcess, {})) {
    result.code = fault;
  } else if (!p || entry->thread) {
    result.code = kErrorInvalidHandle;
  } else if ((entry->access & pa::kTerminate) == 0 || p->self) {
    result.code = kErrorAccessDenied;
  } else if (p->running) {
    p->running = false;
    p->exitCode = exitCode;
    p->outcome.atExit = nullptr;
  }
  journal(ProcessOp::kTerminateProcess, {}, result.code);
  return result;
}

Result<KernelHandle> SimProcesses::openProcess(std::uint32_t desiredAccess,
                                               std::uint32_t processId) {
  settle();
  Result<KernelHandle> result;
  const Process* p = find(processId);
  if (const Win32Code fault = faults_.check(ProcessOp::kOpenProcess, {})) {
    result.code = fault;
  } else if (processId == 0 || !p || !p->running) {
    result.code = kErrorInvalidParameter;
  } else if (processId == 4 && (desiredAccess & ~(kQueryRights | pa::kSynchronize)) != 0) {
    result.code = kErrorAccessDenied;
  } else {
    result.value = newHandle(processId, false, desiredAccess);
  }
  journal(ProcessOp::kOpenProcess, {}, result.code);
  return result;
}

Status SimProcesses::closeHandle(KernelHandle handle) {
  Status result;
  if (const Win32Code fault = faults_.check(ProcessOp::kCloseHandle, {})) {
    result.code = fault;
  } else if (handles_.erase(handle) == 0) {
    ++invalidCloses_;
    result.code = kErrorInvalidHandle;
  }
  journal(ProcessOp::kCloseHandle, {}, result.code);
  return result;
}

Result<std::uint32_t> SimProcesses::getWindowThreadProcessId(WindowHandle window) {
  Result<std::uint32_t> result;
  const auto it = windows_.find(window);
  if (const Win32Code fault = faults_.check(ProcessOp::kGetWindowThreadProcessId, {})) {
    result.code = fault;
  } else if (it == windows_.end()) {
    result.code = kErrorInvalidWindowHandle;
  } else {
    result.value = it->second;
  }
  journal(ProcessOp::kGetWindowThreadProcessId, {}, result.code);
  return result;
}

Result<std::u16string> SimProcesses::getModuleFileNameEx(KernelHandle process,
                                                         std::uint32_t bufferChars) {
  settle();
  Result<std::u16string> result;
  Handle* entry = nullptr;
  const Process* p = processOf(process, &entry);
  if (const Win32Code fault = faults_.check(ProcessOp::kGetModuleFileNameEx, {})) {
    result.code = fault;
  } else if (!p || entry->thread) {
    result.code = kErrorInvalidHandle;
  } else if ((entry->access & pa::kVmRead) == 0 || (entry->access & kQueryRights) == 0) {
    result.code = kErrorAccessDenied;
  } else if (bufferChars == 0) {
    result.code = kErrorInsufficientBuffer;
  } else {
    std::u16string path = imagePathOf(*p);
    if (path.empty() || !p->running) {
      result.code = kErrorPartialCopy;
    } else {
      if (path.size() >= bufferChars) path.resize(bufferChars - 1);
      result.value = std::move(path);
    }
  }
  journal(ProcessOp::kGetModuleFileNameEx, {}, result.code);
  return result;
}

Result<std::vector<ProcessEntry>> SimProcesses::snapshotProcesses() {
  settle();
  Result<std::vector<ProcessEntry>> result;
  if (const Win32Code fault = faults_.check(ProcessOp::kSnapshotProcesses, {})) {
    result.code = fault;
  } else {
    for (const Process& p : table_) {
      if (!p.running) continue;
      result.value.push_back(ProcessEntry{p.id, p.threads, p.parentId, p.basePriority,
                                          p.id == 0 ? u"[System Process]" : nameOf(p)});
    }
  }
  journal(ProcessOp::kSnapshotProcesses, {}, result.code);
  return result;
}

SystemProcessQuery SimProcesses::querySystemProcessInformation(std::uint32_t bufferBytes) {
  settle();
  SystemProcessQuery query;
  std::vector<SystemProcessRecord> records;
  std::uint64_t needed = 0;
  for (const Process& p : table_) {
    if (!p.running) continue;
    records.push_back(SystemProcessRecord{nameOf(p), p.id, p.threads, p.basePriority});
    needed += kRecordBytes + 2 * (records.back().imageName.size() + 1);
  }
  query.returnLength = static_cast<std::uint32_t>(std::min<std::uint64_t>(needed, 0xFFFFFFFFu));
  if (const Win32Code fault = faults_.check(ProcessOp::kQuerySystemProcessInformation, {})) {
    query.status = fault;
  } else if (bufferBytes < needed) {
    query.status = kStatusInfoLengthMismatch;
  } else {
    query.records = std::move(records);
  }
  journal(ProcessOp::kQuerySystemProcessInformation, {}, query.status);
  return query;
}

}  // namespace tolvaran::platform::sim
