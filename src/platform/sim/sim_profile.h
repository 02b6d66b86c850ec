#pragma once
// The Windows profile functions, simulated over any file port: the INI text is
// edited in place the way Windows does it, so the rest of a file (other
// sections, blank lines, comments, garbage) stays byte for byte.
//
// Rules (input -> what Windows does). No contract test runs them against
// Windows yet. On the simulated machine tests/unit/platform/ini_text_test.cpp
// pins how sections, keys and values are read and where a write puts its
// line, and tests/unit/report/settings_file_test.cpp the missing file, the
// missing folder and the buffer length; no test pins the two encodings, the
// default's trailing spaces, a write to a line without "=", a written
// value's leading blanks or the read-only file.
//
// clang-format off
//   file missing                 -> read gives the default; write creates it in the ANSI code page
//   FF FE / EF BB BF at start    -> the file is UTF-16LE / UTF-8 and is written back the same way
//   line "  [ Name ]  "          -> section "Name"; sections and keys match without regard to case
//   "  key  =  value  "          -> key "key", value "value"; the first match wins
//   value in matching quotes     -> read without the quotes ("x" -> x, 'x' -> x)
//   a line with no "="           -> no value: read gives the default; write gives it one
//   default "abc  "              -> trailing spaces of the default are dropped
//   buffer of n characters       -> at most n - 1 characters are returned
//   write of an existing key     -> the value is replaced on its line, the key keeps its spelling
//   write of a new key           -> a line after the section's last key line
//   write of a new section       -> "[Section]" and the key appended at the end of the file
//   write of a value             -> leading blanks of the value are dropped
//   write to a read-only file    -> ERROR_ACCESS_DENIED
//   folder of the file missing   -> write fails with ERROR_PATH_NOT_FOUND
// clang-format on
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace tolvaran::platform::sim {

class SimProfile final : public Profile {
 public:
  SimProfile(Files& files, System& system) : files_(files), system_(system) {}

  Result<std::u16string> getPrivateProfileString(std::u16string_view section,
                                                 std::u16string_view key,
                                                 std::u16string_view defaultValue,
                                                 std::uint32_t bufferChars,
                                                 std::u16string_view fileName) override;
  Status writePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view value,
                                   std::u16string_view fileName) override;

 private:
  Files& files_;
  System& system_;
};

}  // namespace tolvaran::platform::sim
