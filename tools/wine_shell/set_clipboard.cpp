// Puts the text of a UTF-8 file on the clipboard as CF_UNICODETEXT, the way
// a user's copy would, for the window's Paste button to take.
// usage: set_clipboard TEXT.txt
#include <cstring>
#include <string>

#include "platform/win32/windows_gateway.h"
#include "support/text.h"
#include "wine_shell/wine_tool.h"

using namespace tolvaran;
using namespace tolvaran::wine_tool;

int main(int argc, char** argv) {
  std::u16string text;
  if (argc != 2 || !readText(argv[1], text)) {
    printError(u"usage: set_clipboard TEXT.txt");
    return 100;
  }
  const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return 1;
  void* locked = GlobalLock(block);
  std::memcpy(locked, text.c_str(), bytes);
  GlobalUnlock(block);
  // Another process may hold the clipboard for a moment: retry briefly.
  bool opened = false;
  for (int attempt = 0; attempt < 50 && !opened; ++attempt) {
    opened = OpenClipboard(nullptr) != FALSE;
    if (!opened) Sleep(20);
  }
  if (!opened) {
    GlobalFree(block);
    return 2;
  }
  EmptyClipboard();
  const bool set = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  if (!set) {
    GlobalFree(block);
    return 3;
  }
  return 0;
}
