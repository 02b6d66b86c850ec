#pragma once
// The shell-operations port: the shell's file operation (delete into the
// recycle bin), change notifications for one path, ShellExecuteExW and the
// shell's command-line splitting.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/processes.h"
#include "support/result.h"

namespace tolvaran::platform {

// SHFILEOPSTRUCTW without the window and the progress title.
struct ShellFileOperation {
  std::uint32_t function = 0;  // FO_*
  // Lists of names, each ended by a NUL, the list by a second NUL.
  std::u16string from;
  std::u16string to;
  std::uint16_t flags = 0;  // FOF_*
};

struct ShellFileOperationResult {
  // SHFileOperationW's answer: 0, a Win32 code, or one of the shell's own
  // DE_* codes.
  std::int32_t result = 0;
  bool anyOperationsAborted = false;
};

// SHELLEXECUTEINFOW, the fields the program fills.
struct ShellExecuteRequest {
  std::uint32_t mask = 0;  // SEE_MASK_*
  WindowHandle window = 0;
  std::u16string verb;
  std::u16string file;
  std::u16string parameters;
  std::u16string directory;
  std::int32_t show = 0;
};

namespace shell {
inline constexpr std::uint32_t kFoDelete = 3;
inline constexpr std::uint16_t kFofSilent = 0x4;
inline constexpr std::uint16_t kFofNoConfirmation = 0x10;
inline constexpr std::uint16_t kFofAllowUndo = 0x40;
inline constexpr std::uint16_t kFofNoErrorUi = 0x400;

inline constexpr std::int32_t kShcneRenameItem = 0x1;
inline constexpr std::int32_t kShcneDelete = 0x4;
inline constexpr std::int32_t kShcneAttributes = 0x800;
inline constexpr std::int32_t kShcneAssocChanged = 0x08000000;
inline constexpr std::uint32_t kShcnfPathW = 0x5;
inline constexpr std::uint32_t kShcnfFlush = 0x1000;

inline constexpr std::uint32_t kSeeMaskNoAsync = 0x100;
inline constexpr std::uint32_t kSeeMaskNoZoneChecks = 0x800000;
}  // namespace shell

class ShellOperations {
 public:
  virtual ~ShellOperations() = default;

  // SHFileOperationW, with COM initialised for the call's thread.
  virtual ShellFileOperationResult fileOperation(const ShellFileOperation& operation) = 0;
  // SHChangeNotify(event, flags, path, secondPath); an empty path is passed
  // as a null pointer (events about the whole shell, or with one path).
  virtual void changeNotify(std::int32_t event, std::uint32_t flags, std::u16string_view path,
                            std::u16string_view secondPath) = 0;
  // ShellExecuteExW: its success and the error it left.
  virtual Status shellExecuteEx(const ShellExecuteRequest& request) = 0;
  // CommandLineToArgvW: the tokens; an empty line gives the program's own
  // path as the one token.
  virtual Result<std::vector<std::u16string>> commandLineToArgv(std::u16string_view line) = 0;
};

}  // namespace tolvaran::platform
