#pragma once
// The program's one window: a multi-line Unicode edit box for the list, the
// four buttons, the status line and the version label over a background
// picture. Its own procedure paints, drags the window by its background
// and labels, runs the start-up timer and closes; what the user asks for
// (buttons, focus on the hint, drops, the edit box's keys and clipboard)
// arrives through two subclasses, installed once the window is
// interactive. Every decision is made by CureRuns and the window actions.
#include "platform/win32/windows_gateway.h"

#include <cstdint>
#include <functional>
#include <string>

#include "shell/runs/cure_runs.h"
#include "shell/single_instance.h"
#include "shell/startup.h"
#include "shell/win32/window_subclass.h"
#include "shell/win32/window_ui.h"
#include "shell/window_layout.h"

namespace tolvaran::win32 {

// The window class; tools find the window by its title, kAppTitle.
inline constexpr wchar_t kMainWindowClass[] = L"TolvaranMainWindow";

class MainWindow final : public MainView, public StartupWindow {
 public:
  MainWindow(HINSTANCE module, Program& program, SingleInstance& instance, WindowUi& ui);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // StartupWindow: the window, hidden, with its labels, edit box and
  // buttons, dropped files accepted; 245/255 opaque with the accept-files
  // style once layered; the timer fires 100 ms after it is started.
  MainView& view() noexcept override { return *this; }
  bool create() override;
  CureRuns& runs() noexcept override { return runs_; }
  [[nodiscard]] HWND window() const noexcept { return window_; }
  void CenterForm() override;
  void makeLayered() override;
  void allowDropsFromLowerIntegrity() override;
  void setVersionLabel(std::u16string_view text) override;
  void showInForeground() override;
  void startTimer(std::function<void()> firstTick) override;
  // Without asking a run in progress (the window's close button waits for it).
  void unload() override;
  int messageLoop() override;

  // MainView
  std::u16string txtLNK_GetText() override;
  void txtLNK_SetText(std::u16string_view text) override;
  WindowPosition position() override;
  void applyLanguage(const Translation& messages) override;
  void installSubclasses() override;
  void Finalize() override;
  void close() override { unload(); }
  platform::WindowHandle handle() override;
  std::u16string clipboardText(FailureRecorder& recorder) override;
  void pauseSubclasses() override;
  void resumeSubclasses() override;

 private:
  // Forwards one subclass's messages to the window's handler for it.
  class Forward final : public SubclassHandler {
   public:
    using Handler = LRESULT (MainWindow::*)(HWND, UINT, WPARAM, LPARAM, bool&);
    Forward(MainWindow& owner, Handler handler) noexcept : owner_(owner), handler_(handler) {}
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                    bool& useDefault) override {
      return (owner_.*handler_)(window, message, wParam, lParam, useDefault);
    }

   private:
    MainWindow& owner_;
    Handler handler_;
  };

  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void createControls();
  void fitToDpi();
  void layoutControls();
  void createBackdrop();
  void setStatusText(std::u16string_view text);
  void paintBackground(HDC dc);
  LRESULT colourLabel(HDC dc, HWND label);

  // The two subclasses' messages (main_window_messages.cpp).
  LRESULT SubClassingMain_WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  bool& useDefault);
  LRESULT SubClassingEditBox_WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     bool& useDefault);

  HINSTANCE module_;
  Program& program_;
  SingleInstance& instance_;
  WindowUi& ui_;
  CureRuns runs_;
  HWND window_ = nullptr;
  HWND editBox_ = nullptr;
  HWND buttons_[kButtonCount] = {};
  HWND statusCaption_ = nullptr;
  HWND status_ = nullptr;
  HWND version_ = nullptr;
  HFONT font_ = nullptr;
  HBITMAP backdrop_ = nullptr;
  HBRUSH backdropBrush_ = nullptr;
  int dpi_ = 96;
  Forward mainForward_{*this, &MainWindow::SubClassingMain_WndProc};
  Forward editForward_{*this, &MainWindow::SubClassingEditBox_WndProc};
  clsBrenloSubclass2 SubClassingMain{mainForward_};
  clsBrenloSubclass2 SubClassingEditBox{editForward_};
  WindowDrag drag_;
  std::function<void()> firstTick_;
  // A drop the main subclass processed: the window's own procedure must
  // not release its handle a second time.
  bool dropHandled_ = false;
  bool unloaded_ = false;
};

}  // namespace tolvaran::win32
