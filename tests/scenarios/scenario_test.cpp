// Every single-cure scenario in tests/scenarios/ run on a fresh simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "scenarios/scenario_runner.h"

namespace tolvaran::scenario {
namespace {

std::filesystem::path scenarioFolder() {
  return std::filesystem::path(TOLVARAN_SOURCE_DIR) / "tests" / "scenarios";
}

// The scenarios that cure shortcuts one by one (whole runs have a "run").
std::vector<std::string> scenarioNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(scenarioFolder())) {
    if (entry.path().extension() != ".json") continue;
    if (simrun::loadScenario(entry.path().string()).contains("cure")) {
      names.push_back(entry.path().stem().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Scenario : public testing::TestWithParam<std::string> {};

TEST_P(Scenario, LeavesTheMachineAndReportAsDescribed) {
  const Json scenario = simrun::loadScenario((scenarioFolder() / (GetParam() + ".json")).string());
  for (const Mismatch& m : Runner(scenario).run()) {
    ADD_FAILURE() << m.what << "\n  expected: " << m.expected << "\n  actual:   " << m.actual;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, Scenario, testing::ValuesIn(scenarioNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                               '_');
                           return name;
                         });

}  // namespace
}  // namespace tolvaran::scenario
