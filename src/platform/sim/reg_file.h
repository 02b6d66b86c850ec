#pragma once
// The reader of registry export files (.reg), as the registry editor writes
// them, for loading the simulated registry. A pure function of the bytes:
// it yields the edits in file order and the lines it could not understand,
// and skips those lines rather than guessing.
//
// clang-format off
//   input                                   -> reading
//   FF FE at the start                      -> UTF-16LE text (how the editor saves)
//   EF BB BF at the start, or valid UTF-8   -> UTF-8 text
//   anything else                           -> text in the given ANSI code page
//   "Windows Registry Editor Version 5.00"  -> hex(2) and hex(7) data are UTF-16LE bytes
//   "REGEDIT4"                              -> hex(2) and hex(7) data are ANSI bytes, made UTF-16LE
//   first line not one of the two headers   -> that line reported, read as version 5.00
//   blank lines, lines starting with ";"    -> skipped (leading blanks first)
//   [ROOT\path]                             -> create the key (long or short root name)
//   [-ROOT\path]                            -> delete the key and everything below it
//   "name"="text" / @="text"                -> REG_SZ: the text and one NUL, as UTF-16LE
//   \\ and \" inside quotes                 -> \ and "; any other backslash stays as written
//   "name"=dword:1a2b3c4d                   -> REG_DWORD, 1 to 8 hex digits, little-endian
//   "name"=hex:01,02 / hex(N):01,02         -> REG_BINARY / type N (1 to 8 hex digits), the bytes
//   a hex list ending with "\"              -> continues on the next line
//   "name"=-                                -> delete the value
//   blanks or a ";" comment after the data  -> ignored
//   a value line before any key, under a
//   key that could not be read, or after a
//   deletion                                -> reported
//   an unknown root, a missing "]", a
//   malformed name or data                  -> reported
// clang-format on
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace tolvaran::platform::sim {

// The root that a key path's first part names: HKEY_CLASSES_ROOT, HKCR,
// HKEY_CURRENT_USER, HKCU, HKEY_LOCAL_MACHINE, HKLM, HKEY_USERS, HKU,
// HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKCC, HKEY_DYN_DATA, in any
// letter case.
std::optional<RegKeyHandle> regRootFromName(std::u16string_view name) noexcept;

struct RegFileEdit {
  enum class Kind { createKey, deleteKey, setValue, deleteValue };
  Kind kind = Kind::createKey;
  std::u16string keyPath;    // as written between the brackets, root included
  std::u16string valueName;  // empty for the default value
  std::uint32_t type = 0;
  std::string data;      // the bytes the registry stores
  std::size_t line = 0;  // 1-based line where the edit starts
};

struct RegFile {
  std::vector<RegFileEdit> edits;
  std::vector<std::size_t> badLines;  // 1-based, ascending
};

// Linear in the input; never throws except std::bad_alloc.
RegFile parseRegFile(std::string_view bytes, std::uint32_t ansiCodePage = 1252);

}  // namespace tolvaran::platform::sim
