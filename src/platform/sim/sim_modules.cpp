#include "platform/sim/sim_modules.h"

#include <algorithm>

#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

bool sameName(std::u16string_view a, std::u16string_view b) {
  return a == b || sameSimPath(a, b);
}

constexpr FileVersion version(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
  return FileVersion{(std::uint32_t{a} << 16) | b, (std::uint32_t{c} << 16) | d};
}

}  // namespace

SimModules::SimModules(SimFiles& files) : files_(files), faults_(sameName) {}

void SimModules::journal(ModuleOp op, std::u16string_view subject, Win32Code code) {
  journal_.push_back({op, std::u16string(subject), {}, code});
}

template <class T>
Result<T> SimModules::fail(ModuleOp op, std::u16string_view subject, Win32Code code) {
  journal(op, subject, code);
  return {T{}, code};
}

// --- Mutexes -------------------------------------------------------------------

Result<KernelHandle> SimModules::createMutex(std::u16string_view name, bool /*initialOwner*/) {
  if (const Win32Code fault = faults_.check(ModuleOp::kCreateMutex, name)) {
    return fail<KernelHandle>(ModuleOp::kCreateMutex, name, fault);
  }
  const std::u16string key(name);
  const bool existed = !key.empty() && mutexExists(key);
  const KernelHandle handle = nextMutex_;
  nextMutex_ += 4;
  mutexes_.emplace(handle, key);
  const Win32Code code = existed ? kErrorAlreadyExists : kErrorSuccess;
  journal(ModuleOp::kCreateMutex, name, code);
  return {handle, code};
}

Status SimModules::closeMutex(KernelHandle mutex) {
  const auto found = mutexes_.find(mutex);
  const std::u16string name = found == mutexes_.end() ? std::u16string() : found->second;
  if (const Win32Code fault = faults_.check(ModuleOp::kCloseMutex, name)) {
    journal(ModuleOp::kCloseMutex, name, fault);
    return {fault};
  }
  if (found == mutexes_.end()) {
    journal(ModuleOp::kCloseMutex, name, kErrorInvalidHandle);
    return {kErrorInvalidHandle};
  }
  mutexes_.erase(found);
  journal(ModuleOp::kCloseMutex, name, kErrorSuccess);
  return {kErrorSuccess};
}

bool SimModules::mutexExists(const std::u16string& name) const {
  if (foreignMutexes_.contains(name)) return true;
  return std::any_of(mutexes_.begin(), mutexes_.end(),
                     [&](const auto& entry) { return entry.second == name; });
}

// --- Version resources -----------------------------------------------------------

void SimModules::setFileVersion(std::u16string_view path, FileVersion version) {
  const SimPath parsed = parseSimPath(path);
  if (parsed.ok()) versions_[foldCase(joinSimPath(parsed))] = version;
}

Result<FileVersion> SimModules::getFileVersion(std::u16string_view path) {
  if (const Win32Code fault = faults_.check(ModuleOp::kGetFileVersion, path)) {
    return fail<FileVersion>(ModuleOp::kGetFileVersion, path, fault);
  }
  const SimPath seen = files_.wow64().apply(parseSimPath(path));
  if (!seen.ok()) return fail<FileVersion>(ModuleOp::kGetFileVersion, path, seen.code);
  const std::u16string real = joinSimPath(seen);
  if (!files_.attributesOf(real)) {
    // Which of the two "missing" codes: the folder decides.
    const std::size_t slash = real.find_last_of(u'\\');
    const bool folderThere = slash != std::u16string::npos && files_.exists(real.substr(0, slash));
    return fail<FileVersion>(ModuleOp::kGetFileVersion, path,
                             folderThere ? kErrorFileNotFound : kErrorPathNotFound);
  }
  const auto found = versions_.find(foldCase(real));
  if (found == versions_.end()) {
    return fail<FileVersion>(ModuleOp::kGetFileVersion, path, kErrorResourceTypeNotFound);
  }
  journal(ModuleOp::kGetFileVersion, path, kErrorSuccess);
  return {found->second, kErrorSuccess};
}

// --- The system's own DLLs ------------------------------------------------------------

void SimModules::installSystemLibraries(std::u16string_view windowsFolder, bool is64BitOs) {
  const std::u16string windows(windowsFolder);
  std::vector<std::u16string> folders{windows + u"\\System32"};
  if (is64BitOs) folders.push_back(windows + u"\\SysWOW64");
  for (const auto& folder : folders) {
    for (const auto* name : {u"\\kernel32.dll", u"\\version.dll"}) {
      files_.addFile(folder + name, "MZ\x90\x00 simulated DLL image");
      setFileVersion(folder + name, version(10, 0, 19041, 1));
    }
  }
}

}  // namespace tolvaran::platform::sim
