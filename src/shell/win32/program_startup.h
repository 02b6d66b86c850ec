#pragma once
// The finished program from start to end: start-up in its fixed order,
// the main window, the start-up run, the message loop.
#include "platform/win32/windows_gateway.h"

namespace tolvaran::win32 {

// The process's exit code.
int runProgram(HINSTANCE module);

}  // namespace tolvaran::win32
