// Every scenario in tests/scenarios/ run on a fresh simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "scenarios/scenario_runner.h"

namespace tolvaran::scenario {
namespace {

std::filesystem::path scenarioFolder() {
  return std::filesystem::path(TOLVARAN_SOURCE_DIR) / "tests" / "scenarios";
}

std::vector<std::string> scenarioNames() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(scenarioFolder())) {
    if (entry.path().extension() == ".json") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Scenario : public testing::TestWithParam<std::string> {};

TEST_P(Scenario, LeavesTheMachineAndReportAsDescribed) {
  std::ifstream file(scenarioFolder() / (GetParam() + ".json"));
  ASSERT_TRUE(file) << GetParam();
  const Json scenario = Json::parse(file);
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
