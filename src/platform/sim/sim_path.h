#pragma once
// How the simulated machine reads a path, the way Win32 turns a path into the
// object it names before any disk is touched. Checked against Windows (under
// Wine) by the file-port contract tests.
//
// clang-format off
//   input                              -> result
//   ""                                 -> ERROR_PATH_NOT_FOUND (3)
//   text after an embedded NUL         -> ignored (the API sees a C string)
//   "C:\dir\file"                      -> volume C:, components dir, file
//   "c:/dir//file"                     -> the same: "/" is a separator, runs of separators are one
//   "C:\dir\.\file", "C:\x\..\dir\file"-> the same: "." and ".." resolved by text (x need not exist)
//   "C:\.."                            -> "C:\": ".." never climbs above the root
//   "C:\dir.\file"                     -> the same: one trailing dot of an inner component dropped
//   "C:\dir\file. . "                  -> "C:\dir\file": trailing dots and spaces of the last dropped
//   "C:\dir\"                          -> the folder, marked as named with a trailing separator
//   "C:" and "C:dir"                   -> relative to C:'s current folder, which is always its root
//   "\dir"                             -> on the current drive, which is always C:
//   "dir\file"                         -> relative to the current folder, always the root of C:
//   "\\server\share\dir"               -> volume \\server\share (an unknown server: ERROR_BAD_NETPATH
//                                         (53), a known server without that share: ERROR_BAD_NET_NAME (67))
//   "\\", "\\server", "\\server\"      -> ERROR_INVALID_NAME (123)
//   "\\?\C:\dir\file. "                -> taken as written: no "/" conversion, no "." or ".."
//                                         processing, no trimming ("file. " is its own name)
//   "\\?\UNC\server\share\dir"         -> the share, taken as written
//   "\\?\C:\a\\b", "\\?\C:\.\a", "\\?\C:/a" -> ERROR_INVALID_NAME (123)
//   "\\.\..." (the device namespace)   -> ERROR_INVALID_NAME (123): devices are not simulated
//   a name with < > : " | ? * or a control character -> ERROR_INVALID_NAME (123)
//   a name longer than 255 characters  -> ERROR_INVALID_NAME (123)
//   more than 32767 characters         -> ERROR_FILENAME_EXCED_RANGE (206)
//
// Resolving the parsed path against the volumes (sim_files.cpp) adds:
//   volume missing                     -> ERROR_PATH_NOT_FOUND (3)
//   an inner component missing or a file -> ERROR_PATH_NOT_FOUND (3)
//   the last component missing         -> ERROR_FILE_NOT_FOUND (2)
//   a file named with a trailing separator -> ERROR_INVALID_NAME (123)
//   "C:\DIR\NOTES.LNK" for C:\dir\notes.lnk -> the same file: names (volumes and wildcard patterns
//                                         too) are compared unit by unit through each unit's upper
//                                         case, as NTFS does (fileNameUpcase in support/text.h)
//   "notes.ln\u212A" (KELVIN SIGN), "page.web\u017Fite" (LONG S), "\u03C2.txt" (final sigma)
//                                      -> other names than notes.lnk, page.website, \u03C3.txt: a
//                                         unit's upper case counts only where it maps back
// clang-format on
#include <string>
#include <string_view>
#include <vector>

#include "support/result.h"

namespace tolvaran::platform::sim {

struct SimPath {
  Win32Code code = kErrorSuccess;
  std::u16string volume;  // "C:" (upper case) or "\\server\share" as written
  std::vector<std::u16string> components;
  bool trailingSeparator = false;
  bool literal = false;  // the "\\?\" form
  [[nodiscard]] bool ok() const noexcept { return code == kErrorSuccess; }
  [[nodiscard]] bool isUnc() const noexcept { return volume.size() > 2 && volume[0] == u'\\'; }
};

enum class NameCheck {
  kStrict,           // every component must be a valid name
  kWildcardsInLast,  // FindFirstFile: "*" and "?" allowed in the last component
  kNone,             // GetFullPathName: text only, names are not checked
};

SimPath parseSimPath(std::u16string_view path, NameCheck check = NameCheck::kStrict);

// "C:\dir\file", "C:\" for a root, "\\server\share\dir"; with the trailing
// separator when the path had one.
std::u16string joinSimPath(const SimPath& path);

// Both paths parse and name the same object (names compared as above).
bool sameSimPath(std::u16string_view a, std::u16string_view b);

// "*" and "?" as FindFirstFile matches them, the other units compared as
// names are; "*.*" matches every name.
bool matchesWildcard(std::u16string_view pattern, std::u16string_view name);

}  // namespace tolvaran::platform::sim
