#pragma once
// Scenarios as data: a machine described in JSON (files, shortcuts by their
// fields, the registry as .reg lines, the system, faults to inject, dialog
// answers, the clock), the shortcuts to cure, and what the run must leave
// behind (report lines, counters, codes, files, shortcut fields, backups,
// error records, tools started). One case per file in tests/scenarios/.
#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "unit/engine/engine_rig.h"

namespace tolvaran::scenario {

using Json = nlohmann::json;

// One difference between what a scenario expects and what the run did.
struct Mismatch {
  std::string what;
  std::string expected;
  std::string actual;
};

inline std::u16string text(const Json& value) {
  return utf8ToUtf16(value.get<std::string>());
}
inline std::u16string text(const Json& object, const char* key) {
  return object.contains(key) ? text(object.at(key)) : std::u16string();
}
inline std::string narrow(std::u16string_view value) {
  return utf16ToUtf8(value);
}

inline std::uint32_t attributesOf(const Json& object) {
  std::uint32_t attributes = platform::attr::kArchive;
  if (!object.contains("attributes")) return attributes;
  for (const Json& name : object.at("attributes")) {
    const std::string n = name.get<std::string>();
    if (n == "readonly")
      attributes |= platform::attr::kReadOnly;
    else if (n == "hidden")
      attributes |= platform::attr::kHidden;
    else if (n == "system")
      attributes |= platform::attr::kSystem;
    else
      throw std::runtime_error("unknown attribute " + n);
  }
  return attributes;
}

inline platform::sim::OsProfile profileOf(const Json& scenario) {
  using platform::sim::WindowsRelease;
  platform::sim::ProfileOptions options{.elevated = true};
  if (!scenario.contains("os")) return platform::sim::makeOsProfile(options);
  const Json& os = scenario.at("os");
  static const std::map<std::string, WindowsRelease> releases{
      {"2000", WindowsRelease::Windows2000},   {"XP", WindowsRelease::WindowsXP},
      {"Vista", WindowsRelease::WindowsVista}, {"7", WindowsRelease::Windows7},
      {"8.1", WindowsRelease::Windows81},      {"10", WindowsRelease::Windows10},
      {"11", WindowsRelease::Windows11}};
  if (os.contains("release")) options.release = releases.at(os.at("release").get<std::string>());
  if (os.contains("bits")) options.is64BitOs = os.at("bits").get<int>() == 64;
  if (os.contains("language") && os.at("language") == "Russian") {
    options.language = platform::sim::OsLanguage::Russian;
  }
  if (os.contains("programBits")) {
    options.processPointerSize = os.at("programBits").get<int>() == 64 ? 8 : 4;
  }
  return platform::sim::makeOsProfile(options);
}

inline platform::sim::FileOp fileOpOf(const std::string& name) {
  using platform::sim::FileOp;
  static const std::map<std::string, FileOp> ops{{"getFileAttributes", FileOp::kGetFileAttributes},
                                                 {"setFileAttributes", FileOp::kSetFileAttributes},
                                                 {"deleteFile", FileOp::kDeleteFile},
                                                 {"moveFile", FileOp::kMoveFile},
                                                 {"copyFile", FileOp::kCopyFile},
                                                 {"createFile", FileOp::kCreateFile},
                                                 {"readFile", FileOp::kReadFile},
                                                 {"writeFile", FileOp::kWriteFile},
                                                 {"createDirectory", FileOp::kCreateDirectory}};
  return ops.at(name);
}

inline platform::sim::ShellLinkOp shellLinkOpOf(const std::string& name) {
  using platform::sim::ShellLinkOp;
  static const std::map<std::string, ShellLinkOp> ops{
      {"load", ShellLinkOp::kLoad},
      {"save", ShellLinkOp::kSave},
      {"setPath", ShellLinkOp::kSetPath},
      {"setIconLocation", ShellLinkOp::kSetIconLocation},
      {"getPath", ShellLinkOp::kGetPath}};
  return ops.at(name);
}

inline engine_test::ShortcutSpec shortcutOf(const Json& s) {
  engine_test::ShortcutSpec spec;
  spec.target = text(s, "target");
  spec.environmentTarget = text(s, "environmentTarget");
  spec.linkInfoTarget = text(s, "linkInfoTarget");
  spec.arguments = text(s, "arguments");
  spec.workingDir = text(s, "workingDir");
  spec.iconLocation = text(s, "icon");
  spec.iconIndex = s.value("iconIndex", 0);
  spec.description = text(s, "description");
  spec.hotkey = static_cast<std::uint16_t>(s.value("hotkey", 0));
  spec.showCmd = s.value("showCmd", 1u);
  return spec;
}

// An HRESULT as "0x80070005" or a number; E_FAIL when not given.
inline platform::HResult hresultOf(const Json& fault) {
  if (!fault.contains("hresult")) return platform::kHresultFail;
  const Json& value = fault.at("hresult");
  if (value.is_string())
    return static_cast<platform::HResult>(std::stoul(value.get<std::string>(), nullptr, 16));
  return value.get<platform::HResult>();
}

// "4C 00 00 00 ..." (blanks anywhere) as bytes: a damaged shortcut, say.
inline std::string fromHex(std::string_view hex) {
  std::string bytes;
  std::string digits;
  for (const char c : hex) {
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    if (digits.size() == 2) {
      bytes.push_back(static_cast<char>(std::stoi(digits, nullptr, 16)));
      digits.clear();
    }
  }
  return bytes;
}

constexpr std::uint64_t kDay = 24ull * 60 * 60 * 1000;

class Runner {
 public:
  explicit Runner(const Json& scenario)
      : scenario_(scenario), rig_(std::make_unique<engine_test::EngineRig>(profileOf(scenario))) {}

  std::vector<Mismatch> run() {
    plant();
    for (const Json& cure : scenario_.at("cure")) {
      rig_->cure(text(cure, "path"), text(cure, "line"));
    }
    compare(scenario_.at("expect"));
    return mismatches_;
  }

 private:
  void plant() {
    engine_test::EngineRig& rig = *rig_;
    auto& files = rig.machine.files();
    if (scenario_.contains("environment")) {
      for (const auto& [name, value] : scenario_.at("environment").items()) {
        (void)rig.machine.system().setEnvironmentVariable(utf8ToUtf16(name), text(value));
      }
    }
    if (scenario_.contains("registry")) {
      std::string reg = "Windows Registry Editor Version 5.00\r\n";
      for (const Json& line : scenario_.at("registry")) reg += line.get<std::string>() + "\r\n";
      const auto bad = rig.machine.registry().loadRegFile(reg);
      if (!bad.empty()) note("registry line " + std::to_string(bad.front()), "understood", "not");
    }
    for (const Json& volume : scenario_.value("volumes", Json::array())) {
      (void)files.addVolume(text(volume));
    }
    const auto plantFile = [&](const Json& f) {
      const std::string bytes = f.contains("hex") ? fromHex(f.at("hex").get<std::string>())
                                                  : f.value("text", std::string());
      files.addFile(text(f, "path"), bytes, attributesOf(f));
      planted_[foldCase(text(f, "path"))] = bytes;
    };
    for (const Json& f : scenario_.value("files", Json::array())) {
      if (!f.value("fresh", false)) plantFile(f);
    }
    for (const Json& s : scenario_.value("shortcuts", Json::array())) {
      const std::u16string path = text(s, "path");
      rig.addShortcut(path, shortcutOf(s), attributesOf(s));
      planted_[foldCase(path)] = *files.readFileBytes(path);
    }
    // What was planted is old, unless it was dropped with the infection.
    rig.machine.clock().advance(scenario_.value("ageDays", 30) * kDay);
    for (const Json& f : scenario_.value("files", Json::array())) {
      if (f.value("fresh", false)) plantFile(f);
    }
    for (const Json& path : scenario_.value("locked", Json::array())) {
      files.faults().failAlways(platform::sim::FileOp::kDeleteFile, platform::kErrorAccessDenied,
                                text(path));
    }
    for (const Json& f : scenario_.value("faults", Json::array())) {
      files.faults().failNth(fileOpOf(f.at("op")), f.value("nth", 1u),
                             f.value("code", platform::kErrorAccessDenied),
                             f.value("persistent", false), text(f, "path"));
    }
    for (const Json& f : scenario_.value("shellLinkFaults", Json::array())) {
      rig.machine.shellLinks().faults().failNth(shellLinkOpOf(f.at("op")), f.value("nth", 1u),
                                                hresultOf(f));
    }
    for (const Json& answer : scenario_.value("dialogAnswers", Json::array())) {
      rig.machine.ui().queueAnswer(answer.get<int>());
    }
    files.clearJournal();
  }

  void note(std::string what, std::string expected, std::string actual) {
    mismatches_.push_back({std::move(what), std::move(expected), std::move(actual)});
  }
  void same(const std::string& what, const std::string& expected, const std::string& actual) {
    if (expected != actual) note(what, expected, actual);
  }
  void sameList(const std::string& what, const Json& expected,
                const std::vector<std::u16string>& actual) {
    std::vector<std::string> want;
    for (const Json& line : expected) want.push_back(line.get<std::string>());
    std::vector<std::string> got;
    for (const auto& line : actual) got.push_back(narrow(line));
    const std::size_t n = std::max(want.size(), got.size());
    for (std::size_t i = 0; i < n; ++i) {
      same(what + "[" + std::to_string(i) + "]", i < want.size() ? want[i] : "(none)",
           i < got.size() ? got[i] : "(none)");
    }
  }

  void compare(const Json& expect) {
    engine_test::EngineRig& rig = *rig_;
    const auto listed = [](const std::vector<std::u16string>& lines) {
      return std::vector<std::u16string>(lines.begin() + 1, lines.end());
    };
    if (expect.contains("main")) sameList("main", expect.at("main"), listed(rig.log.MainLines));
    if (expect.contains("also")) sameList("also", expect.at("also"), listed(rig.log.AlsoLines));
    if (expect.contains("icons")) sameList("icons", expect.at("icons"), listed(rig.log.IconLines));
    if (expect.contains("statistics")) {
      const RunStatistics& s = rig.log.Statistics;
      const std::map<std::string, std::int32_t> counters{
          {"Total", s.Total},       {"Cured", s.Cured},     {"Deleted", s.Deleted},
          {"Renamed", s.Renamed},   {"Omitted", s.Omitted}, {"Blocked", s.Blocked},
          {"Warnings", s.Warnings}, {"Errors", s.Errors}};
      for (const auto& [name, value] : counters) {
        same("statistics." + name, std::to_string(expect.at("statistics").value(name, 0)),
             std::to_string(value));
      }
    }
    if (expect.contains("rule"))
      same("rule", expect.at("rule").get<std::string>(), narrow(rig.codes().RuleCode));
    if (expect.contains("recovery")) {
      same("recovery", expect.at("recovery").get<std::string>(), narrow(rig.codes().RecoveryCode));
    }
    for (const Json& path : expect.value("absent", Json::array())) {
      if (rig.exists(text(path))) note("absent " + path.get<std::string>(), "absent", "present");
    }
    for (const Json& f : expect.value("files", Json::array())) {
      const auto bytes = rig.machine.files().readFileBytes(text(f, "path"));
      same("file " + f.at("path").get<std::string>(), f.value("text", std::string()),
           bytes ? *bytes : "(missing)");
    }
    for (const Json& s : expect.value("shortcuts", Json::array())) compareShortcut(s);
    for (const Json& path : expect.value("backups", Json::array())) {
      const auto backup = rig.machine.files().readFileBytes(rig.backup.BackupPathFor(text(path)));
      const auto original = planted_.find(foldCase(text(path)));
      if (!backup || original == planted_.end() || *backup != original->second) {
        note("backup of " + path.get<std::string>(), "the planted bytes",
             backup ? "other bytes" : "(missing)");
      }
    }
    if (expect.contains("failures")) {
      std::vector<std::u16string> names;
      for (const auto& record : rig.failures.records) names.push_back(record.context.at(0));
      sameList("failures", expect.at("failures"), names);
    }
    if (expect.contains("tools")) {
      std::vector<std::u16string> started;
      for (const auto& process : rig.machine.processes().started()) {
        started.push_back(process.commandLine);
      }
      sameList("tools", expect.at("tools"), started);
    }
  }

  void compareShortcut(const Json& s) {
    const std::u16string path = text(s, "path");
    if (!rig_->exists(path)) {
      note("shortcut " + narrow(path), "present", "missing");
      return;
    }
    const LnkRecord r = rig_->readShortcut(path);
    const std::string where = "shortcut " + narrow(path) + ".";
    const std::map<std::string, std::u16string> fields{{"target", r.Target},
                                                       {"arguments", r.Arguments},
                                                       {"workingDir", r.WorkingDir},
                                                       {"icon", r.IconLocation},
                                                       {"description", r.Description}};
    for (const auto& [name, value] : fields) {
      if (s.contains(name)) same(where + name, s.at(name).get<std::string>(), narrow(value));
    }
    if (s.contains("iconIndex")) {
      same(where + "iconIndex", std::to_string(s.at("iconIndex").get<int>()),
           std::to_string(r.IconIndex));
    }
    if (s.contains("attributes")) {
      const auto attributes = rig_->machine.files().attributesOf(path).value_or(0);
      const std::uint32_t mask =
          platform::attr::kReadOnly | platform::attr::kHidden | platform::attr::kSystem;
      same(where + "attributes", std::to_string(attributesOf(s) & mask),
           std::to_string(attributes & mask));
    }
  }

  const Json& scenario_;
  std::unique_ptr<engine_test::EngineRig> rig_;
  std::map<std::u16string, std::string> planted_;
  std::vector<Mismatch> mismatches_;
};

}  // namespace tolvaran::scenario
