#pragma once
// The program's one message box: the caption is always the program's title.
#include <cstdint>
#include <string_view>

#include "platform/ui.h"
#include "shell/app_names.h"

namespace tolvaran {

// MessageBoxW flag sets the program uses.
namespace msg_flags {
inline constexpr std::uint32_t kPlain = 0;          // OK, no icon
inline constexpr std::uint32_t kWarning = 48;       // OK, exclamation
inline constexpr std::uint32_t kYesNoWarning = 52;  // Yes and No, exclamation
inline constexpr std::uint32_t kInformation = 64;   // OK, information
}  // namespace msg_flags

// Shows `text` with the flags unchanged; the button pressed (6 Yes, 7 No).
inline int MsgBoxW(platform::Ui& ui, std::u16string_view text, std::uint32_t flags) {
  return ui.messageBox(text, kAppTitle, flags);
}

}  // namespace tolvaran
