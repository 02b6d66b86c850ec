#include "platform/sim/sim_registry.h"

#include <algorithm>
#include <utility>

#include "platform/sim/reg_file.h"
#include "support/text.h"

namespace tolvaran::platform::sim {
namespace {

constexpr std::size_t kMaxKeyNameChars = 255;
constexpr std::u16string_view kSoftware = u"SOFTWARE";
constexpr std::u16string_view kWow6432Node = u"WOW6432Node";

// The hives compare names by upper case. Simple case folding gives lower
// case; its upper partner is found at the usual distances between the cases
// (Latin, Greek, Cyrillic, Armenian), else the folded unit stands.
char16_t upperUnit(char16_t unit) noexcept {
  const char32_t folded = foldCase(char32_t{unit});
  if (folded >= U'a' && folded <= U'z') return static_cast<char16_t>(folded - 0x20);
  for (const char32_t distance : {0x1u, 0x20u, 0x30u, 0x50u}) {
    if (folded < distance) continue;
    const char32_t candidate = folded - distance;
    if (foldCase(candidate) == folded) return static_cast<char16_t>(candidate);
  }
  return static_cast<char16_t>(folded);
}

// Equal for names the registry takes as one; ordered as it enumerates them.
std::u16string nameKey(std::u16string_view name) {
  std::u16string key(name.size(), u'\0');
  std::transform(name.begin(), name.end(), key.begin(), upperUnit);
  return key;
}

std::u16string_view untilNul(std::u16string_view text) noexcept {
  return text.substr(0, text.find(u'\0'));
}

std::u16string rootName(RegKeyHandle root) {
  switch (root) {
    case kHkeyCurrentUser: return u"HKEY_CURRENT_USER";
    case kHkeyLocalMachine: return u"HKEY_LOCAL_MACHINE";
    case kHkeyUsers: return u"HKEY_USERS";
    case kHkeyPerformanceData: return u"HKEY_PERFORMANCE_DATA";
    case kHkeyCurrentConfig: return u"HKEY_CURRENT_CONFIG";
    case kHkeyDynData: return u"HKEY_DYN_DATA";
    default: return u"HKEY_CLASSES_ROOT";
  }
}

// Splits at backslashes, dropping empty components; false when one is too long.
bool splitComponents(std::u16string_view path, std::vector<std::u16string>& out) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    if (end - start > kMaxKeyNameChars) return false;
    if (end > start) out.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

}  // namespace

struct SimRegistry::Key {
  std::u16string name;
  std::u16string sortKey;
  std::vector<std::unique_ptr<Key>> subKeys;  // by sortKey
  struct Value {
    std::u16string name;
    std::u16string sortKey;
    std::uint32_t type;
    std::string data;
  };
  std::vector<Value> values;  // in creation order
  bool accessDenied = false;

  explicit Key(std::u16string_view keyName) : name(keyName), sortKey(nameKey(keyName)) {}

  std::vector<std::unique_ptr<Key>>::iterator lowerBound(const std::u16string& key) {
    return std::lower_bound(
        subKeys.begin(), subKeys.end(), key,
        [](const std::unique_ptr<Key>& k, const std::u16string& s) { return k->sortKey < s; });
  }
  Key* find(std::u16string_view childName) {
    const std::u16string key = nameKey(childName);
    const auto it = lowerBound(key);
    return it != subKeys.end() && (*it)->sortKey == key ? it->get() : nullptr;
  }
  Key* findOrAdd(std::u16string_view childName) {
    const std::u16string key = nameKey(childName);
    const auto it = lowerBound(key);
    if (it != subKeys.end() && (*it)->sortKey == key) return it->get();
    return subKeys.insert(it, std::make_unique<Key>(childName))->get();
  }
  [[nodiscard]] const Value* findValue(std::u16string_view valueName) const {
    const std::u16string key = nameKey(valueName);
    for (const Value& value : values) {
      if (value.sortKey == key) return &value;
    }
    return nullptr;
  }
  Value* findValue(std::u16string_view valueName) {
    return const_cast<Value*>(std::as_const(*this).findValue(valueName));
  }
};

// A physical place in one of the trees: a root other than HKEY_CLASSES_ROOT
// and the names below it.
struct SimRegistry::Location {
  RegKeyHandle root = 0;
  std::vector<std::u16string> path;

  [[nodiscard]] std::u16string text() const {
    std::u16string out = rootName(root);
    for (const auto& name : path) out.append(u"\\").append(name);
    return out;
  }
};

struct SimRegistry::Handle {
  RegKeyHandle value;
  Location location;
  // The key found when the handle was opened; valid while no key was deleted since.
  Key* key;
  std::uint64_t deletions;
};

namespace {

// The physical location of a predefined root.
bool predefinedLocation(RegKeyHandle root, std::vector<std::u16string>& path, RegKeyHandle& tree) {
  if (!isPredefinedKey(root)) return false;
  tree = root;
  if (root == kHkeyClassesRoot) {
    tree = kHkeyLocalMachine;
    path = {std::u16string(kSoftware), u"Classes"};
  }
  return true;
}

// Two setup paths naming the same key (fault plans compare with this).
bool sameKeyPath(std::u16string_view a, std::u16string_view b) {
  const auto normal = [](std::u16string_view text, std::u16string& out) {
    const auto root = regRootFromName(text.substr(0, text.find(u'\\')));
    if (!root) return false;
    std::vector<std::u16string> path;
    RegKeyHandle tree = 0;
    predefinedLocation(*root, path, tree);
    const std::size_t slash = text.find(u'\\');
    if (slash != std::u16string_view::npos && !splitComponents(text.substr(slash + 1), path)) {
      return false;
    }
    out = toDecimal(static_cast<std::int64_t>(tree));
    for (const auto& name : path) out.append(u"\\").append(nameKey(name));
    return true;
  };
  std::u16string left, right;
  return normal(a, left) && normal(b, right) && left == right;
}

}  // namespace

SimRegistry::SimRegistry(bool machineIs64Bit, bool processIs64Bit)
    : machineIs64Bit_(machineIs64Bit), processIs64Bit_(processIs64Bit), faults_(sameKeyPath) {
  roots_.resize(kHkeyDynData - kHkeyClassesRoot + 1);
  for (RegKeyHandle root = kHkeyCurrentUser; root <= kHkeyDynData; ++root) {
    roots_[root - kHkeyClassesRoot] = std::make_unique<Key>(rootName(root));
  }
  createKey(u"HKLM\\SOFTWARE\\Classes");
  createKey(u"HKLM\\SYSTEM");
  createKey(u"HKCU\\Software");
  if (machineIs64Bit_) createKey(u"HKLM\\SOFTWARE\\WOW6432Node");
}

SimRegistry::~SimRegistry() = default;

const SimRegistry::Key* SimRegistry::resolve(const Location& location) const {
  return const_cast<SimRegistry*>(this)->resolve(location);
}

SimRegistry::Key* SimRegistry::resolve(const Location& location) {
  if (!isPredefinedKey(location.root) || location.root == kHkeyClassesRoot) return nullptr;
  Key* key = roots_[location.root - kHkeyClassesRoot].get();
  for (const auto& name : location.path) {
    if (!key) break;
    key = key->find(name);
  }
  return key;
}

SimRegistry::Key* SimRegistry::createPath(const Location& location) {
  Key* key = roots_[location.root - kHkeyClassesRoot].get();
  for (const auto& name : location.path) key = key->findOrAdd(name);
  return key;
}

bool SimRegistry::setupLocation(std::u16string_view keyPath, Location& location) const {
  const std::size_t slash = keyPath.find(u'\\');
  const auto root = regRootFromName(keyPath.substr(0, slash));
  if (!root) return false;
  location = Location{};
  predefinedLocation(*root, location.path, location.root);
  return slash == std::u16string_view::npos ||
         splitComponents(keyPath.substr(slash + 1), location.path);
}

Win32Code SimRegistry::enter(RegistryOp op, RegKeyHandle handle, const Key*& key) {
  Location predefined;
  const Location* location = &predefined;
  if (predefinedLocation(handle, predefined.path, predefined.root)) {
    key = resolve(predefined);
  } else {
    const auto it = std::find_if(handles_.begin(), handles_.end(),
                                 [&](const Handle& h) { return h.value == handle; });
    if (it == handles_.end()) return kErrorInvalidHandle;
    if (it->deletions != deletions_) {
      it->key = resolve(it->location);
      it->deletions = deletions_;
    }
    key = it->key;
    location = &it->location;
  }
  if (!key) return kErrorKeyDeleted;
  return faults_.empty() ? kErrorSuccess : faults_.check(op, location->text());
}

Result<RegKeyHandle> SimRegistry::regOpenKeyEx(RegKeyHandle key, std::u16string_view subKey,
                                               std::uint32_t /*options*/,
                                               std::uint32_t samDesired) {
  subKey = untilNul(subKey);
  Location location;
  const bool predefined = predefinedLocation(key, location.path, location.root);
  if (!predefined) {
    const auto it = std::find_if(handles_.begin(), handles_.end(),
                                 [&](const Handle& h) { return h.value == key; });
    if (it == handles_.end()) return {0, kErrorInvalidHandle};
    location = it->location;
    if (!resolve(location)) return {0, kErrorKeyDeleted};
  }
  if (!subKey.empty() && subKey.front() == u'\\') return {0, kErrorBadPathname};
  std::vector<std::u16string> names;
  if (!splitComponents(subKey, names)) return {0, kErrorInvalidParameter};

  const bool view32 =
      processIs64Bit_ ? (samDesired & kKeyWow64_32Key) != 0 : (samDesired & kKeyWow64_64Key) == 0;
  const bool fromMachineRoot = key == kHkeyLocalMachine;
  if (machineIs64Bit_ && view32 && fromMachineRoot && !names.empty() &&
      nameKey(names[0]) == nameKey(kSoftware) &&
      (names.size() < 2 || nameKey(names[1]) != nameKey(kWow6432Node))) {
    names.insert(names.begin() + 1, std::u16string(kWow6432Node));
  }
  for (auto& name : names) location.path.push_back(std::move(name));

  if (!faults_.empty()) {
    if (const Win32Code fault = faults_.check(RegistryOp::open, location.text())) return {0, fault};
  }
  Key* target = resolve(location);
  if (!target) return {0, kErrorFileNotFound};
  if (target->accessDenied) return {0, kErrorAccessDenied};
  if (predefined && subKey.empty()) return {key, kErrorSuccess};
  const RegKeyHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.push_back(Handle{handle, std::move(location), target, deletions_});
  return {handle, kErrorSuccess};
}

Result<std::u16string> SimRegistry::regEnumKey(RegKeyHandle handle, std::uint32_t index,
                                               std::uint32_t bufferChars) {
  const Key* key = nullptr;
  if (const Win32Code code = enter(RegistryOp::enumKey, handle, key)) return {{}, code};
  if (index >= key->subKeys.size()) return {{}, kErrorNoMoreItems};
  const std::u16string& name = key->subKeys[index]->name;
  if (name.size() >= bufferChars) return {{}, kErrorMoreData};
  return {name, kErrorSuccess};
}

Result<std::u16string> SimRegistry::regEnumValue(RegKeyHandle handle, std::uint32_t index,
                                                 std::uint32_t nameBufferChars) {
  const Key* key = nullptr;
  if (const Win32Code code = enter(RegistryOp::enumValue, handle, key)) return {{}, code};
  if (index >= key->values.size()) return {{}, kErrorNoMoreItems};
  const std::u16string& name = key->values[index].name;
  if (name.size() >= nameBufferChars) return {{}, kErrorMoreData};
  return {name, kErrorSuccess};
}

Result<RegKeyInfo> SimRegistry::regQueryInfoKey(RegKeyHandle handle) {
  const Key* key = nullptr;
  if (const Win32Code code = enter(RegistryOp::queryInfo, handle, key)) return {{}, code};
  RegKeyInfo info;
  info.subKeys = static_cast<std::uint32_t>(key->subKeys.size());
  info.values = static_cast<std::uint32_t>(key->values.size());
  for (const auto& sub : key->subKeys) {
    info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<std::uint32_t>(sub->name.size()));
  }
  for (const auto& value : key->values) {
    info.maxValueNameLen =
        std::max(info.maxValueNameLen, static_cast<std::uint32_t>(value.name.size()));
    info.maxValueLen = std::max(info.maxValueLen, static_cast<std::uint32_t>(value.data.size()));
  }
  return {info, kErrorSuccess};
}

Result<RegValueData> SimRegistry::regQueryValueEx(RegKeyHandle handle,
                                                  std::u16string_view valueName,
                                                  std::uint32_t bufferBytes) {
  const Key* key = nullptr;
  if (const Win32Code code = enter(RegistryOp::queryValue, handle, key)) return {{}, code};
  const Key::Value* value = key->findValue(untilNul(valueName));
  if (!value) return {{}, kErrorFileNotFound};
  RegValueData data;
  data.type = value->type;
  data.size = static_cast<std::uint32_t>(value->data.size());
  if (bufferBytes == 0) return {std::move(data), kErrorSuccess};
  if (bufferBytes < value->data.size()) return {std::move(data), kErrorMoreData};
  data.bytes = value->data;
  return {std::move(data), kErrorSuccess};
}

Status SimRegistry::regCloseKey(RegKeyHandle handle) {
  const auto it = std::find_if(handles_.begin(), handles_.end(),
                               [&](const Handle& h) { return h.value == handle; });
  if (it == handles_.end()) return {isPredefinedKey(handle) ? kErrorSuccess : kErrorInvalidHandle};
  if (!faults_.empty()) {
    if (const Win32Code fault = faults_.check(RegistryOp::close, it->location.text())) {
      return {fault};
    }
  }
  handles_.erase(it);
  return {kErrorSuccess};
}

bool SimRegistry::createKey(std::u16string_view keyPath) {
  Location location;
  return setupLocation(keyPath, location) && createPath(location);
}

bool SimRegistry::deleteKey(std::u16string_view keyPath) {
  Location location;
  // A root is never deleted (HKEY_CLASSES_ROOT names a key, but still a root).
  const std::size_t slash = keyPath.find(u'\\');
  if (slash == std::u16string_view::npos ||
      keyPath.find_first_not_of(u'\\', slash) == std::u16string_view::npos ||
      !setupLocation(keyPath, location)) {
    return false;
  }
  const std::u16string last = std::move(location.path.back());
  location.path.pop_back();
  Key* parent = resolve(location);
  if (!parent) return true;
  const std::u16string key = nameKey(last);
  const auto it = parent->lowerBound(key);
  if (it != parent->subKeys.end() && (*it)->sortKey == key) {
    parent->subKeys.erase(it);
    ++deletions_;
  }
  return true;
}

bool SimRegistry::setValue(std::u16string_view keyPath, std::u16string_view name,
                           std::uint32_t type, std::string_view data) {
  Location location;
  if (!setupLocation(keyPath, location)) return false;
  Key* key = createPath(location);
  if (Key::Value* value = key->findValue(name)) {
    value->type = type;
    value->data = std::string(data);
  } else {
    key->values.push_back(Key::Value{std::u16string(name), nameKey(name), type, std::string(data)});
  }
  return true;
}

bool SimRegistry::setString(std::u16string_view keyPath, std::u16string_view name,
                            std::u16string_view text, std::uint32_t type) {
  std::string data = textToUtf16le(text);
  data.append(2, '\0');
  return setValue(keyPath, name, type, data);
}

bool SimRegistry::setDword(std::u16string_view keyPath, std::u16string_view name,
                           std::uint32_t number) {
  std::string data;
  for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<char>(number >> shift));
  return setValue(keyPath, name, kRegDword, data);
}

bool SimRegistry::deleteValue(std::u16string_view keyPath, std::u16string_view name) {
  Location location;
  if (!setupLocation(keyPath, location)) return false;
  if (Key* key = resolve(location)) {
    if (const Key::Value* value = key->findValue(name)) {
      key->values.erase(key->values.begin() + (value - key->values.data()));
    }
  }
  return true;
}

void SimRegistry::denyAccess(std::u16string_view keyPath) {
  Location location;
  if (setupLocation(keyPath, location)) createPath(location)->accessDenied = true;
}

std::vector<std::size_t> SimRegistry::loadRegFile(std::string_view bytes,
                                                  std::uint32_t ansiCodePage) {
  RegFile file = parseRegFile(bytes, ansiCodePage);
  std::vector<std::size_t> bad = std::move(file.badLines);
  for (const RegFileEdit& edit : file.edits) {
    bool applied = false;
    switch (edit.kind) {
      case RegFileEdit::Kind::createKey: applied = createKey(edit.keyPath); break;
      case RegFileEdit::Kind::deleteKey: applied = deleteKey(edit.keyPath); break;
      case RegFileEdit::Kind::setValue:
        applied = setValue(edit.keyPath, edit.valueName, edit.type, edit.data);
        break;
      case RegFileEdit::Kind::deleteValue:
        applied = deleteValue(edit.keyPath, edit.valueName);
        break;
    }
    if (!applied) bad.push_back(edit.line);
  }
  std::sort(bad.begin(), bad.end());
  bad.erase(std::unique(bad.begin(), bad.end()), bad.end());
  return bad;
}

std::size_t SimRegistry::openHandleCount() const noexcept {
  return handles_.size();
}

}  // namespace tolvaran::platform::sim
