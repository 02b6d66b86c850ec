#include "platform/sim/sim_shell_operations.h"

#include "platform/sim/sim_command_line.h"
#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

// The names of a double-NUL-terminated list; a list without its final NUL
// ends where the text ends.
std::vector<std::u16string_view> listNames(std::u16string_view list) {
  std::vector<std::u16string_view> names;
  while (!list.empty()) {
    const std::size_t nul = list.find(u'\0');
    const std::u16string_view name = list.substr(0, nul);
    if (name.empty()) break;
    names.push_back(name);
    if (nul == std::u16string_view::npos) break;
    list.remove_prefix(nul + 1);
  }
  return names;
}

}  // namespace

SimShellOperations::SimShellOperations(SimClock& clock, SimFiles& files, SimSystem& system)
    : clock_(clock), files_(files), system_(system), faults_(sameSimPath) {}

ShellFileOperationResult SimShellOperations::fileOperation(const ShellFileOperation& operation) {
  operations_.push_back(operation);
  const auto names = listNames(operation.from);
  const std::u16string_view first = names.empty() ? std::u16string_view() : names.front();
  ShellFileOperationResult result;
  if (const Win32Code fault = faults_.check(ShellOp::kFileOperation, first)) {
    result.result = static_cast<std::int32_t>(fault);
  } else if (operation.function != shell::kFoDelete) {
    result.result = static_cast<std::int32_t>(kErrorCallNotImplemented);
  } else if (names.empty()) {
    result.result = static_cast<std::int32_t>(kErrorInvalidParameter);
  } else {
    const bool toBin = (operation.flags & shell::kFofAllowUndo) != 0;
    for (const auto name : names) {
      result.result = deleteOne(name, toBin);
      if (result.result != 0) break;
    }
  }
  journal_.push_back(
      {ShellOp::kFileOperation, std::u16string(first), {}, static_cast<Win32Code>(result.result)});
  return result;
}

std::int32_t SimShellOperations::deleteOne(std::u16string_view path, bool toRecycleBin) {
  const SimPath seen = files_.wow64().apply(parseSimPath(path));
  if (!seen.ok()) return static_cast<std::int32_t>(seen.code);
  const std::u16string real = joinSimPath(seen);
  const auto attributes = files_.attributesOf(real);
  if (!attributes) return static_cast<std::int32_t>(kErrorFileNotFound);
  if (*attributes & attr::kDirectory) return static_cast<std::int32_t>(kErrorAccessDenied);
  RecycledItem item{real, files_.readFileBytes(real).value_or(std::string()), *attributes,
                    clock_.fileTimeNow()};
  if (*attributes & attr::kReadOnly) {
    if (const auto cleared = files_.setFileAttributes(path, *attributes & ~attr::kReadOnly);
        !cleared.ok()) {
      return static_cast<std::int32_t>(cleared.code);
    }
  }
  if (const auto deleted = files_.deleteFile(path); !deleted.ok()) {
    return static_cast<std::int32_t>(deleted.code);
  }
  if (toRecycleBin) bin_.push_back(std::move(item));
  return 0;
}

void SimShellOperations::changeNotify(std::int32_t event, std::uint32_t flags,
                                      std::u16string_view path, std::u16string_view secondPath) {
  faults_.check(ShellOp::kChangeNotify, path);
  notifications_.push_back({event, flags, std::u16string(path), std::u16string(secondPath)});
  journal_.push_back({ShellOp::kChangeNotify, std::u16string(path), {}, kErrorSuccess});
}

Status SimShellOperations::shellExecuteEx(const ShellExecuteRequest& request) {
  Status result;
  if (const Win32Code fault = faults_.check(ShellOp::kShellExecuteEx, request.file)) {
    result.code = fault;
  } else {
    executed_.push_back(request);
  }
  journal_.push_back({ShellOp::kShellExecuteEx, request.file, {}, result.code});
  return result;
}

Result<std::vector<std::u16string>> SimShellOperations::commandLineToArgv(
    std::u16string_view line) {
  Result<std::vector<std::u16string>> result;
  if (const Win32Code fault = faults_.check(ShellOp::kCommandLineToArgv, {})) {
    result.code = fault;
  } else if (line.substr(0, line.find(u'\0')).empty()) {
    result.value.push_back(system_.moduleFileName().value);
  } else {
    result.value = splitCommandLine(line);
  }
  journal_.push_back({ShellOp::kCommandLineToArgv, std::u16string(line), {}, result.code});
  return result;
}

}  // namespace tolvaran::platform::sim
