#pragma once
// The message hook that measure_captions sets on Tolvaran.exe's window
// thread (caption_probe.dll): it runs inside the program, where the
// controls' fonts are.
#include "platform/win32/windows_gateway.h"

namespace tolvaran::wine_tool {

// Registered by name on both sides. Posted to the main window: wParam is
// the tool's window that receives the measurements (WM_COPYDATA, UTF-16
// text); a lParam of MAKELPARAM(TO, FROM) has the window sent
// WM_DPICHANGED from resolution FROM to TO first, a lParam of 0 does not.
inline constexpr wchar_t kCaptionProbeMessage[] = L"TolvaranCaptionProbe";

// The DLL's WH_GETMESSAGE hook procedure, exported by this undecorated name.
inline constexpr char kCaptionProbeHook[] = "probeCaptions";

}  // namespace tolvaran::wine_tool
