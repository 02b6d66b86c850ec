#pragma once
// The scenario files beside the tests: each a machine description (JSON).
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "simrun/machine_description.h"

namespace tolvaran::scenario {

inline std::filesystem::path scenarioFolder() {
  return std::filesystem::path(TOLVARAN_SOURCE_DIR) / "tests" / "scenarios";
}

// The names (without ".json") of the scenarios holding `section`: "cure"
// for shortcuts cured one by one, "run" for whole runs.
inline std::vector<std::string> scenarioNamesWith(std::string_view section) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(scenarioFolder())) {
    if (entry.path().extension() != ".json") continue;
    if (simrun::loadScenario(entry.path().string()).contains(section)) {
      names.push_back(entry.path().stem().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A scenario's name as a test name: letters and digits, the rest "_".
inline std::string testNameOf(std::string name) {
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
      '_');
  return name;
}

}  // namespace tolvaran::scenario
