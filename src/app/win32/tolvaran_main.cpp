// Tolvaran.exe: the Windows program.
#include "platform/win32/windows_gateway.h"

#include "shell/win32/program_startup.h"

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
  return tolvaran::win32::runProgram(module);
}
