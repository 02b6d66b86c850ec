#pragma once
// The file-system helpers the whole program leans on: the existence test
// every part uses before it trusts a path, WOW64 redirection switched off
// around calls into the Windows folder (a 32-bit program must see the real
// System32 on 64-bit Windows: adware plants shortcuts that point there),
// file sizes and dates, the shell's special folders and byte-order marks.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fileops/saved_redirection.h"
#include "platform/clock.h"
#include "platform/ports.h"
#include "support/failure.h"

namespace tolvaran {

// "\\server\share\..." (Windows reads "/" alike), the form the shell gives
// for network targets and mapped drives. The device forms "\\?\" and
// "\\.\" are local, except "\\?\UNC\".
bool isNetworkPath(std::u16string_view path) noexcept;

// Which time of a file GetFileDate gives.
namespace file_date {
inline constexpr std::int32_t kCreation = 1;
inline constexpr std::int32_t kLastWrite = 2;
inline constexpr std::int32_t kLastAccess = 3;
}  // namespace file_date

// GetFileDate's "no date": every field 0 (no real date has year 0).
inline constexpr platform::SystemTime kNoFileDate{};

// One running process, as GetProcessesList lists it.
struct ProcessListEntry {
  std::u16string Name;  // the image file name the kernel reports; empty for the idle process
  std::u16string Path;  // the full image path; empty when it cannot be read
  std::uint32_t PID = 0;
  std::uint32_t Threads = 0;
  std::int32_t Priority = 0;  // base priority
};

// GetFileSize gives 0 for a size this large or larger, as for an unreadable
// file: no real shortcut or script comes near it.
inline constexpr std::uint64_t kFileSizeLimit = 100'000'000'000'000ull;

class modFile {
 public:
  // `isWin64`: the program runs on 64-bit Windows, whichever build it is.
  // `saved` is the process's one saved redirection value, shared with
  // clsDirWideChar.
  modFile(const platform::Ports& ports, FailureRecorder& recorder, SavedFsRedirection& saved,
          bool isWin64);
  modFile(const modFile&) = delete;
  modFile& operator=(const modFile&) = delete;

  // True when at least one of five tests finds `path`, with redirection
  // off inside the Windows folder. `failedMethods` lists the numbers of the
  // tests that did not, ascending ("467"): 3 PathFileExistsW, 4 attributes
  // without the folder bit, 5 a find that gives a non-folder, 6 an open
  // with no access, 7 the shell's PathFileExists. A folder passes 3 and 7
  // ("456"). An empty or network path ("\\server", "//server") is not
  // examined: false, and `failedMethods` empty. Nor is a path no file can
  // have, whatever FindFirstFileW's wildcards would match: one holding "?"
  // or "*" after its "\\?\" or "\\.\" prefix, if any, or "<", ">", '"',
  // "|" or a character below U+0020.
  bool isFileExists(std::u16string_view path, std::u16string& failedMethods);
  bool isFileExists(std::u16string_view path);

  // Switches redirection off (`enable` false) or back on (`enable` true);
  // true when a switch happened and succeeded. Only on 64-bit Windows, only
  // for an empty path or one inside the Windows folder, and only when the
  // state differs from the one asked for.
  bool ToggleWow64FsRedirection(bool enable, std::u16string_view path);

  // The size in bytes; 0 when the file cannot be opened or measured, or is
  // kFileSizeLimit bytes or more.
  std::uint64_t GetFileSize(std::u16string_view path);

  // The file's creation, last-write or last-access time (file_date::) as
  // local date and time, to the second (milliseconds 0); kNoFileDate when
  // the file cannot be opened, has no such time or `kind` is not 1 to 3.
  platform::SystemTime GetFileDate(std::u16string_view path, std::int32_t kind);

  // The file-system path of a shell special folder (a CSIDL); empty when
  // the shell has none.
  std::u16string GetSpecialFolderPath(std::int32_t csidl);

  // Byte-order-mark tests on text read from a file one character per byte,
  // decoded with the system's ANSI code page: the text begins with the
  // bytes FF FE (UTF-16LE), EF BB BF (UTF-8), decoded the same way.
  bool IsUtf16Bom(std::u16string_view text);
  bool IsUtf8Bom(std::u16string_view text);

  [[nodiscard]] bool redirectionIsOff() const noexcept { return redirectionOff_; }

  // Every running process in the kernel's order (the idle process first);
  // the number of entries. A failure ends the list with what was read.
  std::int32_t GetProcessesList(std::vector<ProcessListEntry>& list);
  // The process's main module as a full path ("\SystemRoot\" and "\??\"
  // forms made ordinary); empty when it cannot be read.
  std::u16string GetFilePathByPID(std::uint32_t pid);
  // The number of running processes whose image name equals `name`,
  // without regard to case.
  std::int32_t CountOfProcesses(std::u16string_view name);

 private:
  bool startsWithAnsiBytes(std::u16string_view text, std::string_view bytes);

  platform::Files& files_;
  platform::System& system_;
  platform::Clock& clock_;
  FailureRecorder& recorder_;
  SavedFsRedirection& saved_;
  const bool isWin64_;
  // Filled by the first ToggleWow64FsRedirection.
  bool initialised_ = false;
  std::u16string windowsFolder_;
  bool redirectionOff_ = false;

  // The process operations (mod_file_processes.cpp).
  std::u16string processWindowsFolder();
  platform::Processes& processes_;
  platform::OsInfo& osInfo_;
  std::optional<std::u16string> processWindowsFolder_;
};

}  // namespace tolvaran
