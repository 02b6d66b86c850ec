// The process list of modFile: the kernel's list of running processes with
// their image paths.
#include "fileops/mod_file.h"
#include "support/text.h"

namespace tolvaran {
namespace {

namespace pa = platform::process_access;

constexpr std::uint32_t kMaxPath = 260;
constexpr std::uint32_t kLongPathChars = 32767;
// The list can grow between asking for its size and reading it: a few
// more tries with the newly asked size before giving up.
constexpr int kQueryAttempts = 4;

constexpr std::u16string_view kSystemRootPrefix = u"\\SystemRoot\\";
constexpr std::u16string_view kNtPrefix = u"\\??\\";

}  // namespace

std::u16string modFile::processWindowsFolder() {
  if (!processWindowsFolder_) {
    auto folder = system_.getWindowsDirectory();
    if (!folder.ok() || folder.value.empty())
      folder = system_.expandEnvironmentStrings(u"%SystemRoot%");
    processWindowsFolder_ = folder.value;
  }
  return *processWindowsFolder_;
}

std::int32_t modFile::GetProcessesList(std::vector<ProcessListEntry>& list) {
  list.clear();
  guardedStep(
      recorder_,
      [&] {
        auto query = processes_.querySystemProcessInformation(0);
        for (int attempt = 0;
             attempt < kQueryAttempts && query.status == platform::kStatusInfoLengthMismatch;
             ++attempt) {
          query = processes_.querySystemProcessInformation(query.returnLength);
        }
        if (query.status != platform::kStatusSuccess) return;
        list.reserve(query.records.size());
        for (const auto& record : query.records) {
          list.push_back(ProcessListEntry{record.imageName, GetFilePathByPID(record.processId),
                                          record.processId, record.threads, record.basePriority});
        }
      },
      [] { return ErrorContext(u"modFile.GetProcessesList"); });
  return static_cast<std::int32_t>(list.size());
}

std::u16string modFile::GetFilePathByPID(std::uint32_t pid) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        const bool vista = osInfo_.getVersionEx().value.majorVersion >= 6;
        const auto opened = processes_.openProcess(
            pa::kVmRead | (vista ? pa::kQueryLimitedInformation : pa::kQueryInformation), pid);
        if (!opened.ok()) return std::u16string();
        // Closed on every way out, once.
        struct Closer {
          platform::Processes& processes;
          platform::KernelHandle handle;
          ~Closer() {
            try {
              (void)processes.closeHandle(handle);
            } catch (...) {
              // A destructor: nothing may leave it, and nothing more can be
              // done about a handle that will not close.
            }
          }
        } closer{processes_, opened.value};

        auto path = processes_.getModuleFileNameEx(opened.value, kMaxPath);
        // Windows answers a path too long for the buffer with the buffer's
        // length (XP) or one less (later systems).
        if (path.ok() && path.value.size() >= kMaxPath - 1) {
          path = processes_.getModuleFileNameEx(opened.value, kLongPathChars);
        }
        if (!path.ok()) return std::u16string();
        std::u16string result = std::move(path.value);
        if (startsWithNoCase(result, kSystemRootPrefix)) {
          result = processWindowsFolder() + result.substr(kSystemRootPrefix.size() - 1);
        } else if (result.starts_with(kNtPrefix)) {
          result.erase(0, kNtPrefix.size());
        }
        return result;
      },
      [&] { return ErrorContext(u"modFile.GetFilePathByPID", u"PID:", pid); });
}

std::int32_t modFile::CountOfProcesses(std::u16string_view name) {
  std::int32_t count = 0;
  guardedStep(
      recorder_,
      [&] {
        std::vector<ProcessListEntry> list;
        GetProcessesList(list);
        for (const auto& entry : list) {
          if (equalsNoCase(entry.Name, name)) ++count;
        }
      },
      [&] { return ErrorContext(u"modFile.CountOfProcesses", u"Name:", name); });
  return count;
}

}  // namespace tolvaran
