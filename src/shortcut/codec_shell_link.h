#pragma once
// The shell's shortcut object rebuilt on the project's codec and the file
// and system ports: the shell-link class the simulated machine registers
// (platform/sim/sim_shell_link.h), so that the program reads and writes real
// shortcut bytes on a machine without Windows.
//
//   Load of a missing file / folder            -> HRESULT_FROM_WIN32(2) / (3); object unchanged
//   Load of a folder                           -> E_ACCESSDENIED
//   Load of a file open without read sharing   -> HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION)
//   Load of bytes that are no shortcut (under 76 bytes, a HeaderSize other than 76, another
//   CLSID: empty, all-NUL, HTML files)         -> E_FAIL; object unchanged
//   Load of a shortcut damaged further on      -> E_FAIL; the object holds what was read before
//   Save                                       -> CreateFile(CREATE_ALWAYS, no sharing) and the
//                                                 codec's bytes: its error as an HRESULT (a
//                                                 read-only or hidden file, a folder that refuses
//                                                 writing: E_ACCESSDENIED; no folder: 0x80070003)
//   Save of a text too long for its count      -> E_INVALIDARG, nothing written
//   GetPath, first that applies:
//     an environment-variable target (HasExpString) -> it expanded (unexpanded with RAWPATH)
//     an ID list that names a file-system path      -> that path (shortcut/id_list_path.h)
//     LinkInfo, unless ForceNoLinkInfo              -> with UNCPRIORITY and a network part, share
//                                                      and suffix; else the local base path and
//                                                      suffix; else the mapped device and suffix;
//                                                      else share and suffix
//     a relative path                               -> beside the shortcut, or in the working
//                                                      folder, where that file exists; else as is
//     nothing                                       -> S_FALSE and empty text
//   SHORTPATH gives the long path (the simulated disk has no 8.3 names).
//   SetPath                                    -> surrounding quotes dropped; two "%" make an
//                                                 environment-variable target; the absolute form
//                                                 is stored; S_FALSE when it does not exist;
//                                                 empty text removes the target
//   text getters                               -> the text up to its first NUL, cut to the buffer
//
// Wine's shell (8.0, measured) differs: GetPath answers from the LinkInfo's
// narrow local path alone (no ID list, no environment block, no suffix, no
// network part, ForceNoLinkInfo ignored), Load keeps the object's own show
// command, SetPath takes "%VAR%" literally, and Save replaces read-only and
// hidden files. It agrees on every Load answer above.
#include <memory>

#include "platform/files.h"
#include "platform/shell_link.h"
#include "platform/system.h"

namespace tolvaran::lnk {

class CodecShellLinks final : public platform::ShellLinks {
 public:
  // The objects use both ports for their whole life.
  CodecShellLinks(platform::Files& files, platform::System& system)
      : files_(files), system_(system) {}

  platform::ComResult<std::unique_ptr<platform::ShellLink>> createShellLink() override;

 private:
  platform::Files& files_;
  platform::System& system_;
};

// Shortcut files are read up to this size: every part of a shortcut the
// shell uses lies far inside it, and a huge file named .lnk must not fill
// the memory.
inline constexpr std::size_t kShortcutReadLimit = 16u * 1024u * 1024u;

}  // namespace tolvaran::lnk
