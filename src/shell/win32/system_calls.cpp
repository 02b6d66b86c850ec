#include "shell/win32/system_calls.h"

namespace tolvaran::win32 {
namespace {

using platform::win32::loadSystemLibrary;
using platform::win32::moduleFunction;
using platform::win32::systemFunction;

constexpr int kBaseDpi = 96;

// NONCLIENTMETRICSW as Vista and later lay it out (the XP headers leave off
// the last field): the size the call for a given resolution expects.
struct NonClientMetricsVista {
  NONCLIENTMETRICSW metrics;
  int paddedBorderWidth;
};

}  // namespace

bool allowMessageFromLowerIntegrity(HWND window, UINT message) {
  using FilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  using Filter = BOOL(WINAPI*)(UINT, DWORD);
  constexpr DWORD kMsgFltAllow = 1;  // MSGFLT_ALLOW
  constexpr DWORD kMsgFltAdd = 1;    // MSGFLT_ADD
  if (const auto filterEx =
          systemFunction<FilterEx>(L"user32.dll", "ChangeWindowMessageFilterEx")) {
    return filterEx(window, message, kMsgFltAllow, nullptr) != FALSE;
  }
  if (const auto filter = systemFunction<Filter>(L"user32.dll", "ChangeWindowMessageFilter")) {
    return filter(message, kMsgFltAdd) != FALSE;
  }
  return false;
}

bool setAppUserModelId(std::u16string_view id) {
  using SetId = HRESULT(WINAPI*)(const wchar_t*);
  const auto set = systemFunction<SetId>(L"shell32.dll", "SetCurrentProcessExplicitAppUserModelID");
  return set && SUCCEEDED(set(platform::win32::toWide(id).c_str()));
}

int dpiOfWindow(HWND window) {
  using GetDpiForWindow = UINT(WINAPI*)(HWND);
  if (const auto forWindow = systemFunction<GetDpiForWindow>(L"user32.dll", "GetDpiForWindow")) {
    if (const UINT dpi = forWindow(window)) return static_cast<int>(dpi);
  }
  using GetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
  platform::Win32Code code = 0;
  const platform::win32::ScopedLibrary shcore = loadSystemLibrary(L"shcore.dll", code);
  if (const auto forMonitor = moduleFunction<GetDpiForMonitor>(shcore.get(), "GetDpiForMonitor")) {
    UINT x = 0;
    UINT y = 0;
    if (SUCCEEDED(forMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi,
                             &x, &y)) &&
        x > 0) {
      return static_cast<int>(x);
    }
  }
  return systemDpi();
}

int systemDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : kBaseDpi;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kBaseDpi;
}

void adjustWindowRectForDpi(RECT& client, DWORD style, DWORD extendedStyle, int dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  if (const auto adjust = systemFunction<AdjustForDpi>(L"user32.dll", "AdjustWindowRectExForDpi")) {
    if (adjust(&client, style, FALSE, extendedStyle, static_cast<UINT>(dpi))) return;
  }
  ::AdjustWindowRectEx(&client, style, FALSE, extendedStyle);
}

HFONT createMessageFont(int dpi) {
  using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  if (const auto forDpi =
          systemFunction<ParametersForDpi>(L"user32.dll", "SystemParametersInfoForDpi")) {
    NonClientMetricsVista vista{};
    vista.metrics.cbSize = sizeof(vista);
    if (forDpi(SPI_GETNONCLIENTMETRICS, sizeof(vista), &vista, 0, static_cast<UINT>(dpi))) {
      return ::CreateFontIndirectW(&vista.metrics.lfMessageFont);
    }
  }
  NONCLIENTMETRICSW metrics{};
  // The size of the structure as XP knows it, which every later Windows accepts.
  metrics.cbSize = sizeof(metrics);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return nullptr;
  }
  LOGFONTW& font = metrics.lfMessageFont;
  font.lfHeight = ::MulDiv(font.lfHeight, dpi, systemDpi());
  return ::CreateFontIndirectW(&font);
}

}  // namespace tolvaran::win32
