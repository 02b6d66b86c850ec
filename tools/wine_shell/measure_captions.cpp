// Measures every caption of Tolvaran.exe's main window in the font its
// control really has, against the control's client area: the program's
// layout test at each resolution. The measuring runs inside the program
// (caption_probe.dll, hooked onto the window's thread); this tool sets the
// hook, asks and prints the answer (caption_probe.cpp gives its lines).
// usage: measure_captions HWND              as the window stands
//        measure_captions HWND FROM TO      after WM_DPICHANGED from FROM dpi to TO
// HWND in hex, as list_windows prints it. Exit code 3: no answer in time.
#include "platform/win32/windows_gateway.h"

#include <cstdlib>
#include <string>

#include "wine_shell/caption_probe.h"
#include "wine_shell/wine_tool.h"

using namespace tolvaran;
using namespace tolvaran::wine_tool;

namespace {

constexpr DWORD kAnswerMs = 10000;

struct Answer {
  std::u16string text;
  bool received = false;
};

LRESULT CALLBACK receiverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    auto* answer = reinterpret_cast<Answer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    answer->text.assign(static_cast<const char16_t*>(data->lpData),
                        data->cbData / sizeof(char16_t));
    answer->received = true;
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    printError(u"usage: measure_captions HWND [FROM_DPI TO_DPI]");
    return 100;
  }
  const auto target =
      reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::strtoul(argv[1], nullptr, 16)));
  const auto from = static_cast<WORD>(argc == 4 ? std::atoi(argv[2]) : 0);
  const auto to = static_cast<WORD>(argc == 4 ? std::atoi(argv[3]) : 0);
  const DWORD thread = GetWindowThreadProcessId(target, nullptr);
  if (!thread) {
    printError(u"no such window");
    return 1;
  }

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = receiverProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"TolvaranCaptionReceiver";
  RegisterClassExW(&windowClass);
  HWND receiver = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, windowClass.hInstance, nullptr);
  Answer answer;
  SetWindowLongPtrW(receiver, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answer));

  // Wine loads the hook's DLL into the program by the path it has here.
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  path = path.substr(0, path.rfind(L'\\') + 1) + L"caption_probe.dll";
  HMODULE probe = LoadLibraryW(path.c_str());
  const auto procedure = platform::win32::moduleFunction<HOOKPROC>(probe, kCaptionProbeHook);
  HHOOK hook = procedure ? SetWindowsHookExW(WH_GETMESSAGE, procedure, probe, thread) : nullptr;
  if (!receiver || !hook ||
      !PostMessageW(target, RegisterWindowMessageW(kCaptionProbeMessage),
                    reinterpret_cast<WPARAM>(receiver), MAKELPARAM(to, from))) {
    printError(u"cannot hook the window's thread");
    return 1;
  }
  const DWORD asked = GetTickCount();
  while (!answer.received) {
    const DWORD waited = GetTickCount() - asked;
    if (waited >= kAnswerMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kAnswerMs - waited, QS_ALLINPUT);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  UnhookWindowsHookEx(hook);
  if (!answer.received) {
    printError(u"no answer from the window");
    return 3;
  }
  std::size_t start = 0;
  while (start < answer.text.size()) {
    const std::size_t end = answer.text.find(u'\n', start);
    printLine(std::u16string_view(answer.text).substr(start, end - start));
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  return 0;
}
