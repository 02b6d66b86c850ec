#pragma once
// Calls of newer Windows versions the window and start-up use where they
// exist, looked up at run time so that the program still starts on XP.
#include "platform/win32/windows_gateway.h"

#include <string_view>

namespace tolvaran::win32 {

// WM_COPYGLOBALDATA: part of a drop from another process.
inline constexpr UINT kWmCopyGlobalData = 0x0049;

// Lets `message` reach `window` from a less privileged process:
// ChangeWindowMessageFilterEx (7 on) for this window, else
// ChangeWindowMessageFilter (Vista) for the process. False before Vista,
// where there is no such filter.
bool allowMessageFromLowerIntegrity(HWND window, UINT message);

// SetCurrentProcessExplicitAppUserModelID (7 on): the taskbar groups the
// program's windows by it. False where it is missing or failed.
bool setAppUserModelId(std::u16string_view id);

}  // namespace tolvaran::win32
