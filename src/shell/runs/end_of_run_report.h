#pragma once
// The end of a successful run: the status says so, a message box shows the
// counters that moved, and Explorer opens on the folder of the report with
// the report selected, ready to be attached to a request for help.
#include <string>
#include <string_view>

#include "fileops/mod_file.h"
#include "platform/ports.h"
#include "report/run_statistics.h"
#include "system/translation.h"

namespace tolvaran {

// Message 016, a blank line, message 008, then one line per counter that is
// not 0 (Cured, Deleted, Renamed, Omitted, Blocked, Warnings, Errors), each a
// label and the value, every line but the Errors line ending in CR LF. The
// total is not shown. When the run kept originals, a blank line and the
// folder that holds them follow.
std::u16string statisticsMessage(const RunStatistics& counters, const Translation& messages,
                                 std::u16string_view backupFolder = {});

// What Explorer is asked to do: select the report in its folder.
std::u16string explorerSelectParameters(std::u16string_view reportPath);

struct EndOfRunReport {
  platform::Ports ports;
  const Translation& messages;
  modFile& files;
  std::u16string windowsFolder;  // SysRoot
};

// Status 006, the statistics message, Explorer on the report when the
// Windows folder holds explorer.exe. A step that fails is skipped silently.
void ReportMSG(const EndOfRunReport& parts, const RunStatistics& counters,
               std::u16string_view reportPath, std::u16string_view backupFolder,
               platform::WindowHandle owner);

}  // namespace tolvaran
