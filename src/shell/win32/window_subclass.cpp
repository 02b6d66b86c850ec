#include "shell/win32/window_subclass.h"

#include "platform/win32/windows_gateway.h"

#include <commctrl.h>

namespace tolvaran::win32 {

bool clsBrenloSubclass2::Hook(HWND window) noexcept {
  if (IsSubclassed() && !UnHook()) return false;
  if (!window ||
      !::SetWindowSubclass(window, &procedure, id(), reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  window_ = window;
  paused_ = false;
  return true;
}

bool clsBrenloSubclass2::UnHook() noexcept {
  if (!IsSubclassed()) return false;
  if (!::RemoveWindowSubclass(window_, &procedure, id())) return false;
  window_ = nullptr;
  paused_ = false;
  return true;
}

bool clsBrenloSubclass2::PauseSubclass() noexcept {
  if (!IsSubclassed() || paused_) return false;
  paused_ = true;
  return true;
}

bool clsBrenloSubclass2::ResumeSubclass() noexcept {
  if (!IsSubclassed() || !paused_) return false;
  paused_ = false;
  return true;
}

LRESULT clsBrenloSubclass2::CallDef(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK clsBrenloSubclass2::procedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  auto& subclass = *reinterpret_cast<clsBrenloSubclass2*>(self);
  if (message == WM_NCDESTROY) {
    // The window goes: the installation goes with it.
    ::RemoveWindowSubclass(window, &procedure, subclass.id());
    subclass.window_ = nullptr;
    subclass.paused_ = false;
    return ::DefSubclassProc(window, message, wParam, lParam);
  }
  if (subclass.paused_) return ::DefSubclassProc(window, message, wParam, lParam);
  bool useDefault = true;
  LRESULT result = 0;
  try {
    result = subclass.handler_.WndProc(window, message, wParam, lParam, useDefault);
  } catch (...) {
    // A handler's failure must not cross the system's callback.
    useDefault = true;
  }
  return useDefault ? ::DefSubclassProc(window, message, wParam, lParam) : result;
}

}  // namespace tolvaran::win32
