#pragma once
// The clipboard as the main window uses it: Unicode text in, and the
// Russian locale beside text the edit box copied out, so that programs
// reading the ANSI form of a copied list convert it with the Cyrillic code
// page.
#include "platform/win32/windows_gateway.h"

#include <string>

#include "support/failure.h"

namespace tolvaran::win32 {

// The clipboard's text in the Unicode format (the system converts text
// put there in other formats); empty when the clipboard cannot be opened or
// holds no text. Failures are recorded as "frmMain.GetClipboard_UnicodeText".
std::u16string GetClipboard_UnicodeText(FailureRecorder& recorder);

// Adds the locale 1049 (CF_LOCALE) to what the clipboard holds; false when
// the clipboard could not be opened.
bool addRussianLocale(HWND owner);

}  // namespace tolvaran::win32
