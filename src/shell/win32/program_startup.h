#pragma once
// Tolvaran.exe from start to end: what only Windows needs before anything
// else (DLL search, application id, common controls, COM), then the
// program's own start (shell/startup.h) over the real machine and window.
#include "platform/win32/windows_gateway.h"

namespace tolvaran::win32 {

// The process's exit code.
int runProgram(HINSTANCE module);

}  // namespace tolvaran::win32
