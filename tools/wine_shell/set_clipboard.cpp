// Puts the text of a UTF-8 file on the clipboard as CF_UNICODETEXT, the way
// a user's copy would, for the window's Paste button to take; or prints the
// clipboard's text, to see what the window copied.
// usage: set_clipboard TEXT.txt
//        set_clipboard --print   the text as UTF-8, byte for byte (exit
//                                code 4: no text on the clipboard)
#include "platform/win32/windows_gateway.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/text.h"
#include "wine_shell/wine_tool.h"

using namespace tolvaran;
using namespace tolvaran::wine_tool;

namespace {

// Another process may hold the clipboard for a moment: retry briefly.
bool openClipboard() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

int printClipboard() {
  if (!openClipboard()) return 2;
  std::u16string text;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* locked = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (locked) {
    text = platform::win32::fromWide(locked);
    GlobalUnlock(data);
  }
  CloseClipboard();
  if (!locked) return 4;
  // Binary, so that the text's CR LF reach the reader unchanged.
  _setmode(_fileno(stdout), _O_BINARY);
  const std::string bytes = utf16ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--print") == 0) return printClipboard();
  std::u16string text;
  if (argc != 2 || !readText(argv[1], text)) {
    printError(u"usage: set_clipboard TEXT.txt | --print");
    return 100;
  }
  const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return 1;
  void* locked = GlobalLock(block);
  std::memcpy(locked, text.c_str(), bytes);
  GlobalUnlock(block);
  if (!openClipboard()) {
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
