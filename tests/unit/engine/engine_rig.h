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

inline std::u16string environment(platform::System& system, std::u16string_view name,
                                  std::u16string_view fallback = {}) {
  auto value = system.getEnvironmentVariable(name);
  return value.ok() ? value.value : std::u16string(fallback);
}

// The folder values start-up takes from the machine.
inline EngineFolders foldersOf(platform::sim::SimMachine& machine, const clsOSInfo& os,
                               bool isWin64) {
  platform::System& system = machine.system();
  const std::u16string windows = system.getWindowsDirectory().value;
  EngineFolders folders;
  folders.isWin64 = isWin64;
  folders.cure.Sys32 = windows + u"\\System32";
  folders.cure.SysWow64 = isWin64 ? windows + u"\\SysWOW64" : std::u16string();
  folders.cure.PF32 = environment(system, u"ProgramFiles");
  folders.cure.PF64 = environment(system, u"ProgramW6432", folders.cure.PF32);
  BrowserFolders& b = folders.browser;
  b.AppDataDir = environment(system, u"APPDATA");
  b.LocalAppDataDir = environment(system, u"LOCALAPPDATA");
  b.SysDrive = environment(system, u"SystemDrive");
  b.UserProfileDir = environment(system, u"USERPROFILE");
  b.DesktopDir = b.UserProfileDir + u"\\Desktop";
  b.PF32 = folders.cure.PF32;
  b.PF64 = folders.cure.PF64;
  b.Family = os.Family();
  b.Bitness = os.Bitness();
  return folders;
}

struct EngineRig {
  explicit EngineRig(platform::sim::OsProfile profile = platform::sim::defaultOsProfile())
      : machine(std::move(profile)), ports(withShellLinks(machine).ports()) {
    messages.LoadLangTable(resource::kLanguageEnglish, machine.ui(), u"Tolvaran");
    machine.files().addFolder(kProgramFolder);
    machine.files().addFolder(kDesktop);
    machine.installUnlockTools();
    log.ResetLogState();
    log.CreateLogFile();
    backup.SetReportLog(log.ReportLogPath());
    engine.start();
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
  Translation messages;
  KeptFailures failures;
  KeptFailures quietFailures;  // the log's own, not the engine's
  ErrorLog errors{ports, messages, std::u16string(kProgramFolder)};
  SettingsFile settings{machine.profile(), errors, u"C:\\Tools\\Tolvaran.ini"};
  clsCRC32 crc{machine.system(), machine.files()};
  clsOSInfo os{machine.osInfo(), machine.registry(), quietFailures};
  WriteLog log{ports,
               messages,
               errors,
               settings,
               crc,
               os,
               ProgramIdentity{std::u16string(kProgramFolder), u"Tolvaran", u"1.0.0.0"}};
  SavedFsRedirection saved;
  modFile files{ports, failures, saved, os.IsWin64()};
  clsProcess process{ports, failures};
  FileBackup backup{ports.files};
  clsRegistry registry{machine.registry(), machine.system(), failures};
  clsMD5_hash md5{machine.system(), machine.files(), failures};
  Engine engine{
      EngineServices{ports, failures, messages, log, os, files, process, backup, registry, md5},
      foldersOf(machine, os, os.IsWin64())};
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
