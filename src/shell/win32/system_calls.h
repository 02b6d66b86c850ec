#pragma once
// Calls of newer Windows versions the window and start-up use where they
// exist, looked up at run time so that the program still starts on XP.
#include "platform/win32/windows_gateway.h"

#include <string_view>

namespace tolvaran::win32 {

// WM_COPYGLOBALDATA: part of a drop from another process.
inline constexpr UINT kWmCopyGlobalData = 0x0049;
// WM_DPICHANGED (8.1 on): the window's resolution changed; LOWORD(wParam)
// is the new one, lParam the RECT the system suggests for the window.
inline constexpr UINT kWmDpiChanged = 0x02E0;

// Lets `message` reach `window` from a less privileged process:
// ChangeWindowMessageFilterEx (7 on) for this window, else
// ChangeWindowMessageFilter (Vista) for the process. False before Vista,
// where there is no such filter.
bool allowMessageFromLowerIntegrity(HWND window, UINT message);

// SetCurrentProcessExplicitAppUserModelID (7 on): the taskbar groups the
// program's windows by it. False where it is missing or failed.
bool setAppUserModelId(std::u16string_view id);

// The resolution the window is shown at: GetDpiForWindow (10 1607 on), else
// the effective resolution of its monitor (GetDpiForMonitor, 8.1 on), else
// the system's, the only one before 8.1.
[[nodiscard]] int dpiOfWindow(HWND window);

// The system's resolution, which SystemParametersInfoW's metrics are in.
[[nodiscard]] int systemDpi();

// The window size for a client area of `client` at `dpi`:
// AdjustWindowRectExForDpi (10 1607 on), else the frame at the system's
// resolution, the one the system draws it at before then.
void adjustWindowRectForDpi(RECT& client, DWORD style, DWORD extendedStyle, int dpi);

// The message-box font the user chose, at `dpi`: SystemParametersInfoForDpi
// (10 1607 on), else the system-resolution metrics scaled; nullptr when
// there are none. The caller deletes it.
[[nodiscard]] HFONT createMessageFont(int dpi);

}  // namespace tolvaran::win32
