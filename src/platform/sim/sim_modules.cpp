#include "platform/sim/sim_modules.h"

#include <algorithm>
#include <utility>

#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

bool sameName(std::u16string_view a, std::u16string_view b) {
  return a == b || sameSimPath(a, b);
}

bool hasSeparator(std::u16string_view path) {
  return path.find_first_of(u"\\/:") != std::u16string_view::npos;
}

std::u16string_view fileNameOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
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

std::u16string SimModules::keyOf(std::u16string_view path) const {
  std::u16string_view view = path;
  std::u16string searched;
  if (!hasSeparator(path)) {
    // A bare name is looked for where the system keeps its DLLs.
    searched = files_.wow64().setup().windowsFolder + u"\\System32\\" + std::u16string(path);
    view = searched;
  }
  const SimPath seen = files_.wow64().apply(parseSimPath(view));
  return seen.ok() ? foldCase(joinSimPath(seen)) : std::u16string();
}

const SimLibraryImage* SimModules::imageOf(const std::u16string& key) const {
  const auto found = images_.find(key);
  return found == images_.end() ? nullptr : &found->second;
}

const SimModules::Export* SimModules::loadedExport(ProcAddress address,
                                                   std::string_view name) const {
  const auto found = exports_.find(address);
  if (found == exports_.end() || found->second.name != name) return nullptr;
  return loaded_.contains(found->second.library) ? &found->second : nullptr;
}

bool SimModules::offers(const Object& object, const Guid& interfaceId) const {
  if (interfaceId == iid::kUnknown) return true;
  if (object.factory) return interfaceId == iid::kClassFactory;
  const SimLibraryImage* image = imageOf(object.library);
  if (!image || object.classIndex >= image->classes.size()) return false;
  const auto& interfaces = image->classes[object.classIndex].interfaces;
  return std::find(interfaces.begin(), interfaces.end(), interfaceId) != interfaces.end();
}

ComInterface SimModules::newObject(Object object) {
  const ComInterface address = nextObject_;
  nextObject_ += 0x20;
  objects_.emplace(address, std::move(object));
  return address;
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

// --- Libraries ----------------------------------------------------------------------

void SimModules::addLibrary(std::u16string_view path, SimLibraryImage image) {
  files_.addFile(path, "MZ\x90\x00 simulated DLL image");
  const SimPath parsed = parseSimPath(path);
  if (parsed.ok()) images_[foldCase(joinSimPath(parsed))] = std::move(image);
}

Result<ModuleHandle> SimModules::getModuleHandle(std::u16string_view path) {
  if (const Win32Code fault = faults_.check(ModuleOp::kGetModuleHandle, path)) {
    return fail<ModuleHandle>(ModuleOp::kGetModuleHandle, path, fault);
  }
  for (const auto& [key, loaded] : loaded_) {
    const bool match =
        hasSeparator(path) ? key == keyOf(path) : equalsNoCase(fileNameOf(key), path);
    if (match) {
      journal(ModuleOp::kGetModuleHandle, path, kErrorSuccess);
      return {loaded.handle, kErrorSuccess};
    }
  }
  return fail<ModuleHandle>(ModuleOp::kGetModuleHandle, path, kErrorModNotFound);
}

Result<ModuleHandle> SimModules::loadLibrary(std::u16string_view path) {
  if (const Win32Code fault = faults_.check(ModuleOp::kLoadLibrary, path)) {
    return fail<ModuleHandle>(ModuleOp::kLoadLibrary, path, fault);
  }
  const std::u16string key = keyOf(path);
  if (key.empty() || !files_.exists(key)) {
    return fail<ModuleHandle>(ModuleOp::kLoadLibrary, path, kErrorModNotFound);
  }
  if (!imageOf(key)) return fail<ModuleHandle>(ModuleOp::kLoadLibrary, path, kErrorBadExeFormat);
  Loaded& loaded = loaded_[key];
  if (loaded.references == 0) {
    loaded.handle = nextModule_;
    nextModule_ += 0x10000;
  }
  ++loaded.references;
  journal(ModuleOp::kLoadLibrary, path, kErrorSuccess);
  return {loaded.handle, kErrorSuccess};
}

Status SimModules::freeLibrary(ModuleHandle module) {
  for (auto it = loaded_.begin(); it != loaded_.end(); ++it) {
    if (it->second.handle != module) continue;
    if (const Win32Code fault = faults_.check(ModuleOp::kFreeLibrary, it->first)) {
      journal(ModuleOp::kFreeLibrary, it->first, fault);
      return {fault};
    }
    journal(ModuleOp::kFreeLibrary, it->first, kErrorSuccess);
    if (--it->second.references == 0) loaded_.erase(it);
    return {kErrorSuccess};
  }
  journal(ModuleOp::kFreeLibrary, {}, kErrorModNotFound);
  return {kErrorModNotFound};
}

Result<ProcAddress> SimModules::getProcAddress(ModuleHandle module, std::string_view name) {
  const std::u16string subject = asciiToUtf16(name);
  if (const Win32Code fault = faults_.check(ModuleOp::kGetProcAddress, subject)) {
    return fail<ProcAddress>(ModuleOp::kGetProcAddress, subject, fault);
  }
  const auto library = std::find_if(loaded_.begin(), loaded_.end(), [&](const auto& entry) {
    return entry.second.handle == module;
  });
  if (library == loaded_.end()) {
    return fail<ProcAddress>(ModuleOp::kGetProcAddress, subject, kErrorModNotFound);
  }
  const SimLibraryImage* image = imageOf(library->first);
  if (!image ||
      std::find(image->exports.begin(), image->exports.end(), name) == image->exports.end()) {
    return fail<ProcAddress>(ModuleOp::kGetProcAddress, subject, kErrorProcNotFound);
  }
  for (const auto& [address, entry] : exports_) {
    if (entry.library == library->first && entry.name == name) {
      journal(ModuleOp::kGetProcAddress, subject, kErrorSuccess);
      return {address, kErrorSuccess};
    }
  }
  const ProcAddress address = nextExport_;
  nextExport_ += 0x10;
  exports_.emplace(address, Export{library->first, std::string(name)});
  journal(ModuleOp::kGetProcAddress, subject, kErrorSuccess);
  return {address, kErrorSuccess};
}

// --- COM -----------------------------------------------------------------------------

Result<ComInterface> SimModules::callDllGetClassObject(ProcAddress dllGetClassObject,
                                                       const Guid& classId,
                                                       const Guid& interfaceId) {
  const Export* entry = loadedExport(dllGetClassObject, "DllGetClassObject");
  const std::u16string subject = entry ? entry->library : std::u16string();
  if (const Win32Code fault = faults_.check(ModuleOp::kDllGetClassObject, subject)) {
    return fail<ComInterface>(ModuleOp::kDllGetClassObject, subject, fault);
  }
  if (!entry) return fail<ComInterface>(ModuleOp::kDllGetClassObject, subject, kHresultPointer);
  const SimLibraryImage* image = imageOf(entry->library);
  const auto& classes = image->classes;
  const auto found = std::find_if(classes.begin(), classes.end(),
                                  [&](const SimComClass& c) { return c.classId == classId; });
  if (found == classes.end()) {
    return fail<ComInterface>(ModuleOp::kDllGetClassObject, subject, kHresultClassNotAvailable);
  }
  if (interfaceId != iid::kClassFactory && interfaceId != iid::kUnknown) {
    return fail<ComInterface>(ModuleOp::kDllGetClassObject, subject, kHresultNoInterface);
  }
  const auto index = static_cast<std::size_t>(found - classes.begin());
  journal(ModuleOp::kDllGetClassObject, subject, kHresultOk);
  return {newObject(Object{entry->library, index, true, 1}), kHresultOk};
}

Result<ComInterface> SimModules::createInstance(ComInterface factory, const Guid& interfaceId) {
  const auto found = objects_.find(factory);
  const std::u16string subject = found == objects_.end() ? std::u16string() : found->second.library;
  if (const Win32Code fault = faults_.check(ModuleOp::kCreateInstance, subject)) {
    return fail<ComInterface>(ModuleOp::kCreateInstance, subject, fault);
  }
  if (found == objects_.end() || !found->second.factory) {
    return fail<ComInterface>(ModuleOp::kCreateInstance, subject, kHresultPointer);
  }
  Object object{found->second.library, found->second.classIndex, false, 1};
  if (!offers(object, interfaceId)) {
    return fail<ComInterface>(ModuleOp::kCreateInstance, subject, kHresultNoInterface);
  }
  journal(ModuleOp::kCreateInstance, subject, kHresultOk);
  return {newObject(std::move(object)), kHresultOk};
}

Result<ComInterface> SimModules::queryInterface(ComInterface object, const Guid& interfaceId) {
  const auto found = objects_.find(object);
  const std::u16string subject = found == objects_.end() ? std::u16string() : found->second.library;
  if (const Win32Code fault = faults_.check(ModuleOp::kQueryInterface, subject)) {
    return fail<ComInterface>(ModuleOp::kQueryInterface, subject, fault);
  }
  if (found == objects_.end()) {
    return fail<ComInterface>(ModuleOp::kQueryInterface, subject, kHresultPointer);
  }
  if (!offers(found->second, interfaceId)) {
    return fail<ComInterface>(ModuleOp::kQueryInterface, subject, kHresultNoInterface);
  }
  ++found->second.references;
  journal(ModuleOp::kQueryInterface, subject, kHresultOk);
  return {object, kHresultOk};
}

std::uint32_t SimModules::release(ComInterface object) {
  const auto found = objects_.find(object);
  if (found == objects_.end()) return 0;
  const std::uint32_t left = --found->second.references;
  if (left == 0) objects_.erase(found);
  return left;
}

Status SimModules::callDllCanUnloadNow(ProcAddress dllCanUnloadNow) {
  const Export* entry = loadedExport(dllCanUnloadNow, "DllCanUnloadNow");
  const std::u16string subject = entry ? entry->library : std::u16string();
  if (const Win32Code fault = faults_.check(ModuleOp::kDllCanUnloadNow, subject)) {
    journal(ModuleOp::kDllCanUnloadNow, subject, fault);
    return {fault};
  }
  if (!entry) {
    journal(ModuleOp::kDllCanUnloadNow, subject, kHresultPointer);
    return {kHresultPointer};
  }
  const bool busy = std::any_of(objects_.begin(), objects_.end(), [&](const auto& live) {
    return live.second.library == entry->library;
  });
  const Win32Code code = busy ? kHresultFalse : kHresultOk;
  journal(ModuleOp::kDllCanUnloadNow, subject, code);
  return {code};
}

std::uint32_t SimModules::libraryReferences(std::u16string_view path) const {
  const auto found = loaded_.find(keyOf(path));
  return found == loaded_.end() ? 0 : found->second.references;
}

// --- The system's own DLLs ------------------------------------------------------------

void SimModules::installSystemLibraries(std::u16string_view windowsFolder, bool is64BitOs) {
  const std::u16string windows(windowsFolder);
  std::vector<std::u16string> folders{windows + u"\\System32"};
  if (is64BitOs) folders.push_back(windows + u"\\SysWOW64");
  const SimComClass regExp{kRegExpClassId, {iid::kDispatch, kRegExpInterfaceId}};
  for (const auto& folder : folders) {
    addLibrary(folder + u"\\kernel32.dll",
               {{"GetModuleHandleW", "LoadLibraryW", "FreeLibrary"}, {}});
    setFileVersion(folder + u"\\kernel32.dll", version(10, 0, 19041, 1));
    addLibrary(folder + u"\\version.dll",
               {{"GetFileVersionInfoSizeW", "GetFileVersionInfoW", "VerQueryValueW"}, {}});
    setFileVersion(folder + u"\\version.dll", version(10, 0, 19041, 1));
    addLibrary(folder + u"\\vbscript.dll",
               {{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer"}, {regExp}});
    setFileVersion(folder + u"\\vbscript.dll", version(5, 812, 10240, 16384));
  }
  // Every process has kernel32 loaded from its start, for good.
  const std::u16string kernel = keyOf(windows + u"\\System32\\kernel32.dll");
  loaded_[kernel] = Loaded{nextModule_, 1};
  nextModule_ += 0x10000;
}

}  // namespace tolvaran::platform::sim
