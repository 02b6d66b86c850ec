#pragma once
// Reading a shortcut through the shell's own shortcut object, so that every
// field comes back exactly as the shell interprets it: the one shared
// object's life, installer-advertised shortcuts, and the 64-bit correction
// of targets that name the 32-bit program-files folder.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "fileops/mod_file.h"
#include "platform/ports.h"
#include "shortcut/lnk_record.h"
#include "support/failure.h"

namespace tolvaran {

// The start-up values reading needs.
struct ReaderFolders {
  bool isWin64 = false;  // the program runs on 64-bit Windows, whichever its build
  // %ProgramFiles% as a 32-bit process sees it, and %ProgramW6432%; no
  // trailing backslash.
  std::u16string programFiles32;
  std::u16string programFilesNative;
};

// Every text of a shortcut is read into a buffer of this many characters.
inline constexpr std::int32_t kShellTextBufferChars = 32767;
// The target an advertised shortcut reads as when its component is not
// installed locally: a path that does not exist.
inline constexpr std::u16string_view kInstallStateUnknown = u"INSTALLSTATE_UNKNOWN";

// A shortcut as read, with the failure that made the read fail, if any: a
// failed read gives a record as empty as a shortcut without a target.
struct ShortcutRead {
  LnkRecord record;
  std::optional<Failure> failure;
};

class ShortcutReader {
 public:
  ShortcutReader(const platform::Ports& ports, modFile& fileHelpers, FailureRecorder& recorder,
                 ReaderFolders folders);
  ShortcutReader(const ShortcutReader&) = delete;
  ShortcutReader& operator=(const ShortcutReader&) = delete;

  // Creates the one shell-link object that every read and write reuses; a
  // failure is recorded as "Parser.ISL_Init" and leaves it unset.
  void ISL_Init();
  // Releases it.
  void ISL_Release();
  // The shared object, holding the shortcut read last; nullptr while unset.
  [[nodiscard]] platform::ShellLink* sharedShellLink() const noexcept { return shellLink_.get(); }

  // The installed path of an advertised shortcut's component,
  // kInstallStateUnknown when it is advertised but not installed locally,
  // empty text for an ordinary shortcut (or a recorded failure).
  std::u16string GetMSILinkTarget(std::u16string_view path);

  // The shortcut at `path` as the shell reads it. When the file cannot be
  // loaded or a field cannot be read, the failure is recorded with "File: "
  // and the path and the record holds only LnkPath.
  LnkRecord GetTargetShellLinkW(std::u16string_view path);
  // The same read with its outcome. A failed installer lookup fails the
  // read too (its failure handed back), though the fields are read all the
  // same.
  [[nodiscard]] ShortcutRead readShortcut(std::u16string_view path);

 private:
  // GetMSILinkTarget with its outcome; `target` as GetMSILinkTarget returns it.
  [[nodiscard]] std::optional<Failure> msiLinkTarget(std::u16string_view path,
                                                     std::u16string& target);
  std::u16string correctedProgramFiles(const std::u16string& target);

  platform::Ports ports_;
  modFile& fileHelpers_;
  FailureRecorder& recorder_;
  ReaderFolders folders_;
  std::unique_ptr<platform::ShellLink> shellLink_;
};

}  // namespace tolvaran
