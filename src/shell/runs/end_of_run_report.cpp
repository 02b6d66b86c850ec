#include "shell/runs/end_of_run_report.h"

#include <array>
#include <cstdint>
#include <utility>

#include "report/report_layout.h"
#include "shell/msg_box.h"
#include "support/failure.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr std::int32_t kShowNormal = 1;  // SW_SHOWNORMAL

}  // namespace

std::u16string statisticsMessage(const RunStatistics& counters, const Translation& messages,
                                 std::u16string_view backupFolder) {
  const std::array<std::pair<Msg, std::int32_t>, 7> shown{
      {{Msg::kSummaryCured, counters.Cured},
       {Msg::kSummaryDeleted, counters.Deleted},
       {Msg::kSummaryRenamed, counters.Renamed},
       {Msg::kSummaryOmitted, counters.Omitted},
       {Msg::kSummaryBlocked, counters.Blocked},
       {Msg::kSummaryWarnings, counters.Warnings},
       {Msg::kSummaryErrors, counters.Errors}}};
  std::u16string text = messages.msg(Msg::kPressOk);
  text += kCrLf;
  text += kCrLf;
  text += messages.msg(Msg::kSummaryTitle);
  text += kCrLf;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto& [label, value] = shown[i];
    if (value == 0) continue;
    text += messages.msg(label);
    text += toDecimal(value);
    if (i + 1 < shown.size()) text += kCrLf;
  }
  if (!backupFolder.empty()) {
    if (!text.ends_with(kCrLf)) text += kCrLf;
    text += kCrLf;
    text += messages.msg(Msg::kBackupsKeptIn);
    text += kCrLf;
    text += backupFolder;
  }
  return text;
}

std::u16string explorerSelectParameters(std::u16string_view reportPath) {
  std::u16string parameters = u"/select, \"";
  parameters += reportPath;
  parameters += u'"';
  return parameters;
}

void ReportMSG(const EndOfRunReport& parts, const RunStatistics& counters,
               std::u16string_view reportPath, std::u16string_view backupFolder,
               platform::WindowHandle owner) {
  ignoringFailures([&] { parts.ports.ui.setStatus(parts.messages.msg(Msg::kReady)); });
  ignoringFailures([&] {
    MsgBoxW(parts.ports.ui, statisticsMessage(counters, parts.messages, backupFolder),
            msg_flags::kInformation);
  });
  ignoringFailures([&] {
    const std::u16string explorer = parts.windowsFolder + u"\\explorer.exe";
    if (parts.windowsFolder.empty() || !parts.files.isFileExists(explorer)) return;
    platform::ShellExecuteRequest request;
    request.window = owner;
    request.verb = u"open";
    request.file = explorer;
    request.parameters = explorerSelectParameters(reportPath);
    request.show = kShowNormal;
    (void)parts.ports.shellOps.shellExecuteEx(request);
  });
}

}  // namespace tolvaran
