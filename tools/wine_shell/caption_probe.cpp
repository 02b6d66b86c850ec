// Measures the main window's captions from inside Tolvaran.exe, the one
// place where they can be measured in the font the controls really draw
// with: a font handle means nothing in another process, and Wine does not
// pass WM_GETFONT between processes. On the probe message (see
// caption_probe.h) it sends the window WM_DPICHANGED when asked to, with
// the rectangle Windows would suggest (the window scaled about its corner),
// then reports, one line per visible control and tab-separated:
//   window  dpi=D size=W,H client=W,H
//   control id=N class=C font=LFHEIGHT extent=W,H client=W,H text=T
// `dpi` is what GetDpiForWindow says (0 where it is missing), `size` the
// window's outer size; `extent` is the text on one line in the control's
// own font (WM_GETFONT), `font` that font's height as created, `client`
// the control's client area.
#include "wine_shell/caption_probe.h"

#include <string>
#include <vector>

namespace {

std::wstring number(long value) {
  return std::to_wstring(value);
}

std::wstring pair(long a, long b) {
  return number(a) + L"," + number(b);
}

std::wstring windowText(HWND window) {
  std::vector<wchar_t> buffer(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int copied = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

std::wstring controlLine(HWND control) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW logFont{};
  if (!font || !GetObjectW(font, sizeof(logFont), &logFont)) logFont.lfHeight = 0;
  const std::wstring text = windowText(control);
  SIZE extent{};
  if (HDC dc = GetDC(control)) {
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
  }
  RECT client{};
  GetClientRect(control, &client);
  wchar_t className[64] = {};
  GetClassNameW(control, className, 64);
  std::wstring oneLine;
  for (wchar_t c : text) oneLine += (c == L'\r' || c == L'\n' || c == L'\t') ? L' ' : c;
  return L"control\tid=" + number(GetDlgCtrlID(control)) + L"\tclass=" + className + L"\tfont=" +
         number(logFont.lfHeight) + L"\textent=" + pair(extent.cx, extent.cy) + L"\tclient=" +
         pair(client.right, client.bottom) + L"\ttext=" + oneLine + L"\n";
}

BOOL CALLBACK addControl(HWND control, LPARAM lines) {
  if (IsWindowVisible(control)) *reinterpret_cast<std::wstring*>(lines) += controlLine(control);
  return TRUE;
}

std::wstring measure(HWND window) {
  using GetDpiForWindow = UINT(WINAPI*)(HWND);
  const auto forWindow =
      tolvaran::platform::win32::systemFunction<GetDpiForWindow>(L"user32.dll", "GetDpiForWindow");
  RECT frame{};
  GetWindowRect(window, &frame);
  RECT client{};
  GetClientRect(window, &client);
  std::wstring lines = L"window\tdpi=" +
                       number(forWindow ? static_cast<long>(forWindow(window)) : 0) + L"\tsize=" +
                       pair(frame.right - frame.left, frame.bottom - frame.top) + L"\tclient=" +
                       pair(client.right, client.bottom) + L"\n";
  EnumChildWindows(window, addControl, reinterpret_cast<LPARAM>(&lines));
  return lines;
}

void changeDpi(HWND window, UINT from, UINT to) {
  RECT suggested{};
  GetWindowRect(window, &suggested);
  suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, static_cast<int>(to),
                                            static_cast<int>(from));
  suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, static_cast<int>(to),
                                            static_cast<int>(from));
  constexpr UINT kWmDpiChanged = 0x02E0;
  SendMessageW(window, kWmDpiChanged, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    probeCaptions(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT probe = RegisterWindowMessageW(tolvaran::wine_tool::kCaptionProbeMessage);
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == probe) {
    const auto receiver = reinterpret_cast<HWND>(message->wParam);
    const UINT to = LOWORD(message->lParam);
    const UINT from = HIWORD(message->lParam);
    message->message = WM_NULL;
    if (from != 0) changeDpi(message->hwnd, from, to);
    const std::wstring lines = measure(message->hwnd);
    COPYDATASTRUCT data{};
    data.cbData = static_cast<DWORD>(lines.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(lines.data());
    SendMessageTimeoutW(receiver, WM_COPYDATA, reinterpret_cast<WPARAM>(message->hwnd),
                        reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000, nullptr);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
