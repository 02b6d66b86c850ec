// Shows the tests what the user would see: every visible top-level window of
// the session with its class, title and the texts of its child controls
// (a message box's text is its static child), one line each:
//   window HWND pid=P class=C title=T rect=X,Y,W,H
//   child  HWND parent=HWND id=N class=C rect=X,Y,W,H text=T
// (texts escaped as oneLine says; rectangles in screen pixels, which are the X root window's too)
// usage: list_windows                  all visible top-level windows
//                                      (exit code 2: stalled, ask again)
//        list_windows press HWND ID    a button press: WM_COMMAND ID
//        list_windows close HWND       WM_CLOSE
// Child texts are fetched with WM_GETTEXT and a timeout, so a busy program
// cannot hang the test.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/windows_gateway.h"
#include "support/text.h"
#include "wine_shell/wine_tool.h"

using namespace tolvaran;
using namespace tolvaran::platform::win32;
using namespace tolvaran::wine_tool;

namespace {

constexpr UINT kTimeoutMs = 1000;
constexpr DWORD kListingMs = 5000;

// Texts stay on one line: backslash, CR, LF and tab are escaped as \\ \r \n \t.
std::u16string oneLine(std::u16string_view text) {
  std::u16string escaped;
  for (char16_t c : text) {
    switch (c) {
      case u'\\': escaped += u"\\\\"; break;
      case u'\r': escaped += u"\\r"; break;
      case u'\n': escaped += u"\\n"; break;
      case u'\t': escaped += u"\\t"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// False when the window's thread did not answer in time; the text is then "?".
bool windowText(HWND window, std::u16string& text) {
  text = u"?";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &length))
    return false;
  std::vector<WCHAR> buffer(static_cast<std::size_t>(length) + 1, 0);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, kTimeoutMs,
                           &copied))
    return false;
  text = fromWide(buffer.data());
  return true;
}

std::u16string className(HWND window) {
  WCHAR buffer[256] = {};
  GetClassNameW(window, buffer, 256);
  return fromWide(buffer);
}

BOOL CALLBACK addChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::u16string handleText(HWND window) {
  return hex(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)));
}

std::u16string rectText(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return utf8ToUtf16(std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                     std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top));
}

BOOL CALLBACK printWindow(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  // A program busy with a run answers no message: one timeout per window,
  // not one per control, so the listing stays quick.
  std::u16string title;
  bool answering = windowText(window, title);
  printLine(u"window\t" + handleText(window) + u"\tpid=" + utf8ToUtf16(std::to_string(pid)) +
            u"\tclass=" + className(window) + u"\ttitle=" + oneLine(title) + u"\trect=" +
            rectText(window));
  std::vector<HWND> children;
  EnumChildWindows(window, addChild, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children) {
    if (!IsWindowVisible(child)) continue;
    std::u16string text = u"?";
    if (answering) answering = windowText(child, text);
    printLine(u"child\t" + handleText(child) + u"\tparent=" + handleText(window) + u"\tid=" +
              utf8ToUtf16(std::to_string(GetDlgCtrlID(child))) + u"\tclass=" + className(child) +
              u"\trect=" + rectText(child) + u"\ttext=" + oneLine(text));
  }
  return TRUE;
}

DWORD WINAPI listAll(LPVOID) {
  return EnumWindows(printWindow, 0) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3) {
    HWND window =
        reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoul(argv[2], nullptr, 16)));
    const std::string verb = argv[1];
    if (verb == "press" && argc == 4) {
      const WPARAM id = static_cast<WPARAM>(std::strtoul(argv[3], nullptr, 10));
      return PostMessageW(window, WM_COMMAND, id, 0) ? 0 : 1;
    }
    if (verb == "close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    return 100;
  }
  // Some Wine call can stall for half a minute while a program starts up
  // (measured); the listing runs on a worker, and a stalled one ends the
  // tool with code 2 so that the caller simply asks again.
  HANDLE worker = CreateThread(nullptr, 0, listAll, nullptr, 0, nullptr);
  if (!worker) return 1;
  if (WaitForSingleObject(worker, kListingMs) == WAIT_TIMEOUT) {
    printError(u"listing stalled");
    std::fflush(stdout);
    ExitProcess(2);
  }
  DWORD code = 1;
  GetExitCodeThread(worker, &code);
  return static_cast<int>(code);
}
