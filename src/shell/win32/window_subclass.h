#pragma once
// Watching a window's messages through the system's subclassing service
// (SetWindowSubclass of the common controls): the object itself is the
// reference data, so no code is generated at run time and no executable
// memory is needed. While paused, every message takes the default path.
#include "platform/win32/windows_gateway.h"

namespace tolvaran::win32 {

class SubclassHandler {
 public:
  virtual ~SubclassHandler() = default;
  // One message of the watched window. `useDefault` arrives true; left true,
  // the default handling runs and its result is returned instead.
  virtual LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          bool& useDefault) = 0;
};

class clsBrenloSubclass2 {
 public:
  explicit clsBrenloSubclass2(SubclassHandler& handler) noexcept : handler_(handler) {}
  ~clsBrenloSubclass2() { UnHook(); }
  clsBrenloSubclass2(const clsBrenloSubclass2&) = delete;
  clsBrenloSubclass2& operator=(const clsBrenloSubclass2&) = delete;

  // Installs on `window`, first removing an earlier installation (and
  // giving up when that fails).
  bool Hook(HWND window) noexcept;
  bool UnHook() noexcept;
  // Report whether they changed the state; false when not installed.
  bool PauseSubclass() noexcept;
  bool ResumeSubclass() noexcept;
  // The default handling of a message, now. Only valid inside WndProc.
  LRESULT CallDef(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  [[nodiscard]] HWND hWnd() const noexcept { return window_; }
  [[nodiscard]] bool IsSubclassed() const noexcept { return window_ != nullptr; }
  [[nodiscard]] bool IsPaused() const noexcept { return paused_; }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR id, DWORD_PTR self);
  [[nodiscard]] UINT_PTR id() const noexcept { return reinterpret_cast<UINT_PTR>(this); }

  SubclassHandler& handler_;
  HWND window_ = nullptr;
  bool paused_ = false;
};

}  // namespace tolvaran::win32
