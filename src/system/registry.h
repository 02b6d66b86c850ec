#pragma once
// Read-only registry access for the program: keys named by one text
// ("HKLM\SOFTWARE\..."), always opened in the native 64-bit view so that a
// 32-bit build on 64-bit Windows sees what 64-bit programs see. Every
// operation opens and closes its own key, records unexpected failures and
// gives its neutral result; a missing or denied key or value is not a failure.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/registry.h"
#include "platform/system.h"
#include "support/failure.h"

namespace tolvaran {

// What GetRegData gives: text, or a number for the two DWORD types.
using RegData = std::variant<std::u16string, std::int32_t>;

// The text of a value: the text itself, or the number in decimal.
std::u16string regDataText(const RegData& data);

// The root a key text names, by the part before its first backslash (all of
// it without one), in any letter case; 0 for a name outside the table.
platform::RegKeyHandle registryRoot(std::u16string_view keyName) noexcept;
// The subkey part: everything after the first backslash, empty without one.
std::u16string_view registrySubKey(std::u16string_view keyName) noexcept;

class clsRegistry {
 public:
  clsRegistry(platform::Registry& registry, platform::System& system, FailureRecorder& recorder)
      : registry_(registry), system_(system), recorder_(recorder) {}

  // Names of the direct subkeys in the registry's order (element 0 is the
  // first); the count. The list is emptied first.
  std::size_t GetRegSubKeys(std::u16string_view keyName, std::vector<std::u16string>& subKeys);
  // Names of the key's values in the registry's order; the count. The list
  // is emptied first.
  std::size_t GetRegValueNames(std::u16string_view keyName,
                               std::vector<std::u16string>& valueNames);
  // The value's data, or `defaultValue` when it cannot be read.
  RegData GetRegData(std::u16string_view keyName, std::u16string_view valueName,
                     const RegData& defaultValue);
  bool KeyExists(std::u16string_view keyName);
  // The value's type, 0 when it cannot be read.
  std::uint32_t ValueType(std::u16string_view keyName, std::u16string_view valueName);
  bool ValueExists(std::u16string_view keyName, std::u16string_view valueName);
  // `mask` when key\mask exists, else the first subkey (in registry order)
  // that starts with `mask` in any letter case, else empty text.
  std::u16string FindSubKey(std::u16string_view key, std::u16string_view mask);
  // "Key\Name" gives "Key" and "Name"; "Key\" gives "Key" and empty text.
  // Without a backslash it records a failure and leaves both outputs alone.
  void SplitRegString(std::u16string_view regString, std::u16string& keyName,
                      std::u16string& valueName);

  // The four bytes of `number` in reverse order. Pure bit arithmetic: it
  // cannot fail, so it needs no guard.
  static std::int32_t SwapEndian(std::int32_t number) noexcept;
  // Environment references expanded; `text` as it was when the system
  // cannot expand it.
  std::u16string ExpandEnvStr(std::u16string_view text);

 private:
  platform::Registry& registry_;
  platform::System& system_;
  FailureRecorder& recorder_;
};

}  // namespace tolvaran
