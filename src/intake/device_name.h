#pragma once
// Paths that Windows turns into a device: "C:\Users\CON.lnk" is the console
// and "D:\x\com1.url" a serial port on every Windows the program supports.
// Opening one to read a shortcut can wait for console input forever, and the
// existence tests may call it a file, so a listed or given path that names a
// device is never taken for a file.
#include <string_view>

namespace tolvaran {

// The last component, up to its first dot or colon and without the spaces
// before it, is CON, PRN, AUX, NUL, CONIN$, CONOUT$, or COM or LPT with one
// digit (0-9, ¹, ², ³), in any letter case. A "\\?\" path is taken
// literally by Windows and names no device.
[[nodiscard]] bool namesDosDevice(std::u16string_view path) noexcept;

}  // namespace tolvaran
