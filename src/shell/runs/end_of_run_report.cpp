#include "shell/runs/end_of_run_report.h"

#include <array>
#include <cstdint>
#include <utility>

#include "report/report_layout.h"
#include "shell/msg_box.h"
#include "shell/runs/window_steps.h"
#include "support/text.h"

namespace tolvaran {
namespace {

constexpr int kMsgReady = 6;
constexpr int kMsgStatisticsTitle = 8;
constexpr int kMsgPressOk = 16;
constexpr std::int32_t kShowNormal = 1;  // SW_SHOWNORMAL

}  // namespace

std::u16string statisticsMessage(const RunStatistics& counters, const Translation& messages) {
  const std::array<std::pair<int, std::int32_t>, 7> shown{{{9, counters.Cured},
                                                           {10, counters.Deleted},
                                                           {11, counters.Renamed},
                                                           {12, counters.Omitted},
                                                           {13, counters.Blocked},
                                                           {14, counters.Warnings},
                                                           {15, counters.Errors}}};
  std::u16string text = messages.msg(kMsgPressOk);
  text += kCrLf;
  text += kCrLf;
  text += messages.msg(kMsgStatisticsTitle);
  text += kCrLf;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto& [label, value] = shown[i];
    if (value == 0) continue;
    text += messages.msg(label);
    text += toDecimal(value);
    if (i + 1 < shown.size()) text += kCrLf;
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
               std::u16string_view reportPath, platform::WindowHandle owner) {
  SilentRecorder silent;
  const auto context = [] { return ErrorContext(u"frmMain.ReportMSG"); };
  (void)guardedStep(
      silent, [&] { parts.ports.ui.setStatus(parts.messages.msg(kMsgReady)); }, context);
  (void)guardedStep(
      silent,
      [&] {
        (void)MsgBoxW(parts.ports.ui, statisticsMessage(counters, parts.messages),
                      msg_flags::kInformation);
      },
      context);
  (void)guardedStep(
      silent,
      [&] {
        const std::u16string explorer = parts.windowsFolder + u"\\explorer.exe";
        if (parts.windowsFolder.empty() || !parts.files.isFileExists(explorer)) return;
        platform::ShellExecuteRequest request;
        request.window = owner;
        request.verb = u"open";
        request.file = explorer;
        request.parameters = explorerSelectParameters(reportPath);
        request.show = kShowNormal;
        (void)parts.ports.shellOps.shellExecuteEx(request);
      },
      context);
}

}  // namespace tolvaran
