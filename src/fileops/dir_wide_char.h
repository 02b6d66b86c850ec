#pragma once
// Folder helpers on the wide file calls: a wildcard listing one entry at a
// time, the folder test, creating a chain of folders, and switching WOW64
// redirection for paths inside System32.
#include <cstdint>
#include <string>
#include <string_view>

#include "fileops/saved_redirection.h"
#include "platform/ports.h"
#include "support/failure.h"

namespace tolvaran {

class clsDirWideChar {
 public:
  // `bitness`: the system's, "x64" or "x86"; `sys32`: the System32 folder
  // the program works with. `saved` is the process's one saved redirection
  // value, shared with modFile.
  clsDirWideChar(const platform::Ports& ports, FailureRecorder& recorder, SavedFsRedirection& saved,
                 std::u16string bitness, std::u16string sys32);
  ~clsDirWideChar();
  clsDirWideChar(const clsDirWideChar&) = delete;
  clsDirWideChar& operator=(const clsDirWideChar&) = delete;

  // The next entry name of a wildcard search; empty text when there is none.
  // A non-empty `path` (or no open search) starts a new search with
  // `flagsExclude` and `isDirectory`; an empty one continues the open
  // search. Entries are skipped when their folder bit differs from
  // `isDirectory` or their attributes share a bit with `flagsExclude`, or
  // with sparse file and reparse point (0x600). A listing for folders gives
  // "." and ".." too. The search closes when the entries run out.
  std::u16string DirW(std::u16string_view path = {}, std::uint32_t flagsExclude = 0,
                      bool isDirectory = false);

  // The path, spaces trimmed, names a folder (seen with redirection off
  // inside System32).
  bool IsFolder(std::u16string_view path);

  // Creates every missing folder of `path`, outermost first; with
  // `lastComponentIsFile` the text after the last backslash is left out.
  // True when the last creation attempted succeeded; false when none was
  // needed or the last one failed.
  bool CreateFolderStruct(std::u16string_view path, bool lastComponentIsFile = false);

  // On 64-bit Windows ("x64") and for an empty path or one inside System32:
  // switches redirection off (`disable`) or back on; the call's success.
  // Otherwise nothing happens and the answer is false.
  bool FS_Disable_Redirection(bool disable, std::u16string_view path);

 private:
  void closeSearch() noexcept;
  [[nodiscard]] bool wanted(const platform::FindData& entry) const noexcept;

  platform::Files& files_;
  FailureRecorder& recorder_;
  SavedFsRedirection& saved_;
  const std::u16string bitness_;
  const std::u16string sys32_;
  // The open search of DirW.
  platform::FindHandle search_ = platform::kInvalidFindHandle;
  std::uint32_t flagsExclude_ = 0;
  bool wantFolders_ = false;
};

}  // namespace tolvaran
