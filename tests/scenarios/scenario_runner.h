#pragma once
// Single cures as data: a machine described in JSON (simrun/machine_description.h),
// the shortcuts to cure, and what the cure must leave behind (report lines,
// counters, codes, files, shortcut fields, backups, error records, tools
// started). One case per file in tests/scenarios/ with a "cure" list.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "simrun/machine_description.h"
#include "unit/engine/engine_rig.h"

namespace tolvaran::scenario {

using simrun::attributesOf;
using simrun::Json;
using simrun::narrow;
using simrun::text;

// One difference between what a scenario expects and what the run did.
struct Mismatch {
  std::string what;
  std::string expected;
  std::string actual;
};

class Runner {
 public:
  explicit Runner(const Json& scenario)
      : scenario_(scenario),
        rig_(std::make_unique<engine_test::EngineRig>(simrun::profileOf(scenario))) {}

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
    for (const std::string& problem : simrun::plantMachine(scenario_, rig_->machine, planted_)) {
      note(problem, "understood", "not");
    }
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
