#pragma once
// The registry port: the six read calls the program makes, one method per
// call, each giving back what the call gives and its raw LSTATUS.
#include <cstdint>
#include <string>
#include <string_view>

#include "support/result.h"

namespace tolvaran::platform {

// A key handle as a number. The predefined roots have their documented values
// (HKEY_CLASSES_ROOT = 0x80000000 ... HKEY_DYN_DATA = 0x80000006) on every
// build; opened keys carry whatever value the system gave.
using RegKeyHandle = std::uint64_t;

inline constexpr RegKeyHandle kHkeyClassesRoot = 0x80000000;
inline constexpr RegKeyHandle kHkeyCurrentUser = 0x80000001;
inline constexpr RegKeyHandle kHkeyLocalMachine = 0x80000002;
inline constexpr RegKeyHandle kHkeyUsers = 0x80000003;
inline constexpr RegKeyHandle kHkeyPerformanceData = 0x80000004;
inline constexpr RegKeyHandle kHkeyCurrentConfig = 0x80000005;
inline constexpr RegKeyHandle kHkeyDynData = 0x80000006;

[[nodiscard]] constexpr bool isPredefinedKey(RegKeyHandle key) noexcept {
  return key >= kHkeyClassesRoot && key <= kHkeyDynData;
}

// Access rights (samDesired) the program asks for.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;

// Value types. Any other number is a valid type too: the registry stores it.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// Codes the registry calls give beyond those in result.h.
inline constexpr Win32Code kErrorBadPathname = 161;
inline constexpr Win32Code kErrorKeyDeleted = 1018;

// RegQueryInfoKeyW: lengths in characters without the terminating NUL,
// maxValueLen in bytes.
struct RegKeyInfo {
  std::uint32_t subKeys = 0;
  std::uint32_t maxSubKeyLen = 0;
  std::uint32_t maxClassLen = 0;
  std::uint32_t values = 0;
  std::uint32_t maxValueNameLen = 0;
  std::uint32_t maxValueLen = 0;
};

// RegQueryValueExW: the type and the data size in bytes (on success the size
// read, on ERROR_MORE_DATA the size needed), and the data when it was read.
struct RegValueData {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::string bytes;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExW. An empty subkey on a predefined root gives that root's
  // handle back; an unknown root gives ERROR_INVALID_HANDLE.
  virtual Result<RegKeyHandle> regOpenKeyEx(RegKeyHandle key, std::u16string_view subKey,
                                            std::uint32_t options, std::uint32_t samDesired) = 0;
  // RegEnumKeyW with a buffer of `bufferChars` characters (NUL included):
  // the name, ERROR_MORE_DATA when it does not fit, ERROR_NO_MORE_ITEMS past
  // the last subkey.
  virtual Result<std::u16string> regEnumKey(RegKeyHandle key, std::uint32_t index,
                                            std::uint32_t bufferChars) = 0;
  // RegEnumValueW asking for the name only, with a name buffer of
  // `nameBufferChars` characters (NUL included); the codes as regEnumKey.
  virtual Result<std::u16string> regEnumValue(RegKeyHandle key, std::uint32_t index,
                                              std::uint32_t nameBufferChars) = 0;
  // RegQueryInfoKeyW.
  virtual Result<RegKeyInfo> regQueryInfoKey(RegKeyHandle key) = 0;
  // RegQueryValueExW with a data buffer of `bufferBytes` bytes; 0 passes no
  // buffer at all, which asks for type and size only and succeeds. A buffer
  // too small gives ERROR_MORE_DATA with type and size; a missing value
  // ERROR_FILE_NOT_FOUND. An empty name is the key's default value.
  virtual Result<RegValueData> regQueryValueEx(RegKeyHandle key, std::u16string_view valueName,
                                               std::uint32_t bufferBytes) = 0;
  // RegCloseKey. Closing a predefined root succeeds and changes nothing.
  virtual Status regCloseKey(RegKeyHandle key) = 0;
};

}  // namespace tolvaran::platform
