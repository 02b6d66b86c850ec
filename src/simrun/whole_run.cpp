#include "simrun/whole_run.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <utility>

#include "report/data_folder.h"
#include "shell/msg_box.h"
#include "shell/runs/cure_runs.h"
#include "shell/startup.h"
#include "shortcut/codec_shell_link.h"
#include "shortcut/lnk_ansi.h"
#include "simrun/machine_changes.h"
#include "simrun/sim_window.h"
#include "support/civil_date.h"

namespace tolvaran::simrun {
namespace {

constexpr std::uint64_t kMinute = 60ull * 1000;
constexpr std::u16string_view kDefaultVersion = u"1.0.0.0";
constexpr char kDefaultClock[] = "2026-12-07 10:00";

// "2026-12-07 10:00": the local time of the first run; the machine's old
// files were planted "ageDays" before it.
void setClock(platform::sim::SimMachine& machine, const Json& scenario) {
  const std::string when = scenario.value("clock", std::string(kDefaultClock));
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (std::sscanf(when.c_str(), "%u-%u-%u %u:%u", &year, &month, &day, &hour, &minute) != 5) {
    throw std::runtime_error("clock: " + when);
  }
  const std::int64_t ageDays = scenario.value("ageDays", 30);
  const CivilDate planted = civilFromDays(daysFromCivil(year, month, day) - ageDays);
  platform::SystemTime time;
  time.year = static_cast<std::uint16_t>(planted.year);
  time.month = static_cast<std::uint16_t>(planted.month);
  time.day = static_cast<std::uint16_t>(planted.day);
  time.hour = static_cast<std::uint16_t>(hour);
  time.minute = static_cast<std::uint16_t>(minute);
  if (!machine.clock().setLocalTime(time)) throw std::runtime_error("clock: " + when);
}

std::u16string joined(const Json& lines) {
  std::u16string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) text += u"\r\n";
    text += simrun::text(lines[i]);
  }
  return text;
}

std::u16string environment(platform::System& system, std::u16string_view name) {
  auto value = system.getEnvironmentVariable(name);
  return value.ok() ? value.value : std::u16string();
}

std::vector<std::u16string> rootsOf(const Json& scenario) {
  std::vector<std::u16string> roots{u"C:"};
  for (const Json& volume : scenario.value("volumes", Json::array())) {
    std::u16string root = text(volume);
    while (root.ends_with(u'\\')) root.pop_back();
    roots.push_back(root);
  }
  return roots;
}

// Performs one run the user starts at the window; the end of the program
// unwinds out of it.
void perform(const Json& run, CureRuns& runs, SimMainView& view, RunOutcome& outcome) {
  const std::string& kind = outcome.kind;
  if (kind == "paste") {
    view.editBox = run.contains("lines") ? joined(run.at("lines")) : text(run, "text");
    runs.cbRun_Click();
  } else if (kind == "cure") {
    runs.cbRun_Click();
  } else if (kind == "drop") {
    std::vector<std::u16string> paths;
    for (const Json& path : run.at("paths")) paths.push_back(text(path));
    SimDroppedFiles drop(std::move(paths));
    try {
      runs.ProcessHDrop(drop);
    } catch (...) {
      outcome.dropReleases = drop.finishCount;
      throw;
    }
    outcome.dropReleases = drop.finishCount;
  } else {
    throw std::runtime_error("unknown run kind " + kind);
  }
}

}  // namespace

std::vector<Json> runsOf(const Json& scenario) {
  if (!scenario.contains("run")) return {};
  const Json& run = scenario.at("run");
  if (run.is_array()) return std::vector<Json>(run.begin(), run.end());
  return {run};
}

namespace {

bool isStartupRun(const Json& run) {
  const std::string kind = run.value("kind", std::string());
  return kind == "file" || kind == "commandLine";
}

// The command line a start-up run gives the program.
ProcessCommandLine commandLineOf(const Json& run, const std::u16string& programPath) {
  ProcessCommandLine commandLine;
  if (run.value("kind", std::string()) == "file") {
    commandLine.unicode = u"\"" + programPath + u"\" \"" + text(run, "path") + u"\"";
  } else if (run.value("raw", false)) {
    commandLine.unicode = text(run, "line");
  } else {
    commandLine.unicode = u"\"" + programPath + u"\" " + text(run, "line");
  }
  return commandLine;
}

// "1.0.0.0": the version resource the program file carries.
platform::FileVersion fileVersionOf(std::u16string_view text) {
  std::uint32_t parts[4] = {};
  std::size_t part = 0;
  for (const char16_t c : text) {
    if (c == u'.' && part < 3) {
      ++part;
    } else if (c >= u'0' && c <= u'9') {
      parts[part] = (parts[part] * 10 + (c - u'0')) & 0xFFFF;
    } else {
      throw std::runtime_error("program.version: " + narrow(text));
    }
  }
  return {parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]};
}

// The program's file name: a language the description asks for is one the
// file's name asks for, as a user renames the file.
std::u16string programFileName(const Json& program) {
  if (!program.contains("language")) return u"Tolvaran.exe";
  const std::string language = program.at("language").get<std::string>();
  if (language != "RU" && language != "EN" && language != "FR" && language != "DE") {
    throw std::runtime_error("program.language: " + language);
  }
  return u"Tolvaran_" + utf8ToUtf16(language) + u".exe";
}

}  // namespace

SessionOutcome runSession(const Json& scenario) {
  SessionOutcome out;
  platform::sim::SimMachine machine(profileOf(scenario));
  machine.shellLinks().registerClass(
      std::make_unique<lnk::CodecShellLinks>(machine.files(), machine.system()));
  setClock(machine, scenario);

  const Json program = scenario.value("program", Json::object());
  const std::u16string folder =
      program.contains("folder") ? text(program, "folder") : std::u16string(kSimProgramFolder);
  const std::u16string programPath = joinPath(folder, programFileName(program));
  machine.files().addFile(programPath, "MZ Tolvaran");
  machine.modules().setFileVersion(
      programPath, fileVersionOf(program.contains("version") ? text(program, "version")
                                                             : std::u16string(kDefaultVersion)));
  machine.system().setModuleFileName(programPath);
  // What every Windows has.
  machine.files().addFile(machine.system().getWindowsDirectory().value + u"\\explorer.exe",
                          "MZ explorer");
  machine.installUnlockTools();

  PlantedFiles planted;
  for (std::string& problem : plantMachine(scenario, machine, planted)) {
    out.problems.push_back(std::move(problem));
  }
  // The user's folders, where the scenario's environment puts them.
  machine.files().addFolder(environment(machine.system(), u"USERPROFILE") + u"\\Desktop");
  machine.files().addFolder(environment(machine.system(), u"TEMP"));
  const std::vector<std::u16string> roots = rootsOf(scenario);
  const DiskState before = snapshotDisk(machine.files(), roots);

  const std::vector<Json> items = runsOf(scenario);
  for (std::size_t i = 1; i < items.size(); ++i) {
    if (isStartupRun(items[i]))
      throw std::runtime_error("a start-up run comes first or not at all");
  }
  const bool startsWithRun = !items.empty() && isStartupRun(items.front());
  std::vector<std::u16string> ignored;
  bool windowClosed = false;

  // The session's runs are the window's message loop: the start-up timer's
  // tick first (the start-up run, when the session starts with one), then
  // what the user does, run after run.
  const auto loop = [&](SimStartupWindow& window) -> int {
    Program& tolvaran = window.program();
    SimMainView& view = window.simView();
    if (!startsWithRun) window.tick();
    for (std::size_t i = 0; i < items.size() && !out.exitCode; ++i) {
      const Json& run = items[i];
      if (i != 0) machine.clock().advance(run.value("afterMinutes", 1) * kMinute);
      RunOutcome outcome;
      outcome.kind = run.value("kind", std::string());
      const std::size_t dialogsBefore = machine.ui().messages().size();
      const std::size_t statusesBefore = machine.ui().statusHistory().size();
      const std::size_t executedBefore = machine.shellOps().executed().size();
      const std::u16string reportBefore = tolvaran.log().ReportLogPath();
      const auto bytesBefore = machine.files().readFileBytes(reportBefore);

      try {
        if (i == 0 && startsWithRun) {
          window.tick();
        } else {
          perform(run, window.runs(), view, outcome);
        }
      } catch (const platform::ProgramEnded& ended) {
        out.exitCode = ended.exitCode;
      }

      const auto& shown = machine.ui().messages();
      for (std::size_t d = dialogsBefore; d < shown.size(); ++d) {
        outcome.dialogs.push_back({shown[d].text, shown[d].type, shown[d].answer});
        if (shown[d].caption != kAppTitle) {
          out.problems.push_back("a message box without the program's title: " +
                                 narrow(shown[d].caption));
        }
      }
      const auto& statuses = machine.ui().statusHistory();
      outcome.statuses.assign(statuses.begin() + static_cast<std::ptrdiff_t>(statusesBefore),
                              statuses.end());
      const auto& executed = machine.shellOps().executed();
      for (std::size_t e = executedBefore; e < executed.size(); ++e) {
        std::u16string line = executed[e].verb + u" " + executed[e].file;
        if (!executed[e].parameters.empty()) line += u" " + executed[e].parameters;
        outcome.opened.push_back(std::move(line));
      }
      outcome.editBox = view.editBox;
      if (outcome.kind == "drop" && outcome.dropReleases != 1) {
        out.problems.push_back("the drop was released " + std::to_string(outcome.dropReleases) +
                               " times");
      }
      const std::u16string reportPath = tolvaran.log().ReportLogPath();
      const auto bytes = machine.files().readFileBytes(reportPath);
      if (bytes && (reportPath != reportBefore || bytes != bytesBefore)) {
        outcome.reportBytes = *bytes;
        outcome.reportPath = reportPath;
        outcome.report = utf16leToText(*bytes);
        if (outcome.report.starts_with(u'\uFEFF')) outcome.report.erase(0, 1);
      }
      out.runs.push_back(std::move(outcome));
    }
    // The program's own files, which are no change it made to the machine.
    ignored = {foldCase(joinPath(folder, u"LOG")), foldCase(tolvaran.errors().ErrorLogPath()),
               foldCase(tolvaran.settings().SettingsPath()),
               foldCase(fallbackDataFolder(machine.system()))};
    windowClosed = view.closed;
    return static_cast<int>(out.exitCode.value_or(0));
  };

  StartupMachine start{machine.ports(), machine.modules(),
                       startsWithRun ? commandLineOf(items.front(), programPath)
                                     : ProcessCommandLine{u"\"" + programPath + u"\"", {}},
                       [&](Program& tolvaran, SingleInstance&) {
                         return std::make_unique<SimStartupWindow>(tolvaran, loop);
                       }};
  try {
    startProgram(start);
  } catch (const platform::ProgramEnded& ended) {
    out.exitCode = ended.exitCode;
  }

  const DiskState after = snapshotDisk(machine.files(), roots);
  std::vector<std::u16string> recycled;
  for (const auto& item : machine.shellOps().recycleBin()) {
    recycled.push_back(item.originalPath);
  }
  out.changes =
      describeChanges(before, after, ignored, recycled, lnk::systemCodec(machine.system()));
  const std::u16string backupFolder =
      ignored.empty() ? std::u16string() : ignored.front() + u"\\backup\\";
  for (const auto& [key, entry] : after) {
    if (!backupFolder.empty() && !entry.isFolder() && key.starts_with(backupFolder)) {
      out.backups.push_back(entry.path.substr(backupFolder.size()));
    }
  }
  out.windowClosed = windowClosed;
  return out;
}

}  // namespace tolvaran::simrun
