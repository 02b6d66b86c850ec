#pragma once
// The running program's own file: its full path as the system reports it,
// made ordinary, and the folder and name the rest of the program uses. The
// path is asked for once and remembered.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/shell_operations.h"
#include "platform/system.h"
#include "support/failure.h"

namespace tolvaran {

class ProgramFile {
 public:
  ProgramFile(platform::System& system, platform::ShellOperations& shell, FailureRecorder& recorder)
      : system_(system), shell_(shell), recorder_(recorder) {}
  ProgramFile(const ProgramFile&) = delete;
  ProgramFile& operator=(const ProgramFile&) = delete;

  // The program file's full path ("\SystemRoot\" and "\??\" forms made
  // ordinary). When the system cannot name the module, the path the
  // process was started with. Empty only when neither is known.
  const std::u16string& modulePath();
  // The folder of the program file, without a trailing backslash.
  std::u16string AppPath();
  // The file name without a final ".exe" (any letter case); another
  // extension stays.
  std::u16string AppExeName();
  // The file name as it is on disk, extension included: what a copy or a
  // process list shows.
  std::u16string fileName();

 private:
  platform::System& system_;
  platform::ShellOperations& shell_;
  FailureRecorder& recorder_;
  std::u16string path_;
  bool known_ = false;
};

// A module path with the kernel's prefixes made ordinary: "\SystemRoot\"
// (any case) becomes `windowsFolder` and a backslash, "\??\" is dropped.
std::u16string normaliseModulePath(std::u16string_view path, std::u16string_view windowsFolder);

// A file name without a final ".exe" (any case), unless nothing else is left.
std::u16string exeNameOf(std::u16string_view fileName);

// The language a program name asks for: after its first 8 characters (the
// length of "Tolvaran"), "RU", "EN", "FR" or "DE" anywhere, in any case,
// tried in that order, give 1049, 1033, 2060 or 3079; otherwise 0, the
// automatic choice.
std::uint32_t languageFromFileName(std::u16string_view appExeName) noexcept;

}  // namespace tolvaran
