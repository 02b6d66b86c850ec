// Every single-cure scenario in tests/scenarios/ run on a fresh simulated machine.
#include <gtest/gtest.h>

#include "scenarios/scenario_files.h"
#include "scenarios/scenario_runner.h"

namespace tolvaran::scenario {
namespace {

class Scenario : public testing::TestWithParam<std::string> {};

TEST_P(Scenario, LeavesTheMachineAndReportAsDescribed) {
  const Json scenario = simrun::loadScenario((scenarioFolder() / (GetParam() + ".json")).string());
  for (const Mismatch& m : Runner(scenario).run()) {
    ADD_FAILURE() << m.what << "\n  expected: " << m.expected << "\n  actual:   " << m.actual;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, Scenario, testing::ValuesIn(scenarioNamesWith("cure")),
                         [](const auto& info) { return testNameOf(info.param); });

}  // namespace
}  // namespace tolvaran::scenario
