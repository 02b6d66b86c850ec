// Whole sessions: every tests/scenarios/*.json with a "run" is performed by
// the program on a fresh simulated machine, and each run's report (byte for
// byte), message boxes, status texts and what it opened, and what the
// session changed on the disk, are compared with the scenario's "expect".
// TOLVARAN_UPDATE_GOLDEN=1 rewrites "expect" from what the session did;
// review the diff before committing it.
#include "simrun/whole_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/golden.h"
#include "scenarios/scenario_files.h"
#include "simrun/outcome_text.h"
#include "support/text.h"

namespace tolvaran::scenario {
namespace {

using simrun::Json;
using simrun::SessionOutcome;
using OrderedJson = nlohmann::ordered_json;

// A text as its CR LF-separated lines: readable in JSON and exact, since
// joining them again gives the text back.
OrderedJson linesOf(std::u16string_view text) {
  OrderedJson lines = OrderedJson::array();
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(u"\r\n", start);
    lines.push_back(utf16ToUtf8(text.substr(
        start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start)));
    if (end == std::u16string_view::npos) break;
    start = end + 2;
  }
  return lines;
}

std::u16string joinLines(const Json& lines) {
  std::u16string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) text += u"\r\n";
    text += utf8ToUtf16(lines[i].get<std::string>());
  }
  return text;
}

OrderedJson textList(const std::vector<std::u16string>& texts) {
  OrderedJson list = OrderedJson::array();
  for (const auto& text : texts) list.push_back(utf16ToUtf8(text));
  return list;
}

// What a session did, in the form a scenario expects it. `withReports`
// false leaves the reports to a golden file of their own.
OrderedJson expectationsOf(const SessionOutcome& outcome, bool withReports = true) {
  OrderedJson runs = OrderedJson::array();
  for (const simrun::RunOutcome& run : outcome.runs) {
    OrderedJson r;
    if (withReports) r["report"] = run.reportBytes ? linesOf(run.report) : OrderedJson();
    OrderedJson dialogs = OrderedJson::array();
    for (const simrun::ShownDialog& dialog : run.dialogs) {
      dialogs.push_back({{"flags", dialog.flags},
                         {"answer", simrun::answerText(dialog.answer)},
                         {"text", linesOf(dialog.text)}});
    }
    r["dialogs"] = dialogs;
    r["statuses"] = textList(run.statuses);
    r["opened"] = textList(run.opened);
    r["editBox"] = utf16ToUtf8(run.editBox);
    runs.push_back(std::move(r));
  }
  OrderedJson expect;
  expect["runs"] = runs;
  expect["changes"] = outcome.changes;
  expect["backups"] = textList(outcome.backups);
  expect["exitCode"] = outcome.exitCode ? OrderedJson(*outcome.exitCode) : OrderedJson();
  expect["windowClosed"] = outcome.windowClosed;
  return expect;
}

// Every difference between the expected value and the actual one, where
// the expectation has a say: keys it leaves out are not compared.
void compare(const std::string& where, const Json& expected, const Json& actual,
             std::vector<std::string>& differences) {
  if (expected.is_object() && actual.is_object()) {
    for (const auto& [key, value] : expected.items()) {
      compare(where + "." + key, value, actual.contains(key) ? actual.at(key) : Json(),
              differences);
    }
    return;
  }
  if (expected.is_array() && actual.is_array()) {
    const std::size_t n = std::max(expected.size(), actual.size());
    for (std::size_t i = 0; i < n; ++i) {
      compare(where + "[" + std::to_string(i) + "]",
              i < expected.size() ? expected[i] : Json("(none)"),
              i < actual.size() ? actual[i] : Json("(none)"), differences);
    }
    return;
  }
  if (expected != actual) {
    differences.push_back(where + "\n  expected: " + expected.dump() +
                          "\n  actual:   " + actual.dump());
  }
}

// The report bytes the expected lines stand for: UTF-16LE behind its mark.
std::string reportBytesOf(const Json& lines) {
  return "\xFF\xFE" + textToUtf16le(joinLines(lines));
}

void rewriteExpectations(const std::filesystem::path& path, const OrderedJson& expect) {
  std::ifstream in(path);
  OrderedJson scenario = OrderedJson::parse(in);
  scenario["expect"] = expect;
  std::ofstream(path, std::ios::binary) << scenario.dump(2) << "\n";
}

// Runs the scenario and compares; the outcome, for further checks.
SessionOutcome checkSession(const std::filesystem::path& path, bool withReports) {
  const Json scenario = simrun::loadScenario(path.string());
  SessionOutcome outcome = simrun::runSession(scenario);
  for (const std::string& problem : outcome.problems) ADD_FAILURE() << problem;
  const OrderedJson actual = expectationsOf(outcome, withReports);
  if (tolvaran::testing::updatingGolden()) {
    rewriteExpectations(path, actual);
    return outcome;
  }
  if (!scenario.contains("expect")) {
    ADD_FAILURE() << "no expectations (TOLVARAN_UPDATE_GOLDEN=1 writes them)";
    return outcome;
  }
  const Json& expect = scenario.at("expect");
  std::vector<std::string> differences;
  compare("expect", expect, Json::parse(actual.dump()), differences);
  for (const std::string& difference : differences) ADD_FAILURE() << difference;
  // Byte for byte: the reports are the program's output.
  if (!withReports || !expect.contains("runs")) return outcome;
  const Json& runs = expect.at("runs");
  for (std::size_t i = 0; i < runs.size() && i < outcome.runs.size(); ++i) {
    if (!runs[i].contains("report") || runs[i].at("report").is_null()) continue;
    const auto& bytes = outcome.runs[i].reportBytes;
    EXPECT_TRUE(bytes && *bytes == reportBytesOf(runs[i].at("report")))
        << "run " << i + 1 << ": the report's bytes differ from its lines";
  }
  return outcome;
}

class WholeRun : public ::testing::TestWithParam<std::string> {};

TEST_P(WholeRun, ReportsDialogsAndMachineAsExpected) {
  (void)checkSession(scenarioFolder() / (GetParam() + ".json"), true);
}

INSTANTIATE_TEST_SUITE_P(Files, WholeRun, ::testing::ValuesIn(scenarioNamesWith("run")),
                         [](const auto& info) { return testNameOf(info.param); });

// A Windows 10 user with a dozen browsers and every kind of damage at once:
// one report for the whole run, kept as the file a user would post.
TEST(InfectedProfile, CuresEverythingTheScanListed) {
  const SessionOutcome outcome =
      checkSession(scenarioFolder() / "infected-profile" / "machine.json", false);
  ASSERT_FALSE(outcome.runs.empty());
  ASSERT_TRUE(outcome.runs.front().reportBytes.has_value());
  EXPECT_TRUE(tolvaran::testing::matchesGoldenUtf16("../scenarios/infected-profile/report.log",
                                                    *outcome.runs.front().reportBytes));
}

}  // namespace
}  // namespace tolvaran::scenario
