#pragma once
// A whole program's cure engine over a fresh simulated machine: the report,
// the error log, the backup folder and the shell-link class of the codec,
// with helpers to plant shortcuts by their fields and read them back. Header
// only and free of the test framework, so that benchmarks use it too.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "shell/runs/program.h"
#include "platform/sim/sim_machine.h"
#include "report/error_log.h"
#include "report/settings_file.h"
#include "shortcut/codec_shell_link.h"
#include "simrun/planted_shortcut.h"
#include "support/embedded_resources.h"
#include "support/text.h"

namespace tolvaran::engine_test {

inline constexpr std::u16string_view kProgramFolder = u"C:\\Tools";
inline constexpr std::u16string_view kDesktop = u"C:\\Users\\User\\Desktop";

using simrun::shortcutBytes;
using simrun::ShortcutFields;

// Keeps every failure recorded (the context's items with it).
class KeptFailures final : public FailureRecorder {
 public:
  struct Record {
    Failure failure;
    std::vector<std::u16string> context;
  };
  void recordError(const Failure& failure, const ErrorContext& context) noexcept override {
    try {
      records.push_back(Record{failure, context.items()});
    } catch (...) {
      // Out of memory: the record is lost, the test sees fewer records.
    }
  }
  [[nodiscard]] std::size_t count(std::u16string_view procedure) const {
    std::size_t n = 0;
    for (const Record& r : records) n += (!r.context.empty() && r.context[0] == procedure) ? 1 : 0;
    return n;
  }
  std::vector<Record> records;
};

inline platform::sim::SimMachine& withShellLinks(platform::sim::SimMachine& machine) {
  machine.shellLinks().registerClass(
      std::make_unique<lnk::CodecShellLinks>(machine.files(), machine.system()));
  return machine;
}

// The machine as the rig's program finds it: the program's and the user's
// folders, the tools that unlock files.
inline platform::Ports preparedPorts(platform::sim::SimMachine& machine) {
  platform::Ports ports = withShellLinks(machine).ports();
  machine.files().addFolder(kProgramFolder);
  machine.files().addFolder(kDesktop);
  if (const auto temp = machine.system().getEnvironmentVariable(u"TEMP"); temp.ok()) {
    machine.files().addFolder(temp.value);
  }
  machine.installUnlockTools();
  return ports;
}

inline ProgramSetup rigSetup(FailureRecorder& observer) {
  ProgramSetup setup;
  setup.identity = ProgramIdentity{std::u16string(kProgramFolder), u"Tolvaran", u"1.0.0.0"};
  setup.languageCode = 1033;  // English, whatever the machine speaks
  setup.observer = &observer;
  return setup;
}

// The program itself, wired as the exe wires it, over a fresh machine; its
// parts under their usual names, and every failure it records kept.
struct EngineRig {
  explicit EngineRig(platform::sim::OsProfile profile = platform::sim::defaultOsProfile())
      : machine(std::move(profile)),
        ports(preparedPorts(machine)),
        program(ports, rigSetup(failures)) {
    log.CreateLogFile();
    backup.SetReportLog(log.ReportLogPath());
    machine.files().clearJournal();
  }
  EngineRig(const EngineRig&) = delete;
  EngineRig& operator=(const EngineRig&) = delete;

  void addShortcut(std::u16string_view path, const ShortcutFields& fields,
                   std::uint32_t attributes = platform::attr::kArchive) {
    machine.files().addFile(path, shortcutBytes(fields, lnk::systemCodec(machine.system())),
                            attributes);
  }
  // A program file (its bytes matter only to checksums).
  void addProgram(std::u16string_view path, std::string_view bytes = "MZ program") {
    machine.files().addFile(path, bytes);
  }
  // The shortcut as the shell reads it, through an object of its own.
  LnkRecord readShortcut(std::u16string_view path) {
    LnkRecord record;
    record.LnkPath = path;
    auto created = ports.shellLinks.createShellLink();
    if (!created.value || created.value->load(path, 0).failed()) return record;
    platform::ShellLink& link = *created.value;
    constexpr std::int32_t kChars = 32767;
    record.Target = link.getPath(kChars, platform::shell_link::kSlgpUncPriority).value;
    record.Arguments = link.getArguments(kChars).value;
    record.Description = link.getDescription(kChars).value;
    record.Hotkey = link.getHotkey().value;
    const auto icon = link.getIconLocation(kChars).value;
    record.IconLocation = icon.path;
    record.IconIndex = icon.index;
    record.ShowCmd = link.getShowCmd().value;
    record.WorkingDir = link.getWorkingDirectory(kChars).value;
    return record;
  }
  [[nodiscard]] bool exists(std::u16string_view path) { return machine.files().exists(path); }
  // Files left open, beside the report and the error log the program keeps
  // open.
  [[nodiscard]] std::size_t leakedHandles() {
    return machine.files().openHandleCount() - (log.isOpen() ? 1 : 0) -
           (program.errors().isOpen() ? 1 : 0);
  }

  void cure(std::u16string_view path, std::u16string_view line = {}) { engine.FixLNK(path, line); }

  // Every result line, main list first, without the empty first elements.
  [[nodiscard]] std::vector<std::u16string> lines() const {
    std::vector<std::u16string> all;
    for (std::size_t i = 1; i < log.MainLines.size(); ++i) all.push_back(log.MainLines[i]);
    for (std::size_t i = 1; i < log.AlsoLines.size(); ++i) all.push_back(log.AlsoLines[i]);
    return all;
  }
  [[nodiscard]] std::vector<std::u16string> iconLines() const {
    return {log.IconLines.begin() + 1, log.IconLines.end()};
  }
  [[nodiscard]] const CureCodes& codes() { return engine.state().codes; }

  platform::sim::SimMachine machine;
  platform::Ports ports;
  KeptFailures failures;
  Program program;
  Translation& messages = program.messages();
  WriteLog& log = program.log();
  SettingsFile& settings = program.settings();
  clsOSInfo& os = program.os();
  modFile& files = program.files();
  FileBackup& backup = program.backup();
  clsMD5_hash& md5 = program.md5();
  Engine& engine = program.engine();
};

}  // namespace tolvaran::engine_test

namespace tolvaran::engine_test {

inline constexpr std::u16string_view kCmd = u"C:\\Windows\\System32\\cmd.exe";
inline constexpr std::u16string_view kChrome =
    u"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
inline constexpr std::u16string_view kChromeShortcut =
    u"C:\\Users\\User\\Desktop\\Google Chrome.lnk";

// The command interpreter in both system folders, as Windows has it.
inline void addInterpreter(EngineRig& rig) {
  rig.addProgram(kCmd, "MZ cmd");
  rig.addProgram(u"C:\\Windows\\SysWOW64\\cmd.exe", "MZ cmd32");
}

// The first line that starts with `tag`, or empty text.
inline std::u16string lineTagged(const EngineRig& rig, std::u16string_view tag) {
  for (const std::u16string& line : rig.lines()) {
    if (line.starts_with(tag)) return line;
  }
  return {};
}

inline bool contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

}  // namespace tolvaran::engine_test
