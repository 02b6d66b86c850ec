#include "shell/win32/system_calls.h"

namespace tolvaran::win32 {

using platform::win32::systemFunction;

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

}  // namespace tolvaran::win32
