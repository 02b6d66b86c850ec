#pragma once
// What the runs ask of the main window, so that every run can be driven
// without one. Message boxes, the status label and message pumping go
// through the Ui port, which the window implements as well (the engine
// reports its waits there too).
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/processes.h"
#include "support/failure.h"
#include "system/translation.h"

namespace tolvaran {

// The window's Left and Top, in twips.
struct WindowPosition {
  float left = 0.0f;
  float top = 0.0f;
};

class MainView {
 public:
  virtual ~MainView() = default;

  // The edit box's whole text, up to its first NUL.
  virtual std::u16string txtLNK_GetText() = 0;
  // Replaces the edit box's whole content (and its undo buffer).
  virtual void txtLNK_SetText(std::u16string_view text) = 0;
  virtual WindowPosition position() = 0;
  // Button captions and labels from the language table just loaded.
  virtual void applyLanguage(const Translation& messages) = 0;
  // The edit-box and main-window subclasses: the window is interactive.
  virtual void installSubclasses() = 0;
  // Removes the subclasses and lets the single-instance mutex go.
  virtual void Finalize() = 0;
  // Closes the window through its ordinary closing steps. A run calls it as
  // its very last act; the window may go, but not the objects under it,
  // before that call returns.
  virtual void close() = 0;
  // The owner of what the runs open (Explorer on the report).
  virtual platform::WindowHandle handle() = 0;
  // The clipboard's text (Unicode); empty when it cannot be read or holds
  // none. Failures are recorded through `recorder`.
  virtual std::u16string clipboardText(FailureRecorder& recorder) = 0;
  // The window's own handling of the edit box (its subclasses) held off
  // while a button changes the box's text, and back on.
  virtual void pauseSubclasses() = 0;
  virtual void resumeSubclasses() = 0;
};

// The files of one drop, as the shell hands them over (DragQueryFileW,
// DragFinish). The handle must be released exactly once, processed or not.
class DroppedFiles {
 public:
  virtual ~DroppedFiles() = default;
  // DragQueryFileW with the index 0xFFFFFFFF: how many files.
  virtual std::uint32_t fileCount() = 0;
  // DragQueryFileW without a buffer: the length of a name, 0 for a bad index.
  virtual std::uint32_t nameLength(std::uint32_t index) = 0;
  // DragQueryFileW into a buffer of `bufferChars` characters: the buffer as
  // filled (the name, its NUL and whatever follows).
  virtual std::u16string name(std::uint32_t index, std::uint32_t bufferChars) = 0;
  // DragFinish.
  virtual void finish() = 0;
};

}  // namespace tolvaran
