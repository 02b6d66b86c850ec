// What the main window does with the messages its two subclasses watch:
// the buttons, the focus on the hint, drops, and the edit box's select-all,
// copy and paste.
#include "platform/win32/windows_gateway.h"

#include <commctrl.h>

#include "shell/runs/window_steps.h"
#include "shell/win32/clipboard.h"
#include "shell/win32/dropped_files.h"
#include "shell/win32/main_window.h"
#include "shell/window_actions.h"

namespace tolvaran::win32 {

LRESULT MainWindow::SubClassingMain_WndProc(HWND, UINT message, WPARAM wParam, LPARAM,
                                            bool& useDefault) {
  switch (message) {
    case WM_MOVE: runs_.recordRestPosition(position()); return 0;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      const WORD notification = HIWORD(wParam);
      if (notification == BN_CLICKED) {
        useDefault = false;
        switch (id) {
          case control_id::kPaste: cmd_Paste_Click(program_, runs_, *this); break;
          case control_id::kCure: runs_.cbRun_Click(); break;
          case control_id::kOpenLog: cbOpenLog_Click(program_, runs_, *this); break;
          case control_id::kAbout: cbAbout_Click(program_, runs_, *this); break;
          default: break;
        }
        return 0;
      }
      if (notification == EN_SETFOCUS && id == control_id::kEditBox) {
        useDefault = false;
        // The hint goes as soon as the user is about to type.
        if (txtLNK_GetText() == runs_.hintText()) txtLNK_SetText(u"");
        return 0;
      }
      return 0;
    }
    case WM_DROPFILES: {
      // Message boxes and repaints during the run take the default path.
      pauseSubclasses();
      Win32DroppedFiles drop(wParam);
      runs_.ProcessHDrop(drop);
      resumeSubclasses();
      dropHandled_ = true;
      return 0;
    }
    default: return 0;
  }
}

LRESULT MainWindow::SubClassingEditBox_WndProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, bool& useDefault) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == 'A' && ::GetKeyState(VK_CONTROL) < 0) {
        useDefault = false;
        ::SendMessageW(window, EM_SETSEL, 0, -1);
      }
      return 0;
    case WM_COPY: {
      const LRESULT copied = SubClassingEditBox.CallDef(window, message, wParam, lParam);
      useDefault = !addRussianLocale(window);
      return copied;
    }
    case WM_PASTE: {
      WindowStepRecorder recorder(program_.errors(), program_.ports().system,
                                  program_.ports().clock);
      const std::u16string text = GetClipboard_UnicodeText(recorder);
      if (!text.empty()) {
        useDefault = false;
        ::SendMessageW(window, EM_REPLACESEL, TRUE,
                       reinterpret_cast<LPARAM>(platform::win32::toWide(text).c_str()));
      }
      return 0;
    }
    default: return 0;
  }
}

std::u16string MainWindow::clipboardText(FailureRecorder& recorder) {
  return GetClipboard_UnicodeText(recorder);
}

}  // namespace tolvaran::win32
