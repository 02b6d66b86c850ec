#include "system/registry.h"

#include <algorithm>
#include <utility>

#include "support/text.h"

namespace tolvaran {
namespace {

using platform::RegKeyHandle;

// Every key is opened in the native view: a 32-bit build must find what the
// browsers' 64-bit installers wrote.
constexpr std::uint32_t kListAccess = platform::kKeyWow64_64Key | platform::kKeyEnumerateSubKeys;
constexpr std::uint32_t kQueryAccess = platform::kKeyWow64_64Key | platform::kKeyQueryValue;

constexpr std::uint32_t kSubKeyBufferChars = 260;
constexpr std::uint32_t kValueNameBufferChars = 32767;
// A hint only: a count from the registry never decides an allocation alone.
constexpr std::uint32_t kMaxReserve = 4096;

struct RootName {
  std::u16string_view name;
  RegKeyHandle root;
};
constexpr RootName kRoots[] = {
    {u"HKEY_CLASSES_ROOT", platform::kHkeyClassesRoot},
    {u"HKCR", platform::kHkeyClassesRoot},
    {u"HKEY_CURRENT_USER", platform::kHkeyCurrentUser},
    {u"HKCU", platform::kHkeyCurrentUser},
    {u"HKEY_LOCAL_MACHINE", platform::kHkeyLocalMachine},
    {u"HKLM", platform::kHkeyLocalMachine},
    {u"HKEY_USERS", platform::kHkeyUsers},
    {u"HKU", platform::kHkeyUsers},
    {u"HKUS", platform::kHkeyUsers},
    {u"HKEY_PERFORMANCE_DATA", platform::kHkeyPerformanceData},
    {u"HKEY_CURRENT_CONFIG", platform::kHkeyCurrentConfig},
    {u"HKCC", platform::kHkeyCurrentConfig},
    {u"HKEY_DYN_DATA", platform::kHkeyDynData},
};

std::u16string untilNul(std::u16string_view text) {
  return std::u16string(text.substr(0, text.find(u'\0')));
}

// String data as a text buffer sees it: UTF-16LE units (an odd last byte
// becomes a unit of its own), up to the first NUL.
std::u16string firstString(std::string_view bytes) {
  std::u16string text((bytes.size() + 1) / 2, u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]));
    text[i / 2] = static_cast<char16_t>(text[i / 2] | (byte << (8 * (i % 2))));
  }
  text.resize(std::min(text.size(), text.find(u'\0')));
  return text;
}

// Up to four bytes, little-endian, missing bytes zero.
std::int32_t littleEndian32(std::string_view bytes) noexcept {
  std::uint32_t number = 0;
  for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
    number |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  }
  return static_cast<std::int32_t>(number);
}

// One key handle for the length of one operation, closed on every way out.
class OpenedKey {
 public:
  OpenedKey(platform::Registry& registry, std::u16string_view keyName, std::uint32_t access)
      : registry_(registry) {
    const auto opened =
        registry.regOpenKeyEx(registryRoot(keyName), registrySubKey(keyName), 0, access);
    if (opened.ok()) {
      handle_ = opened.value;
      open_ = true;
    }
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  ~OpenedKey() {
    if (!open_) return;
    try {
      (void)registry_.regCloseKey(handle_);
    } catch (...) {
      // A destructor: nothing may leave it, and a close that fails leaves
      // nothing for us to undo.
    }
  }

  [[nodiscard]] bool ok() const noexcept { return open_; }
  [[nodiscard]] RegKeyHandle handle() const noexcept { return handle_; }

 private:
  platform::Registry& registry_;
  RegKeyHandle handle_ = 0;
  bool open_ = false;
};

}  // namespace

std::u16string regDataText(const RegData& data) {
  if (const auto* number = std::get_if<std::int32_t>(&data)) return toDecimal(*number);
  return std::get<std::u16string>(data);
}

platform::RegKeyHandle registryRoot(std::u16string_view keyName) noexcept {
  const std::u16string_view rootName = keyName.substr(0, keyName.find(u'\\'));
  for (const RootName& entry : kRoots) {
    if (equalsNoCase(rootName, entry.name)) return entry.root;
  }
  return 0;
}

std::u16string_view registrySubKey(std::u16string_view keyName) noexcept {
  const std::size_t slash = keyName.find(u'\\');
  return slash == std::u16string_view::npos ? std::u16string_view() : keyName.substr(slash + 1);
}

std::size_t clsRegistry::GetRegSubKeys(std::u16string_view keyName,
                                       std::vector<std::u16string>& subKeys) {
  subKeys.clear();
  const std::size_t count = guarded(
      recorder_, std::size_t{0},
      [&] {
        const OpenedKey key(registry_, keyName, kListAccess);
        if (!key.ok()) return std::size_t{0};
        for (std::uint32_t index = 0;; ++index) {
          const auto name = registry_.regEnumKey(key.handle(), index, kSubKeyBufferChars);
          if (!name.ok()) break;
          subKeys.push_back(untilNul(name.value));
        }
        return subKeys.size();
      },
      [&] { return ErrorContext(u"clsRegistry.GetRegSubKeys", u"Key:", registrySubKey(keyName)); });
  if (count == 0) subKeys.clear();
  return count;
}

std::size_t clsRegistry::GetRegValueNames(std::u16string_view keyName,
                                          std::vector<std::u16string>& valueNames) {
  valueNames.clear();
  const std::size_t count = guarded(
      recorder_, std::size_t{0},
      [&] {
        const OpenedKey key(registry_, keyName, kQueryAccess);
        if (!key.ok()) return std::size_t{0};
        const auto info = registry_.regQueryInfoKey(key.handle());
        if (info.ok()) valueNames.reserve(std::min(info.value.values, kMaxReserve));
        for (std::uint32_t index = 0;; ++index) {
          const auto name = registry_.regEnumValue(key.handle(), index, kValueNameBufferChars);
          if (!name.ok()) break;
          valueNames.push_back(untilNul(name.value));
        }
        return valueNames.size();
      },
      [&] {
        return ErrorContext(u"clsRegistry.GetRegValueNames", u"Key:", registrySubKey(keyName));
      });
  if (count == 0) valueNames.clear();
  return count;
}

RegData clsRegistry::GetRegData(std::u16string_view keyName, std::u16string_view valueName,
                                const RegData& defaultValue) {
  return guarded(
      recorder_, defaultValue,
      [&]() -> RegData {
        const OpenedKey key(registry_, keyName, kQueryAccess);
        if (!key.ok()) return defaultValue;
        const auto probe = registry_.regQueryValueEx(key.handle(), valueName, 0);
        if (probe.code != platform::kErrorSuccess && probe.code != platform::kErrorMoreData) {
          return defaultValue;
        }
        const std::uint32_t type = probe.value.type;
        const std::uint32_t size = probe.value.size;
        switch (type) {
          case platform::kRegSz:
          case platform::kRegMultiSz:
          case platform::kRegExpandSz: {
            if (size < 2) return defaultValue;
            const auto read = registry_.regQueryValueEx(key.handle(), valueName, size);
            // A value that grew between the two calls is not read half.
            if (!read.ok()) return defaultValue;
            std::u16string text = firstString(read.value.bytes);
            if (type == platform::kRegExpandSz) return ExpandEnvStr(text);
            return text;
          }
          case platform::kRegDword:
          case platform::kRegDwordBigEndian: {
            const auto read = registry_.regQueryValueEx(key.handle(), valueName, 4);
            if (!read.ok()) return defaultValue;
            const std::int32_t number = littleEndian32(read.value.bytes);
            return type == platform::kRegDword ? number : SwapEndian(number);
          }
          default: {
            if (size == 0) return std::u16string();
            const auto read = registry_.regQueryValueEx(key.handle(), valueName, size);
            if (!read.ok()) return defaultValue;
            return system_.ansiToWide(read.value.bytes);
          }
        }
      },
      [&] {
        return ErrorContext(u"clsRegistry.GetRegData", u"Key:", registrySubKey(keyName), u"Value:",
                            valueName);
      });
}

bool clsRegistry::KeyExists(std::u16string_view keyName) {
  return guarded(
      recorder_, false, [&] { return OpenedKey(registry_, keyName, kQueryAccess).ok(); },
      [&] { return ErrorContext(u"clsRegistry.KeyExists", u"Key:", registrySubKey(keyName)); });
}

std::uint32_t clsRegistry::ValueType(std::u16string_view keyName, std::u16string_view valueName) {
  return guarded(
      recorder_, std::uint32_t{0},
      [&] {
        const OpenedKey key(registry_, keyName, kQueryAccess);
        if (!key.ok()) return std::uint32_t{0};
        const auto query = registry_.regQueryValueEx(key.handle(), valueName, 4);
        const bool known =
            query.code == platform::kErrorSuccess || query.code == platform::kErrorMoreData;
        return known ? query.value.type : std::uint32_t{0};
      },
      [&] {
        return ErrorContext(u"clsRegistry.ValueType", u"Key:", registrySubKey(keyName), u"Value:",
                            valueName);
      });
}

bool clsRegistry::ValueExists(std::u16string_view keyName, std::u16string_view valueName) {
  return guarded(
      recorder_, false,
      [&] {
        const OpenedKey key(registry_, keyName, kQueryAccess);
        if (!key.ok()) return false;
        // Anything but "not found" means the value is there (too big to
        // read in four bytes, or unreadable for another reason).
        return registry_.regQueryValueEx(key.handle(), valueName, 4).code !=
               platform::kErrorFileNotFound;
      },
      [&] {
        return ErrorContext(u"clsRegistry.ValueExists", u"Key:", registrySubKey(keyName), u"Value:",
                            valueName);
      });
}

std::u16string clsRegistry::FindSubKey(std::u16string_view key, std::u16string_view mask) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        std::u16string exact(key);
        exact.append(u"\\").append(mask);
        if (KeyExists(exact)) return std::u16string(mask);
        std::vector<std::u16string> subKeys;
        GetRegSubKeys(key, subKeys);
        for (auto& name : subKeys) {
          if (startsWithNoCase(name, mask)) return std::move(name);
        }
        return std::u16string();
      },
      [&] { return ErrorContext(u"clsRegistry.FindSubKey", u"Key:", key, u"Mask:", mask); });
}

void clsRegistry::SplitRegString(std::u16string_view regString, std::u16string& keyName,
                                 std::u16string& valueName) {
  guardedStep(
      recorder_,
      [&] {
        // Both parts are built before either output changes: the caller may
        // pass one of its outputs as the input.
        std::u16string key;
        std::u16string value;
        if (!regString.empty() && regString.back() == u'\\') {
          key = regString.substr(0, regString.size() - 1);
        } else {
          const std::size_t slash = regString.rfind(u'\\');
          if (slash == std::u16string_view::npos) {
            throw RuntimeError(runtimeFailure(rt::kInvalidProcedureCall));
          }
          key = regString.substr(0, slash);
          value = regString.substr(slash + 1);
        }
        keyName = std::move(key);
        valueName = std::move(value);
      },
      [&] { return ErrorContext(u"clsRegistry.SplitRegString", u"income:", regString); });
}

std::int32_t clsRegistry::SwapEndian(std::int32_t number) noexcept {
  const auto bits = static_cast<std::uint32_t>(number);
  return static_cast<std::int32_t>((bits << 24) | ((bits & 0xFF00u) << 8) |
                                   ((bits >> 8) & 0xFF00u) | (bits >> 24));
}

std::u16string clsRegistry::ExpandEnvStr(std::u16string_view text) {
  return guarded(
      recorder_, std::u16string(),
      [&] {
        auto expanded = system_.expandEnvironmentStrings(text);
        return expanded.ok() ? std::move(expanded.value) : std::u16string(text);
      },
      [&] { return ErrorContext(u"clsRegistry.ExpandEnvStr", u"Variable:", text); });
}

}  // namespace tolvaran
