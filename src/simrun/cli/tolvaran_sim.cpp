// tolvaran-sim: the program on a simulated Windows machine. Reads a machine
// description with its runs (JSON), performs them as the program would on
// that machine, and prints each run's report, the message boxes it showed,
// its status texts, and what changed on the disk.
//
//   tolvaran-sim machine.json             everything
//   tolvaran-sim --report-only machine.json   the reports alone
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "simrun/outcome_text.h"
#include "simrun/whole_run.h"

int main(int argc, char** argv) {
  using namespace tolvaran::simrun;
  OutcomeTextOptions options;
  std::string path;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--report-only") {
      options.details = false;
    } else if (path.empty() && !argument.starts_with("--")) {
      path = argument;
    } else {
      path.clear();
      break;
    }
  }
  if (path.empty()) {
    std::fputs("usage: tolvaran-sim [--report-only] machine.json\n", stderr);
    return 2;
  }
  try {
    const SessionOutcome outcome = runSession(loadScenario(path));
    const std::string text = outcomeText(outcome, options);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return outcome.problems.empty() ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tolvaran-sim: %s: %s\n", path.c_str(), e.what());
    return 2;
  }
}
