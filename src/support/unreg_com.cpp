#include "support/unreg_com.h"

#include <algorithm>
#include <utility>

#include "support/failure.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::u16string_view kUnknownText = u"{00000000-0000-0000-C000-000000000046}";
constexpr std::u16string_view kClassFactoryText = u"{00000001-0000-0000-C000-000000000046}";
// CLSIDFromString's answer to text that is no identifier.
constexpr std::int32_t kClassStringError = static_cast<std::int32_t>(0x800401F3u);

int hexValue(char16_t c) noexcept {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// The number written by `digits` hex digits at `position`; false when one is no digit.
bool readHex(std::u16string_view text, std::size_t position, std::size_t digits,
             std::uint32_t& out) noexcept {
  out = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const int value = hexValue(text[position + i]);
    if (value < 0) return false;
    out = (out << 4) | static_cast<std::uint32_t>(value);
  }
  return true;
}

std::u16string quoted(std::u16string_view path) {
  std::u16string out(1, u'"');
  out += path;
  out += u'"';
  return out;
}

// The DLL and whether this call brought it in; frees it on scope exit
// unless the creation succeeded.
class LoadedDll {
 public:
  LoadedDll(platform::Modules& modules, platform::ModuleHandle handle, bool ownReference) noexcept
      : modules_(modules), handle_(handle), ownReference_(ownReference) {}
  LoadedDll(const LoadedDll&) = delete;
  LoadedDll& operator=(const LoadedDll&) = delete;
  ~LoadedDll() {
    if (ownReference_) (void)modules_.freeLibrary(handle_);
  }
  [[nodiscard]] platform::ModuleHandle handle() const noexcept { return handle_; }
  void keep() noexcept { ownReference_ = false; }

 private:
  platform::Modules& modules_;
  platform::ModuleHandle handle_;
  bool ownReference_;
};

}  // namespace

std::optional<platform::Guid> parseGuid(std::u16string_view text) noexcept {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return std::nullopt;
  for (const std::size_t dash : {9u, 14u, 19u, 24u}) {
    if (text[dash] != u'-') return std::nullopt;
  }
  platform::Guid guid;
  std::uint32_t value = 0;
  if (!readHex(text, 1, 8, value)) return std::nullopt;
  guid.data1 = value;
  if (!readHex(text, 10, 4, value)) return std::nullopt;
  guid.data2 = static_cast<std::uint16_t>(value);
  if (!readHex(text, 15, 4, value)) return std::nullopt;
  guid.data3 = static_cast<std::uint16_t>(value);
  constexpr std::size_t kBytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (std::size_t i = 0; i < 8; ++i) {
    if (!readHex(text, kBytePositions[i], 2, value)) return std::nullopt;
    guid.data4[i] = static_cast<std::uint8_t>(value);
  }
  return guid;
}

UnregComObject::UnregComObject(UnregComObject&& other) noexcept
    : modules_(other.modules_), pointer_(std::exchange(other.pointer_, 0)) {}

UnregComObject& UnregComObject::operator=(UnregComObject&& other) noexcept {
  if (this != &other) {
    reset();
    modules_ = other.modules_;
    pointer_ = std::exchange(other.pointer_, 0);
  }
  return *this;
}

void UnregComObject::reset() noexcept {
  if (modules_ && pointer_ != 0) {
    try {
      (void)modules_->release(pointer_);
    } catch (...) {
      // A port that throws on release leaves nothing more to do.
    }
  }
  pointer_ = 0;
}

UnregComObject UnregCOM::CreateObjectFromDll(std::u16string_view dllPath,
                                             std::u16string_view classId) {
  if (!unknown_) {
    unknown_ = parseGuid(kUnknownText);
    classFactory_ = parseGuid(kClassFactoryText);
  }

  platform::ModuleHandle handle = 0;
  bool loadedHere = false;
  if (const auto present = modules_.getModuleHandle(dllPath); present.ok() && present.value != 0) {
    handle = present.value;
  } else {
    const auto loaded = modules_.loadLibrary(dllPath);
    if (!loaded.ok() || loaded.value == 0) {
      throw RuntimeError(rt::kFileNotFound,
                         runtimeErrorText(rt::kFileNotFound) + u" " + quoted(dllPath),
                         static_cast<std::int32_t>(loaded.code));
    }
    handle = loaded.value;
    loadedHere = true;
  }
  LoadedDll dll(modules_, handle, loadedHere);

  const auto entry = modules_.getProcAddress(dll.handle(), "DllGetClassObject");
  if (!entry.ok() || entry.value == 0) {
    // The misspelt name is what this message has always said.
    throw RuntimeError(rt::kDllEntryPointNotFound,
                       u"Can't find dll entry point DllGetClasesObject in " + quoted(dllPath),
                       static_cast<std::int32_t>(entry.code));
  }

  const auto classGuid = parseGuid(classId);
  if (!classGuid) throw RuntimeError(runtimeFailure(kClassStringError));

  const auto factory = modules_.callDllGetClassObject(entry.value, *classGuid, *classFactory_);
  if (!factory.ok()) throw RuntimeError(runtimeFailure(static_cast<std::int32_t>(factory.code)));
  const UnregComObject factoryReference(modules_, factory.value);

  const auto object = modules_.createInstance(factory.value, *unknown_);
  if (!object.ok()) throw RuntimeError(runtimeFailure(static_cast<std::int32_t>(object.code)));
  UnregComObject created(modules_, object.value);
  if (loadedHere) loaded_.push_back(foldCase(dllPath));
  dll.keep();
  return created;
}

bool UnregCOM::ReleaseDllIfUnused(std::u16string_view dllPath) {
  const auto owned = std::find(loaded_.begin(), loaded_.end(), foldCase(dllPath));
  if (owned == loaded_.end()) return false;
  const auto present = modules_.getModuleHandle(dllPath);
  if (!present.ok() || present.value == 0) return false;
  const auto entry = modules_.getProcAddress(present.value, "DllCanUnloadNow");
  if (!entry.ok() || entry.value == 0) return false;
  if (modules_.callDllCanUnloadNow(entry.value).code != platform::kHresultOk) return false;
  if (!modules_.freeLibrary(present.value).ok()) return false;
  loaded_.erase(owned);
  return true;
}

}  // namespace tolvaran
