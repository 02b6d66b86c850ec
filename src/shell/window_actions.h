#pragma once
// What the main window's buttons and closing do, apart from the window: the
// window only reads its controls and the clipboard and calls these, so that
// every decision is tested on the simulated machine.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "shell/runs/cure_runs.h"
#include "shell/runs/main_view.h"
#include "shell/runs/program.h"

namespace tolvaran {

// The text of a clipboard block in the Unicode text format: at most as many
// UTF-16 code units as fit in its bytes (an odd last byte is dropped),
// stopping at the first NUL. A block without a NUL gives all it holds.
[[nodiscard]] std::u16string unicodeBlockText(std::span<const std::byte> block);

// The edit box's new text after pasting `clipboard` with the Paste button:
// the clipboard text alone when the box is empty or shows the hint;
// otherwise the current text, a line break unless it already ends with one,
// and the clipboard text. Nothing changes for an empty clipboard.
[[nodiscard]] std::optional<std::u16string> pastedText(std::u16string_view current,
                                                       std::u16string_view hint,
                                                       std::u16string_view clipboard);

// The About text: message 017, the version, a blank line, message 018 and
// the credit line (message 024).
[[nodiscard]] std::u16string aboutText(const Translation& messages, std::u16string_view version);

// The Open-log button: the last report opened with its associated program,
// or message 019 when there is none (before the first run, or after a run
// that found nothing and deleted its report).
void cbOpenLog_Click(Program& program, CureRuns& runs, MainView& view);
// The About button.
void cbAbout_Click(Program& program, CureRuns& runs, MainView& view);
// The Paste button: the clipboard's text into the edit box (pastedText),
// the window's own edit-box handling held off meanwhile.
void cmd_Paste_Click(Program& program, CureRuns& runs, MainView& view);

// The closing steps that concern the program's files: the error log is
// closed and, when nothing was ever written to it, deleted (the shell is
// told). A log with failures in it stays for the user to send.
void closeProgramFiles(Program& program);

}  // namespace tolvaran
