#include "simrun/outcome_text.h"

#include "support/text.h"

namespace tolvaran::simrun {
namespace {

// Each line of a multi-line text, indented.
void addIndented(std::string& out, std::u16string_view text, const char* indent) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(u"\r\n", start);
    if (end == std::u16string_view::npos) end = text.size();
    out += indent;
    out += utf16ToUtf8(text.substr(start, end - start));
    out += '\n';
    start = end + 2;
  }
}

}  // namespace

std::string dialogFlagsText(std::uint32_t flags) {
  std::string text = std::to_string(flags);
  if ((flags & 0xF) == platform::mb::kYesNo) text += " Yes/No";
  switch (flags & 0xF0) {
    case platform::mb::kIconWarning: text += " warning"; break;
    case platform::mb::kIconInformation: text += " information"; break;
    case platform::mb::kIconError: text += " error"; break;
    case platform::mb::kIconQuestion: text += " question"; break;
    default: break;
  }
  return text;
}

std::string answerText(int answer) {
  switch (answer) {
    case platform::id::kOk: return "OK";
    case platform::id::kCancel: return "Cancel";
    case platform::id::kYes: return "Yes";
    case platform::id::kNo: return "No";
    default: return std::to_string(answer);
  }
}

std::string outcomeText(const SessionOutcome& outcome, const OutcomeTextOptions& options) {
  std::string out;
  for (std::size_t i = 0; i < outcome.runs.size(); ++i) {
    const RunOutcome& run = outcome.runs[i];
    out += "== Run " + std::to_string(i + 1) + ": " + run.kind + " ==\n";
    if (options.reports) {
      if (run.reportBytes) {
        out += "-- Report " + utf16ToUtf8(run.reportPath) + " --\n";
        out += utf16ToUtf8(replaceAll(run.report, u"\r\n", u"\n"));
        out += "\n";
      } else {
        out += "-- No report left --\n";
      }
    }
    if (!options.details) continue;
    out += "-- Message boxes --\n";
    for (const ShownDialog& dialog : run.dialogs) {
      out += "  [" + dialogFlagsText(dialog.flags) + "] -> " + answerText(dialog.answer) + "\n";
      addIndented(out, dialog.text, "    ");
    }
    out += "-- Status --\n";
    for (const std::u16string& status : run.statuses) out += "  " + utf16ToUtf8(status) + "\n";
    if (!run.opened.empty()) {
      out += "-- Opened --\n";
      for (const std::u16string& opened : run.opened) out += "  " + utf16ToUtf8(opened) + "\n";
    }
  }
  if (options.details) {
    out += "== Machine ==\n";
    for (const std::string& change : outcome.changes) out += "  " + change + "\n";
    if (outcome.changes.empty()) out += "  (no change)\n";
    out += "== Originals kept ==\n";
    for (const std::u16string& backup : outcome.backups) out += "  " + utf16ToUtf8(backup) + "\n";
    if (outcome.backups.empty()) out += "  (none)\n";
    if (outcome.exitCode)
      out += "== Program ended, exit code " + std::to_string(*outcome.exitCode) + " ==\n";
    if (outcome.windowClosed) out += "== Window closed ==\n";
  }
  for (const std::string& problem : outcome.problems) out += "!! " + problem + "\n";
  return out;
}

}  // namespace tolvaran::simrun
