#pragma once
// The simulated registry: keys, typed values and the two views of a 64-bit
// machine, read through the registry port the way Windows answers.
//
// Rules (input -> what Windows does), checked by the registry contract tests:
// clang-format off
//   key and value names                  -> compared without regard to letter case
//   subkey enumeration                   -> sorted by name, letters compared as upper case
//                                           ("AB" before "A_"), the order the hives keep
//   value enumeration                    -> creation order; rewriting a value keeps its place
//                                           and its first spelling (Wine sorts values instead)
//   RegOpenKeyEx, empty subkey on a root -> the root's own handle back
//   a subkey starting with "\"           -> ERROR_BAD_PATHNAME (161)
//   "a\\b", "a\b\"                       -> empty components are skipped
//   a component longer than 255          -> ERROR_INVALID_PARAMETER (87)
//   a missing key                        -> ERROR_FILE_NOT_FOUND (2)
//   an unknown or closed handle          -> ERROR_INVALID_HANDLE (6)
//   a handle whose key was deleted       -> ERROR_KEY_DELETED (1018)
//   text after an embedded NUL           -> ignored (the API sees C strings)
//   RegEnumKey/RegEnumValue              -> ERROR_MORE_DATA (234) unless name + NUL fit the
//                                           buffer, ERROR_NO_MORE_ITEMS (259) past the end
//   RegQueryValueEx without a buffer     -> 0 with type and size
//   ... with a buffer smaller than data  -> ERROR_MORE_DATA (234) with type and size
//   ... of a missing value               -> ERROR_FILE_NOT_FOUND (2)
//   RegQueryInfoKey                      -> counts, longest names in characters, largest
//                                           value in bytes, class length 0
//   HKEY_CLASSES_ROOT                    -> HKLM\SOFTWARE\Classes (the per-user part of the
//                                           merged view is not simulated)
//   On a 64-bit machine, opening from HKEY_LOCAL_MACHINE:
//     SOFTWARE\x in the 32-bit view      -> SOFTWARE\WOW6432Node\x (SOFTWARE itself too)
//     SOFTWARE\WOW6432Node\x in any view -> itself
//     32-bit view                        -> a 32-bit process without KEY_WOW64_64KEY, or a
//                                           64-bit process with KEY_WOW64_32KEY
//   Opening relative to an opened key    -> no redirection: the handle names its physical key
//   On a 32-bit machine the view flags are ignored.
// clang-format on
//
// Setup calls name keys by their physical path with a root name in front
// (long or short, see regRootFromName): "HKLM\SOFTWARE\WOW6432Node\App" is the
// 32-bit view's "HKLM\SOFTWARE\App".
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/sim_faults.h"

namespace tolvaran::platform::sim {

enum class RegistryOp { open, enumKey, enumValue, queryInfo, queryValue, close };

class SimRegistry final : public Registry {
 public:
  // A fresh machine has HKLM\SOFTWARE with Classes (and WOW6432Node on a
  // 64-bit machine), HKLM\SYSTEM and HKCU\Software.
  explicit SimRegistry(bool machineIs64Bit = true, bool processIs64Bit = false);
  ~SimRegistry() override;
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  Result<RegKeyHandle> regOpenKeyEx(RegKeyHandle key, std::u16string_view subKey,
                                    std::uint32_t options, std::uint32_t samDesired) override;
  Result<std::u16string> regEnumKey(RegKeyHandle key, std::uint32_t index,
                                    std::uint32_t bufferChars) override;
  Result<std::u16string> regEnumValue(RegKeyHandle key, std::uint32_t index,
                                      std::uint32_t nameBufferChars) override;
  Result<RegKeyInfo> regQueryInfoKey(RegKeyHandle key) override;
  Result<RegValueData> regQueryValueEx(RegKeyHandle key, std::u16string_view valueName,
                                       std::uint32_t bufferBytes) override;
  Status regCloseKey(RegKeyHandle key) override;

  // --- Setup and inspection (tests and the machine builder) ---------------
  // Each returns false when the path names no root or a component is too long.
  bool createKey(std::u16string_view keyPath);
  bool deleteKey(std::u16string_view keyPath);  // the key and everything below it
  bool setValue(std::u16string_view keyPath, std::u16string_view name, std::uint32_t type,
                std::string_view data);  // creates the key as needed
  bool setString(std::u16string_view keyPath, std::u16string_view name, std::u16string_view text,
                 std::uint32_t type = kRegSz);  // the text and one NUL
  bool setDword(std::u16string_view keyPath, std::u16string_view name, std::uint32_t number);
  bool deleteValue(std::u16string_view keyPath, std::u16string_view name);
  // Opening this key (not its subkeys) fails with ERROR_ACCESS_DENIED.
  void denyAccess(std::u16string_view keyPath);

  // Applies a .reg file (see reg_file.h); gives the lines that were not
  // understood or could not be applied.
  std::vector<std::size_t> loadRegFile(std::string_view bytes, std::uint32_t ansiCodePage = 1252);

  // Faults for any call; handle calls match the physical path of their key
  // ("HKEY_LOCAL_MACHINE\SOFTWARE\..."), opens the path asked for.
  FaultPlan<RegistryOp>& faults() noexcept { return faults_; }
  // Handles opened and not yet closed (predefined roots never count).
  [[nodiscard]] std::size_t openHandleCount() const noexcept;

  [[nodiscard]] bool machineIs64Bit() const noexcept { return machineIs64Bit_; }
  [[nodiscard]] bool processIs64Bit() const noexcept { return processIs64Bit_; }

 private:
  struct Key;
  struct Location;
  struct Handle;

  [[nodiscard]] const Key* resolve(const Location& location) const;
  Key* resolve(const Location& location);
  Key* createPath(const Location& location);
  // The physical location a setup path names; false for an unknown root or
  // a component that is too long.
  bool setupLocation(std::u16string_view keyPath, Location& location) const;
  // The key behind a handle for a call `op` on it, or the code the call fails with.
  Win32Code enter(RegistryOp op, RegKeyHandle handle, const Key*& key);

  bool machineIs64Bit_;
  bool processIs64Bit_;
  std::vector<std::unique_ptr<Key>> roots_;  // one per predefined root but HKEY_CLASSES_ROOT
  std::vector<Handle> handles_;
  RegKeyHandle nextHandle_ = 0x1000;
  std::uint64_t deletions_ = 0;  // keys deleted so far: handles re-resolve when it moves
  FaultPlan<RegistryOp> faults_;
};

}  // namespace tolvaran::platform::sim
