#pragma once
// The names the program goes by.
#include <string_view>

namespace tolvaran {

// The caption of every message box and the title of the report.
inline constexpr std::u16string_view kAppTitle = u"Tolvaran by Orvik Pelmanov";
// The application user model id: the taskbar groups the program's windows by it.
inline constexpr std::u16string_view kAppUserModelId = u"Orvik.Pelmanov.Tolvaran";

}  // namespace tolvaran
