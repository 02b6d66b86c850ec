#pragma once
// A whole session of the program on a simulated machine described in JSON:
// the machine is planted, the program built as start-up builds it, and the
// scenario's runs performed one after the other, as a user would:
//
//   "run": {"kind": "paste", "text": "..."}        the text (or "lines") into the
//                                                  edit box, then Cure
//          {"kind": "cure"}                        Cure over whatever the box holds
//          {"kind": "file", "path": "..."}         a file dropped on the program file:
//                                                  the program started with its path
//          {"kind": "drop", "paths": [...]}        files dropped on the window
//          {"kind": "commandLine", "line": "..."}  the program started with these
//                                                  arguments ("raw": true: the whole
//                                                  command line, program path first)
//   or a list of them; "dialogs": the answers to the message boxes, in order.
//   "program": {"folder", "version", "language"} and "clock" (the local time of
//   the first run, "2026-12-07 10:00") are optional.
//
// What each run left is collected: the report it wrote, the message boxes,
// the status texts, what it opened; and over the whole session what changed
// on the disk and which originals were kept.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simrun/machine_description.h"

namespace tolvaran::simrun {

struct ShownDialog {
  std::u16string text;
  std::uint32_t flags = 0;
  int answer = 0;
};

struct RunOutcome {
  std::string kind;
  // The report this run left on the disk, as bytes and without its
  // byte-order mark as text; nothing when it left none.
  std::optional<std::string> reportBytes;
  std::u16string report;
  std::u16string reportPath;
  std::vector<ShownDialog> dialogs;
  std::vector<std::u16string> statuses;
  // What the run asked the shell to open: verb, file and parameters.
  std::vector<std::u16string> opened;
  std::u16string editBox;  // afterwards
  std::uint32_t dropReleases = 0;
};

struct SessionOutcome {
  std::vector<RunOutcome> runs;
  std::vector<std::string> changes;
  // The kept originals, as their paths inside the backup folders.
  std::vector<std::u16string> backups;
  // The program ended (the start-up run with files, a declined repeat).
  std::optional<std::uint32_t> exitCode;
  bool windowClosed = false;
  // Message boxes without the program's title, a drop not released once,
  // an unreadable description.
  std::vector<std::string> problems;
};

inline constexpr std::u16string_view kSimProgramFolder = u"C:\\Tools";

SessionOutcome runSession(const Json& scenario);

// The scenario's runs: "run" as one object or a list.
std::vector<Json> runsOf(const Json& scenario);

}  // namespace tolvaran::simrun
